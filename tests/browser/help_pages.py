#!/usr/bin/env python3
"""Checks the help pages beside the program: the start page the program looks
for exists, every page is UTF-8 HTML with a German language tag, every local
link and picture resolves, and the start page is rendered by headless
Chromium into a PNG for people to look at.

Usage: help_pages.py HELP_DIR OUT_PNG
"""
import os
import re
import sys

import shared  # noqa: F401  (puts the drivers on the import path)
from headless import Chromium

# Local targets only: addresses with a scheme (https:, mailto:) hold a colon;
# an anchor within the page starts with "#".
LOCAL_TARGET = re.compile(r'\b(?:href|src)="([^"#:]+)["#]')


def main():
    help_dir, png = sys.argv[1], sys.argv[2]
    failures = []  # (page, what)
    start = os.path.join(help_dir, "index.htm")
    if not os.path.isfile(start):
        failures.append(("index.htm", "Startseite fehlt"))
    pages = [name for name in sorted(os.listdir(help_dir)) if name.endswith(".htm")]
    for name in pages:
        with open(os.path.join(help_dir, name), encoding="utf-8") as f:
            text = f.read()
        if '<html lang="de">' not in text or '<meta charset="utf-8">' not in text.lower():
            failures.append((name, 'lang="de" oder charset utf-8 fehlt'))
        for target in LOCAL_TARGET.findall(text):
            if not os.path.exists(os.path.join(help_dir, target)):
                failures.append((name, f"Verweis ins Leere: {target}"))
    with Chromium() as browser:
        browser.run(f"--screenshot={png}", "--window-size=1000,900", "file://" + os.path.abspath(start))
    if not os.path.isfile(png):
        failures.append(("index.htm", "Bildschirmfoto fehlt"))
    for page, what in failures:
        print(f"FEHLER {page}: {what}")
    print(f"{len(pages)} Seiten, {len(failures)} Fehler")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
