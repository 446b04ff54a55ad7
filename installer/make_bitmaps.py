#!/usr/bin/env python3
"""Makes the installer's pictures from the program icon, during the build.

welcome.bmp  164 x 314, left of the welcome and finish pages: a pale blue
             band with the 48-pixel program icon drawn twice as large.
header.bmp   150 x 57, right in the header of the other pages: the icon.

Plain Python, no imaging library: the icon's 48-pixel image (32-bit colour
with alpha) is read straight from the ICO file, laid over the background and
written into 24-bit BMP files.

Usage: make_bitmaps.py ICON OUT_DIR
"""
import os
import struct
import sys

WHITE = (255, 255, 255)
PALE_TOP = (255, 255, 255)
PALE_BOTTOM = (214, 230, 250)


def icon_image(path, size):
    """Rows of (r, g, b, alpha 0..255) of one 32-bit image of an ICO."""
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise SystemExit(f"{path}: keine Symboldatei")
    for n in range(count):
        width, _, _, _, _, _, _, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        if (width or 256) != size:
            continue
        header_size, w, h2, _, bpp = struct.unpack_from("<IiiHH", data, offset)
        if bpp != 32 or w != size or h2 != 2 * size:
            raise SystemExit(f"{path}: {size}-Pixel-Bild hat keine 32 Bit mit Alphakanal")
        pixels_at = offset + header_size
        rows = []
        for y in range(size):
            line = pixels_at + (size - 1 - y) * size * 4  # bottom-up
            rows.append([(data[line + 4 * x + 2], data[line + 4 * x + 1], data[line + 4 * x], data[line + 4 * x + 3])
                         for x in range(size)])
        return rows
    raise SystemExit(f"{path}: kein {size}-Pixel-Bild")


def canvas(width, height, top, bottom):
    def mix(t):
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))

    return [[mix(y / (height - 1))] * width for y in range(height)]


def paste(picture, image, left, top, scale):
    """Lays the image over the picture, each pixel as a scale x scale block."""
    for y, row in enumerate(image):
        for x, (r, g, b, a) in enumerate(row):
            for dy in range(scale):
                line = picture[top + y * scale + dy]
                for px in range(left + x * scale, left + (x + 1) * scale):
                    under = line[px]
                    line[px] = tuple(round((c * a + u * (255 - a)) / 255) for c, u in zip((r, g, b), under))


def write_bmp(path, picture):
    height, width = len(picture), len(picture[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(picture):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        pixels += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def main():
    icon_path, out_dir = sys.argv[1:3]
    icon = icon_image(icon_path, 48)
    os.makedirs(out_dir, exist_ok=True)

    welcome = canvas(164, 314, PALE_TOP, PALE_BOTTOM)
    paste(welcome, icon, (164 - 96) // 2, 48, 2)
    write_bmp(os.path.join(out_dir, "welcome.bmp"), welcome)

    header = canvas(150, 57, WHITE, WHITE)
    paste(header, icon, 150 - 48 - 6, (57 - 48) // 2, 1)
    write_bmp(os.path.join(out_dir, "header.bmp"), header)


if __name__ == "__main__":
    main()
