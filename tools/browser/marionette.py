"""Headless Firefox driven over Marionette, its own TCP protocol: each message
is "LENGTH:JSON"; a command is [0, id, name, parameters], its answer
[1, id, error, result]. One browser for many pages, with a profile of its own.
"""
import base64
import json
import shutil
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

START_SECONDS = 60
ANSWER_SECONDS = 60

# Quiet and offline: no update, telemetry or first-run page, nothing fetched
# from outside; the port is chosen by Firefox and written into the profile.
PREFERENCES = {
    "marionette.port": 0,
    "app.update.disabledForTesting": True,
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "browser.safebrowsing.update.enabled": False,
    "extensions.update.enabled": False,
    "network.dns.disablePrefetch": True,
    "network.prefetch-next": False,
}


# The keys the checks press, as WebDriver names them.
KEYS = {"a": "a", "Tab": "\ue004", "Enter": "\ue007"}


class MarionetteError(Exception):
    pass


class Firefox:
    def __init__(self):
        found = [shutil.which(name) for name in ("firefox-esr", "firefox")]
        binary = next((path for path in found if path), None)
        if not binary:
            sys.exit("Firefox fehlt: bitte 'make test' die Pakete installieren lassen.")
        self.profile = tempfile.TemporaryDirectory()
        Path(self.profile.name, "user.js").write_text(
            "".join(f"user_pref({json.dumps(k)}, {json.dumps(v)});\n" for k, v in PREFERENCES.items()))
        self.process = subprocess.Popen(
            [binary, "--headless", "--marionette", "--no-remote", "--profile", self.profile.name, "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.next_id = 0
        self.socket = self._connect()
        self._read()  # the greeting
        self.command("WebDriver:NewSession", {"capabilities": {"alwaysMatch": {"pageLoadStrategy": "normal"}}})

    def _connect(self):
        port_file = Path(self.profile.name, "MarionetteActivePort")
        deadline = time.monotonic() + START_SECONDS
        while time.monotonic() < deadline and self.process.poll() is None:
            if port_file.exists() and port_file.read_text().strip():
                connection = socket.create_connection(("127.0.0.1", int(port_file.read_text())), timeout=10)
                connection.settimeout(ANSWER_SECONDS)
                return connection
            time.sleep(0.1)
        self.close()
        raise MarionetteError(f"Firefox öffnet Marionette nicht innerhalb von {START_SECONDS} s.")

    def __enter__(self):
        return self

    def __exit__(self, *error):
        self.close()

    def close(self):
        if getattr(self, "socket", None):
            try:
                self.command("Marionette:Quit", {"flags": ["eForceQuit"]})
            except (OSError, MarionetteError):
                pass
            self.socket.close()
            self.socket = None
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=20)
        self.profile.cleanup()

    def _read(self):
        length = b""
        while not length.endswith(b":"):
            byte = self.socket.recv(1)
            if not byte:
                raise MarionetteError("Firefox hat die Verbindung geschlossen.")
            length += byte
        body = b""
        while len(body) < int(length[:-1]):
            chunk = self.socket.recv(int(length[:-1]) - len(body))
            if not chunk:
                raise MarionetteError("Firefox hat die Verbindung mitten in einer Antwort geschlossen.")
            body += chunk
        return json.loads(body)

    def command(self, name, parameters=None):
        self.next_id += 1
        message = json.dumps([0, self.next_id, name, parameters or {}]).encode()
        self.socket.sendall(str(len(message)).encode() + b":" + message)
        while True:
            kind, answer_id, error, result = self._read()
            if kind == 1 and answer_id == self.next_id:
                break
        if error:
            raise MarionetteError(f"{name}: {error.get('error')}: {error.get('message')}")
        return result

    def open(self, url):
        """Loads the page and returns once its load event has passed."""
        self.command("WebDriver:Navigate", {"url": url})

    def evaluate(self, script):
        return self.command("WebDriver:ExecuteScript", {"script": script, "args": []})["value"]

    def dom(self):
        return self.evaluate("return document.documentElement.outerHTML;")

    def perform(self, *actions):
        """One input source's actions, at once; then every key and button is let go."""
        self.command("WebDriver:PerformActions", {"actions": list(actions)})
        self.command("WebDriver:ReleaseActions")

    def move_pointer(self, x, y):
        self.perform({"type": "pointer", "id": "maus", "parameters": {"pointerType": "mouse"},
                      "actions": [{"type": "pointerMove", "x": x, "y": y, "duration": 0}]})

    def press_key(self, name):
        """A key by its name in KEYS."""
        key = KEYS[name]
        self.perform({"type": "key", "id": "tasten",
                      "actions": [{"type": "keyDown", "value": key}, {"type": "keyUp", "value": key}]})

    def screenshot(self, path):
        Path(path).write_bytes(base64.b64decode(self.command("WebDriver:TakeScreenshot", {"full": False})["value"]))
