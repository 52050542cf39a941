// Bytes to text by charset and whole-file reading, through the platform's code pages.
#include <gtest/gtest.h>
#include <windows.h>

#include "encoding/basTextUTF.h"
#include "encoding/basUTF8ToUnicode.h"
#include "scratch_folder.h"

using namespace quorallion;
using quorallion::testing::ScratchFolder;
using Bytes = std::vector<uint8_t>;

namespace {

struct DecodeCase {
    const char* name;
    Bytes bytes;
    const wchar_t* charset;
    std::wstring expected;
};

const DecodeCase kDecodeCases[] = {
    {"ASCII in GBK", {0x41, 0x42, 0x43}, L"gbk", L"ABC"},
    {"GBK sample", {0xD6, 0xD0, 0xCE, 0xC4}, L"gbk", L"\u4E2D\u6587"},
    {"GB2312 name", {0xD6, 0xD0, 0xCE, 0xC4}, L"GB2312", L"\u4E2D\u6587"},
    {"BIG5 sample", {0xA4, 0xA4, 0xA4, 0xE5}, L"big5", L"\u4E2D\u6587"},
    {"ISO-8859-1", {0xE9, 0x41}, L"ISO-8859-1", L"\u00E9A"},
    {"UTF-8 mark wins over the charset", {0xEF, 0xBB, 0xBF, 0x41}, L"big5", L"A"},
    {"UTF-8 scan wins over the charset", {0xC3, 0xA9}, L"BIG5", L"\u00E9"},
    {"broken UTF-8 falls back to the charset", {0xC3, 0x41}, L"ISO-8859-1", L"\u00C3A"},
    {"UTF-16LE", {0xFF, 0xFE, 0x41, 0x00, 0x2D, 0x4E}, L"gbk", L"A\u4E2D"},
    {"UTF-16BE", {0xFE, 0xFF, 0x00, 0x41, 0x4E, 0x2D}, L"gbk", L"A\u4E2D"},
    {"UTF-16LE odd byte", {0xFF, 0xFE, 0x41, 0x00, 0x42}, L"", L"A\uFFFD"},
    {"UTF-16LE pair", {0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}, L"", L"\U0001F600"},
    {"UTF-32LE", {0xFF, 0xFE, 0x00, 0x00, 0x41, 0x00, 0x00, 0x00}, L"", L"A"},
    {"UTF-32BE", {0x00, 0x00, 0xFE, 0xFF, 0x00, 0x01, 0xF6, 0x00, 0x00}, L"", L"\U0001F600\uFFFD"},
    {"mark only", {0xEF, 0xBB, 0xBF}, L"gbk", L""},
    {"UTF-16BE mark only", {0xFE, 0xFF}, L"gbk", L""},
    {"empty", {}, L"gbk", L""},
};

TEST(Encoding, ByteArrayToStringTable) {
    for (const DecodeCase& c : kDecodeCases) {
        EXPECT_EQ(basUTF8ToUnicode::ByteArrayToString(c.bytes, c.charset), c.expected) << c.name;
    }
    // The scan stops at the zero byte, so what follows it does not spoil the recognition.
    std::wstring got = basUTF8ToUnicode::ByteArrayToString(Bytes{0xC3, 0xA9, 0x00, 0xFF}, L"gbk");
    EXPECT_EQ(got.substr(0, 2), (std::wstring{L'\u00E9', L'\0'}));
}

TEST(Encoding, TextToBytes) {
    EXPECT_EQ(basUTF8ToUnicode::StringToUTF8Bytes(L"\u00E9"), (Bytes{0xC3, 0xA9}));
    EXPECT_EQ(basUTF8ToUnicode::StringToUTF8Bytes(L"\U0001F600"), (Bytes{0xF0, 0x9F, 0x98, 0x80}));
    EXPECT_EQ(basUTF8ToUnicode::StringToUTF8Bytes(L""), Bytes{});
    EXPECT_EQ(basUTF8ToUnicode::StringToCharsetBytes(std::wstring(L"A\0", 2), L""), (Bytes{0x41, 0x00}));
    EXPECT_EQ(basUTF8ToUnicode::StringToCharsetBytes(L"\u4E2D\u6587", L"GBK"),
              (Bytes{0xD6, 0xD0, 0xCE, 0xC4}));
    EXPECT_EQ(basUTF8ToUnicode::StringToCharsetBytes(L"\u4E2D\u6587", L"Big5"),
              (Bytes{0xA4, 0xA4, 0xA4, 0xE5}));
    Bytes latin = basUTF8ToUnicode::StringToCharsetBytes(L"\u00E9\u4E2D", L"iso-8859-1");
    ASSERT_EQ(latin.size(), 2u);
    EXPECT_EQ(latin[0], 0xE9);  // the missing character takes the default character
}

TEST(Encoding, Utf8RoundTripKeepsEveryPlane) {
    const std::wstring text = L"a\u00E9\u4E2D\U0001F600z";
    EXPECT_EQ(basUTF8ToUnicode::ByteArrayToString(basUTF8ToUnicode::StringToUTF8Bytes(text), L"gbk"),
              text);
}

struct FileCase {
    const char* name;
    Bytes bytes;
    int32_t encodingIn;
    std::wstring expected;
    int32_t encodingOut;
};

TEST(Encoding, ReadTextFileTable) {
    ScratchFolder folder;
    const FileCase cases[] = {
        {"UTF-8 mark detected", {0xEF, 0xBB, 0xBF, 0x68, 0x69}, -1, L"hi", 1},
        {"UTF-8 without mark", {0x68, 0xC3, 0xA9}, -1, L"h\u00E9", 2},
        {"plain ASCII", {0x68, 0x69}, -1, L"hi", 0},
        {"UTF-16LE with three characters", {0xFF, 0xFE, 0x41, 0, 0x42, 0, 0x2D, 0x4E}, -1, L"AB\u4E2D", 3},
        {"UTF-16LE odd byte kept with high byte 0", {0xFF, 0xFE, 0x41, 0, 0x42}, -1, L"AB", 3},
        {"UTF-16BE odd byte dropped", {0xFE, 0xFF, 0, 0x41, 0x42}, -1, L"A", 4},
        {"only FF FE reads as UTF-32LE", {0xFF, 0xFE}, -1, L"", 5},
        {"UTF-32BE not decoded", {0, 0, 0xFE, 0xFF, 0, 0, 0, 0x41}, -1, L"", 6},
        {"mark only", {0xEF, 0xBB, 0xBF}, -1, L"", 1},
        {"UTF-16BE mark only", {0xFE, 0xFF}, -1, L"", 4},
        {"given code wins and keeps the mark bytes", {0xFF, 0xFE, 0x41, 0x00}, 4, L"\uFFFE\u4100", 4},
        {"given code equal to the mark skips it", {0xFF, 0xFE, 0x41, 0x00}, 3, L"A", 3},
        {"empty file", {}, -1, L"", -1},
        {"code 7 refused", {0x41}, 7, L"", 7},
        {"code -2 refused", {0x41}, -2, L"", -2},
    };
    int index = 0;
    for (const FileCase& c : cases) {
        std::wstring path = folder.Write(L"case" + std::to_wstring(index++) + L"\u4E2D.txt", c.bytes);
        int32_t encoding = c.encodingIn;
        EXPECT_EQ(basTextUTF::ReadTextFile(path, encoding), c.expected) << c.name;
        EXPECT_EQ(encoding, c.encodingOut) << c.name;
    }
    int32_t encoding = -1;
    EXPECT_EQ(basTextUTF::ReadTextFile(folder.path() + L"missing.txt", encoding), L"");
}

TEST(Encoding, ReadTextFileGivenAnsiDecodesTheMarkToo) {
    ScratchFolder folder;
    std::wstring path = folder.Write(L"bom.txt", {0xEF, 0xBB, 0xBF, 0x68, 0x69});
    int32_t encoding = 0;
    std::wstring text = basTextUTF::ReadTextFile(path, encoding);
    EXPECT_EQ(encoding, 0);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(text.size() - 2), L"hi");
    EXPECT_NE(text, L"hi") << "the mark bytes were decoded as ANSI text";
}

}  // namespace
