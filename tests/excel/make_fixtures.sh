#!/usr/bin/env bash
# Makes the spreadsheet and presentation tests' files once, at set-up, into the folder given as
# $1: one LibreOffice run over the flat-ODF sources below gives the workbook as xlsx and xls and
# the presentation as pptx; a second gives LibreOffice's CSV export of every sheet (the texts the
# published pages must hold). Plus random bytes under workbook and presentation names.
set -euo pipefail
source "$(dirname "$0")/../support/office_fixtures.sh"

# Sheet 1 "First": values in A5:B20 (a text and a number per row), then ten formatted empty rows
# that stretch the used range; a picture. Sheet 2 "Hidden" is hidden. Sheet 3 "Third 三".
rows=""
for i in $(seq 5 20); do
  rows+="<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Item $i 项</text:p></table:table-cell><table:table-cell office:value-type=\"float\" office:value=\"$((i * 10))\"><text:p>$((i * 10))</text:p></table:table-cell></table:table-row>"
done
flat_odf spreadsheet "$work/book.fods" style text table draw fo svg xlink <<FODS
 <office:automatic-styles>
  <style:style style:name="shown" style:family="table"><style:table-properties table:display="true"/></style:style>
  <style:style style:name="hidden" style:family="table"><style:table-properties table:display="false"/></style:style>
  <style:style style:name="yellow" style:family="table-cell"><style:table-cell-properties fo:background-color="#ffff00"/></style:style>
 </office:automatic-styles>
 <office:body><office:spreadsheet>
  <table:table table:name="First" table:style-name="shown">
   <table:shapes><draw:frame draw:name="Red" svg:width="2cm" svg:height="1.5cm" svg:x="4cm" svg:y="1cm"><draw:image><office:binary-data>$picture</office:binary-data></draw:image></draw:frame></table:shapes>
   <table:table-column table:number-columns-repeated="2"/>
   <table:table-row table:number-rows-repeated="4"><table:table-cell table:number-columns-repeated="2"/></table:table-row>
   $rows
   <table:table-row table:number-rows-repeated="10"><table:table-cell table:style-name="yellow" table:number-columns-repeated="2"/></table:table-row>
  </table:table>
  <table:table table:name="Hidden" table:style-name="hidden">
   <table:table-row><table:table-cell office:value-type="string"><text:p>secret</text:p></table:table-cell></table:table-row>
  </table:table>
  <table:table table:name="Third 三" table:style-name="shown">
   <table:table-row><table:table-cell office:value-type="string"><text:p>第三页</text:p></table:table-cell><table:table-cell office:value-type="float" office:value="3.5"><text:p>3.5</text:p></table:table-cell></table:table-row>
  </table:table>
 </office:spreadsheet></office:body>
FODS

# Three slides, the second hidden.
slide() { # name, text, extra attributes
  echo "<draw:page draw:name=\"$1\" $3 draw:master-page-name=\"Default\"><draw:frame svg:width=\"20cm\" svg:height=\"3cm\" svg:x=\"2cm\" svg:y=\"2cm\"><draw:text-box><text:p>$2</text:p></draw:text-box></draw:frame></draw:page>"
}
flat_odf presentation "$work/deck.fodp" style text draw presentation fo svg <<FODP
 <office:styles/>
 <office:automatic-styles>
  <style:style style:name="hiddenpage" style:family="drawing-page"><style:drawing-page-properties presentation:visibility="hidden"/></style:style>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Default"/></office:master-styles>
 <office:body><office:presentation>
  $(slide One "First slide" "")
  $(slide Two "Second slide, hidden" 'draw:style-name="hiddenpage"')
  $(slide Three "Third slide 三" "")
 </office:presentation></office:body>
FODP

soffice_convert xlsx "$work" "$work/book.fods"
soffice_convert xls "$work" "$work/book.fods"
soffice_convert pptx "$work" "$work/deck.fodp"
# Every sheet's CSV (UTF-8, comma, quote), one file per sheet: book-<sheet name>.csv.
soffice_convert 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1' \
  "$work/csv" "$work/book.xlsx"
cp "$work/book.xlsx" "$out/Book One.xlsx"
cp "$work/book.xls" "$out/book.xls"
cp "$work/deck.pptx" "$out/deck.pptx"
cp "$work/csv/"*.csv "$out/"
# The workbook with a chart sheet (a bar chart of First's numbers) put in as its second sheet, so
# that Sheets counts four while Worksheets holds three. LibreOffice writes no chart sheets, so the
# parts are added to its package here.
python3 - "$work/book.xlsx" "$out/charts.xlsx" <<'PY'
import re, sys
from office_fixtures import insert_before, rewrite_package
M = "http://schemas.openxmlformats.org/"
R = M + "officeDocument/2006/relationships"
added = {
    "xl/chartsheets/sheet1.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><chartsheet xmlns="%sspreadsheetml/2006/main" xmlns:r="%s"><sheetPr/><sheetViews><sheetView workbookViewId="0"/></sheetViews><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/><drawing r:id="rId1"/></chartsheet>' % (M, R),
    "xl/chartsheets/_rels/sheet1.xml.rels": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="%spackage/2006/relationships"><Relationship Id="rId1" Type="%s/drawing" Target="../drawings/drawing9.xml"/></Relationships>' % (M, R),
    "xl/drawings/drawing9.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><xdr:wsDr xmlns:xdr="%sdrawingml/2006/spreadsheetDrawing" xmlns:a="%sdrawingml/2006/main" xmlns:r="%s"><xdr:absoluteAnchor><xdr:pos x="0" y="0"/><xdr:ext cx="8666667" cy="6300000"/><xdr:graphicFrame macro=""><xdr:nvGraphicFramePr><xdr:cNvPr id="2" name="Chart 1"/><xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr><xdr:xfrm><a:off x="0" y="0"/><a:ext cx="0" cy="0"/></xdr:xfrm><a:graphic><a:graphicData uri="%sdrawingml/2006/chart"><c:chart xmlns:c="%sdrawingml/2006/chart" r:id="rId1"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:absoluteAnchor></xdr:wsDr>' % (M, M, R, M, M),
    "xl/drawings/_rels/drawing9.xml.rels": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="%spackage/2006/relationships"><Relationship Id="rId1" Type="%s/chart" Target="../charts/chart1.xml"/></Relationships>' % (M, R),
    "xl/charts/chart1.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?><c:chartSpace xmlns:c="%sdrawingml/2006/chart" xmlns:a="%sdrawingml/2006/main"><c:chart><c:plotArea><c:barChart><c:barDir val="col"/><c:grouping val="clustered"/><c:ser><c:idx val="0"/><c:order val="0"/><c:val><c:numRef><c:f>First!$B$5:$B$20</c:f></c:numRef></c:val></c:ser><c:axId val="1"/><c:axId val="2"/></c:barChart><c:catAx><c:axId val="1"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:axPos val="b"/><c:crossAx val="2"/></c:catAx><c:valAx><c:axId val="2"/><c:scaling><c:orientation val="minMax"/></c:scaling><c:axPos val="l"/><c:crossAx val="1"/></c:valAx></c:plotArea></c:chart></c:chartSpace>' % (M, M),
}
types = {"/xl/chartsheets/sheet1.xml": "chartsheet", "/xl/drawings/drawing9.xml": "drawing", "/xl/charts/chart1.xml": "drawingml.chart"}
overrides = "".join('<Override PartName="%s" ContentType="application/vnd.openxmlformats-officedocument.%s+xml"/>' % (part, kind if kind == "drawing" else kind if kind.startswith("drawingml") else "spreadsheetml." + kind) for part, kind in types.items())
def after_first_sheet(text):
    first = re.search(r'<sheet [^>]*?/>', text).end()
    return text[:first] + '<sheet name="Chart 1" sheetId="9" state="visible" r:id="rIdChart1"/>' + text[first:]
rewrite_package(sys.argv[1], sys.argv[2], edits={
    "xl/workbook.xml": after_first_sheet,
    "xl/_rels/workbook.xml.rels": insert_before(
        "</Relationships>", '<Relationship Id="rIdChart1" Type="%s/chartsheet" Target="chartsheets/sheet1.xml"/>' % R),
    "[Content_Types].xml": insert_before("</Types>", overrides),
}, added=added)
PY
# A workbook of one empty sheet whose name holds quotes and a blank, written as a package by hand.
python3 - "$out/empty.xlsx" <<'PY'
import sys, zipfile
parts = {
    "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>',
    "_rels/.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
    "xl/workbook.xml": '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Don&apos;t &quot;stop&quot;" sheetId="1" r:id="rId1"/></sheets></workbook>',
    "xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>',
    "xl/worksheets/sheet1.xml": '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData/></worksheet>',
}
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text)
PY
head -c 4096 /dev/urandom > "$out/random.xlsx"
head -c 4096 /dev/urandom > "$out/random.pptx"
printf 'not a workbook' > "$out/notes.txt"
test -s "$out/Book One.xlsx" && test -s "$out/charts.xlsx" && test -s "$out/book.xls" && test -s "$out/deck.pptx" && test -s "$out/book-First.csv"
