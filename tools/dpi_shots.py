#!/usr/bin/env python3
"""Pictures of the real velumor.exe under Wine at 100, 150 and 200 %: the
start notice, the result notice, the about dialog and the notification
area, each window on its own and the whole screen, into OUT_DIR. Wine's
DPI is the prefix's LogPixels; the prefix is the script's own.

Usage (with a display, e.g. under tools/with-display.sh):
  dpi_shots.py DIST_DIR DRIVER_EXE OUT_DIR
"""
import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True
from wine_desktop import Desktop, check  # noqa: E402

DPIS = (96, 144, 192)


class Shots(Desktop):
    def __init__(self, dist, driver, out):
        super().__init__(driver, out)
        self.dist = os.path.join(self.work, "Velumor")
        shutil.copytree(dist, self.dist)

    def window_shot(self, title, name):
        """The window with that exact title, with its frame, and the screen."""
        window = next(iter(self.xdotool("search", "--onlyvisible", "--name", f"^{title}$")), None)
        check(window is not None, f"kein Fenster „{title}“")
        time.sleep(0.7)
        subprocess.run(["import", "-frame", "-window", window, os.path.join(self.out, name + ".png")],
                       capture_output=True, timeout=30)
        self.screenshot(name + "_screen.png")

    def at(self, dpi):
        self.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                  "/f")
        subprocess.run([self.env["VELUMOR_WINESERVER"], "-k"], env=self.env, capture_output=True, timeout=60)
        subprocess.run([self.env["VELUMOR_WINESERVER"], "-w"], env=self.env, capture_output=True, timeout=60)
        velumor = self.start_program(os.path.join(self.dist, "velumor.exe"), cwd=self.work)
        self.wait_for_text("Velumor", "Velumor wurde gestartet")
        self.window_shot("Velumor", f"start_notice_{dpi}")
        tray = self.tray_window()
        if tray:
            subprocess.run(["import", "-window", tray, os.path.join(self.out, f"tray_{dpi}.png")],
                           capture_output=True, timeout=30)
        self.dismiss("Velumor", "&OK")
        self.set_clipboard("info@example.com")
        self.click_tray(1)
        self.wait_for_text("Velumor", "Der Text in der Zwischenablage wurde kodiert")
        self.window_shot("Velumor", f"result_notice_{dpi}")
        self.dismiss("Velumor", "&OK")
        self.choose("i")
        check(self.driver("texts", "Info über Velumor", "10000"), "Info-Dialog erscheint nicht")
        self.window_shot("Info über Velumor", f"about_{dpi}")
        self.dismiss("Info über Velumor", "&Schliessen")
        self.expect_end(velumor)
        self.choose("b")
        self.ends(velumor, "Beenden", timeout=20)


def main():
    dist, driver, out = (os.path.abspath(p) for p in sys.argv[1:4])
    os.makedirs(out, exist_ok=True)
    shots = Shots(dist, driver, out)
    steps = [shots.fresh_prefix] + [lambda dpi=dpi: shots.at(dpi) for dpi in DPIS]
    for step, dpi in zip(steps[1:], DPIS):
        step.__name__ = f"at_{dpi}_dpi"
    return shots.run("dpi", steps)


if __name__ == "__main__":
    sys.exit(main())
