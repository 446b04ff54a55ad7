#!/usr/bin/env python3
"""What an address harvester gets from each form, method by method.

A generated site (harvest_pages.py) is written four times: as it is, with
--rewrite (the script block), with --rewrite --format data, and with
--rewrite --format data --reveal interaction. Four harvesters read every page
of each: the source with an address pattern; the source with references and
percent-escapes decoded; the document headless Chromium has built after
loading and three seconds of virtual time; the document Firefox has after a
scripted person moved the pointer and pressed a key. Each cell counts the
site's addresses the harvester recovered. One browser session per browser
reads all pages of all forms.

Usage: harvest_bench.py VELUMOR_ENCODE [PAGES]
"""
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tools" / "browser"))

import harvester  # noqa: E402
from devtools import ChromiumSession  # noqa: E402
from harvest_pages import make_site  # noqa: E402
from marionette import Firefox  # noqa: E402

FORMS = [
    ("ohne Schutz", None),
    ("<script>-Block", []),
    ("data", ["--format", "data"]),
    ("data, interaction", ["--format", "data", "--reveal", "interaction"]),
]


# Each method takes the paths of the pages and gives the addresses it found on each.
def source_method(read):
    return lambda paths: [read(path.read_text(encoding="utf-8")) for path in paths]


def chromium_after_loading(paths):
    with ChromiumSession() as browser:
        found = []
        for path in paths:
            browser.open(path.as_uri(), virtual_ms=3000)
            found.append(harvester.addresses_in(browser.dom()))
        return found


def firefox_with_a_person(paths):
    with Firefox() as browser:
        found = []
        for path in paths:
            browser.open(path.as_uri())
            browser.move_pointer(120, 80)
            browser.press_key("a")
            found.append(harvester.addresses_in(browser.dom()))
        return found


METHODS = [
    ("(a) Quelltext, Adressmuster", source_method(harvester.from_source)),
    ("(b) Quelltext, Referenzen und %-Escapes aufgelöst", source_method(harvester.from_decoded_source)),
    ("(c) DOM nach dem Laden (Chromium headless, 3 s virtuell)", chromium_after_loading),
    ("(d) DOM nach Maus und Taste (Firefox, Marionette)", firefox_with_a_person),
]


def write_forms(encoder, work, pages):
    """The site in each form, each in a folder of its own with velumor-decode.js beside the pages."""
    site = make_site(work / "plain", pages)
    folders = []
    for label, options in FORMS:
        folder = work / f"form{len(folders)}"
        shutil.copytree(work / "plain", folder)
        if options is not None:
            subprocess.run([encoder, "--rewrite", *options, "--seed", "1", str(folder)], check=True,
                           capture_output=True)
        subprocess.run([encoder, "--write-decoder", str(folder)], check=True, capture_output=True)
        folders.append(folder)
    return site, folders


def main():
    encoder = sys.argv[1]
    pages = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    start = time.monotonic()
    with tempfile.TemporaryDirectory() as work:
        site, folders = write_forms(encoder, Path(work), pages)
        names = sorted(site)
        total = sum(len(site[name]) for name in names)
        paths = [folder / name for folder in folders for name in names]
        rows = []
        for label, method in METHODS:
            found = method(paths)
            cells = [sum(harvester.recovered(found[form * len(names) + i], site[name]) for i, name in enumerate(names))
                     for form in range(len(folders))]
            rows.append((label, cells))

    width = max(len(label) for label, _ in rows)
    print(f"Adressensammler gegen die Formen: {len(names)} Seiten mit {total} Adressen in Text und "
          f"mailto-Links; je Feld die gefundenen von {total}")
    print(" " * width + "".join(f" | {label:>17}" for label, _ in FORMS))
    print("-" * width + "".join("-+-" + "-" * 17 for _ in FORMS))
    for label, cells in rows:
        print(f"{label:<{width}}" + "".join(f" | {cell:>17}" for cell in cells))
    print(f"Dauer: {time.monotonic() - start:.0f} s")


if __name__ == "__main__":
    main()
