#!/usr/bin/env python3
"""Peak memory of velumor-encode --rewrite on a large page and a large site.

Generates one page of about 50 MB (the pages of rewrite_bench.py one after
another inside a single body) and a folder of 20,000 such pages, rewrites
each in both forms under /usr/bin/time -v and prints the wall time and the
maximum resident set size.

Usage: rewrite_memory.py VELUMOR_ENCODE [PAGE_MB] [PAGES]
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

from rewrite_bench import page


def big_page(rng, megabytes):
    """One document whose body holds articles until it reaches the size."""
    parts, size, n = [], 0, 0
    while size < megabytes * 1_000_000:
        body = page(rng, n).split("<body>", 1)[1].rsplit("</body>", 1)[0]
        parts.append(body)
        size += len(body.encode("utf-8"))
        n += 1
    return ('<!DOCTYPE html>\n<html lang="de"><head><meta charset="utf-8"><title>Archiv</title></head>\n<body>'
            + "".join(parts) + "</body></html>\n").encode("utf-8")


def big_text(megabytes):
    """One document that is a single preformatted text full of addresses: no
    place inside it where the parser could stop."""
    line = "Zeile {}: Fragen an info{}@norvane.example oder presse@norvane.example, Grüße aus Köln – 5 €\n"
    parts, size, n = [], 0, 0
    while size < megabytes * 1_000_000:
        parts.append(line.format(n, n % 97))
        size += len(parts[-1].encode("utf-8"))
        n += 1
    return ("<pre>" + "".join(parts) + "</pre>\n").encode("utf-8")


def measured(encoder, args):
    """Wall time in seconds and maximum resident set size in MB of one run."""
    done = subprocess.run(["/usr/bin/time", "-v", encoder, *args], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(done.stderr)
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr).group(1))
    wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", done.stderr).group(1)
    seconds = sum(float(part) * 60 ** k for k, part in enumerate(reversed(wall.split(":"))))
    return seconds, rss / 1024, done.stdout.splitlines()[-1]


def main():
    encoder = sys.argv[1]
    megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    pages = int(sys.argv[3]) if len(sys.argv) > 3 else 20000
    rng = random.Random(1)
    with tempfile.TemporaryDirectory() as work:
        big, text = big_page(rng, megabytes), big_text(megabytes)
        pristine = os.path.join(work, "unberuehrt")
        for n in range(pages):
            folder = os.path.join(pristine, f"bereich{n // 100}")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, f"seite{n}.html"), "wb") as f:
                f.write(page(rng, n).encode("utf-8"))
        for label, content in (("eine Seite", big), ("ein <pre>-Text", text)):
            for form in ("script", "data"):
                path = os.path.join(work, "gross.html")
                with open(path, "wb") as f:
                    f.write(content)
                seconds, rss, report = measured(encoder, ["--rewrite", "-s", "1", "--format", form, path])
                print(f"{label}, {len(content) / 1e6:.0f} MB, --format {form}: {seconds:.1f} s, "
                      f"höchstens {rss:.0f} MB belegt; {report}")
        site = os.path.join(work, "site")
        for form in ("script", "data"):
            shutil.rmtree(site, ignore_errors=True)
            shutil.copytree(pristine, site)
            seconds, rss, report = measured(encoder, ["--rewrite", "-s", "1", "--format", form, "--dry-run", site])
            print(f"{pages} Seiten, --dry-run --format {form}: {seconds:.1f} s, höchstens {rss:.0f} MB belegt; {report}")
            seconds, rss, report = measured(encoder, ["--rewrite", "-s", "1", "--format", form, site])
            print(f"{pages} Seiten, --format {form}: {seconds:.1f} s, höchstens {rss:.0f} MB belegt; {report}")


if __name__ == "__main__":
    main()
