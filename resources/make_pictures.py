#!/usr/bin/python3
"""Makes info_banner.jpg, SID1.jpg and SID2.jpg.

info_banner.jpg  the maker's banner on the left of the about dialog,
                 122 x 818 (shown in a 61 x 409 box): "Norvane" running
                 upwards on calm blue, with the maker's vane mark.
SID1.jpg         picture of the start notice, 258 x 258 (shown at 129):
                 copy a text, then click the Velumor icon next to the clock.
SID2.jpg         picture of the result notice, 258 x 258: the clipboard holds
                 scrambled letters, Strg+V pastes them into the HTML editor.

All are baseline JPEG, quality 90. Everything is drawn three times larger
and reduced, which smooths edges and text.

Run from anywhere: /usr/bin/python3 resources/make_pictures.py
"""

import math
import os
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from PIL import Image, ImageDraw, ImageFilter  # noqa: E402

import artlib  # noqa: E402
from artlib import MONO_BOLD, SANS, SANS_BOLD, font  # noqa: E402

SS = 3  # drawing scale


def save_jpeg(img, name):
    img.save(
        os.path.join(HERE, name),
        "JPEG",
        quality=90,
        progressive=False,
        optimize=False,
        subsampling=0,
    )


def reduce(img, size):
    return img.resize(size, Image.LANCZOS)


def gradient(size, top, bottom):
    return artlib.vertical_gradient(size, top, bottom)


# --------------------------------------------------------------------------
# info_banner.jpg


def vane_mark(d, cx, cy, r, colour, width):
    """The Norvane mark: a circle with a weather-vane arrow through it."""
    d.ellipse([cx - r, cy - r, cx + r, cy + r], outline=colour, width=width)
    # compass ticks
    for ang in range(0, 360, 90):
        a = math.radians(ang)
        x1, y1 = cx + math.cos(a) * (r - width * 2.2), cy + math.sin(a) * (r - width * 2.2)
        x2, y2 = cx + math.cos(a) * (r - width * 0.5), cy + math.sin(a) * (r - width * 0.5)
        d.line([x1, y1, x2, y2], fill=colour, width=width)
    # the vane: an arrow pointing to the upper right, with a tail feather
    a = math.radians(-35)
    ux, uy = math.cos(a), math.sin(a)
    px, py = -uy, ux
    L = r * 0.78
    tip = (cx + ux * L, cy + uy * L)
    back = (cx - ux * L * 0.72, cy - uy * L * 0.72)
    d.line([back, (cx + ux * L * 0.55, cy + uy * L * 0.55)], fill=colour, width=width)
    head = r * 0.32
    d.polygon(
        [
            tip,
            (tip[0] - ux * head + px * head * 0.55, tip[1] - uy * head + py * head * 0.55),
            (tip[0] - ux * head - px * head * 0.55, tip[1] - uy * head - py * head * 0.55),
        ],
        fill=colour,
    )
    f = r * 0.36
    def at(along, side):
        return (back[0] + ux * f * along + px * f * side, back[1] + uy * f * along + py * f * side)
    # a swallow-tailed feather, symmetric about the shaft
    tail = [at(1.2, 0), at(0.45, 0.62), at(-0.45, 0.62), at(0.05, 0),
            at(-0.45, -0.62), at(0.45, -0.62)]
    d.polygon(tail, fill=colour)
    d.ellipse([cx - width * 1.6, cy - width * 1.6, cx + width * 1.6, cy + width * 1.6], fill=colour)


def make_banner():
    W, H = 122, 818
    w, h = W * SS, H * SS
    img = gradient((w, h), (16, 46, 82), (30, 92, 138))

    # calm horizontal swells, a little lighter than the ground
    glow = Image.new("L", (w, h), 0)
    gd = ImageDraw.Draw(glow)
    for n in range(7):
        y0 = h * (0.18 + n * 0.115)
        amp = w * (0.10 + 0.02 * (n % 3))
        pts = []
        for i in range(0, 61):
            x = -20 + (w + 40) * i / 60
            y = y0 + amp * math.sin(i / 60 * math.pi * 1.3 + n * 0.9)
            pts.append((x, y))
        gd.line(pts, fill=26 + 5 * (n % 3), width=int(2.2 * SS))
    glow = glow.filter(ImageFilter.GaussianBlur(1.2 * SS))
    img.paste(Image.new("RGB", (w, h), (190, 225, 245)), (0, 0), glow)

    d = ImageDraw.Draw(img)
    # thin light rule along the right edge
    d.rectangle([w - 3 * SS, 0, w - 2 * SS, h], fill=(96, 152, 196))

    # the mark at the top
    vane_mark(d, w / 2, 70 * SS, 34 * SS, (236, 244, 250), int(3.2 * SS))

    # "Norvane" upwards, "SOFTWARE" beside it
    name_font = font(SANS_BOLD, 64 * SS)
    sub_font = font(SANS, 17 * SS)
    name = "Norvane"
    nb = d.textbbox((0, 0), name, font=name_font)
    track = 3 * SS
    name_w = sum(d.textlength(c, font=name_font) for c in name) + track * (len(name) - 1)
    name_h = nb[3] - nb[1]
    strip = Image.new("L", (int(name_w) + 20, int(name_h) + 20), 0)
    sd = ImageDraw.Draw(strip)
    x = 10
    for c in name:
        sd.text((x, 10 - nb[1]), c, font=name_font, fill=255)
        x += d.textlength(c, font=name_font) + track
    strip = strip.rotate(90, expand=True)

    sub = "SOFTWARE"
    sb = d.textbbox((0, 0), sub, font=sub_font)
    strack = 7 * SS
    sub_w = sum(d.textlength(c, font=sub_font) for c in sub) + strack * (len(sub) - 1)
    sub_h = sb[3] - sb[1]
    sstrip = Image.new("L", (int(sub_w) + 20, int(sub_h) + 20), 0)
    ssd = ImageDraw.Draw(sstrip)
    x = 10
    for c in sub:
        ssd.text((x, 10 - sb[1]), c, font=sub_font, fill=255)
        x += d.textlength(c, font=sub_font) + strack
    sstrip = sstrip.rotate(90, expand=True)

    bottom = h - 44 * SS
    gap = 12 * SS
    total = strip.width + gap + sstrip.width
    left = (w - total) // 2
    img.paste(Image.new("RGB", strip.size, (246, 250, 253)), (left, bottom - strip.height), strip)
    img.paste(
        Image.new("RGB", sstrip.size, (150, 196, 228)),
        (left + strip.width + gap, bottom - sstrip.height),
        sstrip,
    )
    # small separating dot between mark and lettering
    cy = 150 * SS
    d.ellipse([w / 2 - 3 * SS, cy - 3 * SS, w / 2 + 3 * SS, cy + 3 * SS], fill=(150, 196, 228))

    save_jpeg(reduce(img, (W, H)), "info_banner.jpg")


# --------------------------------------------------------------------------
# Pieces of the notice pictures (coordinates in final pixels, scaled by SS)


class Canvas:
    def __init__(self, size, top, bottom):
        self.w, self.h = size
        self.img = gradient((self.w * SS, self.h * SS), top, bottom)
        self.d = ImageDraw.Draw(self.img)

    @staticmethod
    def s(*v):
        return [x * SS for x in v]

    def rect(self, box, radius=0, fill=None, outline=None, width=1):
        self.d.rounded_rectangle(self.s(*box), radius=radius * SS, fill=fill,
                                 outline=outline, width=int(width * SS))

    def shadow(self, box, radius=4, offset=(2, 3), blur=3, strength=80):
        artlib.soft_shadow(self.img, self.s(*box), radius * SS,
                           offset=(offset[0] * SS, offset[1] * SS), blur=blur * SS,
                           strength=strength)
        self.d = ImageDraw.Draw(self.img)

    def text(self, xy, txt, path, size, fill, anchor="la"):
        self.d.text(self.s(*xy), txt, font=font(path, int(size * SS)), fill=fill, anchor=anchor)

    def line(self, pts, fill, width):
        self.d.line([tuple(self.s(*p)) for p in pts], fill=fill, width=int(width * SS),
                    joint="curve")

    def polygon(self, pts, fill):
        self.d.polygon([tuple(self.s(*p)) for p in pts], fill=fill)

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.d.ellipse(self.s(*box), fill=fill, outline=outline, width=int(width * SS))

    def paste_mark(self, x, y, size):
        mark = artlib.draw_mark(48).resize((size * SS, size * SS), Image.LANCZOS)
        self.img.paste(mark, (x * SS, y * SS), mark)

    def arrow_pointer(self, x, y, scale):
        artlib.arrow_pointer(self.d, x * SS, y * SS, scale * SS, width=int(1.4 * SS))

    def key(self, x, y, label, size=15, h=26):
        return artlib.key_cap(self.d, x * SS, y * SS, label, font(SANS_BOLD, int(size * SS)),
                              pad=6 * SS, h=h * SS) / SS

    def badge(self, cx, cy, label):
        r = 11
        self.ellipse([cx - r, cy - r, cx + r, cy + r], fill=(232, 120, 32),
                     outline=(255, 255, 255), width=2)
        self.text((cx, cy + 0.5), label, SANS_BOLD, 14, (255, 255, 255), anchor="mm")

    def curved_arrow(self, p0, p1, p2, colour, width=3.2):
        pts = [p0] + artlib.bezier(p0, p1, p1, p2, steps=30)
        self.line(pts, colour, width)
        # head along the last segment
        (xa, ya), (xb, yb) = pts[-4], pts[-1]
        ang = math.atan2(yb - ya, xb - xa)
        L = 11
        self.polygon(
            [
                (xb + math.cos(ang) * 3, yb + math.sin(ang) * 3),
                (xb - math.cos(ang - 0.5) * L, yb - math.sin(ang - 0.5) * L),
                (xb - math.cos(ang + 0.5) * L, yb - math.sin(ang + 0.5) * L),
            ],
            colour,
        )

    def save(self, name):
        save_jpeg(reduce(self.img, (self.w, self.h)), name)


TEXT_GREY = (186, 192, 202)
SELECT = (51, 112, 204)
ORANGE = (232, 120, 32)


def document_lines(c, x, y, widths, step=13):
    for i, w in enumerate(widths):
        c.rect((x, y + i * step, x + w, y + i * step + 6), radius=3, fill=TEXT_GREY)


# --------------------------------------------------------------------------
# SID1.jpg: copy the text, click the icon beside the clock


def make_sid1():
    c = Canvas((258, 258), (233, 241, 250), (205, 221, 240))

    # a page with a marked e-mail address
    page = (16, 14, 196, 118)
    c.shadow(page)
    c.rect(page, radius=5, fill=(255, 255, 255), outline=(160, 172, 190), width=1)
    document_lines(c, 30, 28, [120, 146])
    c.rect((28, 53, 170, 75), radius=3, fill=SELECT)
    c.text((99, 64.5), "name@firma.de", SANS_BOLD, 14.5, (255, 255, 255), anchor="mm")
    document_lines(c, 30, 86, [150, 96])
    c.badge(196, 20, "1")

    # Strg + C
    x = c.key(112, 128, "Strg")
    c.text((x + 8, 141), "+", SANS_BOLD, 16, (60, 66, 80), anchor="mm")
    c.key(x + 16, 128, "C")

    # the task bar corner with the tray and the clock
    c.img.paste(gradient((258 * SS, 66 * SS), (52, 72, 104), (24, 36, 58)), (0, 192 * SS))
    c.d = ImageDraw.Draw(c.img)
    c.line([(0, 192.5), (258, 192.5)], (120, 146, 186), 1)
    # tray field
    c.rect((58, 202, 262, 250), radius=6, fill=(34, 50, 78), outline=(78, 100, 136), width=1)
    # two neutral tray symbols: loudspeaker and network bars
    c.polygon([(72, 221), (78, 221), (85, 214), (85, 238), (78, 231), (72, 231)], (190, 200, 214))
    c.line([(89, 220), (91, 226), (89, 232)], (190, 200, 214), 2)
    for i, hgt in enumerate((6, 11, 16)):
        c.rect((102 + i * 6, 234 - hgt, 106 + i * 6, 234), radius=1, fill=(190, 200, 214))
    # the Velumor icon, lit up under the pointer
    c.rect((126, 205, 162, 247), radius=5, fill=(72, 100, 146), outline=(140, 172, 214), width=1)
    c.paste_mark(130, 210, 28)
    # clock
    c.text((214, 219), "12:34", SANS_BOLD, 17, (255, 255, 255), anchor="mm")
    c.text((214, 238), "Mo", SANS, 11, (190, 204, 224), anchor="mm")

    # arrow from the page to the icon, and the clicking pointer
    c.curved_arrow((56, 124), (40, 196), (112, 206), ORANGE)
    c.badge(118, 170, "2")
    # click rays to the right of the tip, clear of the icon
    tip = (152, 228)
    for ang in (-50, -15, 20):
        a = math.radians(ang)
        c.line([(tip[0] + math.cos(a) * 15, tip[1] + math.sin(a) * 15),
                (tip[0] + math.cos(a) * 22, tip[1] + math.sin(a) * 22)], ORANGE, 2.4)
    c.arrow_pointer(tip[0], tip[1], 1.25)
    c.save("SID1.jpg")


# --------------------------------------------------------------------------
# SID2.jpg: scrambled letters from the clipboard into the editor

CARRIERS = ["vDfTeU", "Fq~dVb", "N^tAgQ", "dOcaW[", "Vr`kLp"]


def make_sid2():
    c = Canvas((258, 258), (233, 241, 250), (205, 221, 240))

    # the clipboard
    board = (14, 18, 112, 142)
    c.shadow(board, radius=7)
    c.rect(board, radius=7, fill=(176, 124, 72), outline=(120, 80, 42), width=1.5)
    c.rect((24, 32, 102, 134), radius=2, fill=(255, 255, 255), outline=(200, 190, 176), width=1)
    c.rect((44, 11, 82, 28), radius=4, fill=(176, 184, 196), outline=(110, 118, 132), width=1.5)
    c.ellipse((58, 14, 68, 20), fill=(110, 118, 132))
    for i, word in enumerate(CARRIERS):
        c.text((63, 48 + i * 18), word, MONO_BOLD, 14, (34, 82, 150), anchor="mm")

    # Strg + V
    x = c.key(126, 64, "Strg")
    c.text((x + 8, 77), "+", SANS_BOLD, 16, (60, 66, 80), anchor="mm")
    c.key(x + 16, 64, "V")

    # the editor window
    win = (74, 132, 246, 248)
    c.shadow(win, radius=5)
    c.rect(win, radius=5, fill=(255, 255, 255), outline=(96, 112, 138), width=1.2)
    c.rect((74, 132, 246, 152), radius=5, fill=(58, 98, 160))
    c.rect((74, 144, 246, 152), fill=(58, 98, 160))
    c.text((84, 142), "HTML", SANS_BOLD, 11.5, (255, 255, 255), anchor="lm")
    for i, col in enumerate(((236, 104, 90), (240, 190, 70), (110, 196, 110))):
        c.ellipse((216 + i * 10 - 3.5 - 6, 138.5, 216 + i * 10 + 3.5 - 6, 145.5), fill=col)
    # code lines
    code_font = 10.5
    lines = [
        ("<p>Kontakt:", (120, 126, 140)),
        ("<script>", (170, 60, 40)),
        ('var c="vDfT', (34, 82, 150)),
        ("</script>", (170, 60, 40)),
        ("</p>", (120, 126, 140)),
    ]
    # the pasted block stands out
    c.rect((80, 172, 240, 214), radius=3, fill=(222, 242, 222))
    for i, (t, colr) in enumerate(lines):
        c.text((84, 161 + i * 14.5), t, MONO_BOLD, code_font, colr, anchor="lm")
    # text cursor after the pasted block
    c.line([(132, 215), (132, 228)], (20, 20, 20), 1.4)

    # arrow from the clipboard into the editor
    c.curved_arrow((112, 100), (160, 100), (176, 160), ORANGE)
    c.save("SID2.jpg")


if __name__ == "__main__":
    make_banner()
    make_sid1()
    make_sid2()
