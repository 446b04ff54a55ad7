#!/usr/bin/env python3
"""The real velumor.exe under Wine on an X display, driven as a user would:
the clipboard set and read from the Linux side (xclip), the tray icon clicked
with xdotool, the windows found and pressed by velumor_driver. Installed, and
its Startup folder placed, under names beyond Windows-1252. Only what a real
window, click and clipboard show is here; the logic has its fake-based tests.
Screenshots of the three forms go into OUT_DIR.

Usage: run_e2e.py DIST_DIR DRIVER_EXE ENCODE_EXE OUT_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
CANCELLED = "*** Velumor: Abbruch durch Anwender ***"


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, what):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise Failure(f"Zeitüberschreitung: {what}")


def decoded(d, block):
    """What the block writes in the page, by the built velumor-encode."""
    path = os.path.join(d.work, "block.html")
    with open(path, "w", encoding="utf-8") as out:
        out.write(block)
    rc, text = d.wine(d.encoder, "--decode", "--input", "Z:" + path.replace("/", "\\"))
    return text.rstrip("\n") if rc == 0 else None


def wine_environment():
    """The loader, server and prefix that tools/wine-env.sh chooses for this machine."""
    env = dict(os.environ, VELUMOR_ROOT=ROOT)
    out = subprocess.run(["sh", "-c", '. "$VELUMOR_ROOT/tools/wine-env.sh" && env -0'], env=env,
                         capture_output=True, check=True).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


class Desktop:
    def __init__(self, dist, driver, encoder, out):
        self.dist, self.driver_exe, self.encoder, self.out = dist, driver, encoder, out
        self.env = wine_environment()
        # Arguments with umlauts reach the Windows side intact.
        self.env["LANG"] = self.env["LC_ALL"] = "C.UTF-8"
        self.work = tempfile.mkdtemp(prefix="velumor-e2e-")
        # Installed, and the Startup folder placed, under names that Windows-1252
        # lacks letters for, as on a Polish or Russian user's machine.
        self.dist = os.path.join(self.work, "Łukasz Программы", "Velumor")
        shutil.copytree(dist, self.dist)
        self.shortcut = os.path.join(self.work, "Łukasz", "Автозагрузка", "Velumor.lnk")
        self.run_command = f'"{windows_path(self.dist)}\\velumor.exe" /AUTOSTART'
        self.record_file = os.path.join(self.work, "opened.txt")
        self.velumor = self.window_manager = self.clipboard_owner = self.startup_before = None

    def wine(self, *args, timeout=60, check_rc=False):
        """Runs a Windows program; its output goes through a file, not a pipe:
        Wine's own helper processes (wineserver, explorer) inherit the handles
        of the program that starts them and would hold a pipe open."""
        with tempfile.TemporaryFile() as out:
            done = subprocess.run([self.env["VELUMOR_WINE"], *args], env=self.env, stdout=out, stderr=subprocess.DEVNULL,
                                  timeout=timeout)
            out.seek(0)
            text = out.read().decode("utf-8", "replace").replace("\r\n", "\n")
        if check_rc and done.returncode != 0:
            raise Failure(f"wine {' '.join(args)}: {done.returncode}")
        return done.returncode, text

    def driver(self, *args, timeout=60):
        return self.wine(self.driver_exe, *args, timeout=timeout)

    def start_velumor(self):
        # The working directory is not the program folder, as after an automatic start.
        return subprocess.Popen([self.env["VELUMOR_WINE"], os.path.join(self.dist, "velumor.exe")], cwd=self.work, env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def reg_text(self, key, value):
        """A string value read whole: `reg export` writes UTF-16, whatever the console's code page."""
        target = os.path.join(self.work, "export.reg")
        if self.wine("reg", "export", key, windows_path(target), "/y")[0] != 0:
            return None
        with open(target, encoding="utf-16") as exported:
            found = re.search(r'^"' + re.escape(value) + r'"="((?:[^"\\]|\\.)*)"$', exported.read(), re.M | re.I)
        return re.sub(r"\\(.)", r"\1", found.group(1)) if found else None

    def wait_for_text(self, title, expected, timeout=30):
        """A window with that title shows `expected` (the progress strip may
        carry the same title for a moment)."""
        wait_until(lambda: expected in self.driver("texts", title, "2000")[1], timeout, f"{title}: {expected}")

    def dismiss(self, title, button):
        self.driver("click", title, button)
        wait_until(lambda: self.driver("wait", title, "0")[0] != 0, 5, f"{title} bleibt offen")

    def start_window_manager(self):
        if shutil.which("openbox"):
            self.window_manager = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(1)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30)

    def tray_window(self):
        found = self.xdotool("search", "--onlyvisible", "--name", "Wine System Tray").stdout.split()
        return found[0] if found else None

    def click_tray(self, button):
        window = wait_until(self.tray_window, 20, "Wine-Infobereich")
        self.xdotool("mousemove", "--window", window, "10", "10", "click", str(button))

    def set_clipboard(self, text):
        if self.clipboard_owner:
            self.clipboard_owner.kill()
        self.clipboard_owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-i", "-quiet"],
                                                stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                                stderr=subprocess.DEVNULL)
        self.clipboard_owner.stdin.write(text.encode("utf-8"))
        self.clipboard_owner.stdin.close()
        time.sleep(0.3)

    def clipboard(self):
        done = subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True, timeout=30)
        return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else ""

    def screenshot(self, name):
        subprocess.run(["import", "-window", "root", os.path.join(self.out, name)], capture_output=True, timeout=30)

    def close(self):
        for process in (self.velumor, self.clipboard_owner, self.window_manager):
            if process and process.poll() is None:
                process.kill()
        self.wine("reg", "delete", RUN_KEY, "/v", "Velumor", "/f")
        if self.startup_before:
            self.wine("reg", "add", SHELL_FOLDERS, "/v", "Startup", "/d", self.startup_before, "/f")
        else:
            self.wine("reg", "delete", SHELL_FOLDERS, "/v", "Startup", "/f")
        self.wine("reg", "delete", r"HKCR\VelumorTest.htm", "/f")
        self.wine("reg", "delete", r"HKCR\.htm", "/f")
        subprocess.run([self.env["VELUMOR_WINESERVER"], "-k"], env=self.env, capture_output=True)

def windows_path(path):
    """A Linux path as Wine's drive Z: shows it."""
    return "Z:" + path.replace("/", "\\")


def prepare(d):
    d.wine("reg", "delete", r"HKCU\Software\Norvane Software", "/f")
    d.wine("reg", "delete", RUN_KEY, "/v", "Velumor", "/f")
    # Help pages open in a stand-in browser that notes what it was given.
    driver = d.wine("winepath", "-w", d.driver_exe)[1].strip()
    record = d.wine("winepath", "-w", d.record_file)[1].strip()
    d.wine("reg", "add", r"HKCR\.htm", "/ve", "/d", "VelumorTest.htm", "/f", check_rc=True)
    d.wine("reg", "add", r"HKCR\VelumorTest.htm\shell\open\command", "/ve", "/d",
           f'"{driver}" record "{record}" "%1"', "/f", check_rc=True)
    # An old read-only Startup shortcut for the program to take over; set after
    # Wine's start-up, which would write the real folder back.
    d.startup_before = d.reg_text(SHELL_FOLDERS, "Startup")
    os.makedirs(os.path.dirname(d.shortcut))
    open(d.shortcut, "wb").close()
    os.chmod(d.shortcut, 0o444)
    d.wine("reg", "add", SHELL_FOLDERS, "/v", "Startup", "/d", windows_path(os.path.dirname(d.shortcut)), "/f",
           check_rc=True)


def test_start_takes_the_autostart_over(d):
    d.velumor = d.start_velumor()
    d.wait_for_text("Velumor", "Velumor wurde gestartet")
    time.sleep(0.5)
    d.screenshot("e2e_start_notice.png")
    check(not os.path.exists(d.shortcut), "Verknüpfung im Autostart-Ordner bleibt")
    command = d.reg_text(RUN_KEY, "Velumor")
    check(command and command.lower() == d.run_command.lower(), f"Eintrag: {command!r}")
    d.dismiss("Velumor", "&OK")


def test_left_click_encodes_the_clipboard(d):
    text = "Schreiben Sie an info@example.com – Grüße, 5 €!"
    d.set_clipboard(text)
    d.click_tray(1)
    d.wait_for_text("Velumor", "Der Text in der Zwischenablage wurde kodiert")
    block = d.clipboard()
    expected = decoded(d, d.wine(d.encoder, "--seed", "1", text)[1])
    check(decoded(d, block) == expected, f"Block schreibt etwas anderes: {block[:200]!r}")
    d.dismiss("Velumor", "&OK")


def test_closing_the_strip_cancels(d):
    d.set_clipboard("x" * 6_000_000)
    d.click_tray(1)
    check(d.driver("wait", "Velumor: *", "30000")[0] == 0, "Fortschrittsleiste erscheint nicht")
    d.screenshot("e2e_progress_strip.png")
    d.driver("close", "Velumor: *", "5000")
    wait_until(lambda: d.clipboard() == CANCELLED, 60, "Abbruchtext in der Zwischenablage")
    check(d.velumor.poll() is None, "Programm ist nach dem Abbruch beendet")


def menu_open(d):
    return d.driver("menu-open")[1].strip() == "1"


# The tray menu's entries from the top: True for an entry, False for a separator.
MENU_LAYOUT = [True, False, True, True, False, True, True, False, True]
MENU_BORDER, MENU_SEPARATOR = 3, 9  # pixels, as Wine draws popup menus


def choose(d, index):
    """Clicks an entry of the open tray menu with the left button, at the
    middle of the entry as Wine lays the menu out."""
    def menu_windows():
        return [w for w in d.xdotool("search", "--onlyvisible", "--class", "velumor.exe").stdout.split()
                if not d.xdotool("getwindowname", w).stdout.strip()]

    # Wine counts the menu as shown a moment before its X window is mapped.
    menus = wait_until(menu_windows, 5, "Menüfenster")
    geometry = dict(line.split("=") for line in d.xdotool("getwindowgeometry", "--shell", menus[0]).stdout.split())
    width, height = int(geometry["WIDTH"]), int(geometry["HEIGHT"])
    entries, separators = MENU_LAYOUT.count(True), MENU_LAYOUT.count(False)
    entry_height = (height - 2 * MENU_BORDER - separators * MENU_SEPARATOR) / entries
    top = MENU_BORDER + sum(entry_height if entry else MENU_SEPARATOR for entry in MENU_LAYOUT[:index])
    d.xdotool("mousemove", "--window", menus[0], str(width // 2), str(int(top + entry_height / 2)))
    time.sleep(0.2)
    d.xdotool("click", "1")


def open_menu(d):
    # Right after a menu closed, Wine may still be finishing its menu loop and
    # swallow the press; a user would simply press again.
    for _ in range(3):
        d.click_tray(3)
        try:
            return wait_until(lambda: menu_open(d), 4, "Menü")
        except Failure:
            pass
    raise Failure("Menü öffnet sich nicht")


def test_info_opens_from_the_menu(d):
    open_menu(d)
    d.screenshot("e2e_menu.png")
    choose(d, 3)  # "&Info"
    check(d.driver("wait", "Info über Velumor", "10000")[0] == 0, "Info-Dialog erscheint nicht")
    time.sleep(0.5)
    d.screenshot("e2e_about.png")
    d.dismiss("Info über Velumor", "&Schliessen")


def test_help_goes_to_the_shell(d):
    open_menu(d)
    choose(d, 2)  # "&Hilfe"
    opened = wait_until(lambda: os.path.exists(d.record_file) and open(d.record_file, encoding="utf-8").read(), 20,
                        "Hilfe geöffnet")
    expected = windows_path(os.path.join(d.dist, "hilfe", "index.htm"))
    check(opened.strip().lower() == expected.lower(), f"geöffnet: {opened!r}")


def test_quit_removes_the_icon_and_ends(d):
    open_menu(d)
    choose(d, 6)  # "&Beenden"
    check(d.velumor.wait(timeout=20) == 0, "Programm endet nicht")
    wait_until(lambda: d.tray_window() is None, 10, "Symbol verschwindet aus dem Infobereich")


TESTS = [
    test_start_takes_the_autostart_over,
    test_left_click_encodes_the_clipboard,
    test_closing_the_strip_cancels,
    test_info_opens_from_the_menu,
    test_help_goes_to_the_shell,
    test_quit_removes_the_icon_and_ends,
]


def main():
    dist, driver, encoder, out = (os.path.abspath(path) for path in sys.argv[1:5])
    os.makedirs(out, exist_ok=True)
    if not os.environ.get("DISPLAY"):
        print("Kein X-Display: die Ende-zu-Ende-Tests brauchen eines (make test startet Xvfb).")
        return 1
    d = Desktop(dist, driver, encoder, out)
    passed = 0
    try:
        d.start_window_manager()
        prepare(d)
        for test in TESTS:
            try:
                test(d)
                print(f"ok     {test.__name__}")
                passed += 1
            except (Failure, subprocess.TimeoutExpired) as error:
                print(f"FEHLER {test.__name__}: {error}")
                d.screenshot(f"e2e_failure_{test.__name__}.png")
                if not d.velumor or d.velumor.poll() is not None:
                    break
    finally:
        d.close()
    print(f"{passed} of {len(TESTS)} passed")
    return 0 if passed == len(TESTS) else 1

if __name__ == "__main__":
    sys.exit(main())
