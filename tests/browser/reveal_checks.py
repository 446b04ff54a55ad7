#!/usr/bin/env python3
"""The data form with --reveal interaction in a real browser, served from
127.0.0.1 under "Content-Security-Policy: script-src 'self'":

  loaded:   a harvester's browser that only loads the pages gets none of the
            addresses, while the same pages in the form decoded on loading
            give it every one (so the decoder did run under the policy);
            nor does a page that focuses a field and scrolls by itself, or
            is opened at an anchor, reveal anything;
  person:   events a page's script makes up reveal nothing; after a pointer
            move and a key press every page's body is the unprotected page's,
            address for address; the policy refused only the page's own
            inline script;
  keyboard: Tab reveals and lands on the link the placeholder became, and
            Enter there activates it; a placeholder focused directly (as a
            screen reader does) reveals and hands its focus on the same way;
  without JavaScript (Chromium): the placeholder stays and says that
            JavaScript is needed.
Pictures of a page before and after a key press go into WORK_DIR.

Chromium reads the loaded document with --dump-dom and is scripted over its
DevTools pipe; Firefox over Marionette.

Usage: reveal_checks.py chromium|firefox VELUMOR_ENCODE WORK_DIR
"""
import json
import shutil
import sys
from pathlib import Path

from shared import encode, served  # first: it puts the drivers and bench/ on the import path
from devtools import ChromiumSession
from harvest_pages import make_site
from harvester import addresses_in
from headless import Chromium
from marionette import Firefox

PLACEHOLDER = "E-Mail-Adresse: bitte Seite benutzen"
# Served from the page's own origin: counts what the policy refuses, and
# records a mailto link's activation instead of leaving the page for a mail program.
CHECK_JS = """document.addEventListener("securitypolicyviolation", function () {
  var root = document.documentElement;
  root.setAttribute("data-refused", Number(root.getAttribute("data-refused") || 0) + 1);
});
document.addEventListener("click", function (event) {
  var link = event.target.closest && event.target.closest("a[href^='mailto:']");
  if (!link) return;
  event.preventDefault();
  document.documentElement.setAttribute("data-activated", link.getAttribute("href"));
});
"""
# What the policy must refuse: it would mark the page if it ran.
HEAD_ADDITION = '<script src="check.js"></script><script>document.documentElement.className = "inline";</script>'
# Events a page's script dispatches itself, not a person's.
MADE_UP_EVENTS = """(function () {
  document.body.dispatchEvent(new MouseEvent("mousemove", {bubbles: true}));
  document.body.dispatchEvent(new KeyboardEvent("keydown", {bubbles: true, key: "a"}));
  window.dispatchEvent(new Event("scroll"));
  return true;
})()"""
# A page that moves by itself while loading, as cookie notices and search
# forms do: a field with autofocus, a script that focuses and scrolls.
MOVING_PAGE = """<!DOCTYPE html><html lang="de"><head><meta charset="utf-8">
<script src="velumor-decode.js"></script><script src="bewegt.js"></script></head><body>
<form><input name="suche" autofocus></form><div style="height: 3000px"></div>
<p id="unten">Kontakt: <a href="mailto:bewegt@norvane.example">bewegt@norvane.example</a></p></body></html>
"""
MOVING_JS = """window.addEventListener("load", function () {
  document.querySelector("input").focus();
  window.scrollTo(0, 2000);
});
"""
KEYBOARD_PAGE = """<!DOCTYPE html><html lang="de"><head><meta charset="utf-8">
<script src="velumor-decode.js"></script></head><body>
<p>Schreiben Sie an <a href="mailto:tastatur@norvane.example" class="mail">unser Büro</a>.</p>
<p>Oder an post@norvane.example.</p></body></html>
"""


def write_site(encoder, work):
    """The pages unprotected, in the form decoded on loading, and in the one waiting for a person."""
    shutil.rmtree(work, ignore_errors=True)
    site = make_site(work / "ohne", 4, seed=7)
    (work / "ohne" / "tastatur.html").write_text(KEYBOARD_PAGE, encoding="utf-8")
    (work / "ohne" / "bewegt.html").write_text(MOVING_PAGE, encoding="utf-8")
    (work / "ohne" / "bewegt.js").write_text(MOVING_JS, encoding="utf-8")
    for path in (work / "ohne").glob("*.html"):
        text = path.read_text(encoding="utf-8")
        path.write_text(text.replace('<meta charset="utf-8">', '<meta charset="utf-8">' + HEAD_ADDITION, 1),
                        encoding="utf-8")
    (work / "ohne" / "check.js").write_text(CHECK_JS, encoding="utf-8")
    for form, options in (("laden", []), ("person", ["--reveal", "interaction"])):
        shutil.copytree(work / "ohne", work / form)
        encode(encoder, "--rewrite", "--format", "data", *options, "--write-decoder", str(work / form),
               str(work / form))
    return site


class Report:
    def __init__(self, browser_name):
        self.browser_name, self.failures, self.passes = browser_name, 0, 0

    def check(self, what, ok, detail=""):
        print(("ok     " if ok else "FEHLER ") + f"{self.browser_name}: {what}" + ("" if ok else f": {detail}"))
        self.failures += not ok
        self.passes += bool(ok)


def session(name):
    """One browser session; its script() gives an expression's value in either browser."""
    if name == "chromium":
        driven = ChromiumSession()
        driven.script = driven.evaluate
    else:
        driven = Firefox()
        driven.script = lambda expression: driven.evaluate(f"return {expression};")
    return driven


def body_html(driven):
    return driven.script("document.body.outerHTML")


def root_attribute(driven, name):
    return driven.script(f"document.documentElement.getAttribute({json.dumps(name)})")


def loaded_document(name, url, driven):
    """What a harvester that only loads the page reads: Chromium's --dump-dom, Firefox's document after its load event."""
    if name == "chromium":
        with Chromium() as chromium:
            return chromium.run("--virtual-time-budget=3000", "--dump-dom", url)
    driven.open(url)
    return driven.script("document.documentElement.outerHTML")


def check_loaded(name, base, site, driven, report):
    for page, addresses in sorted(site.items()):
        decoded = addresses_in(loaded_document(name, f"{base}/laden/{page}", driven))
        report.check(f"geladen, Form laden, {page}: alle {len(addresses)} Adressen", decoded == set(addresses),
                     sorted(set(addresses) - decoded))
        waiting = loaded_document(name, f"{base}/person/{page}", driven)
        report.check(f"geladen, Form interaction, {page}: keine Adresse, der Platzhalter",
                     not addresses_in(waiting) and PLACEHOLDER in waiting, sorted(addresses_in(waiting)))
    for url in ("bewegt.html", "bewegt.html#unten"):
        moved = loaded_document(name, f"{base}/person/{url}", driven)
        report.check(f"geladen, Form interaction, {url}: Autofokus und Scrollen der Seite decken nichts auf",
                     not addresses_in(moved) and PLACEHOLDER in moved, sorted(addresses_in(moved)))


def check_person(base, site, driven, report):
    for page, addresses in sorted(site.items()):
        driven.open(f"{base}/ohne/{page}")
        expected = body_html(driven)
        driven.open(f"{base}/person/{page}")
        driven.script(MADE_UP_EVENTS)
        report.check(f"Person, {page}: von einem Skript erfundene Ereignisse decken nichts auf",
                     not addresses_in(body_html(driven)), body_html(driven)[:300])
        driven.move_pointer(120, 80)
        driven.press_key("a")
        body = body_html(driven)
        report.check(f"Person, {page}: der Inhalt wie ohne Schutz, {len(addresses)} Adressen",
                     body == expected and addresses_in(body) == set(addresses), body[:300])
        refused = (root_attribute(driven, "data-refused"), root_attribute(driven, "class"))
        report.check(f"Person, {page}: nur das Inline-Skript abgewiesen", refused == ("1", None), refused)


def check_keyboard(base, driven, report):
    url = f"{base}/person/tastatur.html"
    focused = "document.activeElement.outerHTML"
    link = '<a href="mailto:tastatur@norvane.example" class="mail">unser Büro</a>'

    driven.open(url)
    driven.press_key("Tab")
    report.check("Tab: aufgedeckt, der Fokus auf dem Link", driven.script(focused) == link, driven.script(focused))
    driven.press_key("Enter")
    activated = root_attribute(driven, "data-activated")
    report.check("Enter: der Link ausgelöst", activated == "mailto:tastatur@norvane.example", activated)
    report.check("Tab, Enter: beide Adressen", len(addresses_in(body_html(driven))) == 2, body_html(driven))

    driven.open(url)
    placeholder = driven.script('(function () { var p = document.querySelector("[data-velumor-reveal]");'
                                ' if (p) p.focus(); return Boolean(p); })()')
    report.check("Fokus auf den Platzhalter (wie ein Screenreader): aufgedeckt, der Fokus auf dem Link",
                 placeholder and driven.script(focused) == link, driven.script(focused))


def check_without_javascript(base, driven, work, report):
    """Chromium only, where the page's scripts can be switched off: the placeholder stays and says why."""
    shown = 'document.querySelector("[data-velumor-reveal]").innerText'
    driven.command("Emulation.setScriptExecutionDisabled", {"value": True})
    driven.open(f"{base}/person/tastatur.html")
    without = driven.script(shown)
    driven.screenshot(work / "ohne-javascript.png")
    driven.command("Emulation.setScriptExecutionDisabled", {"value": False})
    report.check("ohne JavaScript: der Platzhalter mit dem Hinweis",
                 without == PLACEHOLDER + " (dazu ist JavaScript nötig)", without)
    driven.open(f"{base}/person/tastatur.html")
    report.check("mit JavaScript: der Platzhalter ohne den Hinweis", driven.script(shown) == PLACEHOLDER,
                 driven.script(shown))


def screenshots(base, driven, work, report):
    """A page before and after a key press, for people to look at."""
    driven.open(f"{base}/person/seite0.html")
    driven.screenshot(work / "taste-vorher.png")
    driven.press_key("a")
    driven.screenshot(work / "taste-nachher.png")
    report.check(f"Bildschirmfotos in {work}", all((work / f"taste-{t}.png").is_file() for t in ("vorher", "nachher")))


def main():
    name, encoder, work = sys.argv[1], sys.argv[2], Path(sys.argv[3])
    site = write_site(encoder, work)
    report = Report(name)
    with served(work) as base, session(name) as driven:
        check_loaded(name, base, site, driven, report)
        check_person(base, site, driven, report)
        check_keyboard(base, driven, report)
        if name == "chromium":
            check_without_javascript(base, driven, work, report)
        screenshots(base, driven, work, report)
    print(f"{report.passes} passed, {report.failures} failed")
    return 1 if report.failures else 0


if __name__ == "__main__":
    sys.exit(main())
