#!/usr/bin/env python3
"""velumor-encode --rewrite and --format data in headless Chromium.

  rewrite: the pages under tests/site are rewritten in place; each must render
           the same DOM as before (scripts and noscript notices aside), keep
           every byte outside the replaced spans, hold none of its addresses
           outside the blocks, and stay as it is on a second run.
  csp:     a page served from 127.0.0.1 with "script-src 'self'": the data
           form is decoded by velumor-decode.js, also for an element inserted
           later, while the inline block is refused there.
  escapes: characters beyond Latin-1 inside a script and a style that a block
           writes arrive as themselves.

Usage: site_checks.py rewrite|csp|escapes VELUMOR_ENCODE SITE_DIR WORK_DIR
"""
import html.parser
import http.server
import os
import shutil
import subprocess
import sys
import threading

from headless import Chromium

ADDRESSES = ["info@", "presse@", "vertrieb@", "buero@", "impressum@", "leser@", "anna@", "korrektur@",
             "j\u00fcrgen@"]
BLOCK_START, BLOCK_END = '<script language="JavaScript" type="text/javascript">', "</noscript>"


class Tokens(html.parser.HTMLParser):
    """The DOM as a token list, without scripts and noscript notices."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.tokens, self.skip = [], 0
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.skip += tag in ("script", "noscript")
        if not self.skip:
            self.tokens.append(("<", tag, attrs))

    def handle_endtag(self, tag):
        if not self.skip:
            self.tokens.append(("/", tag))
        self.skip -= tag in ("script", "noscript") and self.skip > 0

    def handle_data(self, data):
        if self.skip:
            return
        if self.tokens and self.tokens[-1][0] == "t":
            self.tokens[-1] = ("t", self.tokens[-1][1] + data)
        else:
            self.tokens.append(("t", data))


def check_rewrite(encoder, site, work, browser):
    before, after = os.path.join(work, "vorher"), os.path.join(work, "nachher")
    for target in (before, after):
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(site, target)
    run = subprocess.run([encoder, "--rewrite", after], capture_output=True, text=True)
    assert run.returncode == 0 and run.stdout.endswith("Geschützt: 9 Adressen in 3 Dateien.\n"), run
    again = subprocess.run([encoder, "--rewrite", after], capture_output=True, text=True)
    assert again.stdout.endswith("Geschützt: 0 Adressen in 0 Dateien.\n"), again
    failures = 0
    for folder, _, names in os.walk(before):
        for name in names:
            original = os.path.join(folder, name)
            rewritten = os.path.join(after, os.path.relpath(original, before))
            encoding = "cp1252" if name.endswith(".htm") else "utf-8"
            old, new = (open(p, encoding=encoding, newline="").read() for p in (original, rewritten))
            # Outside the blocks every character as it was; inside, what the block writes.
            rebuilt, outside, at = "", "", 0
            decoded = iter(subprocess.run([encoder, "--decode", "--input", rewritten], capture_output=True,
                                          text=True, check=True).stdout.split("\n"))
            while (start := new.find(BLOCK_START, at)) >= 0:
                end = new.index(BLOCK_END, start) + len(BLOCK_END)
                outside += new[at:start]
                rebuilt += new[at:start] + next(decoded)
                at = end
            rebuilt, outside = rebuilt + new[at:], outside + new[at:]
            problems = []
            if rebuilt != old:
                problems.append("Bytes außerhalb der Blöcke verändert")
            problems += [f"Adresse {a} außerhalb der Blöcke" for a in ADDRESSES if a + "norvane" in outside]
            doms = [Tokens(browser.dom("file://" + p)).tokens for p in (original, rewritten)]
            if doms[0] != doms[1] or len(doms[0]) < 10:
                problems.append(f"DOM verschieden: {[t for t in doms[1] if t not in doms[0]][:3]}")
            print(("FEHLER " if problems else "ok     ") + name, "; ".join(problems))
            failures += bool(problems)
    return failures


class Server(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        self.send_header("Content-Security-Policy", "script-src 'self'")
        super().end_headers()

    def log_message(self, *args):
        pass


CSP_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><script src="check.js"></script>
<script src="js/velumor-decode.js"></script></head><body>
<p id="link">Schreiben Sie an <a href="mailto:info@norvane.example">info@norvane.example</a>.</p>
<div id="inline">{block}</div></body></html>"""
CHECK_JS = """var refused = 0;
document.addEventListener("securitypolicyviolation", function () { refused++; });
window.addEventListener("load", function () {
  var late = document.createElement("p");
  late.innerHTML = "Später: " + {late};
  document.body.appendChild(late);
  var replaced = velumorDecode(late);
  var v = document.createElement("pre"); v.id = "verdict";
  v.textContent = JSON.stringify([document.getElementById("link").innerHTML, late.innerHTML, replaced,
    document.getElementById("inline").textContent.indexOf("inline@") < 0 && refused > 0]);
  document.body.appendChild(v);
});"""


def check_csp(encoder, site, work, browser):
    root = os.path.join(work, "csp")
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)

    def encode(*args):
        return subprocess.run([encoder, *args], capture_output=True, text=True, check=True).stdout

    late = encode("--format", "data", '<a href="mailto:spaet@norvane.example">sp\u00e4t</a>')
    with open(os.path.join(root, "seite.html"), "w", encoding="utf-8") as f:
        f.write(CSP_PAGE.format(block=encode("inline@norvane.example")))
    with open(os.path.join(root, "check.js"), "w", encoding="utf-8") as f:
        f.write(CHECK_JS.replace("{late}", repr(late)))
    encode("--rewrite", "--format", "data", "--write-decoder", os.path.join(root, "js"), os.path.join(root, "seite.html"))
    handler = lambda *a: Server(*a, directory=root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        verdict = browser.verdict(f"http://127.0.0.1:{server.server_address[1]}/seite.html")
    finally:
        server.shutdown()
        server.server_close()
    expected = '["Schreiben Sie an <a href=\\"mailto:info@norvane.example\\">info@norvane.example</a>.",' \
               '"Später: <a href=\\"mailto:spaet@norvane.example\\">spät</a>",1,true]'
    print(("ok     " if verdict == expected else "FEHLER ") + "csp " + verdict)
    return verdict != expected


ESCAPES_TEXT = ('<style>#e::after{content:"12 \u20ac\U0001F600"}</style><span id="e"></span>'
                '<script>window.length12 = "12 \u20ac\U0001F600".length;</script>')
ESCAPES_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>{block}
<script>var v = document.createElement("pre"); v.id = "verdict";
v.textContent = getComputedStyle(document.getElementById("e"), "::after").content + "|" + window.length12;
document.body.appendChild(v);</script></body></html>"""


def check_escapes(encoder, site, work, browser):
    block = subprocess.run([encoder], input=ESCAPES_TEXT, capture_output=True, text=True, check=True).stdout
    path = os.path.join(work, "escapes.html")
    with open(path, "w", encoding="utf-8") as f:
        f.write(ESCAPES_PAGE.format(block=block))
    verdict = browser.verdict("file://" + path)
    expected = '"12 \u20ac\U0001F600"|6'
    print(("ok     " if verdict == expected else "FEHLER ") + "escapes " + verdict)
    return verdict != expected


def main():
    mode, encoder, site, work = sys.argv[1:5]
    os.makedirs(work, exist_ok=True)
    check = {"rewrite": check_rewrite, "csp": check_csp, "escapes": check_escapes}[mode]
    with Chromium() as browser:
        return 1 if check(encoder, site, work, browser) else 0


if __name__ == "__main__":
    sys.exit(main())
