#!/usr/bin/env python3
"""Draws qlnclear's pictures: the maker's logo (logo.bmp, 150 x 88, 193 colours,
run-length encoded) and the program icon (qlnclear.ico, 32 x 32, 16 colours). Run it
again after changing the drawing; both outputs are committed."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 7 capitals for the maker's name.
GLYPHS = {
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
}


def ring_q(x, y, cx, cy, outer, inner):
    """True on the ring of a Q or on its tail."""
    d = math.hypot(x - cx, y - cy)
    if inner <= d <= outer:
        return True
    # The tail: a thick stroke from the ring's lower right outwards.
    t = ((x - cx) + (y - cy)) / math.sqrt(2)
    n = abs((x - cx) - (y - cy)) / math.sqrt(2)
    return inner * 0.55 <= t <= outer * 1.35 and n <= (outer - inner) * 0.45


def logo_bmp():
    width, height = 150, 88
    # Palette: 0..127 a night-blue gradient, 128..191 gold shades, 192 white, rest black.
    palette = []
    for i in range(128):
        palette.append((40 + i // 2, 20 + i // 4, 10 + i // 8))  # stored as B, G, R
    for i in range(64):
        palette.append((20 + i, 150 + i, 200 + i // 2))
    palette.append((255, 255, 255))

    pixels = [[0] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            # Top to bottom, so that each row is one run of its shade: the file stays small.
            pixels[y][x] = min(127, y * 127 // (height - 1))
            if ring_q(x, y, 75, 34, 28, 19):
                shade = int(63 * (1 - abs(y - 20) / 60.0))
                pixels[y][x] = 128 + max(0, min(63, shade))
    text = "QUILLON"
    scale = 2
    left = (width - (len(text) * 6 - 1) * scale) // 2
    top = 70
    for k, ch in enumerate(text):
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[top + row * scale + dy][left + (k * 6 + col) * scale + dx] = 192

    image = bytearray()
    for y in reversed(range(height)):  # bottom-up rows
        image += rle8_row(pixels[y])
    image[-2:] = b"\0\1"  # the last row's end is the bitmap's end
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(image), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    return header + info + colours + bytes(image)


def rle8_row(row):
    """One row in BI_RLE8: runs of one index, literal stretches of three or more in
    absolute mode (padded to a word), and the end-of-line escape."""
    out = bytearray()
    i = 0
    while i < len(row):
        run = 1
        while i + run < len(row) and run < 255 and row[i + run] == row[i]:
            run += 1
        if run > 1:
            out += bytes([run, row[i]])
            i += run
            continue
        end = i + 1
        while end < len(row) and end - i < 255 and (end + 1 >= len(row) or row[end] != row[end + 1]):
            end += 1
        if end - i >= 3:
            out += bytes([0, end - i]) + bytes(row[i:end]) + (b"\0" if (end - i) % 2 else b"")
        else:
            for v in row[i:end]:
                out += bytes([1, v])
        i = end
    return out + b"\0\0"


def icon_ico():
    size = 32
    # The 16 standard colours, as B, G, R.
    vga = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]
    blue, gold, dark = 4, 11, 0
    pixels = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            if math.hypot(x - 15.5, y - 15.5) <= 15.5:
                pixels[y][x] = blue
            if ring_q(x, y, 15.5, 14.5, 10.5, 6.5):
                pixels[y][x] = gold
    for y in range(size):
        for x in range(size):
            edge = math.hypot(x - 15.5, y - 15.5)
            if 14.6 <= edge <= 15.5:
                pixels[y][x] = dark
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        for x in range(0, size, 2):
            a = pixels[y][x] or 0
            b = pixels[y][x + 1] or 0
            xor.append((a << 4) | b)
        bits = 0
        row = bytearray()
        for x in range(size):
            bits = (bits << 1) | (1 if pixels[y][x] is None else 0)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        mask += row  # 32 pixels make 4 bytes: already a multiple of 4
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in vga)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    body = info + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(body), 22)
    return directory + body


def main():
    with open(os.path.join(HERE, "logo.bmp"), "wb") as f:
        f.write(logo_bmp())
    with open(os.path.join(HERE, "qlnclear.ico"), "wb") as f:
        f.write(icon_ico())


if __name__ == "__main__":
    main()
