"""Shared drawing helpers for Velumor's pictures, icons and cursor.

Used by make_icons.py and make_pictures.py; not run on its own.
Needs python3-pil and fonts-dejavu-core (Debian packages).
"""

import io
import math
import struct

from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SANS = FONT_DIR + "DejaVuSans.ttf"
SANS_BOLD = FONT_DIR + "DejaVuSans-Bold.ttf"
MONO = FONT_DIR + "DejaVuSansMono.ttf"
MONO_BOLD = FONT_DIR + "DejaVuSansMono-Bold.ttf"

# The program's colours.
NAVY = (13, 38, 84)
BLUE_TOP = (64, 140, 226)
BLUE_BOTTOM = (22, 78, 160)
WHITE = (255, 255, 255)


def font(path, size):
    return ImageFont.truetype(path, size)


# --------------------------------------------------------------------------
# Geometry


def bezier(p0, p1, p2, p3, steps=24):
    """Points of a cubic Bezier curve, p0 excluded."""
    pts = []
    for i in range(1, steps + 1):
        t = i / steps
        u = 1 - t
        x = u**3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t**3 * p3[0]
        y = u**3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t**3 * p3[1]
        pts.append((x, y))
    return pts


def shield_outline(x0, y0, w, h):
    """Polygon of the shield, in the box (x0, y0, w, h)."""
    def p(u, v):
        return (x0 + u * w, y0 + v * h)

    pts = [p(0.0, 0.10)]
    # top edge: slight dip in the middle
    pts += bezier(p(0.0, 0.10), p(0.22, 0.06), p(0.38, 0.0), p(0.5, 0.0))
    pts += bezier(p(0.5, 0.0), p(0.62, 0.0), p(0.78, 0.06), p(1.0, 0.10))
    # right side down to the point
    pts += bezier(p(1.0, 0.10), p(1.0, 0.55), p(0.80, 0.82), p(0.5, 1.0))
    pts += bezier(p(0.5, 1.0), p(0.20, 0.82), p(0.0, 0.55), p(0.0, 0.10))
    return pts


def vertical_gradient(size, top, bottom):
    w, h = size
    grad = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(1, h - 1)
        grad.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return grad.resize((w, h))


# --------------------------------------------------------------------------
# The program mark: a blue shield with a white "@"

# The 16-pixel mark is drawn pixel by pixel: a reduced drawing is too soft
# at that size. N navy outline, B blue (shaded by row), l half white, W white.
MARK16 = [
    "..NNNNNNNNNNNN..",
    ".NBBBBBBBBBBBBN.",
    "NBBBBlWWWWlBBBBN",
    "NBBBWlBBBBlWBBBN",
    "NBBWBBBWWWBBWBBN",
    "NBBWBBWBBWBBWBBN",
    "NBBWBBWBBWBBWBBN",
    "NBBWBBWBBWBBWBBN",
    "NBBWBBBWWlWWlBBN",
    ".NBBWBBBBBBBBBN.",
    ".NBBlWBBBBBWlBN.",
    "..NBBlWWWWWlBN..",
    "...NBBBBBBBBN...",
    "....NNBBBBNN....",
    "......NBBN......",
    ".......NN.......",
]

# Per size: shield box (x, y, w, h), outline width, "@" centre, outer ring
# radius, bowl radius and stroke width, all in target pixels. The sizes in
# between and above are these drawings scaled (mark_geometry).
MARK_GEOMETRY = {
    24: ((1.0, 0.5, 22.0, 23.0), 1.25, (12.0, 10.6), 6.6, 2.5, 1.9),
    32: ((2.0, 0.5, 28.0, 31.0), 1.35, (16.0, 14.2), 9.1, 3.5, 2.4),
    48: ((3.0, 1.0, 42.0, 46.0), 1.8, (24.0, 21.2), 13.5, 5.2, 3.4),
}


def mark_geometry(size):
    """The geometry for `size`: from the table, else the next larger drawing
    in the table (the largest above it) scaled to the size."""
    if size in MARK_GEOMETRY:
        return MARK_GEOMETRY[size]
    base = min((s for s in MARK_GEOMETRY if s > size), default=max(MARK_GEOMETRY))
    f = size / base
    (bx, by, bw, bh), line, (cx, cy), R, ri, t = MARK_GEOMETRY[base]
    return ((bx * f, by * f, bw * f, bh * f), line * f, (cx * f, cy * f), R * f, ri * f, t * f)


def _mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def _mark16():
    img = Image.new("RGBA", (16, 16), (0, 0, 0, 0))
    for y, row in enumerate(MARK16):
        blue = _mix(BLUE_TOP, BLUE_BOTTOM, y / 15)
        for x, ch in enumerate(row):
            c = {"N": NAVY, "B": blue, "W": WHITE, "l": _mix(blue, WHITE, 0.55)}.get(ch)
            if c:
                img.putpixel((x, y), c + (255,))
    return img


def _at_sign(draw, ss, cx, cy, R, ri, t):
    """A geometric "@" (white) into a drawing ss times the target size."""
    def box(x, y, r):
        return [ss * (x - r), ss * (y - r), ss * (x + r), ss * (y + r)]

    w = round(ss * t)
    # outer ring, open at the lower right
    draw.arc(box(cx, cy, R + t / 2), start=42, end=360, fill=WHITE, width=w)
    # the bowl of the "a"
    bx = cx - 0.3
    draw.arc(box(bx, cy, ri + t / 2), 0, 360, fill=WHITE, width=w)
    # its stem, from the top of the bowl down to the middle line
    sx = bx + ri
    draw.rectangle([ss * (sx - t / 2), ss * (cy - ri - t / 2), ss * (sx + t / 2), ss * cy], fill=WHITE)
    # the tail: a lower half circle from the stem over to the ring
    tc = (sx + cx + R) / 2
    tr = (cx + R - sx) / 2
    draw.arc(box(tc, cy, tr + t / 2), 0, 180, fill=WHITE, width=w)


def draw_mark(size, ss=8):
    """The Velumor mark as an RGBA image of size x size pixels.

    16 pixels: the pixel drawing above. Other sizes are drawn ss times
    larger and reduced; pixels outside the shield are navy in the colour
    layer, so edge pixels blend into the outline, under the soft alpha
    and under a hard 1-bit mask alike.
    """
    if size == 16:
        return _mark16()
    (bx, by, bw, bh), line, (cx, cy), R, ri, t = mark_geometry(size)
    big = size * ss
    S = lambda v: v * ss  # noqa: E731

    outline = shield_outline(S(bx), S(by), S(bw), S(bh))
    mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(mask).polygon(outline, fill=255)

    col = Image.new("RGB", (big, big), NAVY)
    inner = shield_outline(S(bx + line), S(by + line), S(bw - 2 * line), S(bh - 2.4 * line))
    inner_mask = Image.new("L", (big, big), 0)
    ImageDraw.Draw(inner_mask).polygon(inner, fill=255)
    col.paste(vertical_gradient((big, big), BLUE_TOP, BLUE_BOTTOM), (0, 0), inner_mask)

    # a soft light on the left half of the shield
    shine = Image.new("L", (big, big), 0)
    ImageDraw.Draw(shine).rectangle([0, 0, S(bx + bw / 2), big], fill=30)
    shine = Image.composite(shine, Image.new("L", (big, big), 0), inner_mask)
    col = Image.composite(Image.new("RGB", (big, big), WHITE), col, shine)

    _at_sign(ImageDraw.Draw(col), ss, cx, cy, R, ri, t)

    col = col.resize((size, size), Image.LANCZOS)
    img = col.convert("RGBA")
    img.putalpha(mask.resize((size, size), Image.BOX))
    return img


# --------------------------------------------------------------------------
# Windows icon and cursor files


def _dib(size, bpp, palette, indices, opaque):
    """BITMAPINFOHEADER + palette + XOR bitmap + AND mask of one image."""
    w = h = size
    ncolors = 1 << bpp
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0, 0, 0, 0, ncolors, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette[:ncolors])
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up rows
        row = indices[y * w : (y + 1) * w]
        bits = 0
        nbits = 0
        line = bytearray()
        for v in row:
            bits = (bits << bpp) | v
            nbits += bpp
            while nbits >= 8:
                nbits -= 8
                line.append((bits >> nbits) & 0xFF)
        if nbits:
            line.append((bits << (8 - nbits)) & 0xFF)
        line += b"\0" * (xor_stride - len(line))
        xor += line

        mline = bytearray(and_stride)
        for x in range(w):
            if not opaque[y * w + x]:
                mline[x // 8] |= 0x80 >> (x % 8)
        andm += mline
    return header + pal + bytes(xor) + bytes(andm)


def _and_mask(size, opaque):
    """The 1-bit AND mask, bottom-up: set where the pixel is transparent."""
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        line = bytearray(stride)
        for x in range(size):
            if not opaque[y * size + x]:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return bytes(mask)


def rgba_entry(img):
    """An ICO entry of 32-bit colour with alpha: BGRA rows bottom-up, and the
    AND mask older Windows draws with (set where alpha is below half)."""
    size = img.width
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = list(img.convert("RGBA").getdata())
    rows = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in pixels[y * size:(y + 1) * size]:
            rows += bytes((b, g, r, a))
    mask = _and_mask(size, [p[3] >= 128 for p in pixels])
    return (size, 32, 0, header + bytes(rows) + mask)


def png_entry(img):
    """An ICO entry stored as PNG, as Windows Vista and later read the 256 one."""
    out = io.BytesIO()
    img.convert("RGBA").save(out, "PNG", optimize=True)
    return (img.width, 32, 0, out.getvalue())


def palette_entry(size, bpp, palette, indices, opaque):
    """An ICO or CUR entry with a palette of 2**bpp colours."""
    return (size, bpp, (1 << bpp) if bpp < 8 else 0, _dib(size, bpp, palette, indices, opaque))


def write_icon_file(path, entries, kind=1, hotspots=None):
    """Write an ICO (kind 1) or CUR (kind 2).

    entries: list of (size, bpp, colour count, image data), as made by
    rgba_entry, png_entry and palette_entry.
    hotspots: for cursors, one (x, y) per entry.
    """
    out = bytearray(struct.pack("<HHH", 0, kind, len(entries)))
    offset = 6 + 16 * len(entries)
    for n, (s, bpp, ncol, blob) in enumerate(entries):
        if kind == 1:
            a, b = 1, bpp
        else:
            a, b = hotspots[n]
        out += struct.pack("<BBBBHHII", s % 256, s % 256, ncol, 0, a, b, len(blob), offset)
        offset += len(blob)
    for _s, _bpp, _ncol, blob in entries:
        out += blob
    with open(path, "wb") as fh:
        fh.write(out)


def icon_entries(images):
    """ICO entries for RGBA images: 32-bit colour with alpha, the 256-pixel
    one as PNG."""
    return [png_entry(im) if im.width >= 256 else rgba_entry(im) for im in images]


# --------------------------------------------------------------------------
# Small drawing pieces shared by the notice pictures


def arrow_pointer(draw, x, y, scale=1.0, fill=WHITE, outline=(0, 0, 0), width=2):
    """A mouse arrow whose tip is at (x, y)."""
    pts = [(0, 0), (0, 17), (4.2, 13.2), (7.2, 20), (10, 18.8), (7.1, 12.2), (12.5, 12.2)]
    poly = [(x + px * scale, y + py * scale) for px, py in pts]
    draw.polygon(poly, fill=fill)
    draw.line(poly + [poly[0]], fill=outline, width=width, joint="curve")


def rounded_box(draw, box, radius, fill=None, outline=None, width=1):
    draw.rounded_rectangle(box, radius=radius, fill=fill, outline=outline, width=width)


def soft_shadow(img, box, radius, offset=(3, 4), blur=5, strength=70):
    """Darken a blurred rounded rectangle under box (drawn before the box)."""
    from PIL import ImageFilter

    sh = Image.new("L", img.size, 0)
    b = (box[0] + offset[0], box[1] + offset[1], box[2] + offset[0], box[3] + offset[1])
    ImageDraw.Draw(sh).rounded_rectangle(b, radius=radius, fill=strength)
    sh = sh.filter(ImageFilter.GaussianBlur(blur))
    img.paste(Image.new("RGB", img.size, (0, 0, 0)), (0, 0), sh)


def key_cap(draw, x, y, label, f, pad=7, h=None):
    """A keyboard key with a label; returns its right edge."""
    tb = draw.textbbox((0, 0), label, font=f)
    tw, th = tb[2] - tb[0], tb[3] - tb[1]
    kh = h or th + 2 * pad + 4
    kw = max(tw + 2 * pad + 2, kh)
    draw.rounded_rectangle((x, y + 3, x + kw, y + kh + 3), radius=6, fill=(120, 126, 138))
    draw.rounded_rectangle((x, y, x + kw, y + kh), radius=6, fill=(246, 247, 250),
                           outline=(120, 126, 138), width=1)
    draw.text((x + (kw - tw) / 2 - tb[0], y + (kh - th) / 2 - tb[1] - 1), label,
              font=f, fill=(40, 44, 52))
    return x + kw


def distance(a, b):
    return math.hypot(a[0] - b[0], a[1] - b[1])
