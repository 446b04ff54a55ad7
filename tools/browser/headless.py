"""Headless Chromium for the page checks, with a profile of its own."""
import shutil
import subprocess
import sys
import tempfile

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
