#!/usr/bin/env python3
"""Speed of velumor-encode --rewrite over a generated site of 1,000 pages.

Each page is about 6.5 kB of ordinary markup (navigation, articles, a table, a
style and a script) with two mailto links and three addresses in the text;
the figure is the wall time of one run over the whole folder.

Usage: rewrite_bench.py VELUMOR_ENCODE [PAGES]
"""
import os
import random
import subprocess
import sys
import tempfile
import time

WORDS = "Seite Angebot Preis Kunde Software Hilfe Lizenz Version Fenster Text Adresse Grüße Straße".split()


def page(rng, n):
    def sentence():
        return " ".join(rng.choice(WORDS) for _ in range(rng.randint(8, 20))) + "."

    rows = "".join(f"<tr><td>{sentence()}</td><td>{rng.randint(1, 999)} €</td></tr>\n" for _ in range(12))
    paragraphs = "".join(f"<p>{sentence()} {sentence()}</p>\n" for _ in range(20))
    return f"""<!DOCTYPE html>
<html lang="de"><head><meta charset="utf-8"><title>Seite {n}</title>
<style>@media print {{ nav {{ display: none }} }} body {{ font: 1em sans-serif }}</style>
<script>var seite = {n};</script></head>
<body><nav><ul><li><a href="/">Start</a></li><li><a href="/produkte/">Produkte</a></li></ul></nav>
<article><h1>Seite {n}</h1>
{paragraphs}<p>Fragen an <a href="mailto:info{n}@norvane.example?subject=Seite%20{n}">info{n}@norvane.example</a>
oder vertrieb{n}@norvane.example, Presse: presse@norvane.example.</p>
<table>{rows}</table>
<p>Technik: technik@norvane.example; <a href="mailto:team@norvane.example"><b>Team</b></a>. Folgen Sie @norvane.</p>
</article></body></html>
"""


def main():
    encoder = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    rng = random.Random(1)
    with tempfile.TemporaryDirectory() as site:
        size = 0
        for n in range(count):
            folder = os.path.join(site, f"bereich{n // 100}")
            os.makedirs(folder, exist_ok=True)
            data = page(rng, n).encode("utf-8")
            size += len(data)
            with open(os.path.join(folder, f"seite{n}.html"), "wb") as f:
                f.write(data)
        for label, extra in (("--rewrite --dry-run", ["--dry-run"]), ("--rewrite", [])):
            start = time.perf_counter()
            done = subprocess.run([encoder, "--rewrite", *extra, site], capture_output=True, text=True)
            seconds = time.perf_counter() - start
            if done.returncode != 0:
                sys.exit(done.stderr)
            print(f"{label:20} {count} Seiten, {size / 1e6:.1f} MB: {seconds:.2f} s, "
                  f"{count / seconds:.0f} Seiten/s, {size / 1e6 / seconds:.1f} MB/s; {done.stdout.splitlines()[-1]}")


if __name__ == "__main__":
    main()
