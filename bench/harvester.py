"""How an address harvester reads a page: a pattern over what it has, the
page source as it is or with character references and percent-escapes
decoded first, or a document that a browser has built."""
import html
import re
import urllib.parse

# What such programs look for: a local part, "@", a domain with a word of letters at its end.
ADDRESS = re.compile(r"[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)*\.[A-Za-z]{2,}")


def addresses_in(text):
    return {found.lower() for found in ADDRESS.findall(text)}


def from_source(source):
    return addresses_in(source)


def from_decoded_source(source):
    """References (&#64;, &commat;) and escapes (%40) resolved, the pattern over both steps."""
    unescaped = html.unescape(source)
    return addresses_in(unescaped) | addresses_in(urllib.parse.unquote(unescaped))


def recovered(found, addresses):
    """How many of the page's addresses the harvester has."""
    return sum(address.lower() in found for address in addresses)
