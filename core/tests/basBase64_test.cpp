// Base64 line layout of the platform encoder, checked against a decoder written here.
#include <gtest/gtest.h>
#include <windows.h>

#include "base64/basBase64.h"
#include "file/basFile.h"
#include "scratch_folder.h"

using namespace quorallion;
using quorallion::testing::ScratchFolder;

namespace {

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
    return bytes;
}

std::vector<uint8_t> Decode(const std::wstring& text) {
    static const std::wstring alphabet =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    for (wchar_t c : text) {
        size_t v = alphabet.find(c);
        if (v == std::wstring::npos) continue;
        bits = bits << 6 | uint32_t(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(uint8_t(bits >> count));
        }
    }
    return out;
}

// Every line 64 characters but the last, each ended by CR LF.
void ExpectLineLayout(const std::wstring& text, size_t inputSize) {
    const size_t chars = (inputSize + 2) / 3 * 4;
    const size_t lines = (chars + 63) / 64;
    ASSERT_EQ(text.size(), chars + 2 * lines) << "input " << inputSize;
    for (size_t line = 0, at = 0; line < lines; ++line) {
        size_t length = line + 1 < lines ? 64 : chars - 64 * line;
        EXPECT_EQ(text.substr(at + length, 2), L"\r\n") << "line " << line;
        EXPECT_EQ(text.find_first_of(L"\r\n", at), at + length) << "line " << line;
        at += length + 2;
    }
}

TEST(Base64, LineLayoutAndRoundTrip) {
    for (size_t size : {1u, 2u, 3u, 47u, 48u, 49u, 10000u}) {
        std::vector<uint8_t> bytes = Pattern(size);
        std::wstring text = basBase64::EncodeBytes(bytes);
        ExpectLineLayout(text, size);
        EXPECT_EQ(Decode(text), bytes) << "input " << size;
    }
}

TEST(Base64, KnownTexts) {
    EXPECT_EQ(basBase64::EncodeString(L"abc"), L"YWJj\r\n");
    const std::wstring oneLine = basBase64::EncodeBytes(Pattern(48));
    EXPECT_EQ(oneLine.size(), 66u);
    const std::wstring twoLines = basBase64::EncodeBytes(Pattern(49));
    ASSERT_EQ(twoLines.size(), 72u);
    EXPECT_EQ(twoLines.substr(68), L"==\r\n");
}

TEST(Base64, EmptyInputGivesEmptyText) {
    ScratchFolder folder;
    EXPECT_EQ(basBase64::EncodeBytes(std::vector<uint8_t>{}), L"");
    EXPECT_EQ(basBase64::EncodeString(L""), L"");
    EXPECT_EQ(basBase64::EncodeFile(folder.Write(L"empty.bin", {})), L"");
    EXPECT_EQ(basBase64::EncodeFile(folder.path() + L"missing.bin"), L"");
    EXPECT_EQ(basBase64::EncodeFile(folder.path()), L"") << "a folder is no file";
}

TEST(Base64, FileEqualsItsBytes) {
    ScratchFolder folder;
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> body = Pattern(5000);
    png.insert(png.end(), body.begin(), body.end());
    std::wstring path = folder.Write(L"\u56fe\u7247.png", png);
    EXPECT_EQ(basBase64::EncodeFile(path), basBase64::EncodeBytes(png));
}

TEST(Base64, FileThatExistsButCannotBeReadRaises) {
    ScratchFolder folder;
    const std::wstring path = folder.Write(L"held.bin", Pattern(10));
    // Another handle that shares nothing: the file is there, yet it cannot be opened.
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        basBase64::EncodeFile(path);
        ADD_FAILURE() << "no error for a file held by another handle";
    } catch (const FileError& error) {
        EXPECT_EQ(error.Number(), 70);
    }
    ::CloseHandle(held);
    EXPECT_EQ(basBase64::EncodeFile(path), basBase64::EncodeBytes(Pattern(10)));
}

}  // namespace
