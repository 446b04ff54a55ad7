#!/usr/bin/env python3
"""The Linux release files of velumor-encode as make dist writes them: both
the same byte for byte from a second run; the tarball's one folder, owned by
root, whose program runs on its own; the Debian package without lintian
errors, installed and removed with dpkg, leaving nothing behind.

Installing needs root; without it (or with velumor-encode already installed
on this machine, which the test must not remove) that part is skipped.

Usage: check_linux_packages.py BUILD_SCRIPT BUILD_DIR OUT_DIR
"""
import fcntl
import filecmp
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile

SKIPPED = 77
DECODER_JS = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                          "core", "velumor-decode.js")
TEXT = "Grüße an info@example.com"
C_UTF8 = dict(os.environ, LC_ALL="C.UTF-8")


def check(condition, message):
    if not condition:
        sys.exit("FEHLER: " + message)


def run(*command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def encodes(tool, *wrapper):
    """The tool's block for TEXT decodes to TEXT again."""
    block = run(*wrapper, tool, "--seed", "7", TEXT)
    check(block.returncode == 0 and "<script" in block.stdout, f"{tool} kodiert nicht: {block.stderr}")
    decoded = run(*wrapper, tool, "--decode", input=block.stdout)
    check(decoded.stdout == TEXT + "\n", f"{tool} --decode liefert {decoded.stdout!r}")


def build(script, build_dir, out):
    shutil.rmtree(out, ignore_errors=True)
    made = run("sh", script, build_dir, out)
    check(made.returncode == 0, "Pakete nicht gebaut:\n" + made.stderr)
    tarball, deb = made.stdout.split()
    return tarball, deb


def check_tarball(tarball, scratch):
    top = os.path.basename(tarball)[: -len(".tar.gz")]
    with tarfile.open(tarball) as archive:
        members = archive.getmembers()
        names = [member.name for member in members]
        check(names == [top] + [f"{top}/{name}" for name in ("README", "copyright", "gumbo-LICENSE.txt", "velumor-decode.js", "velumor-encode")],
              f"Inhalt des Tarballs: {names}")
        check(all(m.uid == 0 and m.gid == 0 for m in members), "Tarball-Einträge gehören nicht root")
        check(len({m.mtime for m in members}) == 1, "Tarball-Einträge mit verschiedenen Zeiten")
    check(run("tar", "-xzf", tarball, "-C", scratch).returncode == 0, "Tarball lässt sich nicht auspacken")
    tool = os.path.join(scratch, top, "velumor-encode")
    check(os.access(tool, os.X_OK), "Programm im Tarball nicht ausführbar")
    headers = run("readelf", "-lS", tool).stdout
    check("Requesting program interpreter" not in headers, "Programm im Tarball ist dynamisch gebunden")
    check(".symtab" not in headers, "Programm im Tarball ist nicht gestrippt")
    readme = open(os.path.join(scratch, top, "README"), encoding="utf-8").read()
    check(all(option in readme for option in ("--rewrite", "--format data", "--write-decoder")),
          "README beschreibt --rewrite, --format data oder --write-decoder nicht")
    encodes(tool)
    if os.geteuid() == 0:
        # Alone in an otherwise empty root: no library, no loader, no /proc.
        jail = os.path.join(scratch, "jail")
        os.mkdir(jail)
        shutil.copy(tool, jail)
        encodes("/velumor-encode", "chroot", jail)


def lint(deb):
    # no-english-manual-page stays: the tool speaks only German, and so does its page.
    result = run("lintian", "--pedantic", deb)
    print(result.stdout, end="")
    check(result.returncode == 0 and not any(line.startswith("E:") for line in result.stdout.splitlines()),
          "lintian meldet Fehler")


def status():
    return run("dpkg-query", "-W", "-f=${Status}", "velumor-encode").stdout.strip()


def install_and_remove(deb):
    if os.geteuid() != 0:
        print("ÜBERSPRUNGEN: Installation mit dpkg braucht root.")
        return False
    # Two test runs on one machine would remove each other's installation.
    with open(os.path.join(tempfile.gettempdir(), "velumor-encode-package-test.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if status() not in ("", "unknown ok not-installed") or os.path.lexists("/usr/bin/velumor-encode"):
            print("ÜBERSPRUNGEN: velumor-encode ist auf diesem Rechner schon installiert; das bleibt so.")
            return False
        # What of the package was there before, as directories shared with other packages.
        listed = [os.path.normpath("/" + line.split()[-1]) for line in run("dpkg-deb", "-c", deb).stdout.splitlines()]
        shared = {path for path in listed if os.path.lexists(path)}
        try:
            installed = run("dpkg", "-i", deb)
            check(installed.returncode == 0, "dpkg -i:\n" + installed.stdout + installed.stderr)
            paths = [os.path.normpath(path) for path in run("dpkg", "-L", "velumor-encode").stdout.split()]
            for path in ("/usr/bin/velumor-encode", "/usr/share/velumor-encode/velumor-decode.js",
                         "/usr/share/man/de/man1/velumor-encode.1.gz", "/usr/share/doc/velumor-encode/copyright"):
                check(path in paths, f"{path} fehlt in dpkg -L")
            encodes("/usr/bin/velumor-encode")
            packaged = "/usr/share/velumor-encode/velumor-decode.js"
            with tempfile.TemporaryDirectory() as written:
                run("/usr/bin/velumor-encode", "--write-decoder", written)
                check(filecmp.cmp(os.path.join(written, "velumor-decode.js"), packaged, shallow=False)
                      and filecmp.cmp(DECODER_JS, packaged, shallow=False),
                      "velumor-decode.js im Paket ist nicht das, was --write-decoder schreibt")
            page = run("man", "-l", "/usr/share/man/de/man1/velumor-encode.1.gz", env=C_UTF8).stdout
            check("ÜBERSICHT" in page and "--write-decoder" in page, "man -l zeigt die Handbuchseite nicht")
            removed = run("dpkg", "-r", "velumor-encode")
            check(removed.returncode == 0, "dpkg -r:\n" + removed.stdout + removed.stderr)
            check(status() in ("", "unknown ok not-installed"), f"nach dpkg -r: {status()}")
            left = [path for path in paths if path not in shared and os.path.lexists(path)]
            check(not left, f"nach dpkg -r übrig: {left}")
        finally:
            if status() not in ("", "unknown ok not-installed"):
                run("dpkg", "--purge", "velumor-encode")
    return True


def main():
    script, build_dir, out = sys.argv[1:4]
    tarball, deb = build(script, build_dir, os.path.join(out, "first"))
    again = build(script, build_dir, os.path.join(out, "second"))
    for made, remade in zip((tarball, deb), again):
        check(filecmp.cmp(made, remade, shallow=False), f"{os.path.basename(made)} beim zweiten Bau anders")
    print(run("dpkg-deb", "-c", deb).stdout + run("tar", "tzvf", tarball).stdout)
    with tempfile.TemporaryDirectory() as scratch:
        check_tarball(tarball, scratch)
    lint(deb)
    return 0 if install_and_remove(deb) else SKIPPED


if __name__ == "__main__":
    sys.exit(main())
