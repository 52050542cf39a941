#!/usr/bin/env python3
"""TGA samples for the reader's tests, in the folder given.

ImageMagick writes types 1, 2, 3, 9, 10 and 11 at 8, 24 and 32 bits in both row orders; its own
decoding of each (<name>.rgba, straight RGBA, rows top-down) is the reference. ImageMagick keeps
a file's row order as an orientation tag, so the references are taken with -auto-orient. This script writes
what ImageMagick does not: 15- and 16-bit pixels and colour maps, a first colour-map index above 0,
right-to-left rows, extension areas of each attributes type and footers, with the expected pixels
(<name>.expect, straight RGBA top-down, transparent pixels 0 0 0 0) worked out from the format's
rules: 5-bit levels are v * 8 + v mod 8, and a set 16-bit attribute bit is transparent unless an
extension area says the alpha is not in use. list.txt names each sample and its kind (im or gen).
"""
import os
import struct
import subprocess
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
listing = []

BASE = ["-size", "23x17", "gradient:red-blue", "-fill", "yellow", "-draw", "circle 11,8 11,2"]
ALPHA = ["-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel"]


def magick(name, arguments):
    path = os.path.join(out, name)
    subprocess.run(["convert", *arguments, "tga:" + path], check=True)
    subprocess.run(["convert", path, "-auto-orient", "-depth", "8", "RGBA:" + path + ".rgba"], check=True)
    listing.append((name, "im"))


for orient, label in (("BottomLeft", "up"), ("TopLeft", "down")):
    for compress, rle in (("None", ""), ("RLE", "_rle")):
        o = ["-orient", orient, "-compress", compress]
        magick(f"truecolor24_{label}{rle}.tga", BASE + ["-type", "TrueColor"] + o)
        magick(f"truecolor32_{label}{rle}.tga", BASE + ALPHA + o)
        magick(f"grey8_{label}{rle}.tga", BASE + ["-type", "Grayscale"] + o)
        magick(f"mapped8_{label}{rle}.tga", BASE + ["-colors", "40", "-type", "Palette"] + o)


def level(v):
    return v * 8 + v % 8


def write(name, header, color_map, data, expect, extension_attributes=None, footer=False, image_id=b""):
    body = header + image_id + color_map + data
    if extension_attributes is not None:
        area = bytearray(495)
        struct.pack_into("<H", area, 0, 495)
        area[494] = extension_attributes
        offset = len(body)
        body += bytes(area)
        footer = True
    else:
        offset = 0
    if footer:
        body += struct.pack("<II", offset, 0) + b"TRUEVISION-XFILE.\0"
    with open(os.path.join(out, name), "wb") as f:
        f.write(body)
    with open(os.path.join(out, name + ".expect"), "wb") as f:
        f.write(bytes(expect))
    listing.append((name, "gen"))


def header(image_type, width, height, depth, descriptor=0, map_type=0, first=0, length=0, entry=0, id_length=0):
    return struct.pack("<BBBHHBHHHHBB", id_length, map_type, image_type, first, length, entry, 0, 0, width, height,
                       depth, descriptor)


def rle(pixels_by_row, size):
    """Run-length rows: runs for equal neighbours, raw packets between, 128 at most."""
    data = b""
    for row in pixels_by_row:
        x = 0
        while x < len(row):
            end = x + 1
            while end < len(row) and end - x < 128 and row[end] == row[x]:
                end += 1
            if end - x >= 2:
                data += bytes([128 + end - x - 1]) + row[x]
                x = end
                continue
            start = x
            while x < len(row) and x - start < 128 and not (x + 1 < len(row) and row[x + 1] == row[x]):
                x += 1
            data += bytes([x - start - 1]) + b"".join(row[start:x])
    return data


W, H = 7, 5


def word16(x, y):
    """A 16-bit pixel: colour from the position, attribute bit on a checker pattern."""
    b, g, r = (x * 4 + y) % 32, (y * 6) % 32, (x * 3 + 16) % 32
    return (r << 10) | (g << 5) | b | (0x8000 if (x + y) % 3 == 0 else 0)


def expect16(value, alpha_used):
    if alpha_used and value & 0x8000:
        return [0, 0, 0, 0]
    return [level((value >> 10) & 31), level((value >> 5) & 31), level(value & 31), 255]


def rows_of(cell, top_down, right_to_left):
    """Stored rows in file order, each a list of stored pixels, and the picture top-down."""
    picture = [[cell(x, y) for x in range(W)] for y in range(H)]
    stored = []
    for i in range(H):
        y = i if top_down else H - 1 - i
        row = picture[y][::-1] if right_to_left else picture[y]
        stored.append(row)
    return stored, picture


def flat(picture, convert):
    return [c for row in picture for v in row for c in convert(v)]


# 16-bit true colour, attribute bits 1: raw and run-length, every row and column order.
for top_down in (False, True):
    for right_to_left in (False, True):
        stored, picture = rows_of(word16, top_down, right_to_left)
        descriptor = 1 | (32 if top_down else 0) | (16 if right_to_left else 0)
        as_bytes = [[struct.pack("<H", v) for v in row] for row in stored]
        label = ("down" if top_down else "up") + ("_rtl" if right_to_left else "")
        expect = flat(picture, lambda v: expect16(v, True))
        write(f"rgb16_{label}.tga", header(2, W, H, 16, descriptor), b"", b"".join(b"".join(r) for r in as_bytes),
              expect)
        write(f"rgb16_{label}_rle.tga", header(10, W, H, 16, descriptor), b"", rle(as_bytes, 2), expect)

# 15 bits: the top bit is never alpha. 16 bits with attribute bits 0: no alpha either.
stored, picture = rows_of(word16, False, False)
raw16 = b"".join(struct.pack("<H", v) for row in stored for v in row)
write("rgb15.tga", header(2, W, H, 15, 0), b"", raw16, flat(picture, lambda v: expect16(v, False)))
write("rgb16_noattr.tga", header(2, W, H, 16, 0), b"", raw16, flat(picture, lambda v: expect16(v, False)))
# Extension areas: attributes type 0, 1 and 2 turn the bit off, 3 and 4 keep it; an image ID before.
for attributes in range(5):
    write(f"rgb16_ext{attributes}.tga", header(2, W, H, 16, 1, id_length=5), b"", raw16,
          flat(picture, lambda v: expect16(v, attributes > 2)), extension_attributes=attributes, image_id=b"hello")
# A footer with no extension area.
write("rgb16_footer.tga", header(2, W, H, 16, 1), b"", raw16, flat(picture, lambda v: expect16(v, True)), footer=True)


# Colour maps of 15- and 16-bit entries, and a first index above 0 (stored entry k is index first + k).
def mapped(name, entry_size, first, entries, extension=None):
    length = len(entries)
    color_map = b"".join(struct.pack("<H", e) for e in entries)
    index = lambda x, y: first + (x * 2 + y) % length  # noqa: E731
    stored, picture = rows_of(index, False, False)
    data = bytes(i for row in stored for i in row)
    alpha_used = entry_size == 16 and (extension is None or extension > 2)
    expect = flat(picture, lambda i: expect16(entries[i - first], alpha_used))
    write(name, header(1, W, H, 8, 0, 1, first, length, entry_size), color_map, data, expect, extension)
    packets = [[bytes([i]) for i in row] for row in stored]
    write(name.replace(".tga", "_rle.tga"), header(9, W, H, 8, 0, 1, first, length, entry_size), color_map,
          rle(packets, 1), expect, extension)


entries = [0x7FFF, 0x0000, 0x4210, 0x801F, 0x03E0, 0xFC00]
mapped("map15.tga", 15, 0, entries)
mapped("map16.tga", 16, 0, entries)
mapped("map16_ext2.tga", 16, 0, entries, extension=2)
mapped("map15_first3.tga", 15, 3, entries)

with open(os.path.join(out, "list.txt"), "w") as f:
    for name, kind in listing:
        f.write(f"{name} {kind}\n")
