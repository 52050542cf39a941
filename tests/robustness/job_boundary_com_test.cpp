// A job whose worker raises ends with state "err" and leaves the server serving: the real core
// behind its COM face, with neighbours that raise (QuorallionFaultCore), called as a page does.
#include <gtest/gtest.h>

#include <string>

#include "support/dispatch_client.h"
#include "support/flat_json.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kFaultCore[] = L"QuorallionFaultCore.Core15200";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

std::wstring AwaitJob(DispatchClient& client) {
    for (int i = 0; i < 500; ++i) {
        std::wstring reply = client.Core(L"asyncresult");
        if (reply != kWait) return reply;
        ::Sleep(10);
    }
    return L"<still waiting>";
}

class JobBoundary : public ::testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = core_.Create(kFaultCore);
        ASSERT_TRUE(SUCCEEDED(hr)) << "QuorallionFaultCore not registered: " << std::hex << hr;
        serverPid_ = HealthyJobPid();
        ASSERT_FALSE(serverPid_.empty());
    }

    // A job that succeeds names the server's process: the same one must answer after a fault.
    std::wstring HealthyJobPid() {
        EXPECT_EQ(core_.Core(L"word2html", L"fine"), kWait);
        const std::wstring reply = AwaitJob(core_);
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        if (!members || members->size() < 2 || (*members)[0].second != L"ok") {
            ADD_FAILURE() << "healthy job answered " << ::testing::PrintToString(reply);
            return {};
        }
        return (*members)[1].second;
    }

    ComApartment apartment_;
    DispatchClient core_;
    std::wstring serverPid_;
};

}  // namespace

TEST_F(JobBoundary, RaisingWorkersEndTheirJobAndTheServerServesOn) {
    struct Case {
        const wchar_t* action;
        const wchar_t* param1;
        const wchar_t* reply;
    };
    const Case cases[] = {
        {L"word2html", L"raise", L"{\"state\":\"err\",\"errflag\":\"\"}"},
        {L"word2html", L"errflag-raise", L"{\"state\":\"err\",\"errflag\":\"wordopen\"}"},
        {L"word2pdf", L"nomemory", L"{\"state\":\"err\",\"errflag\":\"\"}"},
        {L"word2image", L"pump-raise", L"{\"state\":\"err\",\"errflag\":\"\"}"},
        {L"pdf2image", L"raise", L"{\"state\":\"err\",\"errflag\":\"\"}"},
        // The paste road: the clean-up of the clipboard HTML fails to allocate.
        {L"wordpaste2html", L"cmode:1", L"{\"state\":\"err\",\"errflag\":\"\"}"},
        // The capture hands back "ok" and reading the captured image fails to allocate.
        {L"capture", L"", L"{\"state\":\"err\",\"errflag\":\"\"}"},
        // The equation window cannot be made.
        {L"wordeqshow", L"", L"{\"state\":\"err\",\"errflag\":\"\"}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::string(c.action, c.action + wcslen(c.action)) << " "
                                          << std::string(c.param1, c.param1 + wcslen(c.param1)));
        HRESULT hr = E_FAIL;
        EXPECT_EQ(core_.Core(c.action, c.param1, L"", L"{}", &hr), kWait);
        EXPECT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        EXPECT_EQ(AwaitJob(core_), c.reply);
        // The reply stays, and the next job runs in the same process.
        EXPECT_EQ(core_.Core(L"asyncresult"), c.reply);
        EXPECT_EQ(HealthyJobPid(), serverPid_);
    }
}

TEST_F(JobBoundary, FaultInATickNestedInAnotherRequestStaysWithItsJob) {
    // The job's tick may run while the next request makes its job folder (which lets messages
    // run): the fault must neither fail that request nor leave the job waiting.
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(core_.Core(L"word2html", L"raise"), kWait);
        HRESULT hr = E_FAIL;
        EXPECT_EQ(core_.Core(L"NoSuchAction", L"", L"", L"{}", &hr), L"{}");
        EXPECT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        EXPECT_EQ(AwaitJob(core_), L"{\"state\":\"err\",\"errflag\":\"\"}");
    }
    EXPECT_EQ(HealthyJobPid(), serverPid_);
}

TEST_F(JobBoundary, ImmediateWorkerThatRaisesFailsOnlyItsOwnCall) {
    HRESULT hr = S_OK;
    // Through IDispatch the failure arrives as an exception of the call (DISP_E_EXCEPTION).
    core_.Core(L"wordpaste2image", L"nomemory", L"", L"{}", &hr);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    core_.Core(L"wordpaste2image", L"raise", L"", L"{}", &hr);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_EQ(HealthyJobPid(), serverPid_);
}
