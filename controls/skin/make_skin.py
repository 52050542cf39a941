#!/usr/bin/env python3
"""Draws the blue skin of ucSkinForm and its default icon as 24-bit BMP files.

Our own artwork, drawn from the sizes and mask pixels the frame needs: a blue title bar with
rounded top corners (magenta, 255 0 255, is see-through), thin dark-blue borders, a pale
background strip, and three states (normal, hover, pressed) of the minimise, maximise, restore
and close buttons, whose four corner pixels are magenta.

    python3 make_skin.py <output folder>
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)


def write_bmp(path, pixels):
    """pixels: rows top to bottom of (r, g, b)."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# Title bar: a light top edge, then a blue gradient, a darker last row.
TITLE_TOP = (118, 168, 236)
TITLE_MID = (60, 118, 214)
TITLE_LOW = (36, 88, 184)
OUTLINE = (22, 58, 128)
EDGE_MID = (58, 108, 196)
EDGE_IN = (96, 146, 222)


def title_row(y):
    if y == 0:
        return OUTLINE
    if y == 1:
        return (180, 210, 248)
    if y < 15:
        return mix(TITLE_TOP, TITLE_MID, (y - 2) / 13)
    if y < 29:
        return mix(TITLE_MID, TITLE_LOW, (y - 15) / 13)
    return OUTLINE


def corner_left_top():
    rows = []
    for y in range(30):
        row = []
        for x in range(6):
            if x == 0:
                c = OUTLINE
            elif x == 1 and y > 0:
                c = mix(title_row(y), (200, 225, 252), 0.5)
            else:
                c = title_row(y)
            row.append(c)
        rows.append(row)
    # Rounded corner: the corner pixel and the two next to it along each edge are see-through,
    # the pixel inside them draws the outline.
    for x, y in ((0, 0), (1, 0), (2, 0), (0, 1), (0, 2)):
        rows[y][x] = MAGENTA
    rows[1][1] = OUTLINE
    return rows


def mirror(rows):
    return [list(reversed(r)) for r in rows]


def corner_bottom(left):
    # 5 x 3: outline at the outer edge and the bottom, the edge colours inside.
    rows = []
    for y in range(3):
        row = []
        for x in range(5):
            xe = x if left else 4 - x
            if y == 2 or xe == 0:
                c = OUTLINE
            elif y == 1 or xe == 1:
                c = EDGE_MID
            else:
                c = EDGE_IN
            row.append(c)
        rows.append(row)
    return rows


def button(kind, state):
    close = kind == "Close"
    base = {1: (78, 132, 222), 2: (116, 172, 246), 3: (44, 90, 176)}[state]
    if close:
        base = {1: (206, 78, 62), 2: (236, 112, 90), 3: (160, 44, 32)}[state]
    rim = mix(base, (255, 255, 255), 0.45)
    dark = mix(base, (0, 0, 0), 0.35)
    glyph = (255, 255, 255)
    rows = []
    for y in range(19):
        row = []
        for x in range(19):
            if x in (0, 18) or y in (0, 18):
                c = dark
            elif y == 1 or x == 1:
                c = rim
            else:
                c = mix(mix(base, (255, 255, 255), 0.25), base, (y - 2) / 15)
            row.append(c)
        rows.append(row)

    def put(x, y):
        rows[y][x] = glyph

    if kind == "Min":
        for x in range(5, 14):
            put(x, 12)
            put(x, 13)
    elif kind == "Max":
        for x in range(5, 14):
            put(x, 5)
            put(x, 6)
            put(x, 13)
        for y in range(5, 14):
            put(5, y)
            put(13, y)
    elif kind == "Restore":
        for x in range(7, 14):
            put(x, 4)
            put(x, 5)
        for y in range(4, 11):
            put(13, y)
        for x in range(5, 12):
            put(x, 7)
            put(x, 8)
            put(x, 14)
        for y in range(7, 15):
            put(5, y)
            put(11, y)
    else:
        for i in range(9):
            for d in (0, 1):
                if 5 + i + d <= 13:
                    put(5 + i + d, 5 + i)
                    put(13 - i - d, 5 + i)
    for x, y in ((0, 0), (18, 0), (0, 18), (18, 18)):
        rows[y][x] = MAGENTA
    return rows


def default_icon():
    # A small blue page with a folded corner and three lines, on magenta.
    rows = [[MAGENTA] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(3, 13):
            if x >= 9 and y <= 4 and (x - 9) + (4 - y) >= 0 and x - 9 > y - 1:
                continue
            edge = x in (3, 12) or y in (1, 14)
            rows[y][x] = OUTLINE if edge else (236, 244, 255)
    for y in range(1, 5):
        rows[y][9 + y - 1] = OUTLINE
    for y in (6, 9, 12):
        for x in range(5, 11):
            rows[y][x] = TITLE_MID
    return rows


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    p = lambda name: os.path.join(out, "ucSkinForm_Blue_" + name + ".bmp")
    left_top = corner_left_top()
    write_bmp(p("CornerLeftTop"), left_top)
    write_bmp(p("CornerRightTop"), mirror(left_top))
    write_bmp(p("CornerLeftBottom"), corner_bottom(True))
    write_bmp(p("CornerRightBottom"), corner_bottom(False))
    write_bmp(p("BorderTop"), [[title_row(y)] for y in range(30)])
    write_bmp(p("BorderLeft"), [[OUTLINE, EDGE_MID, EDGE_IN]])
    write_bmp(p("BorderRight"), [[EDGE_IN, EDGE_MID, OUTLINE]])
    write_bmp(p("BorderBottom"), [[EDGE_IN], [EDGE_MID], [OUTLINE]])
    for kind in ("Min", "Max", "Restore", "Close"):
        for state in (1, 2, 3):
            write_bmp(p("Btn%s%d" % (kind, state)), button(kind, state))
    write_bmp(p("bg"), [[mix((238, 243, 251), (212, 224, 242), y / 353)] for y in range(354)])
    write_bmp(os.path.join(out, "ucSkinForm_DefaultIcon.bmp"), default_icon())


if __name__ == "__main__":
    main()
