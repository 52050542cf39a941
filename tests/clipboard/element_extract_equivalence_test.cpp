// The one-pass element cuts against the pattern replacements they stand in for, run on the
// platform's own engine: hand-made tricky texts and real Word clipboard HTML must come out the
// same, character for character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/element_extract.h"
#include "platform_equivalence.h"
#include "shared_fixtures.h"
#include "regex/basRegExp.h"

using namespace quorallion;

namespace {

struct CutAndPattern {
    const char* name;
    html::ElementCut cut;
    const wchar_t* pattern;
};

// The patterns exactly as the clipboard readers and the Word clean-up used them.
const CutAndPattern kCuts[] = {
    {"html to last close", html::kHtmlElementToLastClose,
     L"^[\\s\\S]*?(<html\\b[^>]*?>[\\s\\S]*</html>)[\\s\\S]*?$"},
    {"html to first close", html::kHtmlElementToFirstClose,
     L"^[\\s\\S]*?(<html\\b[^>]*?>[\\s\\S]*?</html>)[\\s\\S]*$"},
    {"body content, any name", html::kBodyContentAnyName,
     L"^[\\s\\S]*?<body[^>]*?>([\\s\\S]*?)</body>[\\s\\S]*$"},
    {"body content", html::kBodyContent,
     L"^[\\s\\S]*?<body\\b[^>]*?>([\\s\\S]*?)<\\/body>[\\s\\S]*?$"},
    {"head content", html::kHeadContent, L"^[\\s\\S]*?<head\\b[^>]*?>([\\s\\S]*?)</head>[\\s\\S]*$"},
};

const wchar_t* kWordFixtures[] = {
    L"basic-styles-bold-within-text.html", L"bookmark-other.html", L"image-alternative-text.html",
    L"link-within-text.html", L"list-multiple.html", L"list-nested.html", L"list-simple.html",
    L"spacing-simple.html",
};

std::string Shown(const std::wstring& text) { return quorallion::testing::ShownStart(text, 80); }

class ElementCutEquivalence : public quorallion::testing::PlatformEngineTest {
protected:
    static void ExpectSameAsPatterns(const std::wstring& text, const std::string& source) {
        for (const CutAndPattern& c : kCuts) {
            const std::wstring byPattern = basRegExp::RegExpReplace(text, c.pattern, L"$1");
            const std::wstring byScan = html::ExtractElement(text, c.cut);
            EXPECT_TRUE(byScan == byPattern)
                << c.name << " on " << source << " \"" << Shown(text) << "\"\n  pattern: \""
                << Shown(byPattern) << "\" (" << byPattern.size() << " chars)\n  scan:    \""
                << Shown(byScan) << "\" (" << byScan.size() << " chars)";
        }
    }
};

}  // namespace

TEST_F(ElementCutEquivalence, TrickyTexts) {
    const std::wstring chinese = L"\x4e2d\x6587";
    const std::vector<std::wstring> texts = {
        L"",
        L"Version:1.0\r\nno tags at all",
        L"<html",
        L"<html a</html",
        L"<html </html>",
        L"<html>abc",
        L"</html><html>x",
        L"hdr<html a=1>x</html>tail",
        L"h<HTML>x</HtMl>t",
        L"<html>a</html>b</html>c",
        L"<html><html>in</html></html>",
        L"<htmlx>a</html>",
        L"<html5>a</html>",
        L"<html_x>a<html-b>c</html>d",
        L"<htmlx>a<HTML>b</HTML>c</html>",
        L"<html </html> x>y",
        L"<html>x</html >",
        L"<html a='>'>x</html>",
        L"\r\n<html\r\nlang=en>\r\n</html>\r\n",
        L"<html" + chinese + L">" + chinese + L"</html>",
        L"<body",
        L"<body>abc",
        L"<bodyx>in</body>",
        L"<body_1>a<body>b</body>",
        L"<body>a</body>b</body>",
        L"x<body></body>y",
        L"<BODY\t></BODY>",
        L"<header>a</head>",
        L"<head></head><head>x</head>",
        L"<html><head><title>t</title></head><body lang=EN>in</body></html>",
        L"<html><head><title>t</title></head><body lang=EN>in</body></html>tail</html>",
        L"<bodyx><body_><bodY x>a</BODY></body>",
        L"<!--<html>--><html><head>h</head><body>b</body></html><!--</html>-->",
    };
    for (const std::wstring& text : texts) ExpectSameAsPatterns(text, "table");
}

TEST_F(ElementCutEquivalence, WordClipboardFixtures) {
    const std::string fixtures = quorallion::testing::SharedFixturePath("word-clipboard", "");
    const std::wstring folder(fixtures.begin(), fixtures.end());
    int found = 0;
    for (const wchar_t* name : kWordFixtures) {
        const std::wstring text = quorallion::testing::ReadUtf8File(folder + name);
        if (text.empty()) continue;
        ++found;
        const std::string source(name, name + wcslen(name));
        ExpectSameAsPatterns(text, source);
        // As the clipboard holds it: the "HTML Format" header in front, a stray closing tag after.
        const std::wstring onClipboard =
            L"Version:1.0\r\nStartHTML:0000000105\r\n" + text + L"\r\n</html>trailing";
        ExpectSameAsPatterns(onClipboard, source + " with header");
    }
    if (found == 0)
        GTEST_SKIP() << "no Word fixtures in " << std::string(folder.begin(), folder.end());
}
