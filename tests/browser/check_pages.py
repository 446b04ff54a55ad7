#!/usr/bin/env python3
"""Loads pages built from velumor-encode output in headless Chromium and checks
that what each block writes into the page is the input text.

Each page holds the block in one element and, for comparison, the same input
placed straight into the page source in another. A script at the end of the
page compares both (markup and text) and, for plain texts, the text against
the expected string given as a JavaScript literal, and writes its verdict
into the page, which --dump-dom hands back.

Usage: check_pages.py VELUMOR_ENCODE WORK_DIR
"""
import html
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile

CASES = {
    "adresse": "info@example.com",
    "mailto": '<a href="mailto:info@example.com?subject=Anfrage">Schreiben Sie uns</a>',
    "umlaute": "Grüße aus Köln: Ärger, Öl, Übermut und Maß",
    "euro": "Preis: 5 € (inkl. 19 % MwSt.)",
    "typografie": "„Zitat“ – ‚halb‘ — Gedanke … Ende",
    "rueckstrich": "C:\\Programme\\Velumor\\ und \\n bleibt \\n",
    "klammeraffe": "@@ vor @ und nach @",
    "zeilen": "Zeile 1\r\nZeile 2\r\n\r\nZeile 4",
    "polnisch": "Zażółć gęślą jaźń, Łódź",
    "kyrillisch": "Съешь же ещё этих мягких французских булок",
    "emoji": "Danke 😀👍🏽!",
}


# The block's own line breaks after the script and after the noscript line stay
# in the element once both are removed.
BLOCK_BREAKS = "\n\n"


def large_text():
    rng = random.Random(1)
    alphabet = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ äöüßÄÖÜ €„“–…Жż😀 0123456789.,;:!?\r\n"
    symbols = list(alphabet)
    symbols += ["\r\n"] * 3
    text = []
    size = 0
    while size < 100 * 1024:
        s = rng.choice(symbols)
        text.append(s)
        size += len(s.encode("utf-8"))
    return "".join(text)


def page(block, text, markup):
    # The expected text as the parser leaves it: CR LF and lone CR become LF.
    expected = text.replace("\r\n", "\n").replace("\r", "\n")
    text_check = "true" if markup else f"a.textContent === {json.dumps(expected + BLOCK_BREAKS)}"
    return f"""<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Velumor</title></head><body>
<div id="a">{block}</div>
<div id="b">{text}</div>
<script>
var a = document.getElementById("a"), b = document.getElementById("b");
a.removeChild(a.querySelector("script"));
var n = a.querySelector("noscript"); if (n) a.removeChild(n);
var same = a.innerHTML === b.innerHTML + {json.dumps(BLOCK_BREAKS)} && {text_check};
var v = document.createElement("pre"); v.id = "verdict";
v.textContent = same ? "VERDICT" + ":SAME" : "VERDICT" + ":DIFF " + JSON.stringify([a.innerHTML, b.innerHTML]);
document.body.appendChild(v);
</script></body></html>
"""


def chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    sys.exit("Chromium fehlt: bitte 'make test' die Pakete installieren lassen.")


def dump_dom(browser, path, profile, url=None):
    args = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            f"--user-data-dir={profile}", "--dump-dom", url or "file://" + path]
    done = subprocess.run(args, capture_output=True, timeout=120)
    return done.stdout.decode("utf-8", "replace")


def main():
    encoder, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    browser = chromium()
    cases = dict(CASES)
    cases["gross-100kB"] = large_text()
    failures = 0
    with tempfile.TemporaryDirectory(dir=work) as profile:
        for name, text in cases.items():
            encoded = subprocess.run([encoder, "--seed", "17"], input=text.encode("utf-8"), capture_output=True)
            if encoded.returncode != 0:
                print(f"FEHLER {name}: velumor-encode: {encoded.stderr.decode()}")
                failures += 1
                continue
            markup = "<" in text
            path = os.path.join(work, f"{name}.html")
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(page(encoded.stdout.decode("ascii"), text, markup))
            dom = dump_dom(browser, path, profile)
            if '<pre id="verdict">VERDICT:SAME</pre>' in dom:
                print(f"ok     {name} ({len(text)} Zeichen)")
            else:
                at = dom.find('<pre id="verdict">')
                verdict = dom[at:][:400] if at >= 0 else dom[-400:]
                print(f"FEHLER {name}: {html.unescape(verdict)}")
                failures += 1
    print(f"{len(cases) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
