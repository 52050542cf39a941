#!/usr/bin/env python3
# The workbook side of the Excel stand-in (tests only): reads an xlsx package's XML and writes
# pages in the shape of Excel's static web publishing.
#   read <xlsx> <out>          sheets and cell records as tab-separated lines
#   publish <xlsx> <sheet> <r1> <c1> <r2> <c2> <divid> <page>
#   only <xlsx> <sheet> <out>  a copy in which every other sheet is hidden (for a one-sheet PDF)
import html
import os
import posixpath
import re
import shutil
import sys
import zipfile

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
      "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
      "rel": "http://schemas.openxmlformats.org/package/2006/relationships"}

import xml.etree.ElementTree as ET


def rels_of(z, part):
    folder, name = posixpath.split(part)
    rel_part = posixpath.join(folder, "_rels", name + ".rels")
    out = {}
    if rel_part in z.namelist():
        for rel in ET.fromstring(z.read(rel_part)).findall("rel:Relationship", NS):
            target = rel.get("Target")
            if not target.startswith("/"):
                target = posixpath.normpath(posixpath.join(folder, target))
            else:
                target = target[1:]
            out[rel.get("Id")] = (rel.get("Type").rsplit("/", 1)[-1], target)
    return out


def column_number(letters):
    n = 0
    for ch in letters:
        n = n * 26 + (ord(ch) - 64)
    return n


def column_letters(n):
    out = ""
    while n:
        n, rest = divmod(n - 1, 26)
        out = chr(65 + rest) + out
    return out


def load(path):
    z = zipfile.ZipFile(path)
    book = ET.fromstring(z.read("xl/workbook.xml"))
    rels = rels_of(z, "xl/workbook.xml")
    strings = []
    if "xl/sharedStrings.xml" in z.namelist():
        for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", NS):
            strings.append("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"])))
    sheets = []
    for sheet in book.find("m:sheets", NS).findall("m:sheet", NS):
        kind, target = rels.get(sheet.get("{%s}id" % NS["r"]), ("", ""))
        entry = {"name": sheet.get("name"), "state": sheet.get("state", "visible"),
                 "kind": "worksheet" if kind == "worksheet" else "chart", "cells": [], "pictures": []}
        if entry["kind"] == "worksheet":
            root = ET.fromstring(z.read(target))
            for c in root.iter("{%s}c" % NS["m"]):
                m = re.match(r"([A-Z]+)([0-9]+)", c.get("r"))
                v = c.find("m:v", NS)
                t = c.get("t", "n")
                text = ""
                if t == "inlineStr":
                    text = "".join(x.text or "" for x in c.iter("{%s}t" % NS["m"]))
                    t = "s"
                elif v is not None and v.text is not None:
                    text = strings[int(v.text)] if t == "s" else v.text
                    if t not in ("s", "n"):
                        t = "s"
                entry["cells"].append((int(m.group(2)), column_number(m.group(1)), t, text))
            for rid, (rkind, rtarget) in rels_of(z, target).items():
                if rkind == "drawing":
                    for _, (dkind, dtarget) in rels_of(z, rtarget).items():
                        if dkind == "image":
                            entry["pictures"].append(dtarget)
        sheets.append(entry)
    return z, sheets


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def cmd_read(path, out):
    _, sheets = load(path)
    with open(out, "w", encoding="utf-8") as f:
        for i, s in enumerate(sheets, 1):
            f.write("sheet\t%d\t%s\t%s\t%s\n" % (i, escape(s["name"]), s["state"], s["kind"]))
            for r, c, t, text in s["cells"]:
                f.write("cell\t%d\t%d\t%d\t%s\t%s\n" % (i, r, c, t, escape(text)))


def cmd_publish(path, index, r1, c1, r2, c2, divid, page):
    z, sheets = load(path)
    s = sheets[index - 1]
    cells = {(r, c): (t, text) for r, c, t, text in s["cells"]}
    name = os.path.splitext(os.path.basename(page))[0]
    files = os.path.join(os.path.dirname(page), name + "_files")
    out = ['<html xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office"',
           'xmlns:x="urn:schemas-microsoft-com:office:excel" xmlns="http://www.w3.org/TR/REC-html40">',
           "<head>", '<meta http-equiv=Content-Type content="text/html; charset=utf-8">',
           '<meta name=ProgId content=Excel.Sheet>', "<style id=\"%s_Styles\">" % divid, "<!--table",
           "\t{mso-displayed-decimal-separator:\"\\.\";", "\tmso-displayed-thousand-separator:\"\\,\";}",
           ".xl65\n\t{mso-style-parent:style0;\n\tcolor:#FF0000;\n\tmso-number-format:General;}",
           "td\n\t{mso-style-parent:style0;\n\tpadding-top:1px;\n\tcolor:black;\n\tmso-font-charset:0;}",
           "-->", "</style>", "</head>", "<body>", "<!--[if !excel]>&nbsp;&nbsp;<![endif]-->",
           '<div id="%s" align=center x:publishsource="Excel">' % divid, "",
           "<table border=0 cellpadding=0 cellspacing=0 style='border-collapse:collapse;table-layout:fixed'>"]
    for r in range(r1, r2 + 1):
        out.append(" <tr height=19 style='height:14.25pt;mso-height-source:userset'>")
        for c in range(c1, c2 + 1):
            t, text = cells.get((r, c), ("", ""))
            if t == "n" and text:
                out.append("  <td align=right x:num class=xl65 style='mso-ignore:colspan'>%s</td>" % html.escape(text))
            elif text:
                out.append("  <td x:str style='mso-ignore:colspan'>%s</td>" % html.escape(text))
            else:
                out.append("  <td></td>")
        out.append(" </tr>")
    out.append("</table>")
    if s["pictures"]:
        os.makedirs(files, exist_ok=True)
        for n, picture in enumerate(s["pictures"], 1):
            ext = posixpath.splitext(picture)[1]
            target = "image%03d%s" % (n, ext)
            with open(os.path.join(files, target), "wb") as f:
                f.write(z.read(picture))
            out.append("<img width=64 height=48 src=\"%s_files/%s\" v:shapes=\"Picture_%d\">" % (name, target, n))
    out += ["", "</div>", "", "<!----------------------------->", "</body>", "</html>"]
    with open(page, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


def cmd_only(path, index, out):
    src = zipfile.ZipFile(path)
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as dst:
        for item in src.infolist():
            data = src.read(item.filename)
            if item.filename == "xl/workbook.xml":
                text = data.decode("utf-8")
                n = [0]

                def visit(m):
                    n[0] += 1
                    tag = re.sub(r'\sstate="[^"]*"', "", m.group(0))
                    if n[0] != index:
                        tag = tag.replace("<sheet ", '<sheet state="hidden" ', 1)
                    return tag
                text = re.sub(r"<sheet [^>]*?/>", visit, text)
                text = re.sub(r'\s(activeTab|firstSheet)="[0-9]+"', ' \\1="%d"' % (index - 1), text)
                data = text.encode("utf-8")
            dst.writestr(item, data)


if __name__ == "__main__":
    try:
        a = sys.argv[1:]
        if a[0] == "read":
            cmd_read(a[1], a[2])
        elif a[0] == "publish":
            cmd_publish(a[1], int(a[2]), int(a[3]), int(a[4]), int(a[5]), int(a[6]), a[7], a[8])
        elif a[0] == "only":
            cmd_only(a[1], int(a[2]), a[3])
    except Exception as e:  # a broken package is the caller's open failure
        print(e, file=sys.stderr)
        sys.exit(3)
