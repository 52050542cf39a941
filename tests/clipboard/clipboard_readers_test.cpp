// The clipboard readers that later roads call (the fragment, the inline test and the bytes of a
// format), over real clipboard contents put there as other programs put them.
#include <gtest/gtest.h>
#include <windows.h>

#include "clipboard/basClipBoard.h"
#include "clipboard/clipboard_fill.h"
#include "support/dispatch_client.h"

#include <cwctype>

using namespace quorallion;
using namespace quorallion::testing;

namespace {

const UINT kHtmlFormat = RegisteredFormat(L"HTML Format");

std::string Page(const std::string& body) {
    return "<html><head><script>var a = 1;</script></head><body>" + body + "</body></html>";
}

class ClipboardReaders : public ::testing::Test {
protected:
    void TearDown() override { EmptyTheClipboard(); }
    ComApartment apartment_;  // the pattern engine is a COM object
};

}  // namespace

TEST_F(ClipboardReaders, FragmentTable) {
    const std::string url = "SourceURL:http://example.com/dir/page.html\r\n";
    struct Case {
        const char* what;
        std::string header;
        std::string document;
        const wchar_t* source;
        std::wstring fragment;
    };
    const Case cases[] = {
        {"between the markers, scripts gone", "",
         Page("<p>before</p><!--StartFragment--><b>bold</b><script>x()</script><!--EndFragment--><p>after</p>"),
         L"html", L"<b>bold</b>"},
        {"white space before the marker's end", "", Page("x<!--StartFragment  --><i>i</i><!--EndFragment-->y"), L"html",
         L"<i>i</i>"},
        {"no markers: the body's content", "", Page("<p>whole body</p>"), L"html", L"<p>whole body</p>"},
        {"lone cells get their table back", "",
         Page("<table border=1><tr><!--StartFragment--><td>a</td><td>b</td><!--EndFragment--></tr></table><p>z</p>"),
         L"html", L"<table border=1><tr><td>a</td><td>b</td></tr></table>"},
        {"cells without a table before them stay bare", "",
         Page("<div><!--StartFragment--><td>a</td><!--EndFragment--></div></table>"), L"html", L"<td>a</td>"},
        {"relative addresses made absolute", url, Page("<!--StartFragment--><img src=\"img/a.png\"><!--EndFragment-->"),
         L"html", L"<img src=\"http://example.com/dir/img/a.png\">"},
        {"not for the WPS spreadsheet", url, Page("<!--StartFragment--><img src=\"img/a.png\"><!--EndFragment-->"),
         L"et", L"<img src=\"img/a.png\">"},
        {"not for the WPS word processor", url, Page("<!--StartFragment--><img src=\"img/a.png\"><!--EndFragment-->"),
         L"wps", L"<img src=\"img/a.png\">"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard({{kHtmlFormat, CFHtml("0.9", c.header, c.document)}})) << c.what;
        EXPECT_EQ(basClipBoard::GetClipboardHTMLFragment(c.source), c.fragment) << c.what;
    }

    // No body and no script: the raw text comes back whole, header included.
    const std::string bare = CFHtml("0.9", "", "<b>no body</b>");
    ASSERT_TRUE(FillClipboard({{kHtmlFormat, bare}}));
    EXPECT_EQ(basClipBoard::GetClipboardHTMLFragment(L"html"), std::wstring(bare.begin(), bare.end()));
    // No "HTML Format" at all.
    ASSERT_TRUE(FillClipboard({{CF_UNICODETEXT, Utf16Block(L"text")}}));
    EXPECT_EQ(basClipBoard::GetClipboardHTMLFragment(L"html"), L"");
}

TEST_F(ClipboardReaders, InlineTestTable) {
    struct Case {
        const char* fragment;
        bool isInline;
    };
    const Case cases[] = {
        {"<span style=\"color:red\">words</span>", true},
        {"<b>bold</b> and <a href=\"#x\">a link</a>", true},
        {"<P class=MsoNormal>paragraph</P>", false},
        {"<h2>heading</h2>", false},
        {"<div>block</div>", false},
        {"<table><tr><td>1</td></tr></table>", false},
        {"<pre>pre is not among them</pre>", true},
        {"<param name=x><header>not p, not h1</header>", true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard(
            {{kHtmlFormat, CFHtml("0.9", "", Page(std::string("<!--StartFragment-->") + c.fragment + "<!--EndFragment-->"))}}));
        EXPECT_EQ(basClipBoard::IsClipboardHTMLInline(), c.isInline) << c.fragment;
    }
    ASSERT_TRUE(EmptyTheClipboard());
    EXPECT_TRUE(basClipBoard::IsClipboardHTMLInline()) << "no HTML Format";
}

TEST_F(ClipboardReaders, BinaryByExactNameOrById) {
    // Registered names are one atom whatever their case; the platform reports the spelling that
    // was registered first, and only that spelling finds the format.
    const UINT png = RegisteredFormat(L"PNG");
    wchar_t name[64] = {};
    ASSERT_GT(::GetClipboardFormatNameW(png, name, 64), 0);
    std::wstring otherCase = name;
    for (wchar_t& c : otherCase) c = iswupper(c) ? towlower(c) : towupper(c);
    const std::string pngBytes("\x89PNG\0x", 6);
    ASSERT_TRUE(FillClipboard({{png, pngBytes}, {CF_TEXT, std::string("ansi\0", 5)}}));
    struct Case {
        std::wstring name;
        long id;
        bool found;
        std::string bytes;
    };
    const Case cases[] = {
        {name, 0, true, pngBytes},
        {otherCase, 0, false, ""},
        {L"PNG ", 0, false, ""},
        {L"ignored when an id is given", long(CF_TEXT), true, "ansi"},
        {L"", long(CF_HDROP), false, ""},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = {0xEE};
        const bool found = basClipBoard::GetClipboardBinary(c.name, bytes, c.id);
        EXPECT_EQ(found, c.found) << Utf8(c.name) << " " << c.id;
        if (c.found) {
            // The block as the platform holds it may be longer than what was put there.
            ASSERT_GE(bytes.size(), c.bytes.size());
            EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + c.bytes.size()), c.bytes);
        } else if (c.id < 1) {
            EXPECT_EQ(bytes, std::vector<uint8_t>{0xEE}) << "a name not found leaves the array alone";
        }
    }
}
