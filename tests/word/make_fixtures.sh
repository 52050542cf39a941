#!/usr/bin/env bash
# Makes the Word tests' documents once, at set-up, into the folder given as $1: one LibreOffice run
# over the flat-ODF sources below (a table, a picture and Chinese text; Office Math equations), one
# run for LibreOffice's own text export, python3's zipfile for editing protection with a known
# password and an EQ field, python3-uno (the system python, which has it) for a Word 97 file with
# an open password, and a file of random bytes. The tests share them.
set -euo pipefail
source "$(dirname "$0")/../support/office_fixtures.sh"

cat > "$work/table.fodt" <<FODT
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:body><office:text>
  <text:p>Quarterly figures of the north office</text:p>
  <text:p>中文段落：第一季度的数字</text:p>
  <table:table table:name="Figures">
   <table:table-column table:number-columns-repeated="2"/>
   <table:table-row><table:table-cell><text:p>Month</text:p></table:table-cell><table:table-cell><text:p>Total</text:p></table:table-cell></table:table-row>
   <table:table-row><table:table-cell><text:p>January</text:p></table:table-cell><table:table-cell><text:p>1250</text:p></table:table-cell></table:table-row>
  </table:table>
  <text:p>A picture follows.</text:p>
  <text:p><draw:frame draw:name="Red" svg:width="2cm" svg:height="1.5cm" text:anchor-type="as-char"><svg:title>Red square</svg:title><draw:image><office:binary-data>$picture</office:binary-data></draw:image></draw:frame></text:p>
  <text:p>End of the document.</text:p>
 </office:text></office:body>
</office:document>
FODT

# Office Math equations: an inline sum within text and a display equation alone in its paragraph
# (LibreOffice's math module writes them into the package as Office Math markup).
cat > "$work/equations.fodt" <<'FODT'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:math="http://www.w3.org/1998/Math/MathML"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:body><office:text>
  <text:p>Equations of the report</text:p>
  <text:p>The total is <draw:frame draw:name="Sum" text:anchor-type="as-char" svg:width="2cm" svg:height="1cm"><draw:object><math:math><math:semantics><math:mrow><math:munderover><math:mo>∑</math:mo><math:mrow><math:mi>i</math:mi><math:mo>=</math:mo><math:mn>1</math:mn></math:mrow><math:mi>n</math:mi></math:munderover><math:mi>i</math:mi></math:mrow><math:annotation encoding="StarMath 5.0">sum from{i=1} to{n} i</math:annotation></math:semantics></math:math></draw:object></draw:frame> for every year.</text:p>
  <text:p><draw:frame draw:name="Half" text:anchor-type="as-char" svg:width="2cm" svg:height="1cm"><draw:object><math:math display="block"><math:semantics><math:mrow><math:mi>x</math:mi><math:mo>=</math:mo><math:mfrac><math:mn>1</math:mn><math:mn>2</math:mn></math:mfrac></math:mrow><math:annotation encoding="StarMath 5.0">x = {1} over {2}</math:annotation></math:semantics></math:math></draw:object></draw:frame></text:p>
  <text:p>End of the equations.</text:p>
 </office:text></office:body>
</office:document>
FODT

soffice_convert docx "$work" "$work/table.fodt" "$work/equations.fodt"
# An EQ field (a fraction), added to the equations' package by python3's zipfile before the last
# paragraph.
python3 - "$work/equations.docx" "$out/equations.docx" <<'PY'
import sys, zipfile
src, dst = sys.argv[1], sys.argv[2]
field = ('<w:p><w:r><w:t xml:space="preserve">Half of it: </w:t></w:r>'
         '<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
         '<w:r><w:instrText xml:space="preserve"> EQ \\f(1,2) </w:instrText></w:r>'
         '<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>1/2</w:t></w:r>'
         '<w:r><w:fldChar w:fldCharType="end"/></w:r></w:p>')
with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
    for item in zin.infolist():
        data = zin.read(item.filename)
        if item.filename == "word/document.xml":
            text = data.decode("utf-8")
            last = text.rfind("<w:p>", 0, text.find("End of the equations."))
            if last < 0:
                last = text.rfind("<w:p ", 0, text.find("End of the equations."))
            text = text[:last] + field + text[last:]
            data = text.encode("utf-8")
        zout.writestr(item, data)
PY
soffice_convert "txt:Text (encoded):UTF8" "$work" "$work/table.docx"
cp "$work/table.docx" "$out/Table Doc.DOCX"
cp "$work/table.docx" "$out/季度 报告.docx"
cp "$work/table.txt" "$out/table.txt"

# Editing protection (read-only, enforced) added to the package's settings part.
python3 - "$work/table.docx" "$out/protected.docx" <<'PY'
import re, sys, zipfile
src, dst = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
    for item in zin.infolist():
        data = zin.read(item.filename)
        if item.filename == "word/settings.xml":
            text = data.decode("utf-8")
            text = re.sub(r"<w:documentProtection[^>]*/>", "", text)
            text = text.replace("</w:settings>", '<w:documentProtection w:edit="readOnly" w:enforcement="1"/></w:settings>')
            data = text.encode("utf-8")
        zout.writestr(item, data)
PY

# A Word 97 document with an open password, stored by LibreOffice through python3-uno: the file a
# conversion must refuse quickly instead of waiting on a password nobody types.
cat > "$work/encrypt.py" <<'PY'
import os, subprocess, sys, time
import uno
from com.sun.star.beans import PropertyValue
src, dst, profile = sys.argv[1], sys.argv[2], sys.argv[3]
pipe = "quorallion_fixtures_%d" % os.getpid()
office = subprocess.Popen(["soffice", "--headless", "--norestore", "--nolockcheck", "--nodefault",
                           "-env:UserInstallation=file://" + profile, "--accept=pipe,name=%s;urp;" % pipe],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
def prop(name, value):
    p = PropertyValue(); p.Name = name; p.Value = value; return p
try:
    resolver = uno.getComponentContext().ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", uno.getComponentContext())
    for _ in range(120):
        try:
            ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
            break
        except Exception:
            time.sleep(0.5)
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(src), "_blank", 0, (prop("Hidden", True),))
    doc.storeToURL(uno.systemPathToFileUrl(dst), (prop("FilterName", "MS Word 97"), prop("Password", "open sesame")))
    doc.close(True)
    try:
        desktop.terminate()
    except Exception:
        pass
finally:
    try:
        office.wait(timeout=30)
    except subprocess.TimeoutExpired:
        office.kill()
PY
timeout -k 5 150 /usr/bin/python3 "$work/encrypt.py" "$work/table.docx" "$out/encrypted.doc" "$work/uno-profile" || true
head -c 4096 /dev/urandom > "$out/random.docx"
# A compound file where a package belongs: an encrypted document.
{ printf '\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1'; head -c 4088 /dev/urandom; } > "$out/encrypted.docx"
mkdir -p "$out/folder.doc"
printf 'not a document' > "$out/notes.doc.txt"
test -s "$out/Table Doc.DOCX" && test -s "$out/table.txt" && test -s "$out/equations.docx"
