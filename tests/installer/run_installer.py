#!/usr/bin/env python3
"""The installer as a user meets it, in a Wine prefix of its own: refusals,
silent install into a folder with blanks, umlauts and "Ł", the command-line
tool installed, the wizard over it, a running Velumor left alone, the
program folder in the user's PATH, an uninstall cancelled, and an uninstall
that leaves nothing by the time it returns.

Usage: run_installer.py SETUP_EXE STAGED_FOLDER DRIVER_EXE OUT_DIR VERSION MAKER
"""
import hashlib
import os
import shutil
import sys
import time

sys.dont_write_bytecode = True  # no cache files in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "tools"))
from wine_desktop import RUN_KEY, Desktop, check, wait_until  # noqa: E402

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velumor"
FOLDER = r"C:\Benutzer\Łukasz Ärger\Programme\Velumor 1"
ENVIRONMENT_KEY = r"HKCU\Environment"
# The user's own PATH: an entry to expand, an empty one, a folder whose name
# begins with ours. Only our entry may come and go, nothing else may change.
USER_PATH = ("REG_EXPAND_SZ", rf"%USERPROFILE%\bin;;{FOLDER} alt;C:\Tools")
SKIPPED, CANCELLED, REFUSED = 77, 1, 2


class Scenario(Desktop):
    def __init__(self, setup, stage, driver, out, version, maker):
        super().__init__(driver, out)
        self.setup, self.stage, self.version, self.maker = setup, stage, version, maker
        self.timings = {}

    def unix(self, windows_path):
        drive, rest = windows_path.split(":", 1)
        return os.path.join(self.prefix, f"drive_{drive.lower()}", *rest.strip("\\").split("\\"))

    def run_value(self):
        return (self.reg_values(RUN_KEY) or {}).get("Velumor")

    def shortcuts(self):
        programs = os.path.join(self.prefix, "drive_c", "users")
        return sorted(os.path.join(root, name) for root, _, names in os.walk(programs)
                      for name in names if name.startswith("Velumor") and name.endswith(".lnk"))

    def user_path(self):
        """The user's PATH as (type, text), None when there is none."""
        value = (self.reg_values(ENVIRONMENT_KEY) or {}).get("Path")
        if value is not None and value.startswith("hex(2):"):
            return "REG_EXPAND_SZ", bytes.fromhex(value[7:].replace(",", "")).decode("utf-16-le").rstrip("\0")
        return value if value is None else ("REG_SZ", value)

    def set_user_path(self, kind, text):
        self.wine("reg", "add", ENVIRONMENT_KEY, "/v", "Path", "/t", kind, "/d", text, "/f")

    def state(self):
        """Everything of ours: files with contents, shortcuts, keys, the Run value and the user's PATH."""
        return (tree(self.unix(FOLDER)), self.shortcuts(), self.reg_values(UNINSTALL_KEY),
                self.reg_values(rf"HKCU\Software\{self.maker}"), self.run_value(), self.user_path())

    # -- the steps
    def refuses_a_file_as_folder(self):
        # One argument with a blank: Wine passes it in quotes, as some shells do.
        target = r"C:\Benutzer\velumor datei"
        os.makedirs(os.path.dirname(self.unix(FOLDER)))
        open(self.unix(target), "w").close()
        check(self.wine(self.setup, "/S", "/D=" + target)[0] == REFUSED, "Datei als Zielordner nicht abgewiesen")
        check(os.path.isfile(self.unix(target)), "Datei verändert")
        check(self.reg_values(UNINSTALL_KEY) is None and not self.shortcuts(), "Reste nach abgewiesener Installation")
        # A PATH the installer cannot hold whole, or not with the folder added, is not cut: the
        # installation is refused before anything changes.
        for length in (1000, 1100):
            long_path = ("REG_EXPAND_SZ", (r"C:\Werkzeuge\%USERNAME%;" * 60)[:length])
            self.set_user_path(*long_path)
            code = self.wine(self.setup, "/S", "/PATH=1", *f"/D={FOLDER}".split(" "))[0]
            after = self.user_path()
            check(code == REFUSED and after == long_path and not os.path.exists(self.unix(FOLDER)),
                  f"PATH mit {length} Zeichen: Exit-Code {code}, danach {after and len(after[1])} Zeichen")
        self.set_user_path(*USER_PATH)

    def silent_install(self):
        # Split at the blanks: the command line reads as typed, /D= unquoted and last.
        start = time.time()
        code = self.wine(self.setup, "/S", "/AUTOSTART=1", "/PATH=0", *f"/D={FOLDER}".split(" "))[0]
        check(code == 0, "Installation schlägt fehl")
        self.timings["stille Installation"] = time.time() - start
        installed, staged = tree(self.unix(FOLDER)), tree(self.stage)
        check(installed.pop("uninstall.exe", None) and installed == staged,
              f"Dateien: {sorted(set(installed.items()) ^ set(staged.items()))}")
        check({"velumor-encode.exe", "velumor-decode.js"} <= set(installed), f"Dateien: {sorted(installed)}")
        check(self.user_path() == USER_PATH, f"PATH nach /PATH=0: {self.user_path()}")
        # The installed tool encodes, and reads its block back.
        code, self.block = self.wine(FOLDER + r"\velumor-encode.exe", "--seed", "7", "Jörg@example.com")
        decoded = self.wine(FOLDER + r"\velumor-encode.exe", "--decode", stdin=self.block.encode())
        check(code == 0 and decoded == (0, "Jörg@example.com\n"), f"velumor-encode: {code}, {decoded}")
        links = self.shortcuts()
        check([os.path.basename(p) for p in links] == ["Velumor-Hilfe.lnk", "Velumor.lnk"], f"Verknüpfungen: {links}")
        targets = [FOLDER + r"\hilfe\index.htm", FOLDER + r"\velumor.exe"]
        for link, target in zip(links, targets):
            # A link keeps its target as a list of names, each in UTF-16.
            data = open(link, "rb").read()
            check(all(name.encode("utf-16-le") in data for name in target.split("\\")[1:]),
                  f"{link} zeigt nicht auf {target}")
        values = self.reg_values(UNINSTALL_KEY)
        values.pop("URLInfoAbout", None)
        estimated = int(values.pop("EstimatedSize", "dword:0")[6:], 16)
        check(estimated > 100, f"EstimatedSize {estimated} kB")
        check(values == {"DisplayName": "Velumor", "DisplayVersion": self.version, "Publisher": self.maker,
                         "DisplayIcon": FOLDER + r"\velumor.exe,0", "InstallLocation": FOLDER,
                         "UninstallString": f'"{FOLDER}\\uninstall.exe"',
                         "QuietUninstallString": f'"{FOLDER}\\uninstall.exe" /S',
                         "NoModify": "dword:00000001", "NoRepair": "dword:00000001"},
              f"Deinstallationsschlüssel: {values}")
        run = self.run_value()
        check(run == f'"{FOLDER}\\velumor.exe" /AUTOSTART', f"Autostart-Eintrag: {run!r}")

    def wizard_upgrade_starts_the_program(self):
        # The pages add a subcaption to the title.
        title = f"Velumor {self.version} Installation*"
        # A folder remembered with a backslash at its end is proposed, and kept, without it.
        self.wine("reg", "add", UNINSTALL_KEY, "/v", "InstallLocation", "/d", FOLDER + "\\", "/f")
        wizard = self.start_program(self.setup, f"{os.path.basename(self.setup)} (oder das von ihm gestartete Velumor)")
        self.wait_for_text(title, "&Weiter >")
        self.driver("click", title, "&Weiter >")
        self.wait_for_text(title, "&Installieren")
        shown = self.wine(self.driver_exe, "texts", title)[1].split("\n")
        check(FOLDER in shown, f"Zielordner auf der Seite: {[line for line in shown if ':' in line]}")
        self.driver("click", title, "&Installieren")
        self.wait_for_text(title, "Velumor beim Anmelden automatisch starten", timeout=60)
        time.sleep(1)
        self.screenshot("installer_options.png")
        # Unticked until pressed: then the folder is added to the PATH.
        self.driver("click", title, "Programmordner zum Suchpfad (PATH) hinzufügen (velumor-encode ohne Pfad aufrufen)")
        self.expect_end(wizard)
        self.driver("click", title, "&Fertigstellen")
        self.ends(wizard, "Fertigstellen")
        # "Velumor jetzt starten" is ticked: the installed program runs.
        self.wait_for_text("Velumor", "Velumor wurde gestartet")
        wait_until(self.tray_window, 20, "Velumor-Symbol im Infobereich")
        self.driver("click", "Velumor", "&OK")
        # In place, with one set of shortcuts, the automatic start kept, and the folder in the PATH.
        check(len(self.shortcuts()) == 2 and self.reg_values(UNINSTALL_KEY)["InstallLocation"] == FOLDER
              and self.run_value() == f'"{FOLDER}\\velumor.exe" /AUTOSTART'
              and self.user_path() == (USER_PATH[0], f"{USER_PATH[1]};{FOLDER}"), f"Upgrade: {self.state()[1:]}")

    def running_program_is_not_touched(self):
        before = self.state()
        check(self.wine(self.setup, "/S", "/AUTOSTART=0")[0] == REFUSED, "Upgrade trotz laufendem Velumor")
        # As documented and as the Apps entry runs it, and in place (_?=).
        for extra in ([], f"_?={FOLDER}".split(" ")):
            code = self.wine(FOLDER + r"\uninstall.exe", "/S", *extra)[0]
            check(code == REFUSED, f"Deinstallation {' '.join(extra)} trotz laufendem Velumor: Exit-Code {code}")
            check(self.state() == before, f"Installation verändert, während Velumor lief ({' '.join(extra)})")
        # As the message asks: "Beenden" in the tray menu.
        self.choose("b")
        wait_until(lambda: self.tray_window() is None, 20, "Velumor beendet")

    def path_option(self):
        def install(switch, expected):
            code = self.wine(self.setup, "/S", switch)[0]
            check(code == 0 and self.user_path() == expected, f"{switch}: Exit-Code {code}, PATH {self.user_path()}")

        # Kept as it is without the switch; added to an empty PATH of type REG_SZ, found by a
        # new console; /PATH=0 takes it out again.
        install("/AUTOSTART=1", (USER_PATH[0], f"{USER_PATH[1]};{FOLDER}"))
        self.set_user_path("REG_SZ", "")
        install("/PATH=1", ("REG_SZ", FOLDER))
        found = self.wine("cmd", "/c", "velumor-encode", "--seed", "7", "Jörg@example.com")
        check(found == (0, self.block), f"velumor-encode über den PATH: {found}")
        install("/PATH=0", None)
        # Added once, at the end; an upgrade finds it also as Windows may have rewritten it.
        self.set_user_path(*USER_PATH)
        install("/PATH=1", (USER_PATH[0], f"{USER_PATH[1]};{FOLDER}"))
        self.set_user_path(USER_PATH[0], f"{USER_PATH[1]};{FOLDER.upper()}\\")
        install("/PATH=1", (USER_PATH[0], f"{USER_PATH[1]};{FOLDER.upper()}\\"))

    def cancelled_uninstall_changes_nothing(self):
        before = self.state()
        title = f"Velumor {self.version} Deinstallation*"
        wizard = self.start_program(self.unix(FOLDER + r"\uninstall.exe"), "uninstall.exe")
        self.wait_for_text(title, "Abbrechen")
        self.expect_end(wizard)
        self.driver("click", title, "Abbrechen")
        self.ends(wizard, "Abbrechen", CANCELLED)
        check(self.state() == before, "Installation verändert nach abgebrochener Deinstallation")

    def silent_uninstall_leaves_nothing(self):
        stray = self.unix(r"C:\Benutzer\Kopie")
        os.makedirs(stray)
        shutil.copy(self.unix(FOLDER + r"\uninstall.exe"), stray)
        shutil.copy(os.path.join(self.stage, "SID1.jpg"), stray)
        self.wine("reg", "add", rf"HKCU\Software\{self.maker}\Velumor", "/v", "_SID1", "/d", self.version, "/f")
        start = time.time()
        code = self.wine(FOLDER + r"\uninstall.exe", "/S")[0]
        # Done when it returns: a script may install again right away. The
        # uninstall.exe that ran is the one file that may stay: Windows lets
        # the uninstaller move it out of the folder while it runs, Wine
        # refuses to move a running program's file.
        leftover = tree(self.unix(FOLDER))
        check(code == 0, f"stille Deinstallation endet mit {code} statt 0")
        check(set(leftover) <= {"uninstall.exe"}, f"nach dem Ende noch da: {sorted(leftover)}")
        self.timings["stille Deinstallation"] = time.time() - start
        check(self.state()[1:] == ([], None, None, None, USER_PATH), f"von Velumor übrig: {self.state()[1:]}")

        code = self.wine(r"C:\Benutzer\Kopie\uninstall.exe", "/S")[0]
        check(code == REFUSED, f"fremde Kopie des Deinstallers endet mit {code} statt {REFUSED}")
        check(os.path.exists(os.path.join(stray, "SID1.jpg")), "fremde Kopie des Deinstallers löscht Dateien")


def tree(folder):
    """{relative path: SHA-256} of the files under a folder."""
    return {os.path.relpath(os.path.join(root, name), folder):
            hashlib.sha256(open(os.path.join(root, name), "rb").read()).hexdigest()
            for root, _, names in os.walk(folder) for name in names}


def main():
    setup, stage, driver, out = (os.path.abspath(p) for p in sys.argv[1:5])
    version, maker = sys.argv[5:7]
    os.makedirs(out, exist_ok=True)
    s = Scenario(setup, stage, driver, out, version, maker)
    if setup.endswith("-x86.exe") and s.env.get("VELUMOR_WIN_PRESET") != "win32":
        print("übersprungen: dieser Rechner führt keine 32-Bit-Programme aus")
        shutil.rmtree(s.work)
        return SKIPPED
    steps = [s.fresh_prefix, s.refuses_a_file_as_folder, s.silent_install, s.wizard_upgrade_starts_the_program,
             s.running_program_is_not_touched, s.path_option, s.cancelled_uninstall_changes_nothing,
             s.silent_uninstall_leaves_nothing]
    if s.run("installer", steps) != 0:
        return 1
    print(f"{os.path.basename(setup)}: {os.path.getsize(setup) // 1024} kB; "
          + ", ".join(f"{name} {seconds:.1f} s" for name, seconds in s.timings.items()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
