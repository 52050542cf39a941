#!/usr/bin/env python3
"""Writes PNG samples for the reader's native test, with the standard zlib, into the folder given.

expect.txt lists each file with what the reader must make of it:
  libpng  - an image equal to libpng's decode (expanded, 16 bits cut, premultiplied)
  same:F  - the same image as file F (libpng refuses IDAT chunks that are not adjacent)
  decodes - an image (libpng refuses it or differs by design)
  none    - no image
"""
import os
import random
import struct
import sys
import zlib

out_dir = sys.argv[1]
os.makedirs(out_dir, exist_ok=True)
rng = random.Random(20261210)
manifest = []

DEPTHS = {0: (1, 2, 4, 8, 16), 2: (8, 16), 3: (1, 2, 4, 8), 4: (8, 16), 6: (8, 16)}
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (0, 4, 8, 8), (4, 0, 8, 4), (0, 2, 4, 4), (2, 0, 4, 2), (0, 1, 2, 2), (1, 0, 2, 1)]


def chunk(kind, data, crc=None):
    if crc is None:
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)


def ihdr(w, h, depth, ctype, interlace=0, comp=0, filt=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, ctype, comp, filt, interlace))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_rows(rows, bpp, types=None):
    """Filters raw rows (lists of bytes) with a random filter per row (or the given types)."""
    out = bytearray()
    prev = None
    for i, row in enumerate(rows):
        f = types[i % len(types)] if types else rng.randrange(5)
        out.append(f)
        for x, v in enumerate(row):
            left = row[x - bpp] if x >= bpp else 0
            up = prev[x] if prev is not None else 0
            ul = prev[x - bpp] if prev is not None and x >= bpp else 0
            pred = [0, left, up, (left + up) // 2, paeth(left, up, ul)][f]
            out.append((v - pred) & 0xFF)
        prev = row
    return out


def pack_row(samples, depth):
    if depth == 8:
        return list(samples)
    if depth == 16:
        r = []
        for s in samples:
            r += [s >> 8, s & 0xFF]
        return r
    r, acc, n = [], 0, 0
    for s in samples:
        acc = (acc << depth) | s
        n += depth
        if n == 8:
            r.append(acc)
            acc, n = 0, 0
    if n:
        r.append(acc << (8 - n))
    return r


def image_data(w, h, depth, ctype, interlace, samples):
    """samples[y][x] is a tuple of channel values; returns the filtered, unframed data."""
    bpp = max(1, depth * CHANNELS[ctype] // 8)
    def rows_of(ys, xs):
        return [pack_row([c for x in xs for c in samples[y][x]], depth) for y in ys]
    if not interlace:
        return filter_rows(rows_of(range(h), range(w)), bpp)
    data = bytearray()
    for rs, cs, rstep, cstep in ADAM7:
        xs, ys = list(range(cs, w, cstep)), list(range(rs, h, rstep))
        if xs and ys:
            data += filter_rows(rows_of(ys, xs), bpp)
    return data


def png(w, h, depth, ctype, interlace, data, extra_before=b"", extra_after=b"", plte=None, trns=None,
        level=9, split=0):
    body = b"\x89PNG\r\n\x1a\n" + ihdr(w, h, depth, ctype, interlace) + extra_before
    if plte is not None:
        body += chunk(b"PLTE", plte)
    if trns is not None:
        body += chunk(b"tRNS", trns)
    z = zlib.compress(bytes(data), level)
    if split:
        a = z[:split]
        body += chunk(b"IDAT", a) + chunk(b"tEXt", b"Comment\x00between") + chunk(b"IDAT", z[split:])
    else:
        body += chunk(b"IDAT", z)
    return body + extra_after + chunk(b"IEND", b"")


def write(name, data, expect):
    with open(os.path.join(out_dir, name), "wb") as f:
        f.write(data)
    manifest.append("%s %s" % (name, expect))


def random_samples(w, h, depth, ctype, palette_size=None):
    top = (1 << depth) - 1
    if ctype == 3:
        top = min(top, palette_size - 1)
    return [[tuple(rng.randint(0, top) for _ in range(CHANNELS[ctype])) for _ in range(w)] for _ in range(h)]


# Every legal colour type x depth x interlace at sizes 1-9 and 33, with and without tRNS.
for ctype, depths in DEPTHS.items():
    for depth in depths:
        for interlace in (0, 1):
            for size in list(range(1, 10)) + [33]:
                w, h = size, (size * 5) % 9 + 1
                plte = trns = None
                entries = 1 << depth
                if ctype == 3:
                    plte = bytes(rng.randrange(256) for _ in range(entries * 3))
                s = random_samples(w, h, depth, ctype, entries)
                base = "t%d-d%d-i%d-%dx%d" % (ctype, depth, interlace, w, h)
                data = image_data(w, h, depth, ctype, interlace, s)
                write(base + ".png", png(w, h, depth, ctype, interlace, data, plte=plte), "libpng")
                # tRNS of every kind: a grey or RGB key some pixels have; palette alphas, fewer than entries
                if ctype == 0:
                    key = s[0][0][0]
                    trns = struct.pack(">H", key)
                elif ctype == 2:
                    trns = struct.pack(">HHH", *s[h // 2][w // 2])
                elif ctype == 3:
                    trns = bytes(rng.choice((0, 255, rng.randrange(256))) for _ in range(max(1, entries // 2)))
                if trns is not None:
                    write(base + "-trns.png", png(w, h, depth, ctype, interlace, data, plte=plte, trns=trns), "libpng")

# 16-bit keys compare all 16 bits: the key 0x0000 must not take the samples 0x00xx.
s = [[(v,) for v in (0x0000, 0x00FF, 0x0080, 0x0100)]]
write("key16-grey.png", png(4, 1, 16, 0, 0, image_data(4, 1, 16, 0, 0, s), trns=struct.pack(">H", 0)), "libpng")
s = [[(0x0012, 0x0034, 0x0056), (0x0012, 0x0034, 0x0057), (0x9912, 0x0034, 0x0056)]]
write("key16-rgb.png", png(3, 1, 16, 2, 0, image_data(3, 1, 16, 2, 0, s), trns=struct.pack(">HHH", 0x12, 0x34, 0x56)),
      "libpng")

# IDAT split around a tEXt, at every level; data stored uncompressed; lots of chunks.
s = random_samples(40, 30, 8, 6)
data = image_data(40, 30, 8, 6, 0, s)
for level in (0, 1, 9):
    write("level-%d.png" % level, png(40, 30, 8, 6, 0, data, level=level), "libpng")
for split in (1, 2, 50, 300):
    write("split-%d.png" % split, png(40, 30, 8, 6, 0, data, split=split), "same:level-9.png")
write("ancillary.png", png(40, 30, 8, 6, 0, data, extra_before=chunk(b"gAMA", b"\0\0\xb1\x8f") + chunk(b"zzZz", b"x" * 9),
                           extra_after=chunk(b"tEXt", b"a\0b")), "libpng")

# Faults that give no image.
good = png(5, 4, 8, 2, 0, image_data(5, 4, 8, 2, 0, random_samples(5, 4, 8, 2)))
sig = good[:8]
idat_at = good.index(b"IDAT") - 4
tail = good[33:]
faults = {
    "short-ihdr": sig + chunk(b"IHDR", struct.pack(">IIBBBB", 5, 4, 8, 2, 0, 0)) + tail,
    "width-0": sig + ihdr(0, 4, 8, 2) + tail,
    "height-negative": sig + ihdr(5, 0x80000000, 8, 2) + tail,
    "depth-3": sig + ihdr(5, 4, 3, 2) + tail,
    "type-1": sig + ihdr(5, 4, 8, 1) + tail,
    "interlace-2": sig + ihdr(5, 4, 8, 2, 2) + tail,
    "compression-1": sig + ihdr(5, 4, 8, 2, 0, 1) + tail,
    "filter-method-1": sig + ihdr(5, 4, 8, 2, 0, 0, 1) + tail,
    "rgb-depth-4": sig + ihdr(5, 4, 4, 2) + tail,
    "grey-alpha-depth-2": sig + ihdr(5, 4, 2, 4) + tail,
    "rgba-depth-1": sig + ihdr(5, 4, 1, 6) + tail,
    "palette-16": sig + ihdr(5, 4, 16, 3) + tail,
    "too-large": sig + ihdr(8192, 8192, 1, 0) + tail,
    "idat-crc": good[:idat_at] + chunk(b"IDAT", good[idat_at + 8:-24], crc=1) + good[-12:],
    "length-top-bit": good[:idat_at] + b"\x80" + good[idat_at + 1:],
    "past-the-end": good[:idat_at] + b"\x00\x01\x00\x00" + good[idat_at + 4:],
    "no-iend": good[:-12],
    "no-idat": sig + good[8:idat_at] + chunk(b"IEND", b""),
    "no-ihdr": sig + good[33:],
    "plte-7-bytes": png(2, 2, 8, 3, 0, b"\0\0\0\0\0\0", plte=b"\0" * 7),
    "index-past-plte": png(2, 1, 8, 3, 0, b"\0\0\3", plte=b"\0" * 6),
    "data-short": png(4, 4, 8, 0, 0, b"\0" * 15),
    "interlaced-filter-7": png(2, 2, 8, 0, 1, b"\7\1" + b"\0\2" + b"\0\3\4"),
}
# A fixed-code block whose second symbol is 286 (zlib refuses it as well).
bits = [(1, 1), (1, 2)]
def fixed(sym):
    if sym < 144: return (0x30 + sym, 8)
    if sym < 256: return (0x190 + sym - 144, 9)
    if sym < 280: return (sym - 256, 7)
    return (0xC0 + sym - 280, 8)
def deflate_bits(parts):
    acc, n, out = 0, 0, bytearray(b"\x78\x01")
    for value, count, msb in parts:
        for i in range(count):
            bit = (value >> (count - 1 - i)) & 1 if msb else (value >> i) & 1
            acc |= bit << n
            n += 1
            if n == 8:
                out.append(acc); acc, n = 0, 0
    if n:
        out.append(acc)
    return bytes(out)
stream = deflate_bits([(1, 1, False), (1, 2, False), (*fixed(0), True), (*fixed(286), True), (0, 5, True),
                       (*fixed(256), True)])
body = b"\x89PNG\r\n\x1a\n" + ihdr(1, 1, 8, 0) + chunk(b"IDAT", stream) + chunk(b"IEND", b"")
faults["inflate-symbol-286"] = body
for name, data in faults.items():
    write("bad-%s.png" % name, data, "none")

# Decodes though libpng refuses it: a non-interlaced row with filter type 7, a bad Adler-32.
write("filter-7.png", png(2, 2, 8, 0, 0, b"\0\1\2" + b"\7\3\4"), "decodes")
z = bytearray(zlib.compress(bytes(image_data(3, 3, 8, 0, 0, random_samples(3, 3, 8, 0)))))
z[-1] ^= 0x55
write("bad-adler.png", b"\x89PNG\r\n\x1a\n" + ihdr(3, 3, 8, 0) + chunk(b"IDAT", bytes(z)) + chunk(b"IEND", b""), "libpng")

with open(os.path.join(out_dir, "expect.txt"), "w") as f:
    f.write("\n".join(manifest) + "\n")
print("%d samples" % len(manifest))
