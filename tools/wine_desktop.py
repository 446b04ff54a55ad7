"""Windows programs under Wine on an X display, in a prefix of their own,
worked as a user would: the driver program (tests/e2e/velumor_driver.cpp)
for their windows and menus, xdotool for the notification area, xclip for
the clipboard, ImageMagick for screenshots. A crash of any program started
fails the step at once. Used by the end-to-end and installer tests and by
tools/dpi_shots.py.
"""
import os
import re
import shutil
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# What Wine prints for a crash, as tools/wine-run reads it: an unhandled
# exception (also under WINEDEBUG=-all; without a crash debugger the program
# has ended by then), or with err+seh an exception that escaped a window
# procedure called for a sent message, which Wine drops while the program runs
# on; warn+seh names the exception raised before.
UNHANDLED = re.compile(r"^wine: (.*Unhandled.*|.*, starting debugger\.\.\.)$", re.M)
RAISED = re.compile(r"^([0-9a-f]+):warn:seh:dispatch_exception (.*) raised$", re.M)
DROPPED = re.compile(r"^([0-9a-f]+):err:seh:KiUserCallbackDispatcher ignoring exception$", re.M)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


# Called on every poll: the desktop's checks of the programs it runs, so that
# a crash fails the step at once instead of when the wait runs out.
watchers = []


def wait_until(predicate, timeout, what):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        for watch in watchers:
            watch()
        time.sleep(0.1)
    raise Failure(f"Zeitüberschreitung: {what}")


def crash_in(path):
    """The first crash Wine reported in a stderr file, or None."""
    with open(path, "rb") as output:
        text = output.read().decode("utf-8", "replace")
    unhandled, dropped = UNHANDLED.search(text), DROPPED.search(text)
    if unhandled and not (dropped and dropped.start() < unhandled.start()):
        return unhandled.group(1).removesuffix(", starting debugger...")
    if dropped:
        raised = [kind for thread, kind in RAISED.findall(text[:dropped.start()]) if thread == dropped.group(1)]
        return f"{raised[-1] if raised else 'Ausnahme'} in einer Fensterprozedur " \
               "(von Wine übergangen, das Programm lief weiter)"
    return None


def program_name(path):
    return re.split(r"[\\/]", path)[-1]


class Program:
    """A Windows program that runs beside the steps, its stderr in a file."""

    def __init__(self, name, process, errors):
        self.name, self.process, self.errors, self.may_end = name, process, errors, False


def windows_path(path):
    """A Linux path as Wine's drive Z: shows it."""
    return "Z:" + path.replace("/", "\\")


class Desktop:
    """Wine on the X display, in a prefix of its own: Windows programs, the
    driver for their windows, xdotool for the tray, xclip for the clipboard,
    and screenshots."""

    def __init__(self, driver, out):
        self.driver_exe, self.out, self.prefix = driver, out, os.path.join(out, "prefix")
        # The loader and server that tools/wine-env.sh chooses for this machine.
        env = subprocess.run(["sh", "-c", '. "$VELUMOR_ROOT/tools/wine-env.sh" && env -0'],
                             env=dict(os.environ, VELUMOR_ROOT=ROOT), capture_output=True, check=True,
                             timeout=60).stdout
        self.env = dict(item.split("=", 1) for item in env.decode().split("\0") if "=" in item)
        # Arguments with umlauts reach the Windows side intact; the prefix puts
        # no menu entries or file associations on the host.
        self.env.update(LANG="C.UTF-8", LC_ALL="C.UTF-8", WINEPREFIX=self.prefix,
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                        WINEDEBUG=self.env["WINEDEBUG"] + ",err+seh,warn+seh")
        self.work = tempfile.mkdtemp(prefix="velumor-test-")
        self.processes = []  # ended with the desktop
        self.programs = []  # of class Program
        watchers.append(self.check_programs)

    def fresh_prefix(self):
        shutil.rmtree(self.prefix, ignore_errors=True)
        self.wine("wineboot", "--init", timeout=300)
        # A crashing program ends at once, with its fault on stderr, instead of waiting for winedbg.
        check(subprocess.run(["sh", os.path.join(ROOT, "tools", "wine-no-debugger.sh")], env=self.env,
                             timeout=300).returncode == 0, "Absturz-Debugger von Wine nicht abgeschaltet")

    def wine(self, *args, timeout=60, stdin=b""):
        """Runs a Windows program to its end; a crash of it, or of a program
        running beside it, fails the step at once. Its output goes through
        files, not pipes: Wine's own helper processes (wineserver, explorer)
        inherit the handles of the program that starts them and would hold a
        pipe open."""
        name = program_name(args[0])
        with tempfile.TemporaryFile() as given, tempfile.TemporaryFile() as out, \
                tempfile.NamedTemporaryFile(dir=self.work) as err:
            given.write(stdin)
            given.seek(0)
            process = subprocess.Popen([self.env["VELUMOR_WINE"], *args], env=self.env, stdin=given, stdout=out,
                                       stderr=err)
            try:
                end = time.time() + timeout
                while process.poll() is None:
                    if time.time() > end:
                        raise Failure(f"Zeitüberschreitung: {name} {' '.join(args[1:])} endet nicht in {timeout} s")
                    self.check_programs()
                    time.sleep(0.02)
            finally:
                process.kill()
                process.wait()
            fault = crash_in(err.name)
            if fault:
                raise Failure(f"ABSTURZ: {name}: {fault}")
            if process.returncode == 3 and name == program_name(self.driver_exe):
                err.seek(0)
                raise Failure(err.read().decode("utf-8", "replace").strip())
            out.seek(0)
            return process.returncode, out.read().decode("utf-8", "replace").replace("\r\n", "\n")

    def start(self, *command, **kwargs):
        self.processes.append(subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, **kwargs))
        return self.processes[-1]

    def start_program(self, path, name=None, **kwargs):
        """Starts a Windows program that runs beside the steps: from now on a
        crash of it, or its end before expect_end(), fails the step at once.
        Programs it starts share its stderr, so name them in `name`."""
        errors = os.path.join(self.work, f"program{len(self.programs)}.stderr")
        with open(errors, "wb") as err:
            process = subprocess.Popen([self.env["VELUMOR_WINE"], path], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=err, **kwargs)
        self.processes.append(process)
        self.programs.append(Program(name or program_name(path), process, errors))
        return process

    def expect_end(self, process):
        """The program may end from now on; the step checks how, with ends()."""
        next(program for program in self.programs if program.process is process).may_end = True

    def ends(self, process, after, code=0, timeout=30):
        """The program ends with that exit code within the time after the user's `after`."""
        name = next(program.name for program in self.programs if program.process is process)
        try:
            ended = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{name} endet nicht innerhalb von {timeout} s nach „{after}“") from None
        check(ended == code, f"{name} endet nach „{after}“ mit {ended} statt {code}")

    def check_programs(self):
        for program in self.programs:
            fault = crash_in(program.errors)
            if fault:
                raise Failure(f"ABSTURZ: {program.name}: {fault}")
            if not program.may_end and program.process.poll() is not None:
                raise Failure(f"{program.name} hat sich unerwartet beendet (Exit-Code {program.process.returncode})")

    def driver(self, *args):
        return self.wine(self.driver_exe, *args)[0] == 0

    def wait_for_text(self, title, expected, timeout=30):
        """A window with that title shows `expected` (the progress strip may
        carry the same title for a moment)."""
        wait_until(lambda: expected in self.wine(self.driver_exe, "texts", title, "2000")[1], timeout,
                   f"{title}: {expected}")

    def dismiss(self, title, button):
        self.driver("click", title, button)
        wait_until(lambda: not self.driver("texts", title, "0"), 5, f"{title} bleibt offen")

    def reg_values(self, key):
        """A registry key's values as {name: text}, None when it is missing.
        Read through an export: it is UTF-16, where reg's listing is ANSI."""
        export = os.path.join(self.work, "export.reg")
        if self.wine("reg", "export", key, windows_path(export), "/y")[0] != 0:
            return None
        # Not its subkeys; a long hex value goes on over lines ending in "\".
        own = open(export, encoding="utf-16").read().split("\n\n")[1].replace("\\\n  ", "")
        return {re.sub(r"\\(.)", r"\1", name): re.sub(r"\\(.)", r"\1", data[1:-1]) if data[0] == '"' else data
                for name, data in re.findall(r'^"((?:[^"\\]|\\.)*)"=(.*)$', own, re.M)}

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30).stdout.split()

    def tray_window(self):
        return next(iter(self.xdotool("search", "--onlyvisible", "--name", "Wine System Tray")), None)

    def click_tray(self, button):
        window = wait_until(self.tray_window, 20, "Wine-Infobereich")
        self.xdotool("mousemove", "--window", window, "10", "10", "click", str(button))

    def choose(self, letter):
        """Opens the tray menu with a right click and chooses the entry with
        that underlined letter. Right after a menu closed, Wine may still be
        finishing its menu loop and swallow the press; a user would simply
        press again."""
        for _ in range(3):
            self.click_tray(3)
            try:
                return wait_until(lambda: self.driver("menu", letter), 4, "Menü")
            except Failure:
                self.check_programs()  # a crash is no swallowed press
        raise Failure("Menü öffnet sich nicht")

    def set_clipboard(self, text):
        owner = self.start("xclip", "-selection", "clipboard", "-i", "-quiet", stdin=subprocess.PIPE)
        owner.stdin.write(text.encode("utf-8"))
        owner.stdin.close()
        time.sleep(0.3)

    def clipboard(self):
        # Nothing on stdout when the clipboard is empty or holds no text.
        return subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True,
                              timeout=30).stdout.decode("utf-8", "replace")

    def screenshot(self, name):
        subprocess.run(["import", "-window", "root", os.path.join(self.out, name)], capture_output=True, timeout=30)

    def run(self, name, steps, *args):
        """Runs the steps in order until one fails: 0 when all pass."""
        try:
            if shutil.which("openbox"):
                self.start("openbox")
                time.sleep(1)
            for step in steps:
                step(*args)
                self.check_programs()  # a crash between the steps fails the step before it
                print(f"ok     {step.__name__}")
            return 0
        except (Failure, subprocess.TimeoutExpired) as error:
            print(f"FEHLER {step.__name__}: {error}")
            try:
                self.check_programs()
            except Failure as crash:
                if str(crash) != str(error):
                    print(f"FEHLER {step.__name__}: {crash}")
            self.screenshot(f"{name}_failure_{step.__name__}.png")
            return 1
        finally:
            for process in self.processes:
                process.kill()
            subprocess.run([self.env["VELUMOR_WINESERVER"], "-k"], env=self.env, capture_output=True, timeout=60)
            shutil.rmtree(self.work, ignore_errors=True)
