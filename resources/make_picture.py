#!/usr/bin/env python3
"""Draws the wizard's side picture, setup.bmp: 200 x 300, 8 bits per pixel, 256 colours.

A night-blue gradient and a stack of component bricks forming a "T". The picture is
drawn in long horizontal runs and stored run-length encoded (BI_RLE8), which keeps
setup.exe small. Run it from anywhere; it writes setup.bmp next to itself.
"""
import os
import struct

WIDTH, HEIGHT = 200, 300


def palette():
    colours = []
    # 0..127: background gradient, deep navy to teal.
    for i in range(128):
        t = i / 127
        colours.append((int(10 + 20 * t), int(20 + 90 * t), int(60 + 90 * t)))
    # 128..191: brick shading, amber to pale gold.
    for i in range(64):
        t = i / 63
        colours.append((int(190 + 60 * t), int(90 + 130 * t), int(20 + 90 * t)))
    # 192..255: greys up to white, for grid lines, edges and highlights.
    for i in range(64):
        v = int(60 + 195 * i / 63)
        colours.append((v, v, v))
    return colours


def draw():
    pixels = [[0] * WIDTH for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(WIDTH):
            # A vertical gradient, lighter towards the top; a frame line every 60 rows.
            pixels[y][x] = min(127, int((1 - y / HEIGHT) * 0.8 * 127))
            if y % 60 == 0:
                pixels[y][x] = 196
    bricks = [(40, 50 + 0, 120), (40 + 40, 50 + 30, 40), (40 + 40, 50 + 60, 40),
              (40 + 40, 50 + 90, 40), (40 + 40, 50 + 120, 40), (40 + 40, 50 + 150, 40)]
    for left, top, width in bricks:
        for y in range(top, top + 26):
            for x in range(left, left + width):
                edge = x in (left, left + width - 1) or y in (top, top + 25)
                shade = 128 + int(63 * (1 - (y - top) / 26))
                pixels[y][x] = 250 if edge else shade
        # Two studs on each brick, as on a building block.
        for cx in (left + width // 4, left + 3 * width // 4):
            for y in range(top - 5, top):
                for x in range(cx - 6, cx + 6):
                    pixels[y][x] = 240 if y == top - 5 else 175
    # A baseline under the stack.
    for y in range(236, 240):
        for x in range(20, 180):
            pixels[y][x] = 230
    return pixels


def rle8(rows):
    """Encoded runs of at most 255 pixels, one end-of-line per row, end of bitmap."""
    out = bytearray()
    for row in reversed(rows):  # bottom-up
        x = 0
        while x < len(row):
            n = 1
            while x + n < len(row) and n < 255 and row[x + n] == row[x]:
                n += 1
            out += bytes((n, row[x]))
            x += n
        out += b"\x00\x00"
    out[-2:] = b"\x00\x01"
    return bytes(out)


def write(path):
    colours = palette()
    image = rle8(draw())
    header_size = 14 + 40 + 4 * 256
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 1, len(image), 2835, 2835, 256, 256)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    head = struct.pack("<2sIHHI", b"BM", header_size + len(image), 0, 0, header_size)
    with open(path, "wb") as out:
        out.write(head + info + table + image)


if __name__ == "__main__":
    write(os.path.join(os.path.dirname(os.path.abspath(__file__)), "setup.bmp"))
