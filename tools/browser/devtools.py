"""Headless Chromium driven over the DevTools protocol on a pipe
(--remote-debugging-pipe): JSON messages ended by a NUL byte, the browser
reading on descriptor 3 and writing on 4. One browser for many pages.
"""
import base64
import fcntl
import json
import os
import select
import subprocess
import time
from pathlib import Path

from headless import FLAGS, Chromium

ANSWER_SECONDS = 60


# The keys the checks press: DOM code, Windows key code, the text a character key types.
KEYS = {"a": ("KeyA", 65, "a"), "Tab": ("Tab", 9, None), "Enter": ("Enter", 13, "\r")}


class DevToolsError(Exception):
    pass


class ChromiumSession(Chromium):
    def __init__(self, width=1000, height=700):
        super().__init__()
        to_browser, self.writer = os.pipe()
        self.reader, from_browser = os.pipe()
        # Above 4, so that placing them on 3 and 4 cannot overwrite one another.
        high = [fcntl.fcntl(fd, fcntl.F_DUPFD_CLOEXEC, 10) for fd in (to_browser, from_browser)]

        def place():
            os.dup2(high[0], 3)
            os.dup2(high[1], 4)

        self.process = subprocess.Popen(
            [self.binary, *FLAGS, f"--user-data-dir={self.profile.name}", "--remote-debugging-pipe",
             f"--window-size={width},{height}", "about:blank"],
            preexec_fn=place, close_fds=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for fd in (to_browser, from_browser, *high):
            os.close(fd)
        self.buffer = b""
        self.events = []
        self.next_id = 0
        self.session = None
        target = self.command("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.command("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        self.command("Page.enable")

    def __exit__(self, *error):
        self.close()

    def close(self):
        if self.process.poll() is None:
            try:
                self.session = None
                self.command("Browser.close")
            except (OSError, DevToolsError):
                pass
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=20)
        for fd in (self.reader, self.writer):
            try:
                os.close(fd)
            except OSError:
                pass
        super().__exit__()

    def _message(self, deadline, waited_for):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.reader], [], [], left)[0]:
                raise DevToolsError(f"Chromium antwortet nicht innerhalb von {ANSWER_SECONDS} s auf {waited_for}.")
            chunk = os.read(self.reader, 1 << 20)
            if not chunk:
                raise DevToolsError(f"Chromium hat die Verbindung geschlossen, erwartet war {waited_for}.")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def command(self, method, params=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.writer, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + ANSWER_SECONDS
        while True:
            answer = self._message(deadline, method)
            if answer.get("id") == self.next_id:
                break
            self.events.append(answer)
        if "error" in answer:
            raise DevToolsError(f"{method}: {answer['error'].get('message')}")
        return answer.get("result", {})

    def wait_for(self, event):
        deadline = time.monotonic() + ANSWER_SECONDS
        while True:
            for i, message in enumerate(self.events):
                if message.get("method") == event:
                    del self.events[: i + 1]
                    return message.get("params", {})
            self.events.append(self._message(deadline, event))

    def open(self, url, virtual_ms=3000):
        """Loads the page and lets it run for that much virtual time, as --virtual-time-budget does."""
        # Virtual time runs on while the page loads (it stood still since the
        # last budget ran out); the budget starts at the load event, as one
        # given before would run out on the page before.
        self.command("Emulation.setVirtualTimePolicy", {"policy": "advance"})
        self.events.clear()
        self.command("Page.navigate", {"url": url})
        self.wait_for("Page.loadEventFired")
        self.command("Emulation.setVirtualTimePolicy", {"policy": "pauseIfNetworkFetchesPending", "budget": virtual_ms})
        self.wait_for("Emulation.virtualTimeBudgetExpired")

    def evaluate(self, expression):
        answer = self.command("Runtime.evaluate", {"expression": expression, "returnByValue": True})
        if "exceptionDetails" in answer:
            raise DevToolsError(f"{expression}: {answer['exceptionDetails'].get('text')}")
        return answer["result"].get("value")

    def dom(self):
        return self.evaluate("document.documentElement.outerHTML")

    def move_pointer(self, x, y):
        self.command("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y})

    def press_key(self, name):
        """A key by its name in KEYS."""
        key, code, key_code, text = name, *KEYS[name]
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": key_code}
        if text:
            down["text"] = text
        self.command("Input.dispatchKeyEvent", down)
        self.command("Input.dispatchKeyEvent", {"type": "keyUp", "key": key, "code": code,
                                                "windowsVirtualKeyCode": key_code})

    def screenshot(self, path):
        Path(path).write_bytes(base64.b64decode(self.command("Page.captureScreenshot", {"format": "png"})["data"]))
