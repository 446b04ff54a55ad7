#!/usr/bin/env python3
"""The real velumor.exe under Wine on an X display, driven as a user would:
the clipboard set and read from the Linux side (xclip), the tray icon clicked
with xdotool, the windows and the menu worked by velumor_driver. In a
Wine prefix of its own, installed, and its Startup folder placed, under names
beyond Windows-1252. Only what a real window, click and clipboard show is
here; the logic has its fake-based tests. Screenshots of the three forms go
into OUT_DIR.

Usage: run_e2e.py DIST_DIR DRIVER_EXE ENCODE_EXE OUT_DIR
"""
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "tools"))
from wine_desktop import RUN_KEY, Desktop, check, wait_until, windows_path  # noqa: E402

SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
CANCELLED = "*** Velumor: Abbruch durch Anwender ***"


class EndToEnd(Desktop):
    def __init__(self, dist, driver, encoder, out):
        super().__init__(driver, out)
        self.encoder = encoder
        # Installed, and the Startup folder placed, under names that Windows-1252
        # lacks letters for, as on a Polish or Russian user's machine.
        self.dist = os.path.join(self.work, "Łukasz Программы", "Velumor")
        shutil.copytree(dist, self.dist)
        self.shortcut = os.path.join(self.work, "Łukasz", "Автозагрузка", "Velumor.lnk")
        self.record_file = os.path.join(self.work, "opened.txt")


def prepare(d):
    d.fresh_prefix()
    # Help pages open in a stand-in browser that notes what it was given.
    d.wine("reg", "add", r"HKCR\.htm", "/ve", "/d", "VelumorTest.htm", "/f")
    d.wine("reg", "add", r"HKCR\VelumorTest.htm\shell\open\command", "/ve", "/d",
           f'"{windows_path(d.driver_exe)}" record "{windows_path(d.record_file)}" "%1"', "/f")
    # An old read-only Startup shortcut for the program to take over; set after
    # Wine's start-up, which would write the real folder back.
    os.makedirs(os.path.dirname(d.shortcut))
    open(d.shortcut, "wb").close()
    os.chmod(d.shortcut, 0o444)
    d.wine("reg", "add", SHELL_FOLDERS, "/v", "Startup", "/d", windows_path(os.path.dirname(d.shortcut)), "/f")


def start_takes_the_autostart_over(d):
    # The working directory is not the program folder, as after an automatic start.
    d.velumor = d.start_program(os.path.join(d.dist, "velumor.exe"), cwd=d.work)
    d.wait_for_text("Velumor", "Velumor wurde gestartet")
    time.sleep(0.5)
    d.screenshot("e2e_start_notice.png")
    check(not os.path.exists(d.shortcut), "Verknüpfung im Autostart-Ordner bleibt")
    command = (d.reg_values(RUN_KEY) or {}).get("Velumor", "")
    check(command.lower() == f'"{windows_path(d.dist)}\\velumor.exe" /AUTOSTART'.lower(), f"Eintrag: {command!r}")
    d.dismiss("Velumor", "&OK")


def left_click_encodes_the_clipboard(d):
    text = "Schreiben Sie an info@example.com – Grüße, 5 €!"
    d.set_clipboard(text)
    d.click_tray(1)
    d.wait_for_text("Velumor", "Der Text in der Zwischenablage wurde kodiert")
    block = d.clipboard()
    # Letters beyond Latin-1 reach the page as character references.
    expected = "Schreiben Sie an info@example.com &#8211; Grüße, 5 &#8364;!"
    decoded = d.wine(d.encoder, "--decode", stdin=block.encode())  # by the built velumor-encode
    check(decoded == (0, expected + "\n"), f"Block schreibt etwas anderes: {block[:200]!r}")
    d.dismiss("Velumor", "&OK")


def closing_the_strip_cancels(d):
    d.set_clipboard("x" * 6_000_000)
    d.click_tray(1)
    check(d.driver("texts", "Velumor: *", "30000"), "Fortschrittsleiste erscheint nicht")
    d.screenshot("e2e_progress_strip.png")
    d.driver("close", "Velumor: *")
    wait_until(lambda: d.clipboard() == CANCELLED, 60, "Abbruchtext in der Zwischenablage")
    check(d.velumor.poll() is None, "Programm ist nach dem Abbruch beendet")
    d.dismiss("Velumor", "&OK")  # the result notice follows a cancelled run too


def info_opens_from_the_menu(d):
    d.choose("i")  # "&Info"
    check(d.driver("texts", "Info über Velumor", "10000"), "Info-Dialog erscheint nicht")
    time.sleep(0.5)
    d.screenshot("e2e_about.png")
    d.dismiss("Info über Velumor", "&Schliessen")


def help_goes_to_the_shell(d):
    d.choose("h")  # "&Hilfe"
    opened = wait_until(lambda: os.path.exists(d.record_file) and open(d.record_file, encoding="utf-8-sig").read(), 20,
                        "Hilfe geöffnet")
    expected = windows_path(os.path.join(d.dist, "hilfe", "index.htm"))
    check(opened.strip().lower() == expected.lower(), f"geöffnet: {opened!r}")


def quit_removes_the_icon_and_ends(d):
    d.expect_end(d.velumor)
    d.choose("b")  # "&Beenden"
    d.ends(d.velumor, "Beenden", timeout=20)
    wait_until(lambda: d.tray_window() is None, 10, "Symbol verschwindet aus dem Infobereich")


def main():
    dist, driver, encoder, out = (os.path.abspath(path) for path in sys.argv[1:5])
    os.makedirs(out, exist_ok=True)
    if not os.environ.get("DISPLAY"):
        print("Kein X-Display: die Ende-zu-Ende-Tests brauchen eines (make test startet Xvfb).")
        return 1
    d = EndToEnd(dist, driver, encoder, out)
    return d.run("e2e", [prepare, start_takes_the_autostart_over, left_click_encodes_the_clipboard,
                         closing_the_strip_cancels, info_opens_from_the_menu, help_goes_to_the_shell,
                         quit_removes_the_icon_and_ends], d)


if __name__ == "__main__":
    sys.exit(main())
