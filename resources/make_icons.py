#!/usr/bin/python3
"""Makes velumor.ico, info_icon.ico and info_pointer.cur.

velumor.ico       program, window and tray icon: the blue shield with a
                  white "@" in every size Windows asks for from 100 % to
                  200 % and beyond (ICON_SIZES), 32-bit colour with alpha,
                  the 256-pixel image as PNG.
info_icon.ico     window icon of the about dialog: the same shield with an
                  "i", in the same sizes.
info_pointer.cur  mouse pointer over the maker's banner in the about dialog:
                  a pointing hand, 32 x 32, black and white, hotspot at the
                  fingertip.

Run from anywhere: /usr/bin/python3 resources/make_icons.py
The output depends only on this script, artlib.py and the installed
Pillow and DejaVu fonts; running it again gives the same files.
"""

import os
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from PIL import Image, ImageDraw  # noqa: E402

import artlib  # noqa: E402
from artlib import BLUE_BOTTOM, BLUE_TOP, NAVY, WHITE  # noqa: E402


# --------------------------------------------------------------------------
# velumor.ico


# Small icons at 100, 125, 150, 200, 250 % (16 to 40), large ones at 100,
# 150, 200 % (32, 48, 64), and 256 for Explorer's large views; Windows
# scales the nearest larger image down for the sizes in between.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def make_program_icon():
    images = [artlib.draw_mark(s) for s in ICON_SIZES]
    artlib.write_icon_file(os.path.join(HERE, "velumor.ico"), artlib.icon_entries(images))


# --------------------------------------------------------------------------
# info_icon.ico: the shield with a white "i"

INFO16 = [
    "..NNNNNNNNNNNN..",
    ".NBBBBBBBBBBBBN.",
    "NBBBBBBBBBBBBBBN",
    "NBBBBBBWWBBBBBBN",
    "NBBBBBBWWBBBBBBN",
    "NBBBBBBBBBBBBBBN",
    "NBBBBBWWWBBBBBBN",
    "NBBBBBBWWBBBBBBN",
    "NBBBBBBWWBBBBBBN",
    ".NBBBBBWWBBBBBN.",
    ".NBBBBWWWWBBBBN.",
    "..NBBBBBBBBBBN..",
    "...NBBBBBBBBN...",
    "....NNBBBBNN....",
    "......NBBN......",
    ".......NN.......",
]


def info16():
    img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    for y, row in enumerate(INFO16):
        blue = tuple(round(a + (b - a) * y / 15) for a, b in zip(BLUE_TOP, BLUE_BOTTOM))
        for x, ch in enumerate(row):
            c = {"N": NAVY, "B": blue, "W": WHITE}.get(ch)
            if c:
                img.putpixel((x, y), c + (255,))
    return img


def info_mark(size, ss=8):
    """The shield with an "i", drawn in 32-pixel units scaled to `size`."""
    if size == 16:
        return info16()
    big = size * ss
    bx, by, bw, bh, line = 2.0, 0.5, 28.0, 31.0, 1.35
    S = lambda v: v * ss * size / 32  # noqa: E731
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).polygon(artlib.shield_outline(S(bx), S(by), S(bw), S(bh)), fill=255)
    col = Image.new("RGB", (big, big), NAVY)
    inner_mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(inner_mask).polygon(
        artlib.shield_outline(S(bx + line), S(by + line), S(bw - 2 * line), S(bh - 2.4 * line)),
        fill=255,
    )
    col.paste(artlib.vertical_gradient((big, big), BLUE_TOP, BLUE_BOTTOM), (0, 0), inner_mask)
    d = ImageDraw.Draw(col)
    # dot and stem with a small foot, on whole pixels at 32
    d.ellipse([S(14), S(5), S(18), S(9)], fill=WHITE)
    d.rectangle([S(13), S(11), S(18), S(13)], fill=WHITE)
    d.rectangle([S(15), S(11), S(18), S(21)], fill=WHITE)
    d.rectangle([S(13), S(21), S(20), S(23)], fill=WHITE)
    img = col.resize((size, size), Image.LANCZOS).convert("RGBA")
    img.putalpha(mask.resize((size, size), Image.BOX))
    return img


def make_info_icon():
    images = [info_mark(s) for s in ICON_SIZES]
    artlib.write_icon_file(os.path.join(HERE, "info_icon.ico"), artlib.icon_entries(images))


# --------------------------------------------------------------------------
# info_pointer.cur: a pointing hand
#
# The hand is given as its inside (white); the black outline is every pixel
# next to the inside (left, right, above, below), so corners come out round.
# "#" marks inside pixels; the blank row near the bottom becomes the black
# line between hand and cuff.

HAND = [
    "................",
    "......##........",
    "......##........",
    "......##........",
    "......##........",
    "......##........",
    "......##........",
    "......##.##.....",
    "......##.##.##..",
    "......##.##.##..",
    "......##.##.##.##",
    "......##.##.##.##",
    "..##..##.##.##.##",
    "..###.###########",
    "...##############",
    "...##############",
    "....#############",
    ".....############",
    ".....###########.",
    "......##########.",
    ".......########..",
    ".......########..",
    "................",
    ".......########..",
    ".......########..",
]
HAND_HOTSPOT = (6, 0)


def make_pointer():
    size = 32
    inside = set()
    for y, row in enumerate(HAND):
        for x, ch in enumerate(row):
            if ch == "#":
                inside.add((x, y))
    black = set()
    for (x, y) in inside:
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            p = (x + dx, y + dy)
            if p not in inside:
                black.add(p)
    indices = []
    opaque = []
    for y in range(size):
        for x in range(size):
            if (x, y) in inside:
                indices.append(1)
                opaque.append(True)
            elif (x, y) in black:
                indices.append(0)
                opaque.append(True)
            else:
                indices.append(0)
                opaque.append(False)
    palette = [(0, 0, 0), (255, 255, 255)]
    artlib.write_icon_file(
        os.path.join(HERE, "info_pointer.cur"),
        [artlib.palette_entry(size, 1, palette, indices, opaque)],
        kind=2,
        hotspots=[HAND_HOTSPOT],
    )


if __name__ == "__main__":
    make_program_icon()
    make_info_icon()
    make_pointer()
