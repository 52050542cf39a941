#include <gtest/gtest.h>

#include <string>

#include "clipboard/clipboard_bytes.h"

using quorallion::clipboard::TextToUtf16LeBytes;
using quorallion::clipboard::Utf16LeBytesToText;

namespace {

std::wstring FromBytes(const std::string& bytes) {
    return Utf16LeBytesToText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

TEST(ClipboardBytes, UnicodeTextStopsAtNulAndNeverReadsPastTheBlock) {
    struct Case {
        const char* why;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"terminated", std::string("a\0b\0\0\0", 6), L"ab"},
        {"block larger than the text", std::string("a\0\0\0z\0", 6), L"a"},
        {"no NUL at all", std::string("a\0b\0", 4), L"ab"},
        {"odd byte count drops the half unit", std::string("a\0b", 3), L"a"},
        {"one byte", std::string("a", 1), L""},
        {"empty", std::string(), L""},
        {"control characters kept", std::string("\x0b\0\x0c\0\x07\0", 6), L"\x0b\x0c\x07"},
        {"Chinese", std::string("\x2d\x4e\x87\x65", 4), L"\x4e2d\x6587"},
    };
    for (const Case& c : cases) EXPECT_EQ(FromBytes(c.bytes), c.text) << c.why;
    EXPECT_EQ(Utf16LeBytesToText(nullptr, 10), L"");
}

TEST(ClipboardBytes, SurrogatePairsSurviveTheRoundTrip) {
    // U+1F600 as a pair of UTF-16 units, whatever the width of wchar_t.
    const std::string bytes("\x3d\xd8\x00\xde", 4);
    std::wstring text = FromBytes(bytes);
    EXPECT_EQ(TextToUtf16LeBytes(text), bytes);
    EXPECT_EQ(text.size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}
