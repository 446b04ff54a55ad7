"""What the browser checks share: the drivers in tools/browser and the site
generator and harvester in bench/ on the import path, velumor-encode, the
verdict a page writes, and a folder served under a strict script policy."""
import contextlib
import html
import http.server
import subprocess
import sys
import threading
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path[:0] = [str(ROOT / "tools" / "browser"), str(ROOT / "bench")]


def encode(encoder, *args):
    """What velumor-encode writes; a failing run raises."""
    return subprocess.run([encoder, *args], capture_output=True, text=True, check=True).stdout


def verdict(browser, url):
    """What the page's script wrote into <pre id="verdict">."""
    return html.unescape(browser.dom(url).split('<pre id="verdict">', 1)[-1].split("</pre>")[0])


def same(what, shown, expected):
    """Prints the outcome of one check; true when it passed."""
    print(("ok     " if shown == expected else "FEHLER ") + f"{what} {shown[:400]}")
    return shown == expected


class StrictPolicy(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        self.send_header("Content-Security-Policy", "script-src 'self'")
        super().end_headers()

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def served(folder):
    """The folder from 127.0.0.1 with "script-src 'self'": yields its address."""
    handler = lambda *a: StrictPolicy(*a, directory=str(folder))
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            yield f"http://127.0.0.1:{server.server_address[1]}"
        finally:
            server.shutdown()
