#!/usr/bin/env python3
"""Draws the Quavertone artwork that the installer carries:

  logo.bmp        bitmap 200: 189 x 67 pixels, 8 bits per pixel, a full
                  256-entry colour table, white background; a quaver (eighth
                  note) beside the product name and a sound wave.
  quavertone.ico  icon group 100: the quaver at 16 x 16 and 32 x 32, 16 colours.

Drawn from geometry and a built-in pixel font, so the files come out the
same on every machine.  Run it to remake both files next to this script.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 7 capitals for the product name.
FONT = {
    'Q': ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    '1': ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    '0': ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    '.': ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    ' ': ["00000"] * 7,
}


def quaver_coverage(size, x, y):
    """How much of pixel (x, y) a quaver drawn in a size x size box covers,
    from 4 x 4 supersampling (0.0 to 1.0)."""
    hits = 0
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4) / size
            v = (y + (sy + 0.5) / 4) / size
            if in_quaver(u, v):
                hits += 1
    return hits / 16.0


def in_quaver(u, v):
    # Note head: a tilted ellipse low on the left.
    cx, cy = 0.36, 0.78
    dx, dy = u - cx, v - cy
    a = math.radians(-25)
    rx = dx * math.cos(a) - dy * math.sin(a)
    ry = dx * math.sin(a) + dy * math.cos(a)
    if (rx / 0.22) ** 2 + (ry / 0.14) ** 2 <= 1.0:
        return True
    # Stem on the head's right side.
    if 0.52 <= u <= 0.60 and 0.10 <= v <= 0.76:
        return True
    # Flag: a band curving down and right from the top of the stem.
    if 0.56 <= u <= 0.92 and 0.10 <= v <= 0.62:
        t = (u - 0.56) / 0.36
        top = 0.10 + 0.30 * t * t + 0.05 * t
        if top <= v <= top + 0.16 - 0.06 * t:
            return True
    return False


def write_logo(path):
    width, height = 189, 67
    # Colour table: 0 white, then a ramp from white to navy for the shaded
    # edges of the note and letters, a teal ramp for the wave, and greys.
    palette = [(255, 255, 255)]
    navy = (16, 32, 96)
    teal = (0, 128, 128)
    for i in range(1, 65):
        t = i / 64.0
        palette.append(tuple(round(255 + (c - 255) * t) for c in navy))
    for i in range(1, 65):
        t = i / 64.0
        palette.append(tuple(round(255 + (c - 255) * t) for c in teal))
    while len(palette) < 256:
        g = 255 - (len(palette) - 129) * 2
        palette.append((g, g, g))
    pixels = [[0] * width for _ in range(height)]

    # The quaver, 58 pixels high, at the left.
    size = 58
    for y in range(size):
        for x in range(size):
            c = quaver_coverage(size, x, y)
            if c > 0:
                pixels[4 + y][4 + x] = 1 + int(round(c * 63))

    # The name in 2x scaled capitals.
    text = "QUAVERTONE"
    scale = 2
    left, top = 64, 14
    for i, ch in enumerate(text):
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == '1':
                    for sy in range(scale):
                        for sx in range(scale):
                            pixels[top + gy * scale + sy][left + i * 12 + gx * scale + sx] = 64

    # The release under the name, 1x.
    release = "10.0"
    for i, ch in enumerate(release):
        for gy, row in enumerate(FONT[ch]):
            for gx, bit in enumerate(row):
                if bit == '1':
                    pixels[34 + gy][left + 96 + i * 6 + gx] = 48

    # A sound wave beneath, fading out to the right.
    for x in range(left, width - 6):
        t = (x - left) / float(width - 6 - left)
        amp = 8 * math.sin(math.pi * t) * (1 - 0.5 * t)
        y = 52 + amp * math.sin(2 * math.pi * (x - left) / 14.0)
        for yy in (int(math.floor(y)), int(math.floor(y)) + 1):
            cover = 1.0 - abs(y - yy) * 0.8
            if 0 <= yy < height and cover > 0:
                pixels[yy][x] = max(pixels[yy][x], 65 + int(round(cover * 63)))

    stride = (width + 3) & ~3
    image = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytes(pixels[y]) + b"\0" * (stride - width)
        image += row
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(image), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(colour_table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + colour_table + image)


# The 16 colours of the standard VGA palette, in the order icons use.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon_image(size):
    colour = []
    mask = []
    for y in range(size):
        crow, mrow = [], []
        for x in range(size):
            c = quaver_coverage(size, x, y)
            if c >= 0.5:
                crow.append(4)       # navy body
                mrow.append(0)
            elif c > 0.0:
                crow.append(6)       # teal edge
                mrow.append(0)
            else:
                crow.append(0)
                mrow.append(1)       # transparent
        colour.append(crow)
        mask.append(mrow)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    andm = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(xor_stride)
        for x in range(size):
            row[x // 2] |= colour[y][x] << (4 if x % 2 == 0 else 0)
        xor += row
        mrow = bytearray(and_stride)
        for x in range(size):
            if mask[y][x]:
                mrow[x // 8] |= 0x80 >> (x % 8)
        andm += mrow
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(andm), 0, 0, 16, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    return info + table + bytes(xor) + bytes(andm)


def write_icon(path):
    images = [icon_image(16), icon_image(32)]
    sizes = [16, 32]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(images))


if __name__ == "__main__":
    write_logo(os.path.join(HERE, "logo.bmp"))
    write_icon(os.path.join(HERE, "quavertone.ico"))
