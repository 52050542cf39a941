// Job folders under the temp root: keys, the recursive delete and the two-hour clean-up walk.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>

#include "file/basFile.h"
#include "process_state.h"
#include "public/basPublic_win.h"
#include "support/temp_root.h"

using namespace quorallion;
using quorallion::basPublic::DateTime;

namespace {

class JobFolders : public ::testing::Test {
protected:
    void SetUp() override {
        savedRoot_ = Process().tempRoot;
        // A temp root of its own, with a name outside the ANSI code page.
        root_ = basPublic::GetCacheRootPath() + L"walk-\x4E2D\x6587-" +
                std::to_wstring(::GetCurrentProcessId()) + L"\\";
        basFile::DeleteFolder(root_);
        ASSERT_TRUE(::CreateDirectoryW(root_.c_str(), nullptr));
        Process().tempRoot = root_;
    }
    void TearDown() override {
        basFile::DeleteFolder(root_);
        Process().tempRoot = savedRoot_;
    }
    void MakeFolderWithFile(const std::wstring& name, DWORD fileAttributes = 0) {
        ASSERT_TRUE(::CreateDirectoryW((root_ + name).c_str(), nullptr)) << name.size();
        HANDLE file = ::CreateFileW((root_ + name + L"\\page.png").c_str(), GENERIC_WRITE, 0,
                                    nullptr, CREATE_ALWAYS, fileAttributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
    }
    void MakeFile(const std::wstring& name, DWORD attributes) {
        HANDLE file = ::CreateFileW((root_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, attributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
    }
    std::set<std::wstring> Names() {
        auto names = quorallion::testing::ListNames(root_);
        return std::set<std::wstring>(names.begin(), names.end());
    }

    std::wstring root_, savedRoot_;
};

std::wstring Stamp(const DateTime& now, int minutesAgo) {
    return basPublic::FormatDateTime(basPublic::AddMinutes(now, -minutesAgo), 5);
}

}  // namespace

TEST_F(JobFolders, KeysAreTwentyDigitsAndNeverRepeat) {
    std::set<std::wstring> keys;
    for (int i = 0; i < 200; ++i) {
        std::wstring key = basPublic::CreateInstanceFolder();
        ASSERT_EQ(key.size(), 20u);
        EXPECT_TRUE(std::all_of(key.begin(), key.end(), iswdigit));
        EXPECT_TRUE(basFile::FolderExists(root_ + key));
        EXPECT_TRUE(keys.insert(key).second) << "repeated key";
        const std::wstring random = key.substr(17);
        EXPECT_GE(random, L"100");
    }
    basPublic::InitInstanceCache();
    EXPECT_EQ(Process().jobFolder, root_ + Process().actKey + L"\\");
}

TEST_F(JobFolders, WalkDeletesWhatIsOlderThanTwoHours) {
    const DateTime now{2026, 1, 1, 1, 30, 0, 0};  // two hours ago is the day before
    const std::wstring fresh = Stamp(now, 119) + L"123456";
    const std::wstring stale = Stamp(now, 121) + L"123456";
    MakeFolderWithFile(fresh);
    MakeFolderWithFile(stale, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(Stamp(now, 600) + L".tmp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    MakeFile(L"1999", 0);                   // shorter than 14 characters
    MakeFile(L"abcdefghijklmnopq", 0);      // letters sort after the digits
    MakeFile(L"!0000000000000000", 0);      // punctuation sorts before them
    basPublic::CleanCacheRoot(now);
    EXPECT_EQ(Names(), (std::set<std::wstring>{fresh, L"1999", L"abcdefghijklmnopq"}));
}

TEST_F(JobFolders, DeleteFolderForms) {
    MakeFolderWithFile(L"a");
    ::CreateDirectoryW((root_ + L"a\\inner").c_str(), nullptr);
    MakeFile(L"a\\inner\\ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    basFile::DeleteFolder(root_ + L"a\\", true);
    EXPECT_TRUE(basFile::FolderExists(root_ + L"a"));
    EXPECT_TRUE(quorallion::testing::ListNames(root_ + L"a\\").empty());
    basFile::DeleteFolder(root_ + L"a", false);
    EXPECT_FALSE(basFile::FolderExists(root_ + L"a"));
    basFile::DeleteFolder(root_ + L"missing");  // nothing happens
    EXPECT_FALSE(basFile::FileExists(L""));
    EXPECT_FALSE(basFile::FolderExists(L""));
    MakeFile(L"plain", 0);
    EXPECT_TRUE(basFile::FileExists(root_ + L"plain"));
    EXPECT_FALSE(basFile::FolderExists(root_ + L"plain"));
    EXPECT_FALSE(basFile::FileExists(root_));
}

TEST_F(JobFolders, DeleteFolderBeyondTwoHundredSixtyCharacters) {
    std::wstring path = root_ + L"deep";
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
    while (path.size() < 400) {
        path += L"\\" + std::wstring(40, L'\x6587');
        ASSERT_TRUE(::CreateDirectoryW(basFileSystemW::LongPath(path).c_str(), nullptr));
    }
    HANDLE file = ::CreateFileW(basFileSystemW::LongPath(path + L"\\f.txt").c_str(), GENERIC_WRITE,
                                0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    basFile::DeleteFolder(root_ + L"deep");
    EXPECT_FALSE(basFile::FolderExists(root_ + L"deep"));
}

TEST_F(JobFolders, LinksAreRemovedWithoutEnteringThem) {
    const std::wstring outside = quorallion::testing::ClientTempRoot() + L"outside-" +
                                 std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(outside.c_str(), nullptr);
    HANDLE file = ::CreateFileW((outside + L"\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
    MakeFolderWithFile(L"00000000000000link");
    if (!::CreateSymbolicLinkW((root_ + L"00000000000000link\\to-outside").c_str(), outside.c_str(),
                               SYMBOLIC_LINK_FLAG_DIRECTORY)) {
        basFile::DeleteFolder(outside);
        GTEST_SKIP() << "this system makes no directory links (error " << ::GetLastError() << ")";
    }
    basPublic::CleanCacheRoot(DateTime{2026, 1, 1, 12, 0, 0, 0});
    EXPECT_FALSE(basFile::FolderExists(root_ + L"00000000000000link"));
    EXPECT_TRUE(basFile::FileExists(outside + L"\\keep.txt")) << "the link's target was emptied";
    basFile::DeleteFolder(outside);
}
