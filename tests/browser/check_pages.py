#!/usr/bin/env python3
"""Pages built from velumor-encode output in headless Chromium: what each block
writes into the page must be the input, as markup and, for plain texts, as text.

Usage: check_pages.py VELUMOR_ENCODE WORK_DIR
"""
import json
import os
import random
import subprocess
import sys

from shared import same, verdict  # first: it puts the drivers on the import path
from headless import Chromium

CASES = {
    "mailto": '<a href="mailto:info@example.com?subject=Anfrage">Schreiben Sie uns</a>',
    "latein": "Grüße aus Köln: Ärger, Öl, Maß; 5 € „Zitat“ – ‚halb‘ — … @@ vor @ und nach @",
    "rueckstrich": "C:\\Programme\\Velumor\\ und \\n bleibt \\n",
    "zeilen": "Zeile 1\r\nZeile 2\r\n\r\nZeile 4",
    "jenseits": "Zażółć gęślą jaźń, Łódź; Съешь же ещё этих булок; Danke 😀👍🏽!",
}

# The block's own line breaks after the script and the noscript line stay in
# the element once both are removed.
BLOCK_BREAKS = "\n\n"

PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
<div id="a">{block}</div>
<div id="b">{text}</div>
<script>
var a = document.getElementById("a"), b = document.getElementById("b");
a.removeChild(a.querySelector("script"));
var n = a.querySelector("noscript"); if (n) a.removeChild(n);
var same = a.innerHTML === b.innerHTML + {breaks} && {text_check};
var v = document.createElement("pre"); v.id = "verdict";
v.textContent = same ? "SAME" : JSON.stringify([a.innerHTML, b.innerHTML]);
document.body.appendChild(v);
</script></body></html>
"""


def large_text():
    """At least 100 kB of letters from all the ranges above and line breaks."""
    symbols = list("abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ äöüßÄÖÜ €„“–…Жż😀 0123456789.,;:!?\r\n")
    return "".join(random.Random(1).choices(symbols + ["\r\n"] * 3, k=100 * 1024))


def main():
    encoder, work = sys.argv[1:3]
    os.makedirs(work, exist_ok=True)
    failures = 0
    with Chromium() as browser:
        for name, text in {**CASES, "gross-100kB": large_text()}.items():
            block = subprocess.run([encoder, "--seed", "17"], input=text.encode("utf-8"), capture_output=True,
                                   check=True).stdout.decode("ascii")
            # The parser turns CR LF and a lone CR into LF.
            expected = text.replace("\r\n", "\n").replace("\r", "\n") + BLOCK_BREAKS
            text_check = "true" if "<" in text else f"a.textContent === {json.dumps(expected)}"
            path = os.path.join(work, f"{name}.html")
            with open(path, "w", encoding="utf-8", newline="") as f:
                f.write(PAGE.format(block=block, text=text, breaks=json.dumps(BLOCK_BREAKS), text_check=text_check))
            failures += not same(name, verdict(browser, "file://" + path), "SAME")
    print(f"{len(CASES) + 1 - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
