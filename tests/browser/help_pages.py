#!/usr/bin/env python3
"""Checks the help pages beside the program: the start page the program looks
for exists, every page is well-formed UTF-8 HTML with a German language tag,
every local link and picture resolves, and the start page is rendered by
headless Chromium into a PNG for people to look at.

Usage: help_pages.py HELP_DIR OUT_PNG
"""
import html.parser
import os
import sys

from headless import Chromium


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.targets, self.lang, self.charset = [], None, False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "html":
            self.lang = attrs.get("lang")
        if tag == "meta" and (attrs.get("charset", "").lower() == "utf-8"):
            self.charset = True
        for name in ("href", "src"):
            value = attrs.get(name)
            if value and "://" not in value and not value.startswith(("mailto:", "#")):
                self.targets.append(value.split("#")[0])


def main():
    help_dir, png = sys.argv[1], sys.argv[2]
    failures = []  # (page, what)
    start = os.path.join(help_dir, "index.htm")
    if not os.path.isfile(start):
        failures.append(("index.htm", "Startseite fehlt"))
    pages = [name for name in sorted(os.listdir(help_dir)) if name.endswith(".htm")]
    for name in pages:
        with open(os.path.join(help_dir, name), encoding="utf-8") as f:
            parser = Links()
            parser.feed(f.read())
        if parser.lang != "de" or not parser.charset:
            failures.append((name, 'lang="de" oder charset utf-8 fehlt'))
        for target in parser.targets:
            if target and not os.path.exists(os.path.join(help_dir, target)):
                failures.append((name, f"Verweis ins Leere: {target}"))
    with Chromium() as browser:
        browser.run(f"--screenshot={png}", "--window-size=1000,900", "file://" + os.path.abspath(start))
    if not os.path.isfile(png):
        failures.append(("index.htm", "Bildschirmfoto fehlt"))
    for page, what in failures:
        print(f"FEHLER {page}: {what}")
    failed_pages = {page for page, _ in failures}
    print(f"{len(set(pages) - failed_pages)} passed, {len(failed_pages)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
