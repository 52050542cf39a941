// The spreadsheet HTML clean-up: what each group of steps takes out of copied cells and
// published pages, what stays, the fragment's frame and its id; and every step and cut on our
// matcher against the plain backtracking reference of the platform pattern it stands for.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "excel/excel_cleanup.h"
#include "tests/excel_like_html.h"
#include "tests/pattern_reference.h"

using namespace quorallion;
using html::testing::ReferenceMatcher;

namespace {

std::string Shown(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buffer[12];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out;
}

// The clean-up with "54321" for a made-up id; `idsMade` counts how often one was asked for.
std::wstring Clean(const std::wstring& html, bool published, int* idsMade = nullptr) {
    return excel::OptimizeExcelHtml(
        html, published,
        [idsMade] {
            if (idsMade) ++*idsMade;
            return std::wstring(L"54321");
        },
        nullptr, nullptr);
}

// The fragment split into its id, style text and body, its frame checked on the way.
struct Fragment {
    std::wstring id, styles, body;
};
Fragment Split(const std::wstring& result) {
    Fragment f;
    const std::wstring open = L"<style id=\"", idEnd = L"_Styles\">\r\n",
                       middle = L"\r\n</style><div id=\"", divEnd = L"\" align=\"center\">";
    const size_t a = result.find(idEnd), b = result.find(middle);
    const size_t c = b == std::wstring::npos ? b : result.find(divEnd, b);
    if (result.rfind(open, 0) != 0 || a == std::wstring::npos || c == std::wstring::npos ||
        result.size() < c + divEnd.size() + 6 || result.compare(result.size() - 6, 6, L"</div>") != 0) {
        ADD_FAILURE() << "not a sheet fragment: " << Shown(result);
        return f;
    }
    f.id = result.substr(open.size(), a - open.size());
    f.styles = result.substr(a + idEnd.size(), b - a - idEnd.size());
    EXPECT_EQ(result.substr(b + middle.size(), c - b - middle.size()), f.id) << "the two ids";
    const size_t bodyStart = c + divEnd.size();
    f.body = result.substr(bodyStart, result.size() - 6 - bodyStart);
    return f;
}

// Presence checks on one part of a fragment, as a table.
struct Expect {
    const char* why;
    bool inStyles;  // else the body
    std::wstring text;
    bool present;
};
void Check(const Fragment& f, const std::vector<Expect>& expects, const char* input) {
    for (const Expect& e : expects) {
        const std::wstring& part = e.inStyles ? f.styles : f.body;
        EXPECT_EQ(part.find(e.text) != std::wstring::npos, e.present)
            << input << ": " << e.why << " \"" << Shown(e.text) << "\" in "
            << (e.inStyles ? "styles" : "body");
    }
}

}  // namespace

TEST(ExcelCleanup, CopiedCells) {
    int ids = 0;
    const Fragment f = Split(Clean(excel::testing::ClipboardSheet(2), false, &ids));
    EXPECT_EQ(ids, 1);
    EXPECT_EQ(f.id, L"Quorallion_Sheet54321");
    // Rules lose their mso- properties, rules left empty go, each rule on its own line.
    EXPECT_EQ(f.styles,
              L"td {padding-top:1px;padding-right:1px;color:black;font-size:11.0pt;"
              L"font-family:\"Calibri\", sans-serif;text-align:general;vertical-align:bottom;"
              L"border:none;white-space:nowrap;}\r\n.xl65 {color:red;}\r\n.xl66 {background:#FFFF00;}");
    Check(f,
          {
              {"cell values", false, L"<td class=xl65 align=right>1.50</td>", true},
              {"text cells", false, L"<td class=xl67>Item 2</td>", true},
              {"Chinese and the colour of a cell", false, L"<td style='color:#0000FF'>\x4e2d\x6587 1</td>", true},
              {"the table", false, L"<table border=0 cellpadding=0 cellspacing=0 width=360", true},
              {"columns", false, L"<col width=72 span=5 style='width:54pt'>", true},
              {"row heights", false, L"<tr height=19 style='height:14.25pt'>", true},
              {"number attributes", false, L"x:num", false},
              {"text attributes", false, L"x:str", false},
              {"fragment comments", false, L"Fragment", false},
              {"misaligned-column rows", false, L"display:none", false},
              {"mso- in style attributes", false, L"mso-", false},
              {"conditional markers", false, L"<![", false},
          },
          "copied cells");
}

TEST(ExcelCleanup, PublishedPage) {
    int ids = 0;
    const Fragment f = Split(Clean(excel::testing::PublishedSheet(3, 2), true, &ids));
    EXPECT_EQ(ids, 0) << "the container gives the id";
    EXPECT_EQ(f.id, L"Quorallion_Sheet3");
    Check(f,
          {
              {"the picture, without its shape name", false,
               L"<img\r\n  width=64 height=64 src=\"Quorallion_Temp_Sheet3_files/image002.png\">", true},
              {"the picture's box", false, L"<span\r\n  style='position:absolute;z-index:1;", true},
              {"the VML twin", false, L"v:shape", false},
              {"the VML image data", false, L"image001.png", false},
              {"the !vml wrapper", false, L"<![if", false},
              {"an attribute left empty", false, L"<td colspan=4 ></td>", true},
              {"cells", false, L"<td class=xl67>Item 1</td>", true},
              {"the table's text attribute", false, L"x:str", false},
              {"what follows the container", false, L"END OF OUTPUT", false},
              {"what precedes the container", false, L"generated by publishing", false},
              {"the head's conditional XML", true, L"shapedefaults", false},
              {"cell colours", true, L".xl65 {color:red;}", true},
          },
          "published page");
}

TEST(ExcelCleanup, SmallPagesExactly) {
    struct Case {
        const char* why;
        std::wstring html;
        bool published;
        std::wstring styles, body;
        std::wstring id;  // "Quorallion_Sheet54321" when made up
    };
    const std::wstring kMadeUp = L"Quorallion_Sheet54321";
    const Case cases[] = {
        {"a cell rule with a number format and a colour keeps the colour",
         L"<html><head><style>\r\n<!--td\r\n\t{mso-number-format:General;\r\n\tcolor:red;}\r\n-->"
         L"</style></head><body><table><tr><td x:num>1</td></tr></table></body></html>",
         false, L"td {color:red;}", L"<table><tr><td>1</td></tr></table>", kMadeUp},
        {"ruby rules stay for ruby text",
         L"<head><style>ruby {ruby-align:left;}\r\nrt {color:windowtext;mso-char-type:none;}</style></head>"
         L"<body><ruby>\x6f22<rt>kan</rt></ruby></body>",
         false, L"ruby {ruby-align:left;}\r\nrt {color:windowtext;}", L"<ruby>\x6f22<rt>kan</rt></ruby>", kMadeUp},
        {"the rt rule goes without rt elements",
         L"<head><style>ruby {ruby-align:left;}\r\nrt {color:windowtext;}</style></head><body><ruby>x</ruby></body>",
         false, L"ruby {ruby-align:left;}", L"<ruby>x</ruby>", kMadeUp},
        {"behaviour rules and link rules go",
         L"<head><style>v\\:* {behavior:url(#default#VML);}\r\n.shape {behavior:url(#default#VML);}\r\n"
         L"st1\\:*{behavior:url(#ieooui) }\r\na:link {color:blue;}\r\np {color:green;}</style></head><body>x</body>",
         false, L"p {color:green;}", L"x", kMadeUp},
        {"no head and no body: the whole text is the body", L"plain <b>text</b> \x4e2d", false, L"",
         L"plain <b>text</b> \x4e2d", kMadeUp},
        {"the body runs to its last end tag", L"<body>a</body>b</body>c", false, L"", L"a</body>b", kMadeUp},
        {"mso- properties of style attributes, and attributes left empty",
         L"<body><td style=\"mso-a:b;color:red;mso-c:d\">1</td><span style='mso-x:1; mso-y : \"q\"'>2</span>"
         L"<p style=' '>3</p><p style=\"\">4</p><p style='\">5</p></body>",
         false, L"",
         L"<td style=\"color:red;\">1</td><span >2</span><p >3</p><p >4</p><p style='\">5</p>", kMadeUp},
        {"a not-Excel comment of blanks goes, one with content stays",
         L"<body><!--[if !excel]>\x3000 \x3000<![endif]--><!--[if !excel]>&nbsp;<![endif]--></body>", false,
         L"", L"<!--[if !excel]>&nbsp;<![endif]-->", kMadeUp},
        {"the container in any case, single quotes, to its last end tag",
         L"<body><DIV ID='quorallion_sheet12' class=x>a<div>b</div>c</div>tail</body>", true, L"",
         L"a<div>b</div>c", L"quorallion_sheet12"},
        {"a container id without quotes is no container",
         L"<body><div id=Quorallion_Sheet1>a</div></body>", true, L"", L"<div id=Quorallion_Sheet1>a</div>", kMadeUp},
        {"a published page without a container: the body element",
         L"<head><style>p{color:red}</style></head><body><p>x</p></body>", true, L"p {color:red}",
         L"<p>x</p>", kMadeUp},
        {"clipboard HTML is not searched for a container",
         L"<body><div id=\"Quorallion_Sheet2\">a</div></body>", false, L"",
         L"<div id=\"Quorallion_Sheet2\">a</div>", kMadeUp},
        {"empty", L"", true, L"", L"", kMadeUp},
    };
    for (const Case& c : cases) {
        int ids = 0;
        const Fragment f = Split(Clean(c.html, c.published, &ids));
        EXPECT_EQ(Shown(f.styles), Shown(c.styles)) << c.why;
        EXPECT_EQ(Shown(f.body), Shown(c.body)) << c.why;
        EXPECT_EQ(f.id, c.id) << c.why;
        EXPECT_EQ(ids, c.id == kMadeUp ? 1 : 0) << c.why;
    }
}

namespace {

std::wstring ReferenceStep(const excel::PlatformStep& step, const std::wstring& text,
                           const std::wstring& body) {
    if (step.number == 2 && ReferenceMatcher(excel::kRubyElementPattern).Test(body)) return text;
    if (step.number == 3 && ReferenceMatcher(excel::kRtElementPattern).Test(body)) return text;
    ReferenceMatcher reference(step.pattern);
    std::wstring current = text;
    for (int pass = 0; pass < 1000; ++pass) {
        std::wstring next = reference.Replace(current, step.replacement);
        if (next == current) break;
        current = std::move(next);
        if (!step.untilStable) break;
    }
    return current;
}

// The cuts as the platform's patterns make them.
excel::SheetParts ReferenceCuts(const std::wstring& text, bool published) {
    excel::SheetParts parts;
    const std::wstring head = ReferenceMatcher(excel::kHeadContentPattern).Replace(text, L"$1");
    bool found = false;
    if (published) {
        ReferenceMatcher container(excel::kSheetContainerPattern);
        const std::wstring body = container.Replace(text, L"$2");
        if (body != text) {
            parts.body = body;
            parts.id = container.Replace(text, L"$1");
            found = true;
        }
    }
    if (!found) parts.body = ReferenceMatcher(excel::kBodyContentPattern).Replace(text, L"$1");
    // Execute's matches in order: the replacement of everything else shows them.
    ReferenceMatcher styles(std::wstring(L"(") + excel::kStyleElementPattern + L")|[\\s\\S]");
    std::wstring marked = styles.Replace(head, L"$1\x1f");
    std::wstring element;
    for (wchar_t c : marked) {
        if (c != L'\x1f') {
            element += c;
            continue;
        }
        if (element.empty()) continue;
        if (!parts.styles.empty()) parts.styles += L"\r\n";
        parts.styles += element;
        element.clear();
    }
    return parts;
}

}  // namespace

TEST(ExcelCleanup, StepsAndCutsAsTheReference) {
    std::mt19937 random(2027);
    for (int round = 0; round < 150; ++round) {
        const std::wstring text = excel::testing::RandomSheetHtml(random, 3 + round % 25);
        for (bool published : {false, true}) {
            const excel::SheetParts ours = excel::CutSheetParts(text, published, nullptr);
            const excel::SheetParts reference = ReferenceCuts(text, published);
            EXPECT_EQ(Shown(ours.body), Shown(reference.body)) << "body cut of " << Shown(text);
            EXPECT_EQ(Shown(ours.id), Shown(reference.id)) << "id of " << Shown(text);
            EXPECT_EQ(Shown(ours.styles), Shown(reference.styles)) << "styles of " << Shown(text);
        }
        for (const excel::PlatformStep& step : excel::PlatformSteps()) {
            EXPECT_EQ(Shown(excel::RunStep(step.number, text, text, nullptr)),
                      Shown(ReferenceStep(step, text, text)))
                << "step " << step.number << " on " << Shown(text);
        }
        if (::testing::Test::HasFailure()) break;  // one text's differences are enough to read
    }
}
