// Word's clipboard HTML through the clean-up: what must go and what must stay, on the shapes Word
// writes (small hand-made ones and real Word output from the shared fixtures).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <fstream>
#include <sstream>

#include "shared_fixtures.h"
#include "word/clsOfficeWord.h"

using quorallion::clsOfficeWord;

namespace {

// CoInitialize for the pattern engine's objects.
class WordCleanup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }

    struct Parts {
        std::wstring css, body;
    };
    // Splits the result into its style text and its body content, checking the frame.
    static Parts Split(const std::wstring& result) {
        Parts parts;
        const std::wstring styleOpen = L"<style>\r\n", middle = L"\r\n</style><body>",
                           bodyClose = L"</body>";
        EXPECT_EQ(result.rfind(styleOpen, 0), 0u);
        size_t mid = result.find(middle);
        EXPECT_NE(mid, std::wstring::npos);
        EXPECT_GE(result.size(), bodyClose.size());
        EXPECT_EQ(result.substr(result.size() - bodyClose.size()), bodyClose);
        if (mid == std::wstring::npos) return parts;
        parts.css = result.substr(styleOpen.size(), mid - styleOpen.size());
        size_t bodyStart = mid + middle.size();
        parts.body = result.substr(bodyStart, result.size() - bodyClose.size() - bodyStart);
        return parts;
    }
};

bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

std::wstring ReadUtf8Fixture(const std::string& name) {
    std::ifstream in(quorallion::testing::SharedFixturePath("word-clipboard", name), std::ios::binary);
    if (!in) return L"";
    std::stringstream content;
    content << in.rdbuf();
    std::string utf8 = content.str();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
    return text;
}

const std::wstring kChinese = L"\x4e2d\x6587\x6bb5\x843d";

// Head and body of a small document the way Word writes them.
std::wstring WordDocument(const std::wstring& styles, const std::wstring& body,
                          const std::wstring& headExtra = L"") {
    return L"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n<head>\r\n"
           L"<meta name=ProgId content=Word.Document>\r\n"
           L"<!--[if gte mso 9]><xml><o:DocumentProperties><o:Author>me</o:Author>"
           L"</o:DocumentProperties></xml><![endif]-->\r\n" +
           headExtra + L"<style>\r\n<!--\r\n" + styles + L"\r\n-->\r\n</style>\r\n</head>\r\n"
           L"<body lang=ZH-CN style='tab-interval:21.0pt'>\r\n" + body + L"\r\n</body>\r\n</html>";
}

}  // namespace

TEST_F(WordCleanup, StyleRulesLoseOfficeOnlyRulesAndProperties) {
    const std::wstring styles =
        L"/* Font Definitions */\r\n"
        L"@font-face\r\n\t{font-family:\"Cambria Math\";\r\n\tpanose-1:2 4 5 3 5 4 6 3 2 4;}\r\n"
        L"/* Style Definitions */\r\n"
        L"p.MsoNormal, li.MsoNormal\r\n\t{mso-style-unhide:no;\r\n\tmso-style-parent:\"\";\r\n"
        L"\tmargin:0cm;\r\n\tfont-size:10.5pt;\r\n\tmso-bidi-font-size:11.0pt;}\r\n"
        L"p.MsoListParagraph\r\n\t{mso-style-priority:34;\r\n\tmso-style-qformat:yes;}\r\n"
        L"st1\\:*{behavior:url(#ieooui) }\r\n"
        L"v\\:* {behavior:url(#default#VML);}\r\n"
        L".shape {behavior:url(#default#VML);}\r\n"
        L"@list l0\r\n\t{mso-list-id:1;\r\n\tmso-list-type:hybrid;}\r\n"
        L"@list l0:level1\r\n\t{mso-level-text:\"%1.\";\r\n\tmso-level-tab-stop:none;}\r\n"
        L"table.MsoNormalTable\r\n\t{mso-style-name:\"Normal Table\";\r\n\tborder:solid 1px;}";
    Parts parts = Split(clsOfficeWord().OptimizeHTML(WordDocument(styles, L"<p>x</p>")));
    const std::wstring css = parts.css;
    for (const wchar_t* gone : {L"mso-", L"@font-face", L"@list", L"behavior", L"/*", L"<!--",
                                L"-->", L"MsoListParagraph", L"st1\\:", L"<style", L"\r\n\r\n"})
        EXPECT_FALSE(Has(css, gone)) << "still there: " << ::testing::PrintToString(std::wstring(gone))
                                     << "\n" << ::testing::PrintToString(css);
    EXPECT_TRUE(Has(css, L"p.MsoNormal, li.MsoNormal {margin:0cm;font-size:10.5pt;}"))
        << ::testing::PrintToString(css);
    EXPECT_TRUE(Has(css, L"table.MsoNormalTable {border:solid 1px;}"));
    EXPECT_NE(css.front(), L'\r');
    EXPECT_EQ(css.back(), L'}');
}

TEST_F(WordCleanup, BodyKeepsContentAndDropsOfficeMarkup) {
    struct Case {
        const char* why;
        std::wstring body;
        std::vector<std::wstring> kept;
        std::vector<std::wstring> gone;
    };
    const Case cases[] = {
        {"empty o:p marks and plain comments",
         L"<p class=MsoNormal>" + kChinese + L"<o:p></o:p></p><p><o:p>&nbsp;</o:p></p><!-- note -->",
         {L"<p class=MsoNormal>" + kChinese + L"</p>", L"<p></p>"}, {L"o:p", L"note"}},
        {"drawings: VML version goes, picture stays",
         L"<p><!--[if gte vml 1]><v:shape id=\"s\"><v:imagedata src=\"a.png\"/></v:shape><![endif]-->"
         L"<![if !vml]><img width=20 height=20 src=\"clip_image001.png\" alt=\"pic\"><![endif]></p>",
         {L"<p><img width=20 height=20 src=\"clip_image001.png\" alt=\"pic\"></p>"},
         {L"v:shape", L"<![if", L"<![endif]>"}},
        {"equation editor version goes",
         L"<p>E<!--[if gte msEquation 12]><m:oMath>x</m:oMath><![endif]-->=mc</p>", {L"<p>E=mc</p>"}, {L"oMath"}},
        {"table with misaligned-columns rows",
         L"<table class=MsoTableGrid><tr><td>" + kChinese + L"</td></tr>"
         L"<![if !supportMisalignedColumns]><tr height=0><td width=100></td></tr><![endif]>"
         L"<![if supportMisalignedColumns]><tr><td>alt</td></tr><![endif]></table>",
         {L"<td>" + kChinese + L"</td>", L"<tr height=0><td width=100></td></tr></table>"},
         {L"alt", L"supportMisalignedColumns"}},
        {"list items keep their text, mso conditional goes",
         L"<p class=MsoListParagraph><![if !supportLists]><span>1.</span><![endif]>Item1</p>"
         L"<!--[if mso & !supportInlineShapes]><v:shape/><![endif]--><p>Item2</p>",
         {L"Item1", L"<p>Item2</p>"}, {L"v:shape"}},
        {"ole link anchors and named anchors unwrapped without internal links",
         L"<p><a name=\"OLE_LINK1\">linked</a> <a name=\"_Toc1\">heading</a></p>",
         {L"<p>linked heading</p>"}, {L"<a"}},
        {"named anchors stay when the body links to them",
         L"<p><a href=\"#_Toc1\">Contents</a></p><h1><a name=\"_Toc1\">Heading</a></h1>",
         {L"<a name=\"_Toc1\">Heading</a>", L"<a href=\"#_Toc1\">Contents</a>"}, {}},
        {"nested empty wrappers disappear",
         L"<p>a<span style='x'><b><i></i></b></span><font face=x><span></span></font>b</p>",
         {L"<p>ab</p>"}, {L"<span", L"<b", L"<font"}},
        {"smart tags unwrapped, one level per clean-up",
         L"<p><st1:City w:st=\"on\">Paris</st1:City> <st2:place><st1:City>Rome</st1:City></st2:place></p>",
         {L"<p>Paris <st1:City>Rome</st1:City></p>"}, {L"st2:place"}},
        {"bare span around a text span",
         L"<p><span><span lang=EN>word</span></span></p>", {L"<p><span lang=EN>word</span></p>"}, {}},
    };
    for (const Case& c : cases) {
        Parts parts = Split(clsOfficeWord().OptimizeHTML(WordDocument(L"p {margin:0}", c.body)));
        for (const std::wstring& kept : c.kept)
            EXPECT_TRUE(Has(parts.body, kept)) << c.why << ": lost " << ::testing::PrintToString(kept)
                                               << "\n" << ::testing::PrintToString(parts.body);
        for (const std::wstring& gone : c.gone)
            EXPECT_FALSE(Has(parts.body, gone)) << c.why << ": kept " << ::testing::PrintToString(gone);
        EXPECT_FALSE(Has(parts.body, L"<body")) << c.why;
        EXPECT_FALSE(Has(parts.body, L"DocumentProperties")) << c.why;
    }
}

TEST_F(WordCleanup, EdgeShapesOfTheInput) {
    EXPECT_EQ(clsOfficeWord().OptimizeHTML(L""), L"<style>\r\n\r\n</style><body></body>");
    // Without head and body the whole text is both.
    std::wstring result = clsOfficeWord().OptimizeHTML(L"<style>p {color:red}</style><p>x</p>");
    EXPECT_EQ(result, L"<style>\r\np {color:red}\r\n</style><body><style>p {color:red}</style><p>x</p></body>");
}

TEST_F(WordCleanup, RealWordClipboardHtml) {
    struct Case {
        const char* file;
        std::vector<std::wstring> kept;
    };
    const Case cases[] = {
        {"basic-styles-bold-within-text.html", {L"Some text", L"with bold</b>."}},
        {"bookmark-other.html", {L"Link (not a bookmark)."}},
        {"image-alternative-text.html", {L"<img"}},
        {"link-within-text.html", {L"href=\"https://ckeditor.com/\">link</a>", L"Regular"}},
        {"list-multiple.html", {L"Item1"}},
        {"list-nested.html", {L"A1"}},
        {"list-simple.html", {L"Item1"}},
        {"spacing-simple.html", {L"Foo", L"Bar"}},
    };
    int read = 0;
    for (const Case& c : cases) {
        const std::wstring input = ReadUtf8Fixture(c.file);
        if (input.empty()) continue;
        ++read;
        Parts parts = Split(clsOfficeWord().OptimizeHTML(input));
        for (const wchar_t* gone : {L"mso-", L"@list", L"@font-face", L"<!--"})
            EXPECT_FALSE(Has(parts.css, gone)) << c.file << " css keeps " << ::testing::PrintToString(std::wstring(gone));
        // Word's list-number wrappers (<![if !supportLists]>) are not among the clean-up's steps.
        for (const wchar_t* gone : {L"<!--[if", L"<![if !vml]>", L"<o:p></o:p>", L"<head", L"StartFragment"})
            EXPECT_FALSE(Has(parts.body, gone)) << c.file << " body keeps " << ::testing::PrintToString(std::wstring(gone));
        for (const std::wstring& kept : c.kept)
            EXPECT_TRUE(Has(parts.body, kept)) << c.file << " lost " << ::testing::PrintToString(kept);
        EXPECT_TRUE(Has(parts.css, L"MsoNormal")) << c.file;
    }
    if (read == 0) GTEST_SKIP() << "Word fixtures are not on this machine";
}
