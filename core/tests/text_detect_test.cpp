// Recognition of byte-order marks and UTF-8, and the charset names, as tables of byte arrays.
#include <gtest/gtest.h>

#include "encoding/basTextUTF.h"
#include "encoding/basUTF8ToUnicode.h"
#include "encoding/utf_units.h"

using namespace quorallion;
using Bytes = std::vector<uint8_t>;

namespace {

struct DetectCase {
    const char* name;
    Bytes bytes;
    int32_t encoding;
    int32_t bomLength;
};

const DetectCase kDetectCases[] = {
    {"UTF-32LE mark wins over UTF-16LE", {0xFF, 0xFE, 0x00, 0x00, 0x41, 0, 0, 0}, 5, 4},
    {"UTF-32BE mark", {0x00, 0x00, 0xFE, 0xFF}, 6, 4},
    {"UTF-16LE mark", {0xFF, 0xFE, 0x41, 0x00}, 3, 2},
    {"UTF-16BE mark", {0xFE, 0xFF, 0x00, 0x41}, 4, 2},
    {"UTF-8 mark", {0xEF, 0xBB, 0xBF, 0x41}, 1, 3},
    {"two bytes FF FE pad to UTF-32LE", {0xFF, 0xFE}, 5, 4},
    {"mark only", {0xEF, 0xBB, 0xBF}, 1, 3},
    {"plain ASCII is not UTF-8", {'a', 'b', 'c'}, 0, 0},
    {"UTF-8 without mark", {0xC3, 0xA9}, 2, 0},
    {"three-byte sequence", {'x', 0xE4, 0xB8, 0xAD}, 2, 0},
    {"cut sequence at the end", {'a', 0xC3}, 0, 0},
    {"continuation where a lead belongs", {0x80, 'a'}, 0, 0},
    {"lead followed by ASCII", {0xC3, 'a'}, 0, 0},
    {"scan stops at the zero byte", {0xC3, 0xA9, 0x00, 0xFF}, 2, 0},
    {"zero byte first hides everything", {0x00, 0xFF, 0xFE}, 0, 0},
    {"GBK bytes are not UTF-8", {0xD6, 0xD0, 0xCE, 0xC4}, 0, 0},
    {"BIG5 bytes are not UTF-8", {0xA4, 0xA4, 0xA4, 0xE5}, 0, 0},
    {"lead FF takes seven continuations", {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, 2, 0},
    {"empty", {}, 0, 0},
};

TEST(TextDetect, DetectEncodingTable) {
    for (const DetectCase& c : kDetectCases) {
        int32_t bomLength = 0xdead;
        EXPECT_EQ(basTextUTF::DetectEncoding(c.bytes, bomLength), c.encoding) << c.name;
        EXPECT_EQ(bomLength, c.bomLength) << c.name;
    }
}

TEST(TextDetect, ShiftByteLeftDropsTopBit) {
    EXPECT_EQ(basTextUTF::ShiftByteLeft(0xC3), 0x86);
    EXPECT_EQ(basTextUTF::ShiftByteLeft(0x80), 0x00);
    EXPECT_EQ(basTextUTF::ShiftByteLeft(0x7F), 0xFE);
}

TEST(TextDetect, CharsetNamesAreUpperCasedNotTrimmed) {
    const std::pair<const wchar_t*, int32_t> cases[] = {
        {L"gbk", 936}, {L"GBK", 936}, {L"Gbk", 936},     {L"gb2312", 936}, {L"big5", 950},
        {L"utf-8", 65001}, {L"iso-8859-1", 28591}, {L" GBK", 0}, {L"utf8", 0}, {L"", 0},
    };
    for (const auto& [name, codePage] : cases)
        EXPECT_EQ(basUTF8ToUnicode::CharsetToCodePage(name), codePage)
            << ::testing::PrintToString(std::wstring(name));
}

TEST(TextDetect, Utf16DecodingKeepsPairsAndHandlesOddByte) {
    const Bytes le = {0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x42};  // A, U+1F600, odd 0x42
    std::wstring smile;
    utf::AppendCodePoint(smile, 0x1F600);
    EXPECT_EQ(utf::DecodeUtf16(le.data(), le.size(), false, utf::OddByte::kAsUnit),
              L"A" + smile + L"B");
    EXPECT_EQ(utf::DecodeUtf16(le.data(), le.size(), false, utf::OddByte::kDropped), L"A" + smile);
    EXPECT_EQ(utf::DecodeUtf16(le.data(), le.size(), false, utf::OddByte::kReplaced),
              L"A" + smile + L"\uFFFD");
    const Bytes be = {0x00, 0x41, 0x4E, 0x2D, 0x00};
    EXPECT_EQ(utf::DecodeUtf16(be.data(), be.size(), true, utf::OddByte::kAsUnit), L"A\u4E2D");
}

TEST(TextDetect, Utf32DecodingRefusesNonScalarValues) {
    const Bytes le = {0x00, 0xF6, 0x01, 0x00, 0x00, 0xD8, 0x00, 0x00, 0x00, 0x00, 0x11, 0x00, 0x41};
    std::wstring expected;
    utf::AppendCodePoint(expected, 0x1F600);
    expected += L"\uFFFD\uFFFD\uFFFD";  // surrogate, above U+10FFFF, cut last group
    EXPECT_EQ(utf::DecodeUtf32(le.data(), le.size(), false), expected);
    const Bytes be = {0x00, 0x00, 0x00, 0x41};
    EXPECT_EQ(utf::DecodeUtf32(be.data(), be.size(), true), L"A");
}

TEST(TextDetect, CodePointsCombineSurrogatePairs) {
    std::wstring text = L"a";
    utf::AppendCodePoint(text, 0x10437);
    EXPECT_EQ(utf::CodePoints(text), (std::u32string{U'a', 0x10437}));
}

}  // namespace
