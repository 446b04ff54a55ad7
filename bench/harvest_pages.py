#!/usr/bin/env python3
"""Generated pages for the harvester benchmark and the browser checks.

Each page holds addresses in ordinary text (paragraphs, lists, tables,
emphasis, an address block, before punctuation and in brackets) and in mailto
links (the address as link text, a name as link text, a subject, classes and
titles, markup inside the link). Every address occurs once in the whole site,
so what a harvester finds can be counted. Nothing else on the page holds one
(no title, attribute, script or comment), since --rewrite leaves those alone.

Usage: harvest_pages.py FOLDER [PAGES]   writes the pages and addresses.json
"""
import itertools
import json
import random
import sys
from pathlib import Path

LOCALS = ["info", "kontakt", "anna.schmidt", "j.mueller", "presse", "vertrieb", "buero", "support+web",
          "team_nord", "k-weber", "redaktion", "bewerbung"]
DOMAINS = ["norvane.example", "beispiel.example", "post.example.org", "firma.example.net", "mail.verein.example"]
WORDS = ("Angebot Beratung Termin Rechnung Lieferung Anfrage Auskunft Fragen Hinweise Unterlagen Bestellung "
         "Öffnungszeiten Grüße Straße Ärger Übersicht").split()

# One address in the running text: {a} is the address.
TEXT_FORMS = [
    "<p>Schreiben Sie an {a}.</p>",
    "<p>Für {w} erreichen Sie uns unter {a}, werktags.</p>",
    "<p>(Rückfragen: {a})</p>",
    "<li>{w}: {a}</li>",
    "<p><strong>{a}</strong> – {w}</p>",
    "<p>E-Mail: <em>{a}</em>; Telefon 0123 45678</p>",
    "<address>Norvane GmbH<br>Musterweg 1<br>{a}</address>",
    "<p>{a}</p>",
    "<p>Zuständig für {w} ist {a}!</p>",
]
# One mailto link: {a} is the address, {n} a subject number.
LINK_FORMS = [
    '<p><a href="mailto:{a}">{a}</a></p>',
    '<p>Bitte <a href="mailto:{a}?subject=Anfrage%20Nr.%20{n}" class="mail" title="E-Mail schreiben">'
    "schreiben Sie uns</a>.</p>",
    '<p><a class="btn btn-kontakt" href="mailto:{a}"><b>{w}</b> anfragen</a></p>',
    '<li><a href="mailto:{a}" rel="nofollow">{a}</a> ({w})</li>',
    "<p>Per <a href='mailto:{a}'>E-Mail</a> oder Post.</p>",
]


def page(rng, number, addresses, text_forms, link_forms):
    """The page's HTML; appends the addresses it holds to `addresses`. The
    forms come in turn, so that a few pages already hold each of them."""
    def address():
        made = f"{rng.choice(LOCALS)}{number}x{len(addresses)}@{rng.choice(DOMAINS)}"
        addresses.append(made)
        return made

    parts = []
    for _ in range(rng.randint(2, 4)):
        parts.append(next(text_forms).format(a=address(), w=rng.choice(WORDS)))
    for _ in range(rng.randint(1, 3)):
        parts.append(next(link_forms).format(a=address(), w=rng.choice(WORDS), n=number))
    rng.shuffle(parts)
    # List items need a list around them.
    body = "\n".join(f"<ul>{p}</ul>" if p.startswith("<li>") else p for p in parts)
    cells = "".join(f"<tr><td>{rng.choice(WORDS)}</td><td>{rng.randint(1, 999)} €</td></tr>" for _ in range(4))
    return f"""<!DOCTYPE html>
<html lang="de"><head><meta charset="utf-8"><title>Seite {number}</title>
<script src="velumor-decode.js"></script>
<style>body {{ font: 16px sans-serif; margin: 2em }} .btn {{ border: 1px solid #888 }}</style></head>
<body><nav><a href="seite{(number + 1) % 1000}.html">Weiter</a></nav>
<h1>Kontakt, Seite {number}</h1>
{body}
<table>{cells}</table>
</body></html>
"""


def make_site(folder, pages, seed=1):
    """Writes seiteN.html for N below `pages` into folder; returns {file name: [addresses]}."""
    rng = random.Random(seed)
    text_forms, link_forms = itertools.cycle(TEXT_FORMS), itertools.cycle(LINK_FORMS)
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    site = {}
    for number in range(pages):
        addresses = []
        name = f"seite{number}.html"
        (folder / name).write_text(page(rng, number, addresses, text_forms, link_forms), encoding="utf-8")
        site[name] = addresses
    return site


def main():
    folder = sys.argv[1]
    site = make_site(folder, int(sys.argv[2]) if len(sys.argv) > 2 else 60)
    Path(folder, "addresses.json").write_text(json.dumps(site, indent=1), encoding="utf-8")
    print(f"{len(site)} Seiten, {sum(map(len, site.values()))} Adressen in {folder}")


if __name__ == "__main__":
    main()
