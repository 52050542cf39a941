// The clean-up timer's gating: the first tick of the process always walks, later ones only when
// the due time written into the shared timer's tag has come, whichever object receives them.
#include <gtest/gtest.h>

#include "core_doubles.h"
#include "file/basFile.h"
#include "frmTimer.h"
#include "public/basPublic_win.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

class CleanupTick : public CoreFixture {
protected:
    void SetUp() override {
        core_ = NewCore();
        savedRoot_ = Process().tempRoot;
        root_ = savedRoot_ + L"tick-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        basFile::DeleteFolder(root_);
        ASSERT_TRUE(::CreateDirectoryW(root_.c_str(), nullptr));
        Process().tempRoot = root_;
    }
    void TearDown() override {
        basFile::DeleteFolder(root_);
        Process().tempRoot = savedRoot_;
    }
    // A job folder made three hours ago: due for deletion whenever a walk runs.
    std::wstring MakeOldFolder() {
        const std::wstring name =
            basPublic::FormatDateTime(basPublic::AddMinutes(basPublic::LocalNow(), -180), 5) + L"123456";
        const std::wstring path = root_ + name;
        EXPECT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
        return path;
    }
    static std::wstring& Tag() { return frmTimer::Instance().cacheTag; }
    static std::wstring Minutes(int fromNow) {
        return basPublic::FormatDateTime(basPublic::AddMinutes(basPublic::LocalNow(), fromNow), 5);
    }

    Core15200* core_ = nullptr;
    std::wstring root_, savedRoot_;
};

}  // namespace

TEST_F(CleanupTick, FirstTickWalksThenAtMostOnceInTenMinutes) {
    Tag().clear();  // as at the start of the process
    std::wstring old = MakeOldFolder();
    const std::wstring before = Minutes(10);
    core_->moTimerCacheDir_Timer();
    EXPECT_FALSE(basFile::FolderExists(old)) << "the first tick walks";
    // The tag now holds the time ten minutes ahead.
    ASSERT_EQ(Tag().size(), 14u);
    EXPECT_GE(Tag(), before);
    EXPECT_LE(Tag(), Minutes(10));

    const std::wstring due = Tag();
    old = MakeOldFolder();
    core_->moTimerCacheDir_Timer();
    EXPECT_TRUE(basFile::FolderExists(old)) << "not due yet";
    EXPECT_EQ(Tag(), due);

    // A new object shares the timer: it neither resets the due time nor walks early.
    Core15200* second = NewCore();
    Process().tempRoot = root_;
    EXPECT_EQ(Tag(), due);
    second->moTimerCacheDir_Timer();
    EXPECT_TRUE(basFile::FolderExists(old));

    // Once the due time has passed, the next tick walks and sets a new due time.
    Tag() = Minutes(-1);
    core_->moTimerCacheDir_Timer();
    EXPECT_FALSE(basFile::FolderExists(old));
    EXPECT_GE(Tag(), Minutes(9));
}

TEST_F(CleanupTick, TagThatIsNoFourteenDigitTimeMakesTheWalkDue) {
    for (const wchar_t* tag : {L"", L"2099", L"209912312359599", L"zzzzzzzzzzzzzz"}) {
        Tag() = tag;
        const std::wstring old = MakeOldFolder();
        core_->moTimerCacheDir_Timer();
        // "zzzz..." is 14 characters and sorts after every time: the walk is not due.
        if (std::wstring(tag) == L"zzzzzzzzzzzzzz") {
            EXPECT_TRUE(basFile::FolderExists(old));
            basFile::DeleteFolder(old);
        } else {
            EXPECT_FALSE(basFile::FolderExists(old)) << "tag \"" << std::string(tag, tag + wcslen(tag)) << "\"";
        }
    }
}
