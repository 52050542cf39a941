// clsClipboard against the real clipboard of the test's Wine session.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <stdexcept>

#include "clipboard/clsClipboard.h"
#include "clipboard/clsFileList.h"
#include "clipboard_fill.h"

using quorallion::clsClipboard;
using namespace quorallion::testing;

namespace {

const std::vector<uint8_t> kPoison = {0xde, 0xad, 0xbe, 0xef};

class ClipboardAccess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EmptyTheClipboard()); }
    void TearDown() override { EmptyTheClipboard(); }

    // Reads one format through a fresh instance, the way every caller does.
    static bool ReadText(UINT format, std::wstring& text) {
        clsClipboard clipboard;
        if (!clipboard.ClipboardOpen(nullptr)) return false;
        return clipboard.GetTextData(format, text);
    }
};

}  // namespace

TEST_F(ClipboardAccess, NamesStandardAndRegisteredFormats) {
    const std::pair<UINT, std::wstring> names[] = {
        {1, L"Text"}, {2, L"Bitmap Picture"}, {6, L"Tagged Image File Format (TIFF) Picture"},
        {13, L"Text (Unicode)"}, {14, L"Enhanced Meta-File Picture"}, {15, L"File List"},
        {16, L""}, {17, L""},
    };
    for (const auto& [id, name] : names) EXPECT_EQ(clsClipboard::FormatName(id), name) << id;
    clsClipboard clipboard;
    const UINT html = clipboard.AddFormat(L"HTML Format");
    EXPECT_GE(html, 0xC000u);
    EXPECT_EQ(html, RegisteredFormat(L"HTML Format"));
    EXPECT_EQ(clsClipboard::FormatName(html), L"HTML Format");
}

TEST_F(ClipboardAccess, EnumeratesInOrderAndLeavesTheClipboardClosed) {
    const UINT png = RegisteredFormat(L"PNG");
    ASSERT_TRUE(FillClipboard({{CF_UNICODETEXT, Utf16Block(L"x")}, {png, "\x89PNG"}}));
    clsClipboard clipboard;
    ASSERT_TRUE(clipboard.ClipboardOpen(nullptr));
    const int count = clipboard.GetCurrentFormats(nullptr);
    EXPECT_FALSE(clipboard.IsOpen());
    ASSERT_GE(count, 2);
    EXPECT_EQ(clipboard.GetCurrentFormatID(1), static_cast<UINT>(CF_UNICODETEXT));
    EXPECT_TRUE(clipboard.HasCurrentFormat(png));
    EXPECT_EQ(clipboard.FormatIDForName(nullptr, L"PNG"), png);
    EXPECT_EQ(clipboard.FormatIDForName(nullptr, L"png"), 0u);
    EXPECT_TRUE(clipboard.IsDataAvailableForFormatName(nullptr, L"PNG"));
    EXPECT_THROW(clipboard.GetCurrentFormatID(0), std::out_of_range);
    EXPECT_THROW(clipboard.GetCurrentFormatName(count + 1), std::out_of_range);
    // The clipboard is free for others again.
    EXPECT_TRUE(::OpenClipboard(nullptr));
    ::CloseClipboard();
}

TEST_F(ClipboardAccess, DataOperationsNeedTheClipboardOpen) {
    ASSERT_TRUE(FillClipboard({{CF_TEXT, std::string("abc\0", 4)}}));
    clsClipboard clipboard;
    std::vector<uint8_t> bytes = kPoison;
    EXPECT_FALSE(clipboard.GetBinaryData(CF_TEXT, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(clipboard.GetClipboardMemoryHandle(CF_TEXT), nullptr);
    EXPECT_FALSE(clipboard.SetTextData(CF_TEXT, L"x"));
    EXPECT_FALSE(clipboard.SetFileList({L"C:\\a"}));
}

TEST_F(ClipboardAccess, ReadsTextBlocksAsTheyReallyAre) {
    struct Case {
        const char* why;
        UINT format;
        std::string block;
        std::wstring text;
    };
    const Case cases[] = {
        {"ASCII followed by zero bytes", CF_TEXT, std::string("hello\0\0\0\0", 9), L"hello"},
        {"UTF-8 without a byte-order mark", CF_TEXT, std::string("\xe4\xb8\xad\xe6\x96\x87\0", 7), L"\x4e2d\x6587"},
        {"GBK bytes", CF_TEXT, std::string("\xd6\xd0\xce\xc4\0", 5), L"\x4e2d\x6587"},
        {"Unicode with an odd byte count and no NUL", CF_UNICODETEXT, std::string("a\0b\0c", 5), L"ab"},
        {"Unicode control characters", CF_UNICODETEXT, Utf16Block(L"\x0b\x0c\x07."), L"\x0b\x0c\x07."},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard({{c.format, c.block}})) << c.why;
        std::wstring text = L"poison";
        EXPECT_TRUE(ReadText(c.format, text)) << c.why;
        EXPECT_EQ(text, c.text) << c.why;
    }
}

TEST_F(ClipboardAccess, BitmapHandleIsNoMemoryBlock) {
    HBITMAP bitmap = ::CreateBitmap(2, 2, 1, 32, nullptr);
    ASSERT_TRUE(OpenClipboardPatiently());
    ::EmptyClipboard();
    ASSERT_NE(::SetClipboardData(CF_BITMAP, bitmap), nullptr);
    ::CloseClipboard();
    clsClipboard clipboard;
    ASSERT_TRUE(clipboard.ClipboardOpen(nullptr));
    std::vector<uint8_t> bytes = kPoison;
    EXPECT_FALSE(clipboard.GetBinaryData(CF_BITMAP, bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(ClipboardAccess, WritesTextAndFileListBlocks) {
    {
        clsClipboard clipboard;
        ASSERT_TRUE(clipboard.ClipboardOpen(nullptr));
        clipboard.ClearClipboard();
        EXPECT_FALSE(clipboard.SetTextData(CF_TEXT, L""));
        EXPECT_TRUE(clipboard.SetTextData(CF_TEXT, L"ab"));
        EXPECT_TRUE(clipboard.SetFileList({L"C:\\a"}));
    }
    std::optional<std::string> text = ReadClipboardBlock(CF_TEXT);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, 3), std::string("ab\0", 3));
    std::optional<std::string> drop = ReadClipboardBlock(CF_HDROP);
    ASSERT_TRUE(drop);
    ASSERT_GE(drop->size(), 26u);
    EXPECT_EQ(drop->substr(0, 4), std::string("\x14\0\0\0", 4));
    EXPECT_EQ(drop->substr(16, 10), std::string("\0\0\0\0C:\\a\0\0", 10));
    // The platform reads what was written.
    ASSERT_TRUE(OpenClipboardPatiently());
    HDROP handle = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    wchar_t path[MAX_PATH] = {};
    EXPECT_EQ(::DragQueryFileW(handle, 0xFFFFFFFF, nullptr, 0), 1u);
    ::DragQueryFileW(handle, 0, path, MAX_PATH);
    ::CloseClipboard();
    EXPECT_STREQ(path, L"C:\\a");
}

TEST_F(ClipboardAccess, FileListComesBackSortedAtFullLength) {
    const std::wstring longPath = L"C:\\" + std::wstring(280, L'd') + L"\\z.txt";
    std::wstring list;
    for (const std::wstring& path : {std::wstring(L"C:\\f\\b.txt"), std::wstring(L"C:\\f\\A.txt"),
                                     std::wstring(L"C:\\f\\a.txt"), longPath})
        list += path + L'\0';
    std::string block(20, '\0');
    block[0] = 20;
    block[16] = 1;  // wide
    block += Utf16Block(list);
    ASSERT_TRUE(FillClipboard({{CF_HDROP, block}}));
    clsClipboard clipboard;
    ASSERT_TRUE(clipboard.ClipboardOpen(nullptr));
    std::vector<std::wstring> files;
    int count = -1;
    ASSERT_TRUE(clipboard.GetFileList(files, count));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(files, (std::vector<std::wstring>{longPath, L"C:\\f\\A.txt", L"C:\\f\\a.txt",
                                                L"C:\\f\\b.txt"}));
}

TEST_F(ClipboardAccess, FileListBecomesImageTagsOfAcceptedFiles) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"clipboard_file_list_test\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::pair<std::wstring, size_t> files[] = {
        {L"exact.png", 2048}, {L"over.PNG", 2049}, {L"empty.jpg", 0}, {L"text.txt", 10}};
    std::wstring list;
    for (const auto& [name, size] : files) {
        HANDLE file = ::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::string bytes(size, 'x');
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        list += folder + name + L'\0';
    }
    list += folder + L"missing.png" + L'\0';
    std::string block(20, '\0');
    block[0] = 20;
    block[16] = 1;
    block += Utf16Block(list);
    ASSERT_TRUE(FillClipboard({{CF_HDROP, block}}));

    std::wstring html = L"poison";
    EXPECT_TRUE(quorallion::clsFileList().FileList2HTML(L"png|jpg", 2, html));
    EXPECT_EQ(html, L"<img src=\"" + folder + L"empty.jpg\" border=0><br><img src=\"" + folder +
                        L"exact.png\" border=0><br>");
    EXPECT_TRUE(quorallion::clsFileList().FileList2HTML(L"png|jpg", 0, html));
    EXPECT_EQ(html, L"<img src=\"" + folder + L"empty.jpg\" border=0><br>");

    ASSERT_TRUE(EmptyTheClipboard());
    html = L"poison";
    EXPECT_FALSE(quorallion::clsFileList().FileList2HTML(L"png", 100, html));
    EXPECT_EQ(html, L"");
    for (const auto& file : files) ::DeleteFileW((folder + file.first).c_str());
    ::RemoveDirectoryW(folder.c_str());
}
