// Large binary files on real files under Wine: positions past 4 GiB on a sparse file, typed
// values as their little-endian images, the error table and its closing of the file.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "hugefile/clsHugeBinaryFile.h"
#include "scratch_folder.h"

namespace {

using quorallion::clsHugeBinaryFile;
using quorallion::LibraryError;
using quorallion::testing::ScratchFolder;

constexpr int64_t kGiB = 1024LL * 1024 * 1024;

struct Raised {
    long number = 0;
    std::wstring source, description;
};

Raised ErrorOf(const std::function<void()>& call) {
    Raised raised;
    try {
        call();
    } catch (const LibraryError& e) {
        raised = {e.Number(), e.Source(), e.Description()};
    }
    return raised;
}

std::vector<uint8_t> FileBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(4096);
    DWORD read = 0;
    ::ReadFile(h, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    bytes.resize(read);
    ::CloseHandle(h);
    return bytes;
}

TEST(clsHugeBinaryFile, OpeningAndClosing) {
    ScratchFolder folder;
    clsHugeBinaryFile file;
    const std::wstring path = folder.path() + L"\u4e2d\u6587 huge.bin";
    EXPECT_FALSE(file.OpenFile(path, false, false)) << "a missing file without create is no error";
    EXPECT_FALSE(file.IsOpen());

    ASSERT_TRUE(file.OpenFile(path, true, false));
    EXPECT_EQ(file.FileSize(), 0);
    EXPECT_EQ(file.SeekRelative(0), 0);
    EXPECT_EQ(file.FileName(), path);
    EXPECT_TRUE(file.EndOfFile());

    Raised twice = ErrorOf([&] { file.OpenFile(path, false, false); });
    EXPECT_EQ(twice.number, 45601);
    EXPECT_EQ(twice.description, L"File already open.");
    EXPECT_FALSE(file.IsOpen()) << "the error closed the open file";

    Raised noFolder = ErrorOf([&] { file.OpenFile(folder.path() + L"missing\\x.bin", true, false); });
    EXPECT_EQ(noFolder.number, 45602);
    EXPECT_EQ(noFolder.source, L"HugeBinaryFile");
    EXPECT_EQ(noFolder.description.rfind(L"Error opening file.\r\nError 3\r\n", 0), 0u) << noFolder.description;
}

// Read-only files only: a read-only folder, a writable file and a missing path are not.
TEST(clsHugeBinaryFile, IsReadOnlyFile) {
    ScratchFolder folder;
    const std::wstring locked = folder.Write(L"locked.bin", {1}), open = folder.Write(L"open.bin", {1});
    const std::wstring lockedFolder = folder.path() + L"locked folder";
    ASSERT_TRUE(::CreateDirectoryW(lockedFolder.c_str(), nullptr));
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW(lockedFolder.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    const std::pair<std::wstring, bool> cases[] = {
        {locked, true}, {open, false}, {lockedFolder, false}, {folder.path() + L"missing.bin", false}};
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(clsHugeBinaryFile::IsReadOnlyFile(path), expected) << testing::PrintToString(path);
    ::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesW(lockedFolder.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(clsHugeBinaryFile, ClosedFileRaises45607) {
    clsHugeBinaryFile file;
    uint8_t buffer[4] = {};
    int16_t word = 0;
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"AutoFlush", [&] { file.AutoFlush(); }},
        {"FileHandle", [&] { file.FileHandle(); }},
        {"FileName", [&] { file.FileName(); }},
        {"FileSize", [&] { file.FileSize(); }},
        {"EOF", [&] { file.EndOfFile(); }},
        {"CloseFile", [&] { file.CloseFile(); }},
        {"Flush", [&] { file.Flush(); }},
        {"SeekAbsolute", [&] { file.SeekAbsolute(0); }},
        {"SeekEOF", [&] { file.SeekEOF(); }},
        {"GetData", [&] { file.GetData(buffer, 0, 1); }},
        {"GetDataWord", [&] { file.GetDataWord(word); }},
        {"PutData count 0", [&] { file.PutData(buffer, 9, 0); }},
        {"PutDataString", [&] { file.PutDataString(L"x"); }},
    };
    for (const auto& [name, call] : calls) {
        Raised raised = ErrorOf(call);
        EXPECT_EQ(raised.number, 45607) << name;
        EXPECT_EQ(raised.description, L"File must be open for this operation.") << name;
    }
}

// A file of 5 GiB that takes no room: sparse where the file system can, a plain extension
// where it already is (Wine on a Linux file system).
TEST(clsHugeBinaryFile, PositionsPast4GiB) {
    ScratchFolder folder;
    const std::wstring path = folder.path() + L"sparse.bin";
    clsHugeBinaryFile file;
    ASSERT_TRUE(file.OpenFile(path, true, false));
    DWORD ignored = 0;
    ::DeviceIoControl(file.FileHandle(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);

    EXPECT_EQ(file.SetFileSize(5 * kGiB), 5 * kGiB);
    EXPECT_EQ(file.FileSize(), 5 * kGiB);
    EXPECT_EQ(file.SeekRelative(0), 5 * kGiB) << "the position is at the new end";

    const int64_t at = 4 * kGiB + 7;
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(file.PutDataAtPosition(bytes, 1, 4, at), 4);
    EXPECT_EQ(file.SeekRelative(-4), at);
    file.PutDataLongWord(0x11223344);
    EXPECT_EQ(file.SeekRelative(0), at + 4);

    uint8_t back[8] = {};
    EXPECT_EQ(file.GetDataFromPosition(at - 2, back, 0, 8), 8);
    const uint8_t expected[] = {0, 0, 0x44, 0x33, 0x22, 0x11, 0, 0};
    EXPECT_EQ(std::memcmp(back, expected, 8), 0);
    EXPECT_EQ(file.SeekRelative(0), at + 6);

    int32_t quad[2] = {-1, -1};
    file.PutDataQuadWord(std::span<const int32_t>(std::vector<int32_t>{0x55667788, 1}));
    file.GetDataQuadWordFromPosition(at + 6, quad);
    EXPECT_EQ(quad[0], 0x55667788);
    EXPECT_EQ(quad[1], 1);

    EXPECT_EQ(file.SeekEOF(), 5 * kGiB);
    EXPECT_EQ(file.SetFileSize(4 * kGiB + 100), 4 * kGiB + 100) << "truncation returns the new size";
    EXPECT_EQ(file.SeekRelative(0), 4 * kGiB + 100);
    uint8_t tail[16] = {};
    EXPECT_EQ(file.GetDataFromPosition(4 * kGiB + 96, tail, 0, 16), 4) << "a short read is no error";
    EXPECT_EQ(file.SeekRelative(0), 4 * kGiB + 100);
    file.CloseFile();

    ASSERT_TRUE(file.OpenFile(path, false, true));
    EXPECT_EQ(file.FileSize(), 4 * kGiB + 100);
    int32_t value = 0;
    file.GetDataLongWordFromPosition(at, value);
    EXPECT_EQ(value, 0x11223344);
    file.CloseFile();
    ::DeleteFileW(path.c_str());
}

TEST(clsHugeBinaryFile, TypedValuesAreLittleEndianImages) {
    ScratchFolder folder;
    const std::wstring path = folder.path() + L"typed.bin";
    clsHugeBinaryFile file;
    ASSERT_TRUE(file.OpenFile(path, true, false));
    file.AutoFlush(true);
    file.PutDataWord(-2);
    file.PutDataLongWord(0x01020304);
    file.PutDataSingle(1.5f);
    file.PutDataDouble(-0.25);
    CY money{};
    money.int64 = 123456;  // 12.3456
    file.PutDataCurrency(money);
    file.PutDataDate(45000.5);
    EXPECT_EQ(file.PutDataString(L"abc"), 3);
    EXPECT_EQ(file.SeekRelative(0), 2 + 4 + 4 + 8 + 8 + 8 + 3);
    EXPECT_TRUE(file.EndOfFile()) << "measured against the size at open, 0";

    const std::vector<uint8_t> bytes = FileBytes(path);
    ASSERT_EQ(bytes.size(), 37u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6),
              (std::vector<uint8_t>{0xfe, 0xff, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 18),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xd0, 0xbf}));
    EXPECT_EQ(std::string(bytes.begin() + 34, bytes.end()), "abc");

    file.SeekAbsolute(0);
    int16_t word = 0;
    int32_t longWord = 0;
    float single = 0;
    double dbl = 0, date = 0;
    CY cy{};
    file.GetDataWord(word);
    file.GetDataLongWord(longWord);
    file.GetDataSingle(single);
    file.GetDataDouble(dbl);
    file.GetDataCurrency(cy);
    file.GetDataDate(date);
    std::wstring text = L"???";
    EXPECT_EQ(file.GetDataString(text), 3);
    EXPECT_EQ(word, -2);
    EXPECT_EQ(longWord, 0x01020304);
    EXPECT_EQ(single, 1.5f);
    EXPECT_EQ(dbl, -0.25);
    EXPECT_EQ(cy.int64, 123456);
    EXPECT_EQ(date, 45000.5);
    EXPECT_EQ(text, L"abc");
    file.CloseFile();

    // A file grown after opening: EOF still measures against the size it had at open.
    ASSERT_TRUE(file.OpenFile(path, false, false));
    file.SeekEOF();
    file.PutDataLongWord(7);
    file.SeekAbsolute(37);
    EXPECT_TRUE(file.EndOfFile());
    file.SeekAbsolute(36);
    EXPECT_FALSE(file.EndOfFile());
}

TEST(clsHugeBinaryFile, ErrorTableClosesTheFile) {
    ScratchFolder folder;
    const std::wstring path = folder.path() + L"errors.bin";
    uint8_t four[4] = {};
    const uint8_t one[1] = {9};
    struct Case {
        const char* why;
        std::function<void(clsHugeBinaryFile&)> call;
        long number;
        const wchar_t* description;  // the start of it
    };
    const Case cases[] = {
        {"start one past the end", [&](clsHugeBinaryFile& f) { f.GetData(four, 4, 1); }, 45610,
         L"Attempt to read or write with a buffer-Index out of bounds"},
        {"negative start", [&](clsHugeBinaryFile& f) { f.PutData(four, -1, 1); }, 45610, L"Attempt to read or write"},
        {"count one more than the room", [&](clsHugeBinaryFile& f) { f.GetData(four, 1, 4); }, 45608,
         L"Attempt to read more bytes than the size of the buffer you provided to read into"},
        {"negative count", [&](clsHugeBinaryFile& f) { f.GetData(four, 0, -1); }, 45608, L"Attempt to read more"},
        {"negative count from a position", [&](clsHugeBinaryFile& f) { f.GetDataFromPosition(0, four, 0, -5); },
         45608, L"Attempt to read more"},
        {"empty text to read into", [&](clsHugeBinaryFile& f) { std::wstring t; f.GetDataString(t); }, 45608,
         L"Attempt to read more"},
        {"write past the span", [&](clsHugeBinaryFile& f) { f.PutData(four, 2, 3); }, 45609,
         L"Attempt to write more bytes than the size of the buffer you provided to write from"},
        {"quad word of one element",
         [&](clsHugeBinaryFile& f) { f.PutDataQuadWord(std::span<const int32_t>(std::vector<int32_t>{1})); },
         45609, L"Attempt to write more"},
        {"empty text to write", [&](clsHugeBinaryFile& f) { f.PutDataString(L""); }, 45609,
         L"Attempt to write more"},
        {"4-byte value with 3 bytes left",
         [&](clsHugeBinaryFile& f) { int32_t v; f.GetDataLongWordFromPosition(3, v); }, 45605, L"Read failure."},
        {"seek before the start", [&](clsHugeBinaryFile& f) { f.SeekAbsolute(-1); }, 45603, L"Seek Error.\r\nError "},
        {"relative seek before the start", [&](clsHugeBinaryFile& f) { f.SeekRelative(-100); }, 45603,
         L"Seek Error."},
    };
    for (const Case& c : cases) {
        clsHugeBinaryFile file;
        ASSERT_TRUE(file.OpenFile(path, true, false));
        file.PutData(std::vector<uint8_t>{1, 2, 3, 4, 5, 6}, 0, 6);
        Raised raised = ErrorOf([&] { c.call(file); });
        EXPECT_EQ(raised.number, c.number) << c.why;
        EXPECT_EQ(raised.source, L"HugeBinaryFile") << c.why;
        EXPECT_EQ(raised.description.rfind(c.description, 0), 0u) << c.why << ": " << testing::PrintToString(raised.description);
        EXPECT_FALSE(file.IsOpen()) << c.why << ": every error but 45607 closes the file";
    }

    clsHugeBinaryFile file;
    ASSERT_TRUE(file.OpenFile(path, false, false));
    EXPECT_EQ(file.PutData(four, 99, 0), 0) << "count 0 returns 0 before the index check";
    EXPECT_EQ(file.PutData(one, 0, -3), 0);
    EXPECT_TRUE(file.IsOpen());
    file.CloseFile();

    ASSERT_TRUE(file.OpenFile(path, false, true));
    Raised readOnly = ErrorOf([&] { file.PutData(one, 0, 1); });
    EXPECT_EQ(readOnly.number, 45606);
    EXPECT_EQ(readOnly.description.rfind(L"Write failure.\r\nError 5\r\n", 0), 0u)
        << testing::PrintToString(readOnly.description);
}

}  // namespace
