#!/usr/bin/env python3
"""Draws the pictures of the skeleton site (apData/Site/Moto/cmn): the left menu's arrows,
the column backgrounds, the logo and the favicon. Standard library only;
run it again after changing a colour here."""
import os
import struct
import sys
import zlib

NAVY = (0x1F, 0x3A, 0x5F)
BLUE = (0x2E, 0x5C, 0x8A)
ACCENT = (0xD9, 0x6C, 0x2B)
LEFT = (0xF2, 0xF5, 0xF9)
MAIN = (0xFF, 0xFF, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)


def gif(width, height, pixels, palette, transparent=None):
    """GIF89a with every pixel written as a literal code (9-bit codes, a clear code before
    the table fills): larger than LZW proper, but these pictures are tiny."""
    palette = list(palette) + [(0, 0, 0)] * (256 - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0xF7, 0, 0)
    for r, g, b in palette:
        out += bytes((r, g, b))
    if transparent is not None:
        out += bytes((0x21, 0xF9, 4, 1, 0, 0, transparent, 0))
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out += bytes((8,))
    codes = [256]
    count = 0
    for p in pixels:
        codes.append(p)
        count += 1
        if count == 254:
            codes.append(256)
            count = 0
    codes.append(257)
    bits = 0
    nbits = 0
    data = bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 9
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes((len(block),)) + block
    out += b"\x00\x3b"
    return bytes(out)


def png(width, height, rgba):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(rgba[y * width + x])
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def ico(png_bytes, size):
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(png_bytes), 22)
    return header + entry + png_bytes


def arrow(direction, colour):
    w, h = 8, 9
    pixels = []
    for y in range(h):
        for x in range(w):
            if direction == "right":
                inside = x >= 1 and abs(y - 4) <= (5 - x) and x <= 5
            else:  # up, for the entry above the page's level
                inside = y >= 1 and abs(x - 3.5) <= (y - 1) * 0.6 and y <= 6
            pixels.append(1 if inside else 0)
    return gif(w, h, pixels, [(255, 255, 255), colour], transparent=0)


def columns(width, left_width):
    pixels = [0 if x < left_width else 1 for x in range(width)]
    return gif(width, 1, pixels, [LEFT, MAIN])


def tree_mark(size, background, foreground, rounded=True):
    """A small tree: a trunk and three branches ending in leaves, on a rounded square."""
    px = [(0, 0, 0, 0)] * (size * size)
    r = size * 0.2 if rounded else 0
    def inside_square(x, y):
        cx = min(max(x, r), size - 1 - r)
        cy = min(max(y, r), size - 1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 0.5
    def disc(x, y, cx, cy, rad):
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad
    s = size / 32.0
    for y in range(size):
        for x in range(size):
            c = None
            if inside_square(x, y):
                c = background + (255,)
            fx, fy = x / s, y / s
            trunk = 14.5 <= fx <= 17.5 and 12 <= fy <= 27
            branch_l = abs((fy - 20) - (16 - fx) * 0.8) < 1.4 and 8 <= fx <= 16
            branch_r = abs((fy - 17) - (fx - 16) * 0.8) < 1.4 and 16 <= fx <= 24
            leaves = disc(fx, fy, 16, 8, 4.2) or disc(fx, fy, 8, 13.5, 3.6) or disc(fx, fy, 24, 10.5, 3.6)
            if trunk or branch_l or branch_r or leaves:
                c = foreground + (255,)
            if c:
                px[y * size + x] = c
    return px


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "apData", "Site", "Moto", "cmn")
    os.makedirs(root, exist_ok=True)
    files = {
        "arrows.gif": arrow("right", BLUE),
        "arrows_hv.gif": arrow("right", ACCENT),
        "arrows_rv.gif": arrow("up", BLUE),
        "back-fx.gif": columns(960, 220),
        "back-el.gif": columns(2400, 220),
        "logo.png": png(48, 48, tree_mark(48, NAVY, WHITE)),
        "favicon.ico": ico(png(32, 32, tree_mark(32, NAVY, WHITE)), 32),
    }
    for name, data in files.items():
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
    print("wrote", len(files), "pictures to", os.path.normpath(root), file=sys.stderr)


if __name__ == "__main__":
    main()
