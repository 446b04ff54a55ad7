#!/usr/bin/env python3
"""velumor-encode against base64 -w0 on the same files, from outside.

Both read the file on standard input and write to /dev/null; the runs
alternate, and each figure is the median of the runs. Prints wall time, the
ratio to base64 and the peak memory (max RSS) of each program. The last row
decodes a page with one block that is 50 MB long.

    python3 bench/cli_bench.py build/native/bin/velumor-encode [--sizes 1,64,1024] [--runs 5]
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

# German prose as users put it on pages: umlauts and ß everywhere, now and
# then a euro sign, typographic quotes or a dash (beyond Latin-1, so they
# travel as character references), addresses and a little markup.
WORDS = ("Grüße an alle Leser der Seite über Bäume, Flüsse und Straßen; schreiben Sie uns eine Nachricht "
         "oder rufen Sie an. Öffnungszeiten Montag bis Freitag, Anfahrt über die Hauptstraße. Wir "
         "freuen uns über Ihren Besuch und beantworten gern jede Frage zu unseren Angeboten").split()
RARE = ["5 €", "„schön“", "–", "info@example.com", "<a href=\"kontakt.html\">Kontakt</a>"]


def make_text(path, megabytes):
    rng = random.Random(megabytes)
    target = megabytes << 20
    lines = []
    for _ in range(4096):
        words = [rng.choice(RARE) if rng.random() < 0.02 else rng.choice(WORDS) for _ in range(rng.randint(6, 18))]
        lines.append(" ".join(words) + "\n")
    piece = "".join(lines).encode()
    with open(path, "wb") as out:
        written = 0
        while written + len(piece) <= target:
            out.write(piece)
            written += len(piece)
        rest = piece[: target - written]
        while rest and rest[-1] >= 0x80:  # end on a whole character
            rest = rest[:-1]
        out.write(rest)


def run(command, input_path, rss_file):
    """Wall seconds, CPU seconds (user and system) and max RSS in MB of one run.

    A child forked from this script would count the script's own memory in
    its max RSS, so the small GNU time program starts it and reports that."""
    launcher = ["/usr/bin/time", "-f", "%M", "-o", rss_file] if os.path.exists("/usr/bin/time") else []
    with open(input_path, "rb") as stdin, open(os.devnull, "wb") as stdout:
        start = time.perf_counter()
        process = subprocess.Popen(launcher + command, stdin=stdin, stdout=stdout)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{' '.join(command)} failed with status {status}")
    if launcher:
        with open(rss_file) as report:
            rss_kb = int(report.read().split()[-1])
    else:
        rss_kb = usage.ru_maxrss
    return elapsed, usage.ru_utime + usage.ru_stime, rss_kb / 1024


def compare(label, program_args, input_path, runs, rss_file):
    figures = {"ours": [], "theirs": []}
    for _ in range(runs):
        figures["ours"].append(run(program_args, input_path, rss_file))
        figures["theirs"].append(run(["base64", "-w0"], input_path, rss_file))
    wall = {k: statistics.median(r[0] for r in v) for k, v in figures.items()}
    cpu = {k: statistics.median(r[1] for r in v) for k, v in figures.items()}
    rss = {k: max(r[2] for r in v) for k, v in figures.items()}
    size_mb = os.path.getsize(input_path) / (1 << 20)
    print(f"{label:<22} {size_mb:9.1f} {wall['ours']:10.3f} {wall['theirs']:10.3f} {wall['ours'] / wall['theirs']:7.2f}"
          f" {cpu['ours']:8.3f} {cpu['theirs']:8.3f} {cpu['ours'] / max(cpu['theirs'], 1e-3):7.2f}"
          f" {rss['ours']:11.1f} {rss['theirs']:10.1f}", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--sizes", default="1,64,1024", help="text sizes in MB, comma-separated")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--decode-mb", type=int, default=50, help="size of the page for --decode (0: none)")
    parser.add_argument("--dir", default=None, help="folder for the input files (default: a temporary one)")
    args = parser.parse_args()
    program = os.path.abspath(args.program)

    with tempfile.TemporaryDirectory(dir=args.dir) as folder:
        rss_file = os.path.join(folder, "rss")
        print(f"{'':<22} {'input MB':>9} {'velumor s':>10} {'base64 s':>10} {'ratio':>7} {'cpu v s':>8}"
              f" {'cpu b s':>8} {'ratio':>7} {'velumor MB':>11} {'base64 MB':>10}")
        print("(wall and CPU seconds: median of %d alternating runs; MB: max RSS)" % args.runs)
        for megabytes in (int(s) for s in args.sizes.split(",")):
            text = os.path.join(folder, f"text-{megabytes}.txt")
            make_text(text, megabytes)
            compare(f"encode {megabytes} MB", [program, "--seed", "1"], text, args.runs, rss_file)
            os.remove(text)
        if args.decode_mb:
            text = os.path.join(folder, "page-text.txt")
            page = os.path.join(folder, "page.html")
            make_text(text, args.decode_mb // 2)  # two carriers per character
            with open(page, "wb") as out:
                out.write(b"<html><body><p>Kontakt:</p>\n")
                out.flush()
                subprocess.run([program, "--seed", "2", "--input", text], stdout=out, check=True)
                out.write(b"</body></html>\n")
            os.remove(text)
            compare(f"decode {os.path.getsize(page) >> 20} MB page", [program, "--decode"], page, args.runs, rss_file)


if __name__ == "__main__":
    main()
