// File helpers on real files with names outside the ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include "file/basFile.h"
#include "scratch_folder.h"

using namespace quorallion;
using quorallion::testing::ScratchFolder;

namespace {

TEST(BasFile, FileLenWGivesSizesAndRaises53WhenMissing) {
    ScratchFolder folder;
    EXPECT_EQ(basFileSystemW::FileLenW(folder.Write(L"empty\u4E2D.txt", {})), 0);
    EXPECT_EQ(basFileSystemW::FileLenW(folder.Write(L"five.txt", {1, 2, 3, 4, 5})), 5);
    try {
        basFileSystemW::FileLenW(folder.path() + L"missing.txt");
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Number(), 53);
    }
}

TEST(BasFile, FileLenWIsSixtyFourBit) {
    ScratchFolder folder;
    std::wstring path = folder.Write(L"sparse.bin", {});
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (int64_t(1) << 32) + 3;  // above both 2 GiB and 4 GiB
    bool grown = ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
    ::CloseHandle(h);
    if (!grown) GTEST_SKIP() << "the file system refused a 4 GiB file";
    EXPECT_EQ(basFileSystemW::FileLenW(path), size.QuadPart);
}

TEST(BasFile, KillWAndDeleteFileIfExists) {
    ScratchFolder folder;
    std::wstring path = folder.Write(L"\u00E9t\u00E9.txt", {1});
    basFileSystemW::KillW(path);
    EXPECT_FALSE(basFile::FileExists(path));
    try {
        basFileSystemW::KillW(path);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.Number(), 51);
    }
    std::wstring other = folder.Write(L"other.txt", {1});
    basFile::DeleteFileIfExists(other);
    EXPECT_FALSE(basFile::FileExists(other));
    basFile::DeleteFileIfExists(other);  // already gone: nothing happens
    basFile::DeleteFileIfExists(L"");
    basFile::DeleteFileIfExists(folder.path());  // a folder is left alone
    EXPECT_TRUE(basFile::FolderExists(folder.path()));
}

TEST(BasFile, FileExistsWithExtNeedsBothTheExtensionAndTheFile) {
    ScratchFolder folder;
    std::wstring doc = folder.Write(L"Report.DOCX", {1});
    EXPECT_TRUE(basFile::FileExistsWithExt(doc, L"doc|docx|wps"));
    EXPECT_FALSE(basFile::FileExistsWithExt(doc, L"xls|xlsx|et"));
    EXPECT_FALSE(basFile::FileExistsWithExt(folder.path() + L"gone.docx", L"doc|docx|wps"));
}

TEST(BasFile, ReadTextFileAutoRecognisesTheEncoding) {
    ScratchFolder folder;
    // HTML as Word saves it: UTF-8 without a mark.
    std::wstring html = folder.Write(L"Quorallion_Temp_Doc.html",
                                     {'<', 'p', '>', 0xE4, 0xB8, 0xAD, '<', '/', 'p', '>'});
    EXPECT_EQ(basFile::ReadTextFileAuto(html), L"<p>\u4E2D</p>");
    std::wstring utf16 = folder.Write(L"u16.html", {0xFF, 0xFE, '<', 0, 'b', 0, '>', 0});
    EXPECT_EQ(basFile::ReadTextFileAuto(utf16), L"<b>");
    EXPECT_EQ(basFile::ReadTextFileAuto(folder.path() + L"missing.html"), L"");
}

}  // namespace
