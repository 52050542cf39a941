#include <gtest/gtest.h>

#include <string>

#include "clipboard/cf_html.h"

using namespace quorallion::basClipBoard;

namespace {

std::string HeaderLine(const std::string& block, const std::string& key) {
    size_t at = block.find(key + ":");
    if (at == std::string::npos) return "";
    size_t end = block.find("\r\n", at);
    return block.substr(at, end - at);
}

}  // namespace

TEST(CFHtmlWriter, OffsetsPointAtTheDocumentAndTheFragment) {
    struct Case {
        std::string html;
        const char* endHtml;
        const char* endFragment;
    };
    const Case cases[] = {
        {"<b>x</b>", "EndHTML:00000175", "EndFragment:00000139"},
        {"\xe4\xb8\xad", "EndHTML:00000170", "EndFragment:00000134"},  // one character, 3 bytes
        {"", "EndHTML:00000167", "EndFragment:00000131"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> block = BuildCFHtml(c.html);
        ASSERT_TRUE(block.has_value());
        EXPECT_EQ(HeaderLine(*block, "EndHTML"), c.endHtml);
        EXPECT_EQ(HeaderLine(*block, "EndFragment"), c.endFragment);
        EXPECT_EQ(HeaderLine(*block, "StartHTML"), "StartHTML:00000097");
        EXPECT_EQ(HeaderLine(*block, "StartFragment"), "StartFragment:00000131");
        // The offsets are true byte offsets of the block.
        EXPECT_EQ(block->size(), 167 + c.html.size());
        EXPECT_EQ(block->compare(97, 6, "<html>"), 0);
        EXPECT_EQ(block->substr(131, c.html.size()), c.html);
        EXPECT_EQ(block->compare(131 + c.html.size(), 18, "<!--EndFragment-->"), 0);
        EXPECT_EQ(block->substr(block->size() - 7), "</html>");
    }
}

TEST(CFHtmlWriter, RefusesHtmlTooLongForEightDigitOffsets) {
    EXPECT_TRUE(BuildCFHtml(std::string(kMaxCFHtmlFragmentBytes, 'x')).has_value());
    EXPECT_FALSE(BuildCFHtml(std::string(kMaxCFHtmlFragmentBytes + 1, 'x')).has_value());
}

TEST(CFHtmlHeader, ReadsValuesOfWellFormedAndMalformedHeaders) {
    struct Case {
        const char* why;
        std::wstring text;
        std::wstring value;
    };
    const std::wstring chrome =
        L"Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000300\r\n"
        L"StartFragment:0000000141\r\nEndFragment:0000000264\r\n"
        L"SourceURL:https://example.com:8080/docs/page.html?q=1\r\n<html><body>x</body></html>";
    const Case cases[] = {
        {"browser header", chrome, L"https://example.com:8080/docs/page.html?q=1"},
        {"key in lower case", L"Version:0.9\r\nsourceurl:http://a/b\r\n<html>x</html>", L"http://a/b"},
        {"no such key", L"Version:0.9\r\nStartHTML:1\r\n<html>x</html>", L""},
        {"key only inside the document", L"Version:0.9\r\n<html>SourceURL:http://a/</html>", L""},
        {"empty value, later one taken",
         L"SourceURL:\r\nSourceURL:http://b/\r\n<body>", L"http://b/"},
        {"value running to the end loses its last character", L"SourceURL:http://ab", L"http://a"},
        {"one-character value at the end", L"SourceURL:x", L""},
        {"empty text", L"", L""},
        {"header without fields", L"<html><body>x</body></html>", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(GetCFHTMLHeaderValue(c.text, L"SourceURL"), c.value) << c.why;
}
