#pragma once
// Spreadsheet HTML in the shapes the clean-up meets, written for these tests: the "HTML Format"
// that copying cells leaves on the clipboard (reduced to its html element), a page of static
// publishing with its container div, and random text of the pieces the clean-up looks for.
#include <random>
#include <string>
#include <vector>

namespace quorallion::excel::testing {

// The head of copied cells: the style block with its comment wrapper, page and table rules full
// of mso- properties, the cell classes with number formats and colours, and the ruby rules.
inline std::wstring ClipboardHead() {
    return L"<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
           L"<meta name=ProgId content=Excel.Sheet>\r\n"
           L"<link id=Main-File rel=Main-File href=\"file:///C:/Users/u/AppData/Local/Temp/msohtmlclip1/01/clip.htm\">\r\n"
           L"<style>\r\n<!--table\r\n\t{mso-displayed-decimal-separator:\"\\.\";\r\n"
           L"\tmso-displayed-thousand-separator:\"\\,\";}\r\n"
           L"@page\r\n\t{margin:.75in .7in .75in .7in;\r\n\tmso-header-margin:.3in;\r\n"
           L"\tmso-footer-margin:.3in;}\r\n"
           L"tr\r\n\t{mso-height-source:auto;}\r\ncol\r\n\t{mso-width-source:auto;}\r\n"
           L"br\r\n\t{mso-data-placement:same-cell;}\r\n"
           L"td\r\n\t{padding-top:1px;\r\n\tpadding-right:1px;\r\n\tcolor:black;\r\n"
           L"\tfont-size:11.0pt;\r\n\tfont-family:\"Calibri\", sans-serif;\r\n"
           L"\tmso-font-charset:0;\r\n\tmso-number-format:General;\r\n\ttext-align:general;\r\n"
           L"\tvertical-align:bottom;\r\n\tborder:none;\r\n\tmso-background-source:auto;\r\n"
           L"\tmso-pattern:auto;\r\n\tmso-protection:locked visible;\r\n\twhite-space:nowrap;\r\n"
           L"\tmso-rotate:0;}\r\n"
           L".xl65\r\n\t{color:red;\r\n\tmso-number-format:\"0\\.00\";}\r\n"
           L".xl66\r\n\t{mso-number-format:\"Short Date\";\r\n\tbackground:#FFFF00;\r\n"
           L"\tmso-pattern:black none;}\r\n"
           L".xl67\r\n\t{mso-style-parent:style0;\r\n\tmso-number-format:\"\\@\";}\r\n"
           L"ruby\r\n\t{ruby-align:left;}\r\nrt\r\n\t{color:windowtext;\r\n\tfont-size:9.0pt;\r\n"
           L"\tmso-char-type:none;\r\n\tdisplay:none;}\r\n-->\r\n</style>\r\n</head>\r\n";
}

// One row of copied cells: a number, a decimal, a text, a Chinese text and a date.
inline std::wstring ClipboardRow(int row) {
    const std::wstring n = std::to_wstring(row);
    return L" <tr height=19 style='height:14.25pt'>\r\n"
           L"  <td align=right x:num>" + n + L"</td>\r\n"
           L"  <td class=xl65 align=right x:num=\"" + n + L".5\">" + n + L".50</td>\r\n"
           L"  <td class=xl67 x:str>Item " + n + L"</td>\r\n"
           L"  <td style='mso-ignore:colspan;color:#0000FF'>\x4e2d\x6587 " + n + L"</td>\r\n"
           L"  <td class=xl66 align=right x:num=\"45000\">2023/3/15</td>\r\n </tr>\r\n";
}

// The html element of copied cells with `rows` rows (a 20,000-row copy is about 5 MB of text).
inline std::wstring ClipboardSheet(int rows) {
    std::wstring html =
        L"<html xmlns:v=\"urn:schemas-microsoft-com:vml\"\r\nxmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
        L"xmlns:x=\"urn:schemas-microsoft-com:office:excel\"\r\nxmlns=\"http://www.w3.org/TR/REC-html40\">\r\n\r\n";
    html += ClipboardHead();
    html += L"\r\n<body link=\"#0563C1\" vlink=\"#954F72\">\r\n\r\n"
            L"<table border=0 cellpadding=0 cellspacing=0 width=360 style='border-collapse:\r\n"
            L" collapse;width:270pt'>\r\n<!--StartFragment-->\r\n"
            L" <col width=72 span=5 style='width:54pt'>\r\n";
    html.reserve(html.size() + static_cast<size_t>(rows) * 300 + 200);
    for (int row = 1; row <= rows; ++row) html += ClipboardRow(row);
    html += L" <![if supportMisalignedColumns]>\r\n <tr height=0 style='display:none'>\r\n"
            L"  <td width=72 style='width:54pt'></td>\r\n </tr>\r\n <![endif]>\r\n"
            L"<!--EndFragment-->\r\n</table>\r\n\r\n</body>\r\n\r\n</html>\r\n";
    return html;
}

// A page of static publishing: the head's conditional XML, the container div with the sheet's
// id, a picture with its VML twin, and cells with x:num and x:str.
inline std::wstring PublishedSheet(int sheetNumber, int rows) {
    const std::wstring id = L"Quorallion_Sheet" + std::to_wstring(sheetNumber);
    std::wstring html =
        L"<html xmlns:v=\"urn:schemas-microsoft-com:vml\"\r\nxmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
        L"xmlns:x=\"urn:schemas-microsoft-com:office:excel\">\r\n\r\n";
    html += ClipboardHead();
    html.insert(html.find(L"</head>"),
                L"<!--[if gte mso 9]><xml>\r\n <o:shapedefaults v:ext=\"edit\" spidmax=\"1025\"/>\r\n"
                L"</xml><![endif]-->\r\n");
    html += L"\r\n<body link=\"#0563C1\" vlink=\"#954F72\">\r\n"
            L"<!--[if !excel]>&nbsp;&nbsp;<![endif]-->\r\n"
            L"<!--The following information was generated by publishing.-->\r\n\r\n"
            L"<div id=\"" + id + L"\" align=center x:publishsource=\"Excel\">\r\n\r\n"
            L"<table border=0 cellpadding=0 cellspacing=0 width=360 style='border-collapse:\r\n"
            L" collapse;table-layout:fixed;width:270pt' x:str>\r\n"
            L" <col width=72 span=5 style='width:54pt'>\r\n"
            L" <tr height=19 style='height:14.25pt'>\r\n  <td height=19 style='height:14.25pt'>\r\n"
            L"  <!--[if gte vml 1]><v:shape id=\"Picture_x0020_1\" type=\"#_x0000_t75\"\r\n"
            L"   style='position:absolute;width:48pt;height:48pt'><v:imagedata src=\"Quorallion_Temp_Sheet" +
            std::to_wstring(sheetNumber) + L"_files/image001.png\"/></v:shape><![endif]--><![if !vml]><span\r\n"
            L"  style='mso-ignore:vglayout;position:absolute;z-index:1;margin-left:0px;margin-top:0px;width:64px;height:64px'><img\r\n"
            L"  width=64 height=64 src=\"Quorallion_Temp_Sheet" + std::to_wstring(sheetNumber) +
            L"_files/image002.png\" v:shapes=\"Picture_x0020_1\"></span><![endif]></td>\r\n"
            L"  <td colspan=4 style='mso-ignore:colspan'></td>\r\n </tr>\r\n";
    for (int row = 1; row <= rows; ++row) html += ClipboardRow(row);
    html += L" <![if supportMisalignedColumns]>\r\n <tr height=0 style='display:none'>\r\n"
            L"  <td width=72 style='width:54pt'></td>\r\n </tr>\r\n <![endif]>\r\n</table>\r\n\r\n"
            L"</div>\r\n\r\n\r\n<!----------------------------->\r\n"
            L"<!--END OF OUTPUT FROM EXCEL PUBLISH AS WEB PAGE WIZARD-->\r\n"
            L"<!----------------------------->\r\n</body>\r\n\r\n</html>\r\n";
    return html;
}

// Random text of the pieces the spreadsheet clean-up looks for, for comparing its steps with the
// engine they stand in for.
inline std::wstring RandomSheetHtml(std::mt19937& random, size_t pieces) {
    static const std::vector<std::wstring> kPieces = {
        L"<", L">", L"/", L"a", L"x", L" ", L"\r\n", L"{", L"}", L";", L":", L"\"", L"'", L"-",
        L"=", L".", L"\x3000", L"\x4e2d", L"\xa0", L"\t", L"0",
        L"<head>", L"</head>", L"<body>", L"</body>", L"<style>", L"</style>", L"<div id=",
        L"<div id=\"Quorallion_Sheet1\">", L"Quorallion_Sheet", L"</div>",
        L"<td", L"<td ", L"<TD class=xl65 ", L"</td>", L" x:num", L" x:num=\"1.5\"", L" x:str",
        L"<table ", L"<img ", L" v:shapes=\"P_1\"", L" style='", L" style=\"", L"mso-a:b;",
        L"mso-x:\"q\";", L"mso-ignore : colspan", L"color:red;", L"''", L"\"\"",
        L"<ruby>", L"<rt>", L"ruby {x:y}", L"rt{a:b}", L"a:link {c:d}", L"a:visited, a.x {e}",
        L"@page {m:1}", L"@import url", L"/* c */", L"<!--", L"-->", L"<!--[if gte mso 9]>",
        L"<!--[if gte vml 1]>", L"<![endif]-->", L"<![if !vml]>", L"<![endif]>",
        L"<![if !supportMisalignedColumns]>", L"<![if supportMisalignedColumns]>",
        L"<!--[if !excel]>", L"<!--[if mso ", L"st1\\:*{behavior:url(#ieooui) }",
        L"v\\:* {behavior:url(#default#VML);}", L".s {behavior:url(#default#VML)}",
    };
    std::wstring text;
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
    for (size_t i = 0; i < pieces; ++i) text += kPieces[pick(random)];
    return text;
}

}  // namespace quorallion::excel::testing
