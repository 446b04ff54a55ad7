#!/usr/bin/env python3
"""velumor-encode --rewrite and --format data in headless Chromium.

  rewrite: the pages under tests/site are rewritten in place; each must render
           the same DOM as before (scripts and noscript notices aside), keep
           every byte outside the replaced spans, hold none of its addresses
           outside the blocks, and stay as it is on a second run.
  csp:     a page served from 127.0.0.1 with "script-src 'self'": the data
           form is decoded by velumor-decode.js, also for an element inserted
           later, while the inline block is refused there.
  escapes: characters beyond Latin-1 inside a script and a style that a block
           writes arrive as themselves.
  links:   pages whose links the parser repairs (one left open, one inside
           another), rewritten in both forms: once decoded, each renders the
           DOM of the original in Chromium and in Firefox.

Usage: site_checks.py rewrite|csp|escapes|links VELUMOR_ENCODE SITE_DIR WORK_DIR
"""
import os
import re
import shutil
import sys
from pathlib import Path

from shared import encode, same, served, verdict  # first: it puts the drivers on the import path
from headless import Chromium
from marionette import Firefox

ADDRESSES = ["info@", "presse@", "vertrieb@", "buero@", "impressum@", "leser@", "anna@", "korrektur@",
             "j\u00fcrgen@"]
BLOCK_START, BLOCK_END = '<script language="JavaScript" type="text/javascript">', "</noscript>"


def rendered(browser, path):
    """The DOM once the page's scripts have run, without scripts and noscript notices."""
    return re.sub(r"<(script|noscript)\b.*?</\1>", "", browser.dom("file://" + path), flags=re.S)


def check_rewrite(encoder, site, work, browser):
    before, after = os.path.join(work, "vorher"), os.path.join(work, "nachher")
    for target in (before, after):
        shutil.rmtree(target, ignore_errors=True)
        shutil.copytree(site, target)
    run = encode(encoder, "--rewrite", after)
    assert run.endswith("Geschützt: 9 Adressen in 3 Dateien.\n"), run
    again = encode(encoder, "--rewrite", after)
    assert again.endswith("Geschützt: 0 Adressen in 0 Dateien.\n"), again
    failures = 0
    for folder, _, names in os.walk(before):
        for name in names:
            original = os.path.join(folder, name)
            rewritten = os.path.join(after, os.path.relpath(original, before))
            encoding = "cp1252" if name.endswith(".htm") else "utf-8"
            old, new = (open(p, encoding=encoding, newline="").read() for p in (original, rewritten))
            # Outside the blocks every character as it was; inside, what the block writes.
            outside = re.split(re.escape(BLOCK_START) + ".*?" + re.escape(BLOCK_END), new, flags=re.S)
            decoded = encode(encoder, "--decode", "--input", rewritten).split("\n")
            problems = []
            if "".join(piece + text for piece, text in zip(outside, decoded)) != old:
                problems.append("Bytes außerhalb der Blöcke verändert")
            problems += [f"Adresse {a} außerhalb der Blöcke" for a in ADDRESSES if a + "norvane" in "".join(outside)]
            doms = [rendered(browser, p) for p in (original, rewritten)]
            if doms[0] != doms[1] or "</p>" not in doms[0]:
                at = len(os.path.commonprefix(doms))
                problems.append(f"DOM verschieden ab: {doms[1][at:at + 80]!r}")
            print(("FEHLER " if problems else "ok     ") + name, "; ".join(problems))
            failures += bool(problems)
    return failures


CSP_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"><script src="check.js"></script>
<script src="js/velumor-decode.js"></script></head><body>
<p id="link">Schreiben Sie an <a href="mailto:info@norvane.example">info@norvane.example</a>.</p>
<div id="inline">{block}</div></body></html>"""
# The verdict waits for both the load and the refusal of the inline block:
# the browser may report the refusal after the load event.
CHECK_JS = """var refused = 0, late = null, replaced = 0;
function report() {
  if (late === null || refused === 0 || document.getElementById("verdict")) return;
  var v = document.createElement("pre"); v.id = "verdict";
  v.textContent = JSON.stringify([document.getElementById("link").innerHTML, late.innerHTML, replaced,
    document.getElementById("inline").textContent.indexOf("inline@") < 0]);
  document.body.appendChild(v);
}
document.addEventListener("securitypolicyviolation", function () { refused++; report(); });
window.addEventListener("load", function () {
  late = document.createElement("p");
  late.innerHTML = "Später: " + {late};
  document.body.appendChild(late);
  replaced = velumorDecode(late);
  report();
});"""


def check_csp(encoder, site, work, browser):
    root = os.path.join(work, "csp")
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)

    late = encode(encoder, "--format", "data", '<a href="mailto:spaet@norvane.example">sp\u00e4t</a>')
    page = os.path.join(root, "seite.html")
    Path(page).write_text(CSP_PAGE.format(block=encode(encoder, "inline@norvane.example")), encoding="utf-8")
    Path(root, "check.js").write_text(CHECK_JS.replace("{late}", repr(late)), encoding="utf-8")
    encode(encoder, "--rewrite", "--format", "data", "--write-decoder", os.path.join(root, "js"), page)
    with served(root) as base:
        shown = verdict(browser, f"{base}/seite.html")
    expected = '["Schreiben Sie an <a href=\\"mailto:info@norvane.example\\">info@norvane.example</a>.",' \
               '"Später: <a href=\\"mailto:spaet@norvane.example\\">spät</a>",1,true]'
    return not same("csp", shown, expected)


ESCAPES_TEXT = ('<style>#e::after{content:"\u20ac12 \U0001F600"}</style><span id="e"></span>'
                '<script>window.length12 = "12 \u20ac\U0001F600".length;</script>')
ESCAPES_PAGE = """<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>{block}
<script>var v = document.createElement("pre"); v.id = "verdict";
v.textContent = getComputedStyle(document.getElementById("e"), "::after").content + "|" + window.length12;
document.body.appendChild(v);</script></body></html>"""


def check_escapes(encoder, site, work, browser):
    path = os.path.join(work, "escapes.html")
    Path(path).write_text(ESCAPES_PAGE.format(block=encode(encoder, ESCAPES_TEXT)), encoding="utf-8")
    return not same("escapes", verdict(browser, "file://" + path), '"\u20ac12 \U0001F600"|6')


def dom_of(browser, url):
    """The page's DOM once its scripts have run, in either browser."""
    if isinstance(browser, Firefox):
        browser.open(url)
        return browser.dom()
    return browser.dom(url)


LINK_PAGES = {
    "offen.html": """<!DOCTYPE html><meta charset="utf-8"><script src="velumor-decode.js"></script>
<h1><a href="/start"/>Kontakt</h1>
<p>Post: <a href="mailto:info@example.org">info@example.org</a></p>
<p>Impressum</p>
<p><a href="#i"><a href="mailto:presse@example.org">presse@example.org</a></a></p>
""",
    "verschachtelt.html": """<!DOCTYPE html><meta charset="utf-8"><script src="velumor-decode.js"></script>
<ul><li><a href="/a">Eintrag<li><a href="mailto:liste@example.org">liste@example.org</a> und mehr</ul>
<p><b><a href="/fett">fett <a href="mailto:fett@example.org">fett@example.org</a></b> danach</p>
<div><a href="/block"><div>Block <a href="mailto:block@example.org">block@example.org</a></div></a></div>
<table><tr><td><a href="/zelle">Zelle <a href="mailto:zelle@example.org">zelle@example.org</a></td></tr></table>
<p>Text: text@example.org <a href="/x">offen</p><p>danach anna@example.org und
<a href="mailto:anna@example.org">Anna</a></p>
""",
    "ohne-ende.html": """<!DOCTYPE html><meta charset="utf-8"><script src="velumor-decode.js"></script>
<p><a href="mailto:offen@example.org">Post an offen<p>weiter: text@example.org</p>
<p><a href="mailto:aussen@example.org"><a href="mailto:innen@example.org">innen</a></a></p>
""",
}


def check_links(encoder, site, work, browsers):
    before = os.path.join(work, "verweise")
    shutil.rmtree(before, ignore_errors=True)
    os.makedirs(before)
    for name, page in LINK_PAGES.items():
        Path(before, name).write_text(page, encoding="utf-8")
    encode(encoder, "--write-decoder", before)
    failures = 0
    for form in ("script", "data"):
        after = os.path.join(work, "verweise-" + form)
        shutil.rmtree(after, ignore_errors=True)
        shutil.copytree(before, after)
        encode(encoder, "--rewrite", "--format", form, after)
        for browser in browsers:
            for name in LINK_PAGES:
                doms = [dom_of(browser, "file://" + os.path.join(folder, name)) for folder in (before, after)]
                if form == "script":  # the blocks' scripts and notices stay in the page
                    doms = [re.sub(r"<(script|noscript)\b.*?</\1>", "", dom, flags=re.S) for dom in doms]
                alike = doms[0] == doms[1] and "example.org</a>" in doms[0]
                at = len(os.path.commonprefix(doms))
                print(("ok     " if alike else "FEHLER ") + f"{type(browser).__name__} {form} {name}" +
                      ("" if alike else f": verschieden ab {doms[0][at:at + 60]!r} / {doms[1][at:at + 60]!r}"))
                failures += not alike
    return failures


def main():
    mode, encoder, site, work = sys.argv[1:5]
    os.makedirs(work, exist_ok=True)
    if mode == "links":
        with Chromium() as chromium, Firefox() as firefox:
            return 1 if check_links(encoder, site, work, [chromium, firefox]) else 0
    check = {"rewrite": check_rewrite, "csp": check_csp, "escapes": check_escapes}[mode]
    with Chromium() as browser:
        return 1 if check(encoder, site, work, browser) else 0


if __name__ == "__main__":
    sys.exit(main())
