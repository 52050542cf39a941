// QuorallionCore2 from the page's side: a second process creates "QuorallionCore2.Core15200" by
// ProgID and calls GetInfo through IDispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/temp_root.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";

class CoreCom : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }

    Members Parse(const std::wstring& reply) {
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members.has_value()) << "not strict JSON: " << ::testing::PrintToString(reply.substr(0, 200));
        return members.value_or(Members{});
    }

    // Polls "asyncresult" until the job leaves the wait state.
    std::wstring AwaitJob(DispatchClient& client) {
        for (int i = 0; i < 500; ++i) {
            std::wstring reply = client.Core(L"asyncresult");
            if (reply != L"{\"state\":\"wait\"}") return reply;
            ::Sleep(10);
        }
        return L"<still waiting>";
    }

    ComApartment apartment_;
    DispatchClient core_;
};

std::set<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names = ListNames(folder);
    return std::set<std::wstring>(names.begin(), names.end());
}

}  // namespace

TEST_F(CoreCom, ConfigAnswersStateTempPathAndCid) {
    std::wstring reply = core_.Core(L"config");
    Members members = Parse(reply);
    ASSERT_EQ(Keys(members), (std::vector<std::wstring>{L"state", L"temppath", L"cid"}));
    EXPECT_EQ(members[0].second, L"ok");
    EXPECT_EQ(members[1].second, ClientTempRoot());
    EXPECT_NE(reply.find(L"\\\\Quorallion2\\\\\""), std::wstring::npos) << "backslashes doubled";
    const std::wstring& cid = members[2].second;
    EXPECT_EQ(cid.size(), 17u);
    EXPECT_TRUE(std::all_of(cid.begin(), cid.end(), iswdigit));
}

TEST_F(CoreCom, UnknownActionMakesOneFolderAndAnswersEmptyObject) {
    const std::wstring root = ClientTempRoot();
    // The temp root is shared with every other test process in the prefix, and those that work
    // in-process make job folders there too. A core that made more than one folder per request
    // would do so on every try; a neighbour's folder turns up on one try at most now and then.
    std::vector<std::wstring> added;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::set<std::wstring> before = Names(root);
        EXPECT_EQ(core_.Core(L"Config"), L"{}");
        std::set<std::wstring> after = Names(root);
        added.clear();
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                            std::back_inserter(added));
        if (added.size() == 1) break;
    }
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].size(), 20u);
    EXPECT_TRUE(std::all_of(added[0].begin(), added[0].end(), iswdigit));
    EXPECT_TRUE(IsFolder(root + added[0]));
}

TEST_F(CoreCom, AsyncResultOfNewObjectIsEmptyAndCancelStaysUntilNextJob) {
    EXPECT_EQ(core_.Core(L"asyncresult"), L"");
    EXPECT_EQ(core_.Core(L"cancel"), L"{\"state\":\"ok\"}");
    EXPECT_EQ(core_.Core(L"asyncresult"), L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
    EXPECT_EQ(core_.Core(L"asyncresult"), L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
    // A job start clears the flag.
    EXPECT_EQ(core_.Core(L"pdf2image", L"C:\\nothing.pdf", L""), L"{\"state\":\"wait\"}");
    EXPECT_NE(AwaitJob(core_), L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
}

TEST_F(CoreCom, JobAnswersWaitThenItsReplyThroughAsyncResult) {
    EXPECT_EQ(core_.Core(L"word2pdf", L"C:\\missing.docx", L""), L"{\"state\":\"wait\"}");
    std::wstring reply = AwaitJob(core_);
    Members members = Parse(reply);
    ASSERT_FALSE(members.empty()) << ::testing::PrintToString(reply);
    EXPECT_EQ(members[0].first, L"state");
    EXPECT_EQ(members[0].second, L"err");
    // The final reply stays until the next job.
    EXPECT_EQ(core_.Core(L"asyncresult"), reply);
}

TEST_F(CoreCom, CacheDeletesOnlyPlainAlphanumericNames) {
    const std::wstring root = ClientTempRoot();
    ASSERT_TRUE(::CreateDirectoryW((root + L"abcDEF123").c_str(), nullptr) || IsFolder(root + L"abcDEF123"));
    ::CreateDirectoryW((root + L"abcDEF123\\inner").c_str(), nullptr);
    HANDLE file = ::CreateFileW((root + L"abcDEF123\\inner\\f.txt").c_str(), GENERIC_WRITE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr);
    ::CloseHandle(file);
    ::CreateDirectoryW((root + L"keep.me").c_str(), nullptr);
    ::CreateDirectoryW((root + L"keep_me").c_str(), nullptr);

    for (const wchar_t* name : {L"", L"keep.me", L"keep_me", L"..\\Quorallion2", L"keep me",
                                L"abcDEF123\\inner", L"abcDEF123/inner"})
        EXPECT_EQ(core_.Core(L"cache", L"", name), L"{\"state\":\"ok\"}") << name;
    EXPECT_TRUE(IsFolder(root + L"keep.me"));
    EXPECT_TRUE(IsFolder(root + L"keep_me"));
    EXPECT_TRUE(IsFolder(root + L"abcDEF123\\inner"));

    EXPECT_EQ(core_.Core(L"cache", L"ignored", L"abcDEF123"), L"{\"state\":\"ok\"}");
    EXPECT_FALSE(IsFolder(root + L"abcDEF123"));
    ::RemoveDirectoryW((root + L"keep.me").c_str());
    ::RemoveDirectoryW((root + L"keep_me").c_str());
}

TEST_F(CoreCom, WordEqInstallAnswersNoWithoutTheControl) {
    EXPECT_EQ(core_.Core(L"wordeqinstall", L"1.2.3"),
              L"{\"state\":\"ok\",\"installed\":\"no\"}");
}

TEST_F(CoreCom, AnyInputGetsValidJsonOrTheEmptyText) {
    const std::wstring big(10 * 1024 * 1024, L'x');
    const std::wstring nuls(L"a\0b\0c", 5);
    const std::wstring loneSurrogates = L"\xD800x\xDC00";
    const std::vector<std::vector<std::wstring>> calls = {
        {L"", L"", L"", L"", L""},
        {big, L"config", big, big, big},
        {L"not json {", L"config", L"", L"", L""},
        {nuls, nuls, nuls, nuls, nuls},
        {loneSurrogates, L"cache", loneSurrogates, loneSurrogates, L""},
        {L"{\"lang\":\"en\"}", L"CONFIG", L"", L"", L""},
        {L"{}", L"Cancel", L"", L"", L""},
        {L"{}", L"config\0x", L"", L"", L""},
        {L"{}", L"cache", L"", big, L""},
    };
    for (const auto& call : calls) {
        HRESULT hr = E_FAIL;
        std::wstring reply = core_.GetInfo(call, &hr);
        EXPECT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        if (!reply.empty()) {
            EXPECT_TRUE(StrictJson::IsValid(reply)) << reply.substr(0, 100).size();
        }
    }
    // Still answering.
    EXPECT_EQ(Parse(core_.Core(L"config"))[0].second, L"ok");
}

TEST_F(CoreCom, TwoObjectsShareOneProcessAndItEndsWithTheLastRelease) {
    DispatchClient second;
    ASSERT_TRUE(SUCCEEDED(second.Create(kProgId)));
    EXPECT_EQ(Parse(second.Core(L"config"))[0].second, L"ok");
    // A job of the first object survives the release of the second.
    EXPECT_EQ(core_.Core(L"excelsheetname", L"C:\\none.xlsx"), L"{\"state\":\"wait\"}");
    second.Reset();
    std::wstring reply = AwaitJob(core_);
    EXPECT_NE(reply, L"<still waiting>");
    EXPECT_TRUE(StrictJson::IsValid(reply));

    HWND window = ::FindWindowW(L"ThunderRT6Main", L"Quorallion Core V15200");
    if (!window) GTEST_SKIP() << "no display: the hidden window cannot be looked for";
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(process, nullptr);
    core_.Reset();
    EXPECT_EQ(::WaitForSingleObject(process, 10000), WAIT_OBJECT_0) << "server still running";
    ::CloseHandle(process);
}
