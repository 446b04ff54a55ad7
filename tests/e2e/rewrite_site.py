#!/usr/bin/env python3
"""velumor-encode.exe --rewrite under Wine, as a Windows user starts it: over
a folder named with Polish and Cyrillic letters and a space, with pages in
UTF-8 and Windows-1252 with CR LF, and links out of the folder. Checks the
exit codes, that the pages decode to what they held and keep every other
byte, and that the paths in the messages arrive as they are.

Usage: rewrite_site.py VELUMOR-ENCODE.EXE WORK-FOLDER
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BLOCK = re.compile(rb"<script language=.*?</noscript>", re.S)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FEHLER: " + what, file=sys.stderr)


def windows_path(path):
    """A Linux path as Wine's drive Z: shows it."""
    return "Z:" + path.replace("/", "\\")


def encode(encoder, *args):
    """Runs the tool through tools/wine-run, which fails a crash; its output
    goes through files, since Wine's helper processes would hold a pipe open.
    Returns the exit code, standard output (bytes) and error output (text)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        # A UTF-8 locale, so that Wine hands the arguments over as they are.
        env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
        code = subprocess.run(["sh", os.path.join(ROOT, "tools", "wine-run"), encoder, *args], stdin=subprocess.DEVNULL,
                              stdout=out, stderr=err, env=env, timeout=120).returncode
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read().decode("utf-8", "replace").replace("\r\n", "\n")


def main():
    encoder, work = sys.argv[1], os.path.abspath(sys.argv[2])
    # The prefix made beforehand, so that what its making prints is not taken for the tool's output.
    subprocess.run(["sh", os.path.join(ROOT, "tools", "wine-init.sh")], stdout=subprocess.DEVNULL, check=True,
                   timeout=600)
    shutil.rmtree(work, ignore_errors=True)
    site = os.path.join(work, "Seiten Łódź Привет")
    outside = os.path.join(work, "draußen")
    os.makedirs(os.path.join(site, "Обо мне"))
    os.makedirs(outside)
    link = '<a href="mailto:biuro@example.pl">Biuro</a>'
    # Each page: what it holds, what its blocks write (as --decode prints
    # it), and the page with each block as "#".
    pages = {
        "kontakt.html": (("<!DOCTYPE html>\r\n<p>Łódź: " + link + "\r\n<p>info@example.pl</p>\r\n").encode(),
                         (link + "\ninfo@example.pl\n").encode(),
                         "<!DOCTYPE html>\r\n<p>Łódź: #\r\n<p>#</p>\r\n".encode()),
        os.path.join("Обо мне", "alt.htm"): (b"<meta charset=windows-1252>\r\n<p>M\xfcller \x80 "
                                             b"m\xfcller@example.de</p>\r\n", "müller@example.de\n".encode(),
                                             b"<meta charset=windows-1252>\r\n<p>M\xfcller \x80 #</p>\r\n"),
        "ohne-angabe.html": (b"<p>m\xfcller@example.de, Gr\xc3\xbc\xc3\x9fe</p>\r\n", "müller@example.de\n".encode(),
                             b'<meta charset="windows-1252"><p>#, Gr\xc3\xbc\xc3\x9fe</p>\r\n'),
    }
    for name, (page, _, _) in pages.items():
        with open(os.path.join(site, name), "wb") as f:
            f.write(page)
    # Links out of the folder, to a page and to a folder: left alone and named.
    foreign = b"<p>fremd@example.de</p>\r\n"
    with open(os.path.join(outside, "fremd.html"), "wb") as f:
        f.write(foreign)
    os.symlink(os.path.join(outside, "fremd.html"), os.path.join(site, "fremd.html"))
    os.symlink(outside, os.path.join(site, "Verweis"))

    code, out, err = encode(encoder, "--rewrite", "-s", "7", windows_path(site))
    print(out.decode("utf-8", "replace") + err, end="")
    check(code == 0, f"--rewrite endet mit {code}")
    check(out.replace(b"\r\n", b"\n") == "Geschützt: 4 Adressen in 3 Dateien.\n".encode(), f"Bericht: {out!r}")
    for name, target in (("fremd.html", os.path.join(outside, "fremd.html")), ("Verweis", outside)):
        skipped = (f"velumor-encode: Übersprungen: symbolischer Verweis aus dem Ordner heraus: "
                   f"{windows_path(os.path.join(site, name))} → {windows_path(target)}\n")
        check(skipped in err, f"nicht gemeldet: {skipped!r}")
    undeclared = windows_path(os.path.join(site, "ohne-angabe.html"))
    note = f"velumor-encode: Hinweis: {undeclared} nennt keine Zeichenkodierung"
    check(note in err, f"nicht gemeldet: {note!r}")
    with open(os.path.join(outside, "fremd.html"), "rb") as f:
        check(f.read() == foreign, "die Seite draußen wurde verändert")

    for name, (_, decoded, kept) in pages.items():
        path = os.path.join(site, name)
        with open(path, "rb") as f:
            page = f.read()
        check(BLOCK.sub(b"#", page) == kept, f"{name}: außerhalb der Blöcke verändert: {page!r}")
        code, out, err = encode(encoder, "--decode", "--input", windows_path(path))
        check(code == 0 and out == decoded, f"{name}: --decode gibt {code}, {out!r}, {err!r}")

    # A read-only page: refused with its name, and left as it is.
    readonly = os.path.join(site, "kontakt.html")
    with open(readonly, "rb") as f:
        before = f.read()
    with open(readonly, "ab") as f:
        f.write(b"<p>neu@example.pl</p>\r\n")
        before += b"<p>neu@example.pl</p>\r\n"
    os.chmod(readonly, 0o444)  # what Wine shows as FILE_ATTRIBUTE_READONLY
    names = sorted(os.listdir(site))
    code, out, err = encode(encoder, "--rewrite", windows_path(readonly))
    print(err, end="")
    check(code == 1, f"--rewrite über eine schreibgeschützte Seite endet mit {code}")
    check(err == f"velumor-encode: Die Datei ist schreibgeschützt: {windows_path(readonly)}\n", f"Meldung: {err!r}")
    with open(readonly, "rb") as f:
        check(f.read() == before, "die schreibgeschützte Seite wurde verändert")
    check(sorted(os.listdir(site)) == names, f"im Ordner liegt nun: {os.listdir(site)}")
    os.chmod(readonly, 0o644)

    print(f"{len(failures)} Fehler" if failures else "velumor-encode.exe --rewrite unter Wine: alles wie erwartet.")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
