#!/usr/bin/env bash
# Makes the Word tests' documents once, at set-up, into the folder given as $1: one LibreOffice,
# through python3-uno, over the flat-ODF sources below (a table, a picture and Chinese text; Office
# Math equations; pictures at other sizes than their own; three pages) for the Word packages,
# LibreOffice's own text export and a Word 97 file with an open password; python3's zipfile for
# editing protection with a known password, an EQ field and an embedded equation object; and a
# file of random bytes. The tests share them.
set -euo pipefail
source "$(dirname "$0")/../support/office_fixtures.sh"

flat_odf text "$work/table.fodt" text table draw svg xlink <<FODT
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
FODT

# Office Math equations: an inline sum within text and a display equation alone in its paragraph
# (LibreOffice's math module writes them into the package as Office Math markup).
flat_odf text "$work/equations.fodt" text draw svg math <<'FODT'
 <office:body><office:text>
  <text:p>Equations of the report</text:p>
  <text:p>The total is <draw:frame draw:name="Sum" text:anchor-type="as-char" svg:width="2cm" svg:height="1cm"><draw:object><math:math><math:semantics><math:mrow><math:munderover><math:mo>∑</math:mo><math:mrow><math:mi>i</math:mi><math:mo>=</math:mo><math:mn>1</math:mn></math:mrow><math:mi>n</math:mi></math:munderover><math:mi>i</math:mi></math:mrow><math:annotation encoding="StarMath 5.0">sum from{i=1} to{n} i</math:annotation></math:semantics></math:math></draw:object></draw:frame> for every year.</text:p>
  <text:p><draw:frame draw:name="Half" text:anchor-type="as-char" svg:width="2cm" svg:height="1cm"><draw:object><math:math display="block"><math:semantics><math:mrow><math:mi>x</math:mi><math:mo>=</math:mo><math:mfrac><math:mn>1</math:mn><math:mn>2</math:mn></math:mfrac></math:mrow><math:annotation encoding="StarMath 5.0">x = {1} over {2}</math:annotation></math:semantics></math:math></draw:object></draw:frame></text:p>
  <text:p>End of the equations.</text:p>
 </office:text></office:body>
FODT

# Pictures shown at other than their own size: an inline one at 200 %, two floating ones (square
# wrapping) at 50 % and 200 %, an inline one stretched to 200 % by 100 % with its aspect ratio
# locked, and a floating rectangle that is no picture. 96 pixels make an inch.
blue=$(png_base64 48 24 0 0 255)
green=$(png_base64 96 48 0 128 0)
orange=$(png_base64 48 48 255 128 0)
yellow=$(png_base64 24 24 255 255 0)
flat_odf text "$work/pictures.fodt" text draw style svg <<FODT
 <office:automatic-styles>
  <style:style style:name="wrap" style:family="graphic"><style:graphic-properties style:wrap="parallel" style:horizontal-pos="left" style:horizontal-rel="paragraph" style:vertical-pos="top" style:vertical-rel="paragraph"/></style:style>
 </office:automatic-styles>
 <office:body><office:text>
  <text:p>Pictures of the report</text:p>
  <text:p>Inline: <draw:frame draw:name="Blue" svg:width="1in" svg:height="0.5in" text:anchor-type="as-char"><draw:image><office:binary-data>$blue</office:binary-data></draw:image><svg:desc>Blue bar</svg:desc></draw:frame> doubled.</text:p>
  <text:p><draw:frame draw:style-name="wrap" draw:name="Green" svg:width="0.5in" svg:height="0.25in" text:anchor-type="paragraph"><draw:image><office:binary-data>$green</office:binary-data></draw:image><svg:desc>Green bar</svg:desc></draw:frame>A floating picture beside this text.</text:p>
  <text:p><draw:frame draw:style-name="wrap" draw:name="Yellow" svg:width="0.5in" svg:height="0.5in" text:anchor-type="paragraph"><draw:image><office:binary-data>$yellow</office:binary-data></draw:image><svg:desc>Yellow square</svg:desc></draw:frame>Another floating picture.</text:p>
  <text:p>Wide: <draw:frame draw:name="Orange" svg:width="1in" svg:height="0.5in" text:anchor-type="as-char"><draw:image><office:binary-data>$orange</office:binary-data></draw:image><svg:desc>Orange square</svg:desc></draw:frame></text:p>
  <text:p><draw:rect draw:style-name="wrap" text:anchor-type="paragraph" svg:width="1in" svg:height="0.5in" svg:x="0in" svg:y="0in"/>A rectangle beside this text.</text:p>
  <text:p>End of the pictures.</text:p>
 </office:text></office:body>
FODT

# Three pages, each begun by a page break.
flat_odf text "$work/pages.fodt" text style fo <<'FODT'
 <office:automatic-styles>
  <style:style style:name="break" style:family="paragraph"><style:paragraph-properties fo:break-before="page"/></style:style>
 </office:automatic-styles>
 <office:body><office:text>
  <text:p>The first page.</text:p>
  <text:p text:style-name="break">The second page.</text:p>
  <text:p text:style-name="break">The third page.</text:p>
 </office:text></office:body>
FODT

# One LibreOffice, driven through python3-uno (the system python, which has it), makes every
# document: the sources as Word packages, LibreOffice's own text export of the table, and a Word 97
# document with an open password (the file a conversion must refuse quickly instead of waiting on
# a password nobody types). A single start, as each start of LibreOffice costs seconds.
cat > "$work/convert.py" <<'PY'
import os, subprocess, sys, time
import uno
from com.sun.star.beans import PropertyValue
work, out, profile = sys.argv[1], sys.argv[2], sys.argv[3]
pipe = "quorallion_fixtures_%d" % os.getpid()
office = subprocess.Popen(["soffice", "--headless", "--norestore", "--nolockcheck", "--nodefault",
                           "-env:UserInstallation=file://" + profile, "--accept=pipe,name=%s;urp;" % pipe],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
def prop(name, value):
    p = PropertyValue(); p.Name = name; p.Value = value; return p
def convert(desktop, src, dst, *properties):
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(src), "_blank", 0, (prop("Hidden", True),))
    try:
        doc.storeToURL(uno.systemPathToFileUrl(dst), properties)
    finally:
        doc.close(True)
try:
    resolver = uno.getComponentContext().ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", uno.getComponentContext())
    for _ in range(240):
        try:
            ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
            break
        except Exception:
            time.sleep(0.25)
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    for name in ("table", "equations", "pictures", "pages"):
        convert(desktop, work + "/" + name + ".fodt", work + "/" + name + ".docx", prop("FilterName", "MS Word 2007 XML"))
    table = work + "/table.docx"
    convert(desktop, table, work + "/table.txt", prop("FilterName", "Text (encoded)"), prop("FilterOptions", "UTF8"))
    convert(desktop, table, out + "/encrypted.doc", prop("FilterName", "MS Word 97"), prop("Password", "open sesame"))
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
timeout -k 5 240 /usr/bin/python3 "$work/convert.py" "$work" "$out" "$work/profile" || true
# Should the bridge fail, the command line makes what is missing (all but the encrypted file).
missing=()
for name in table equations pictures pages; do
  [ -s "$work/$name.docx" ] || missing+=("$work/$name.fodt")
done
if [ ${#missing[@]} -gt 0 ]; then
  soffice_convert docx "$work" "${missing[@]}"
fi
if [ ! -s "$work/table.txt" ]; then
  soffice_convert "txt:Text (encoded):UTF8" "$work" "$work/table.docx"
fi
cp "$work/pages.docx" "$out/pages.docx"
# An embedded Equation.3 object, added by python3's zipfile to the pictures' package before the
# last paragraph: its OLE data part and its picture (36 by 18 points), both also kept beside the
# document for the tests to compare.
python3 - "$work/pictures.docx" "$out/pictures.docx" "$out/equation-object.bin" "$out/equation-object.png" <<'PY'
import sys
from office_fixtures import insert_before, insert_before_paragraph_of, rewrite_package, solid_png
src, dst, ole_out, picture_out = sys.argv[1:5]
picture = solid_png(48, 24, (128, 0, 128))
# The object's data: a compound file's signature and header start, then the equation's native
# stream name and bytes (the conversion hands the part on unread).
ole = (b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(16) + b"\x3e\x00\x03\x00\xfe\xff\x09\x00" +
       "Equation Native".encode("utf-16-le") + bytes(range(256)))
open(ole_out, "wb").write(ole)
open(picture_out, "wb").write(picture)
obj = ('<w:p><w:r><w:t xml:space="preserve">Object: </w:t></w:r><w:r><w:object w:dxaOrig="720" w:dyaOrig="360">'
       '<v:shape id="_x0000_i1025" type="#_x0000_t75" style="width:36pt;height:18pt" o:ole="">'
       '<v:imagedata r:id="rIdQuorallionPic" o:title=""/></v:shape>'
       '<o:OLEObject Type="Embed" ProgID="Equation.3" ShapeID="_x0000_i1025" DrawAspect="Content" '
       'ObjectID="_1100000001" r:id="rIdQuorallionOle"/></w:object></w:r></w:p>')
rels = ('<Relationship Id="rIdQuorallionPic" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="media/equation1.png"/>'
        '<Relationship Id="rIdQuorallionOle" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/oleObject" Target="embeddings/oleObject1.bin"/>')
rewrite_package(src, dst, edits={
    "word/document.xml": insert_before_paragraph_of("End of the pictures.", obj),
    "word/_rels/document.xml.rels": insert_before("</Relationships>", rels),
    "[Content_Types].xml": insert_before(
        "</Types>", '<Default Extension="bin" ContentType="application/vnd.openxmlformats-officedocument.oleObject"/>'),
}, added={"word/media/equation1.png": picture, "word/embeddings/oleObject1.bin": ole})
PY
# An EQ field (a fraction), added to the equations' package by python3's zipfile before the last
# paragraph.
python3 - "$work/equations.docx" "$out/equations.docx" <<'PY'
import sys
from office_fixtures import insert_before_paragraph_of, rewrite_package
field = ('<w:p><w:r><w:t xml:space="preserve">Half of it: </w:t></w:r>'
         '<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
         '<w:r><w:instrText xml:space="preserve"> EQ \\f(1,2) </w:instrText></w:r>'
         '<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>1/2</w:t></w:r>'
         '<w:r><w:fldChar w:fldCharType="end"/></w:r></w:p>')
rewrite_package(sys.argv[1], sys.argv[2],
                edits={"word/document.xml": insert_before_paragraph_of("End of the equations.", field)})
PY
cp "$work/table.docx" "$out/Table Doc.DOCX"
cp "$work/table.docx" "$out/季度 报告.docx"
cp "$work/table.txt" "$out/table.txt"

# Editing protection (read-only, enforced) added to the package's settings part.
python3 - "$work/table.docx" "$out/protected.docx" <<'PY'
import re, sys
from office_fixtures import rewrite_package
protection = '<w:documentProtection w:edit="readOnly" w:enforcement="1"/>'
rewrite_package(sys.argv[1], sys.argv[2], edits={
    "word/settings.xml": lambda text: re.sub(r"<w:documentProtection[^>]*/>", "", text).replace(
        "</w:settings>", protection + "</w:settings>")})
PY

head -c 4096 /dev/urandom > "$out/random.docx"
# A compound file where a package belongs: an encrypted document.
{ printf '\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1'; head -c 4088 /dev/urandom; } > "$out/encrypted.docx"
mkdir -p "$out/folder.doc"
printf 'not a document' > "$out/notes.doc.txt"
test -s "$out/Table Doc.DOCX" && test -s "$out/table.txt" && test -s "$out/equations.docx" && test -s "$out/pictures.docx" &&
  test -s "$out/pages.docx"
