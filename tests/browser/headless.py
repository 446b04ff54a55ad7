"""Headless browsers for the page checks, each with a profile of its own."""
import html
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]


class Chromium:
    def __init__(self):
        found = [shutil.which(name) for name in ("chromium", "chromium-browser", "google-chrome")]
        self.binary = next((path for path in found if path), None)
        if not self.binary:
            sys.exit("Chromium fehlt: bitte 'make test' die Pakete installieren lassen.")
        self.profile = tempfile.TemporaryDirectory()

    def __enter__(self):
        return self

    def __exit__(self, *error):
        self.profile.cleanup()

    def run(self, *args):
        done = subprocess.run([self.binary, *FLAGS, f"--user-data-dir={self.profile.name}", *args],
                              capture_output=True, timeout=120)
        return done.stdout.decode("utf-8", "replace")

    def dom(self, url):
        """The page's DOM once its scripts have run."""
        return self.run("--dump-dom", url)

    def verdict(self, url):
        """What the page's script wrote into <pre id="verdict">."""
        return html.unescape(self.dom(url).split('<pre id="verdict">', 1)[-1].split("</pre>")[0])


class Firefox:
    """Headless Firefox driven over Marionette, its own remote protocol: one
    browser for all pages of a check, with a profile of its own."""

    def __init__(self):
        self.binary = shutil.which("firefox-esr") or shutil.which("firefox")
        if not self.binary:
            sys.exit("Firefox fehlt: bitte 'make test' die Pakete installieren lassen.")
        self.profile = tempfile.TemporaryDirectory()
        # Port 0: the system picks one, and Firefox names it in the profile.
        with open(os.path.join(self.profile.name, "user.js"), "w") as prefs:
            prefs.write('user_pref("marionette.port", 0);\n')
        self.process = subprocess.Popen([self.binary, "--headless", "--marionette", "--no-remote", "--profile",
                                         self.profile.name, "about:blank"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pending = b""
        self.last_id = 0
        port_file = os.path.join(self.profile.name, "MarionetteActivePort")
        deadline = time.monotonic() + 60
        while not os.path.exists(port_file):
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.close()
                sys.exit("Firefox meldet keinen Marionette-Port.")
            time.sleep(0.2)
        time.sleep(0.2)  # the file is written before the port listens
        with open(port_file) as f:
            self.socket = socket.create_connection(("127.0.0.1", int(f.read())), timeout=120)
        self.receive()  # the greeting
        self.command("WebDriver:NewSession", {"capabilities": {}})

    def __enter__(self):
        return self

    def __exit__(self, *error):
        self.close()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.profile.cleanup()

    def receive(self):
        """One message: its length in decimal digits, a colon, JSON."""
        while b":" not in self.pending:
            self.pending += self.socket.recv(65536)
        length, rest = self.pending.split(b":", 1)
        while len(rest) < int(length):
            rest += self.socket.recv(65536)
        self.pending = rest[int(length):]
        return json.loads(rest[:int(length)])

    def command(self, name, parameters):
        self.last_id += 1
        message = json.dumps([0, self.last_id, name, parameters]).encode("utf-8")
        self.socket.sendall(str(len(message)).encode() + b":" + message)
        _, _, error, result = self.receive()
        if error:
            raise RuntimeError(f"Firefox: {name}: {error.get('message')}")
        return result

    def dom(self, url):
        """The page's DOM once it has loaded and its scripts have run."""
        self.command("WebDriver:Navigate", {"url": url})
        return self.command("WebDriver:ExecuteScript",
                            {"script": "return document.documentElement.outerHTML;", "args": []})["value"]
