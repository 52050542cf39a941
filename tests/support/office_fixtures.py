"""Pieces the Office tests' fixture scripts share in their python3 parts (office_fixtures.sh puts
this folder on PYTHONPATH): one-colour PNG pictures and edits of a zip package's parts."""
import struct
import zipfile
import zlib


def solid_png(width, height, rgb):
    """A PNG of one colour (8-bit RGB, no filter), as bytes."""
    raw = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def rewrite_package(src, dst, edits=None, added=None):
    """Copies the package src to dst (deflated), the parts in order. The text of a part named in
    edits (UTF-8) goes through its function on the way; the parts of added (name: text or bytes)
    come after the others."""
    edits = edits or {}
    with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
        for item in zin.infolist():
            data = zin.read(item.filename)
            if item.filename in edits:
                data = edits[item.filename](data.decode("utf-8")).encode("utf-8")
            zout.writestr(item, data)
        for name, data in (added or {}).items():
            zout.writestr(name, data)


def insert_before(closing, addition):
    """An edit that puts addition before (every) closing, e.g. a relationship before the
    "</Relationships>" that ends the part."""
    return lambda text: text.replace(closing, addition + closing)


def insert_before_paragraph_of(marker, paragraphs):
    """An edit of a Word document part that puts paragraphs before the paragraph holding marker."""
    def edit(text):
        end = text.find(marker)
        at = max(text.rfind("<w:p>", 0, end), text.rfind("<w:p ", 0, end))
        return text[:at] + paragraphs + text[at:]
    return edit

