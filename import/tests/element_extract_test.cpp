// The one-element cuts on the inputs where a hand-written scan most easily parts from the
// pattern it replaces: the tag's name running on, no '>', case, repeated closing tags.
#include <gtest/gtest.h>

#include "html/element_extract.h"

using namespace quorallion::html;

namespace {

struct Case {
    const wchar_t* note;
    std::wstring text;
    std::wstring expected;
};

void ExpectCuts(const ElementCut& cut, const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(ExtractElement(c.text, cut), c.expected) << c.note << ": " << c.text;
}

}  // namespace

TEST(ElementExtract, HtmlElementToTheLastClosingTag) {
    ExpectCuts(kHtmlElementToLastClose, {
        {L"no tag", L"Version:1.0\r\nplain", L"Version:1.0\r\nplain"},
        {L"empty", L"", L""},
        {L"text around", L"hdr<html a=1>x</html>tail", L"<html a=1>x</html>"},
        {L"upper case", L"h<HTML>x</HtMl>t", L"<HTML>x</HtMl>"},
        {L"repeated closing", L"<html>a</html>b</html>c", L"<html>a</html>b</html>"},
        {L"nested", L"<html><html>in</html></html>", L"<html><html>in</html></html>"},
        {L"name runs on", L"<htmlx>a</html>", L"<htmlx>a</html>"},
        {L"later whole name", L"<html_x>a<html-b>c</html>d", L"<html-b>c</html>"},
        {L"digit runs on", L"<html5>a</html>", L"<html5>a</html>"},
        {L"no '>'", L"<html a</html", L"<html a</html"},
        {L"'>' only in the closing tag", L"<html </html>", L"<html </html>"},
        {L"no closing tag", L"<html>abc", L"<html>abc"},
        {L"closing tag inside the opening one", L"<html </html> x>y", L"<html </html> x>y"},
        {L"closing tag before the opening one", L"</html><html>x", L"</html><html>x"},
        {L"empty element", L"a<html></html>b", L"<html></html>"},
        {L"name at the end", L"abc<html", L"abc<html"},
        {L"closing tag with a space", L"<html>x</html >", L"<html>x</html >"},
        {L"first '>' ends the tag", L"<html a='>'>x</html>", L"<html a='>'>x</html>"},
        {L"line breaks", L"\r\n<html\r\nlang=en>\r\n</html>\r\n", L"<html\r\nlang=en>\r\n</html>"},
    });
}

TEST(ElementExtract, HtmlElementToTheFirstClosingTag) {
    ExpectCuts(kHtmlElementToFirstClose, {
        {L"repeated closing", L"<html>a</html>b</html>c", L"<html>a</html>"},
        {L"nested", L"<html><html>in</html></html>", L"<html><html>in</html>"},
        {L"name runs on", L"<htmlx>a</html>", L"<htmlx>a</html>"},
        {L"later whole name", L"<htmlx>a<HTML>b</HTML>c</html>", L"<HTML>b</HTML>"},
        {L"no closing tag", L"x<html>", L"x<html>"},
        {L"no tag", L"plain", L"plain"},
    });
}

TEST(ElementExtract, BodyContent) {
    ExpectCuts(kBodyContentAnyName, {
        {L"text around", L"<html><body lang=EN>in</body></html>", L"in"},
        {L"name may run on", L"<bodyx>in</body>", L"in"},
        {L"first closing", L"<body>a</body>b</body>", L"a"},
        {L"empty content", L"x<body></body>y", L""},
        {L"no '>'", L"<body", L"<body"},
        {L"no closing tag", L"<body>abc", L"<body>abc"},
        {L"upper case", L"<BODY>a</BODY>", L"a"},
    });
    ExpectCuts(kBodyContent, {
        {L"name runs on", L"<bodyx>a</body>", L"<bodyx>a</body>"},
        {L"later whole name", L"<body_1>a<body>b</body>", L"b"},
        {L"whole name at the end", L"<body", L"<body"},
        {L"empty content", L"<body\t></BODY>", L""},
    });
    ExpectCuts(kHeadContent, {
        {L"head", L"<html><head><style>p{}</style></head><body></body>", L"<style>p{}</style>"},
        {L"header is another tag", L"<header>a</head>", L"<header>a</head>"},
        {L"no head", L"<html><body>x</body></html>", L"<html><body>x</body></html>"},
    });
}

TEST(ElementExtract, WideCharactersAroundTheTag) {
    // Non-ASCII letters are no word characters for the name's end and never match the name.
    const std::wstring chinese = L"\x4e2d\x6587";
    EXPECT_EQ(ExtractElement(L"<html" + chinese + L">a</html>", kHtmlElementToLastClose),
              L"<html" + chinese + L">a</html>");
    EXPECT_EQ(ExtractElement(L"<body>" + chinese + L"</body>", kBodyContent), chinese);
}

TEST(ElementExtract, FindsTheKeptRange) {
    const std::optional<TextRange> range = FindElementCut(L"ab<body>cd</body>", kBodyContent);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->start, 8u);
    EXPECT_EQ(range->length, 2u);
    EXPECT_FALSE(FindElementCut(L"ab<body>cd", kBodyContent).has_value());
}
