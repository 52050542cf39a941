#!/usr/bin/env python3
"""Draws the capture windows' art: the region window's cursor and the start panel's background
and close marks. Usage: make_art.py OUTPUT_FOLDER. Every pixel is computed here."""
import struct
import sys
from pathlib import Path


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP file; pixel(x, y) gives (r, g, b) with y counted from the top."""
    row_bytes = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(bits), 0, 0, 14 + len(header))
    return file_header + header + bits


TITLE_BLUE = (43, 97, 186)
RED = (255, 0, 0)


def panel_background(x, y):
    # The three outermost pixels of each top corner are the mask colour: the window is cut there.
    if (x, y) in ((0, 0), (1, 0), (0, 1), (249, 0), (248, 0), (249, 1)):
        return RED
    if y < 28:
        # Title band: a slight vertical shade of blue, never pure red.
        k = y / 27
        return (int(60 - 20 * k), int(120 - 25 * k), int(205 - 20 * k))
    if x == 0 or x == 249 or y == 109:
        return TITLE_BLUE  # a thin border in the title's blue
    k = (y - 28) / 81
    return (int(255 - 40 * k), int(255 - 22 * k), 255)


def close_mark(hover):
    def pixel(x, y):
        background = (70, 140, 225) if hover else panel_background(224 + x, 4 + y)
        # A white cross, two pixels wide, inside a 3-pixel margin.
        d1, d2 = x - y, x + y - 18
        if 3 <= x <= 15 and 3 <= y <= 15 and (abs(d1) <= 1 or abs(d2) <= 1):
            return (255, 255, 255)
        return background
    return pixel


def cursor():
    """A 32 x 32, 256-colour cursor: a multicoloured arrow whose tip (hot spot) is at (6, 5)."""
    size = 32
    hot_x, hot_y = 6, 5
    palette = [(0, 0, 0)] * 256
    palette[1] = (0, 0, 0)        # outline
    palette[2] = (255, 255, 255)  # inner edge
    for i in range(16):           # body: blue to cyan
        palette[16 + i] = (20, 60 + 12 * i, 200 + 3 * i)
    palette[40] = (255, 200, 0)   # the tail's stripe
    index = [[0] * size for _ in range(size)]
    opaque = [[False] * size for _ in range(size)]

    def put(x, y, colour):
        if 0 <= x < size and 0 <= y < size:
            index[y][x] = colour
            opaque[y][x] = True

    height = 16
    for r in range(height + 1):  # the head: row r spans r + 1 pixels to the right of the tip
        y = hot_y + r
        for c in range(r + 1):
            x = hot_x + c
            edge = c == 0 or c == r or r == height
            put(x, y, 1 if edge else (2 if c == 1 or c == r - 1 else 16 + min(15, r)))
    for r in range(9):  # the tail, slanting down to the right
        y = hot_y + 11 + r
        for c in range(4):
            x = hot_x + 5 + r // 2 + c
            edge = c in (0, 3) or r == 8
            put(x, y, 1 if edge else 40)
    out = bytearray()
    out += struct.pack("<HHH", 0, 2, 1)
    xor_bytes = size * size
    and_row = 4
    and_bytes = and_row * size
    image_size = 40 + 256 * 4 + xor_bytes + and_bytes
    out += struct.pack("<BBBBHHII", size, size, 0, 0, hot_x, hot_y, image_size, 6 + 16)
    out += struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, xor_bytes + and_bytes, 0, 0, 256, 0)
    for r, g, b in palette:
        out += bytes((b, g, r, 0))
    for y in range(size - 1, -1, -1):
        out += bytes(index[y][x] for x in range(size))
    for y in range(size - 1, -1, -1):
        bits = 0
        for x in range(size):
            if not opaque[y][x]:
                bits |= 1 << (31 - x)
        out += struct.pack(">I", bits)
    return bytes(out)


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    files = {
        "CaptureScreen_Cur.cur": cursor(),
        "frmCapture_Background.bmp": bmp24(250, 110, panel_background),
        "frmCapture_Close0.bmp": bmp24(19, 19, close_mark(False)),
        "frmCapture_Close1.bmp": bmp24(19, 19, close_mark(True)),
    }
    for name, data in files.items():
        path = folder / name
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)


if __name__ == "__main__":
    main()
