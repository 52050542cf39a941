// File information on files the test makes under Wine: the file system's spelling, drive roots,
// Chinese and over-260-character paths, wildcards, sizes past 4 GiB, attributes and times written
// back, values kept after the file goes, and the size texts of an English locale.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cwctype>
#include <string>

#include "fileinfo/clsFileInfo.h"
#include "scratch_folder.h"

namespace {

using quorallion::clsFileInfo;
using quorallion::testing::ScratchFolder;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring MakeFile(const std::wstring& path, const std::string& content = "abc") {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << "cannot make " << testing::PrintToString(path);
    DWORD written = 0;
    if (h != INVALID_HANDLE_VALUE) {
        ::WriteFile(h, content.data(), DWORD(content.size()), &written, nullptr);
        ::CloseHandle(h);
    }
    return path;
}

bool IsShortName(const std::wstring& name) {
    const size_t dot = name.find(L'.');
    const std::wstring base = name.substr(0, dot), ext = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find(L'.') != std::wstring::npos) return false;
    for (wchar_t c : name)
        if (c == L' ' || c > 127 || (c >= L'a' && c <= L'z')) return false;
    return true;
}

TEST(clsFileInfo, SpellingOfTheFileSystem) {
    ScratchFolder folder;
    ::CreateDirectoryW((folder.path() + L"MixedCase").c_str(), nullptr);
    ::CreateDirectoryW((folder.path() + L"MixedCase\\Sub").c_str(), nullptr);
    const std::wstring real = MakeFile(folder.path() + L"MixedCase\\Sub\\Report.Final.TXT", "hello");

    clsFileInfo info;
    info.FullPathName(Lower(folder.path()) + L"mixedcase\\.\\sub\\..\\SUB\\report.final.txt");
    ASSERT_TRUE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.FullPathName(), real);
    EXPECT_EQ(info.FileName(), L"Report.Final.TXT");
    EXPECT_EQ(info.FilePath(), folder.path() + L"MixedCase\\Sub\\");
    EXPECT_EQ(info.FileExtension(), L"TXT");
    EXPECT_EQ(info.FileSize(), 5);
    EXPECT_EQ(info.FileSizeHigh(), 0);
    EXPECT_EQ(info.FullPathName().substr(0, 2), L"C:");
    EXPECT_TRUE(IsShortName(info.ShortName())) << testing::PrintToString(info.ShortName());
    EXPECT_EQ(info.ShortPath() + info.ShortName(), info.ShortPathName());
    EXPECT_NE(info.hIcon(), nullptr);
    EXPECT_FALSE(info.DisplayName().empty());
    EXPECT_FALSE(info.TypeName().empty());
}

TEST(clsFileInfo, FileInDriveRoot) {
    const std::wstring name = L"qfi-" + std::to_wstring(::GetCurrentProcessId()) + L".dat";
    const std::wstring path = MakeFile(L"C:\\" + name);
    clsFileInfo info;
    info.FullPathName(L"c:\\" + Lower(name));
    EXPECT_TRUE(info.FileExists());
    EXPECT_EQ(info.FilePath(), L"C:\\");
    EXPECT_EQ(info.FullPathName(), path);
    ::DeleteFileW(path.c_str());
}

TEST(clsFileInfo, ChineseAndLongPaths) {
    ScratchFolder folder;
    const std::wstring chinese = MakeFile(folder.path() + L"\u4e2d\u6587\u6587\u4ef6.txt");
    clsFileInfo info;
    info.FullPathName(chinese);
    EXPECT_TRUE(info.FileExists()) << "a name outside the ANSI code page is found";
    EXPECT_EQ(info.FileName(), L"\u4e2d\u6587\u6587\u4ef6.txt");

    std::wstring deep = folder.path();
    const std::wstring part(60, L'd');
    for (int i = 0; i < 5; ++i) {
        deep += part + std::to_wstring(i);
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
        deep += L"\\";
    }
    const std::wstring longFile = deep + L"long file name.text";
    ASSERT_GT(longFile.size(), 300u);
    MakeFile(L"\\\\?\\" + longFile, "1234567");
    clsFileInfo longInfo;
    longInfo.FullPathName(longFile);
    EXPECT_TRUE(longInfo.FileExists()) << "a path over 260 characters is found";
    EXPECT_EQ(longInfo.FullPathName(), longFile);
    EXPECT_EQ(longInfo.FileSize(), 7);
    EXPECT_EQ(longInfo.FileExtension(), L"text");
    for (int i = 4; i >= 0; --i) {
        ::DeleteFileW((L"\\\\?\\" + longFile).c_str());
        std::wstring dir = folder.path();
        for (int j = 0; j <= i; ++j) dir += part + std::to_wstring(j) + L"\\";
        ::RemoveDirectoryW((L"\\\\?\\" + dir).c_str());
    }
}

TEST(clsFileInfo, WildcardsNameNoFile) {
    ScratchFolder folder;
    MakeFile(folder.path() + L"one.txt");
    for (const wchar_t* pattern : {L"*.txt", L"on?.txt", L"*"}) {
        clsFileInfo info;
        info.FullPathName(folder.path() + pattern);
        EXPECT_FALSE(info.FileExists()) << testing::PrintToString(std::wstring(pattern));
        EXPECT_TRUE(info.FileName().empty());
        EXPECT_TRUE(info.PathExists()) << "the folder is there";
    }
    clsFileInfo missing;
    missing.FullPathName(folder.path() + L"no such folder\\x.txt");
    EXPECT_FALSE(missing.FileExists());
    EXPECT_FALSE(missing.PathExists());
}

TEST(clsFileInfo, SizesPast4GiB) {
    ScratchFolder folder;
    const std::wstring path = folder.path() + L"five.bin";
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = 5LL * 1024 * 1024 * 1024 + 3;
    ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    ASSERT_TRUE(::SetEndOfFile(h));
    ::CloseHandle(h);

    clsFileInfo info;
    info.FullPathName(path);
    EXPECT_EQ(info.FileSizeHigh(), 1);
    EXPECT_EQ(info.FileSize(), 0x40000003);
    const uint64_t onDisk = (uint64_t(uint32_t(info.CompressedFileSizeHigh())) << 32) |
                            uint32_t(info.CompressedFileSize());
    EXPECT_LE(onDisk, uint64_t(size.QuadPart)) << "a sparse file takes no more than its size";
    ::DeleteFileW(path.c_str());
}

TEST(clsFileInfo, AttributesAndTimesWriteBack) {
    ScratchFolder folder;
    const std::wstring path = MakeFile(folder.path() + L"attrs.txt");
    clsFileInfo info;
    info.FullPathName(path);
    ASSERT_TRUE(info.FileExists());

    info.attrReadOnly(true);
    EXPECT_TRUE(info.attrReadOnly());
    EXPECT_TRUE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    info.attrReadOnly(true);  // no change
    EXPECT_TRUE(info.attrReadOnly());
    info.attrReadOnly(false);
    EXPECT_FALSE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    const int32_t before = info.Attributes();
    info.attrTemporary(true);
    info.attrCompressed(true);
    EXPECT_EQ(info.Attributes(), before);
    EXPECT_EQ(static_cast<int32_t>(::GetFileAttributesW(path.c_str())), before);

    SYSTEMTIME st = {2020, 2, 0, 3, 4, 5, 6, 0};
    DATE when = 0;
    ::SystemTimeToVariantTime(&st, &when);
    info.ModifyTime(when);
    EXPECT_DOUBLE_EQ(info.ModifyTime(), when);
    SYSTEMTIME st2 = {2021, 7, 0, 9, 10, 11, 12, 0};
    DATE accessed = 0;
    ::SystemTimeToVariantTime(&st2, &accessed);
    info.LastAccessTime(accessed + 0.4 / 86400);  // a fraction of a second is dropped
    EXPECT_NEAR(info.LastAccessTime(), accessed, 0.5 / 86400);

    // Read by a second object: what was written is on disk.
    clsFileInfo again;
    again.FullPathName(path);
    EXPECT_DOUBLE_EQ(again.ModifyTime(), when);

    // Gone: a refresh keeps the old values and says the file is missing; writes do nothing.
    ::DeleteFileW(path.c_str());
    again.Refresh();
    EXPECT_FALSE(again.FileExists());
    EXPECT_TRUE(again.PathExists());
    EXPECT_EQ(again.FileName(), L"attrs.txt");
    EXPECT_EQ(again.FileSize(), 3);
    EXPECT_DOUBLE_EQ(again.ModifyTime(), when);
    again.ModifyTime(accessed);
    EXPECT_DOUBLE_EQ(again.ModifyTime(), when);
}

TEST(clsFileInfo, NoExtension) {
    ScratchFolder folder;
    clsFileInfo info;
    info.FullPathName(MakeFile(folder.path() + L"README"));
    EXPECT_EQ(info.FileExtension(), L"");
    EXPECT_EQ(info.ShortName(), L"README") << "an 8.3 name has no alternate: the name in capitals";
    EXPECT_FALSE(info.TypeName().empty());
}

TEST(clsFileInfo, FormatsInEnglish) {
    if (::GetUserDefaultLCID() != 0x0409) GTEST_SKIP() << "user locale is not en-US";
    clsFileInfo info;
    const std::pair<int32_t, const wchar_t*> sizes[] = {
        {0, L"0 bytes"},
        {1023, L"1,023 bytes"},
        {1024, L"1.00KB (1,024 bytes)"},
        {1536, L"1.50KB (1,536 bytes)"},
        {1024000, L"0.98MB (1,024,000 bytes)"},
        {-5, L"-5 bytes"},
        {20 * 1024 * 1024 + 512 * 1024, L"20.5MB (21,495,808 bytes)"},
        {2000000000, L"1.86GB (2,000,000,000 bytes)"},
    };
    for (const auto& [size, text] : sizes) EXPECT_EQ(info.FormatFileSize(size), text) << size;

    SYSTEMTIME st = {2020, 2, 0, 3, 16, 5, 6, 0};
    DATE when = 0;
    ::SystemTimeToVariantTime(&st, &when);
    const std::wstring text = info.FormatFileDate(when);
    EXPECT_NE(text.find(L"2020"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(L"February"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(L" 4:05:06 PM"), std::wstring::npos) << testing::PrintToString(text);
}

TEST(clsFileInfo, ProperPathAndTrimNull) {
    using quorallion::fileinfo::GetProperPath;
    using quorallion::fileinfo::TrimNull;
    EXPECT_EQ(GetProperPath(L"c:\\"), L"C:\\");
    EXPECT_EQ(GetProperPath(L"c:"), L"C:");
    EXPECT_EQ(GetProperPath(L"\\\\server\\share"), L"\\\\server\\share");
    EXPECT_EQ(GetProperPath(L"\\\\server\\share\\"), L"\\\\server\\share");
    EXPECT_EQ(GetProperPath(L"c:\\no such folder here"), L"");
    EXPECT_EQ(TrimNull(std::wstring(L"  ab  ")), L"ab");
    EXPECT_EQ(TrimNull(std::wstring(L" ab\0cd", 6)), L" ab");
    EXPECT_EQ(TrimNull(std::wstring(L"\0ab", 3)), L"");
}

}  // namespace
