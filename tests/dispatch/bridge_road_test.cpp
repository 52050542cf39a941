// The short road from the host's side: quorallion_host loads QuorallionIC.dll, which calls
// ICore in QuorallionICore.exe, which forwards to the core of the named version.
#include <gtest/gtest.h>

#include "host_session.h"
#include "support/flat_json.h"
#include "support/temp_root.h"

using namespace quorallion::testing;

namespace {

const std::string kOk = "{\"state\":\"ok\"}";
const std::string kNotInstalled = "{\"state\":\"err\",\"errflag\":\"notinstalled\"}";
const std::string kIc = "{\"state\":\"err\",\"errflag\":\"ic\"}";
constexpr wchar_t kEchoCaption[] = L"Quorallion Core V99001";
constexpr wchar_t kEchoClsid[] = L"{55B6C165-41D2-4A15-A7C9-2C23EA218DFA}";

Members Parse(const std::string& reply) {
    std::optional<Members> members = StrictJson::ParseFlatObject(Wide(reply));
    EXPECT_TRUE(members.has_value()) << "not strict JSON: " << reply;
    return members.value_or(Members{});
}

std::wstring ValueOf(const Members& members, const std::wstring& key) {
    for (const auto& member : members)
        if (member.first == key) return member.second;
    return L"<missing " + key + L">";
}

class BridgeRoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host_.Started()) << "quorallion_host did not start"; }
    HostSession host_;
};

}  // namespace

TEST_F(BridgeRoad, ConfigIsAnsweredByTheRealCoreThroughTwoHops) {
    for (const wchar_t* version : {L"15200", L"wss15200"}) {
        Members members = Parse(host_.Call({version, L"{\"lang\":\"en\"}", L"config"}));
        ASSERT_EQ(Keys(members), (std::vector<std::wstring>{L"state", L"temppath", L"cid"})) << version;
        EXPECT_EQ(members[0].second, L"ok");
        EXPECT_EQ(members[1].second, ClientTempRoot());
    }
}

TEST_F(BridgeRoad, IsInstalledAndNotInstalledVersions) {
    struct Case {
        const wchar_t* version;
        const std::string& reply;
    } cases[] = {
        {L"15200", kOk},         {L"wss15200", kOk},         {L"99001", kOk},
        {L"wsswss99001", kOk},   {L"WSS15200", kNotInstalled}, {L"", kNotInstalled},
        {L"15199", kNotInstalled},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(host_.Call({c.version, L"{}", L"isinstalled"}), c.reply) << Utf8(c.version);
        // Not installed holds for every action, not only "isinstalled".
        if (&c.reply == &kNotInstalled)
            EXPECT_EQ(host_.Call({c.version, L"{}", L"config"}), kNotInstalled) << Utf8(c.version);
    }
}

TEST_F(BridgeRoad, NotInstalledVersionIsTriedAgainOnTheNextCall) {
    const std::wstring progIdKey = L"QuorallionCore2.Core99002";
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, progIdKey.c_str());
    EXPECT_EQ(host_.Call({L"99002", L"{}", L"isinstalled"}), kNotInstalled);
    // The version becomes installed while the same dispatcher object lives.
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, (progIdKey + L"\\CLSID").c_str(), 0, nullptr, 0,
                                KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kEchoClsid),
                     sizeof(kEchoClsid));
    ::RegCloseKey(key);
    EXPECT_EQ(host_.Call({L"99002", L"{}", L"isinstalled"}), kOk);
    EXPECT_EQ(ValueOf(Parse(host_.Call({L"99002", L"{}", L"ping"})), L"action"), L"ping");
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, progIdKey.c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, progIdKey.c_str());
}

TEST_F(BridgeRoad, ArgumentsReachTheCoreInOrderAndActionCaseIsTheCores) {
    Members members = Parse(host_.Call({L"99001", L"{\"a\":1}", L"ISINSTALLED", L"p1", L"p2", L"p3"}));
    EXPECT_EQ(ValueOf(members, L"config"), L"{\"a\":1}");
    EXPECT_EQ(ValueOf(members, L"action"), L"ISINSTALLED");
    EXPECT_EQ(ValueOf(members, L"param1"), L"p1");
    EXPECT_EQ(ValueOf(members, L"param2"), L"p2");
    EXPECT_EQ(ValueOf(members, L"param3"), L"p3");
    // wss99001 is another table entry of the same class, served by the same core process.
    Members other = Parse(host_.Call({L"wss99001", L"{}", L"x"}));
    EXPECT_EQ(ValueOf(other, L"pid"), ValueOf(members, L"pid"));
}

TEST_F(BridgeRoad, ChineseAndEmojiComeBackUnchanged) {
    const std::wstring config = L"{\"lang\":\"zh-cn\",\"name\":\"\x4E2D\x6587\"}";
    const std::wstring action = L"\x8F6C\x6362";
    const std::wstring path = L"C:\\\x6587\x4EF6\\\xD83D\xDE00 \x62A5\x544A.docx";
    const std::wstring html = L"<p>\x4F60\x597D\xD83C\xDF89</p> \"quoted\" \\";
    std::string reply = host_.Call({L"99001", config, action, path, html, L"\xD83D\xDC4D"});
    // The raw bytes hold the UTF-8 forms, not replacement characters.
    EXPECT_NE(reply.find("\xF0\x9F\x98\x80"), std::string::npos) << reply;
    EXPECT_EQ(reply.find("\xEF\xBF\xBD"), std::string::npos) << reply;
    Members members = Parse(reply);
    EXPECT_EQ(ValueOf(members, L"config"), config);
    EXPECT_EQ(ValueOf(members, L"action"), action);
    EXPECT_EQ(ValueOf(members, L"param1"), path);
    EXPECT_EQ(ValueOf(members, L"param2"), html);
    EXPECT_EQ(ValueOf(members, L"param3"), L"\xD83D\xDC4D");
}

TEST_F(BridgeRoad, FailedForwardIsAnEmptyReplyAndTheCoreIsKept) {
    std::string before = host_.Call({L"99001", L"{}", L"x"});
    EXPECT_EQ(host_.Call({L"99001", L"{}", L"fail"}), "");
    EXPECT_EQ(ValueOf(Parse(host_.Call({L"99001", L"{}", L"x"})), L"pid"),
              ValueOf(Parse(before), L"pid"));
}

TEST_F(BridgeRoad, ReleaseThenGetInfoConnectsAgain) {
    EXPECT_EQ(host_.Send("release"), "released");  // before any call: nothing to let go
    EXPECT_EQ(host_.Send("release"), "released");
    EXPECT_EQ(host_.Call({L"15200", L"{}", L"isinstalled"}), kOk);
    EXPECT_EQ(host_.Send("release"), "released");
    EXPECT_EQ(ValueOf(Parse(host_.Call({L"15200", L"{}", L"config"})), L"state"), L"ok");
    EXPECT_EQ(host_.Call({L"99001", L"{}", L"isinstalled"}), kOk);
}

// Kept last: it removes the dispatcher's registration and puts it back.
TEST(BridgeRegistration, UnregisteredDispatcherAnswersIcUntilRegisteredAgain) {
    // Every earlier host has ended, so no dispatcher process serves the class any more.
    if (!WaitWindowGone(L"ThunderRT6Main", L"Quorallion ICore"))
        GTEST_SKIP() << "a dispatcher of another client is still running";
    ASSERT_EQ(RunAndWait(L"QuorallionICore.exe", L"/UnregServer"), 0u);
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{A49E0E00-542F-4F42-9A49-B260CFAEE981}", 0,
                              KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"TypeLib\\{E8506E3F-9186-4C1E-BA29-5362471C48A1}",
                              0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface\\{2BB3F97A-B310-4588-A64E-F5B33164FC14}",
                              0, KEY_READ, &key), ERROR_SUCCESS);
    {
        HostSession host;
        EXPECT_EQ(host.Call({L"15200", L"{}", L"isinstalled"}), kIc);
        EXPECT_EQ(host.Call({L"15200", L"{}", L"isinstalled"}), kIc);
        ASSERT_EQ(RunAndWait(L"QuorallionICore.exe", L"/RegServer"), 0u);
        EXPECT_EQ(host.Call({L"15200", L"{}", L"isinstalled"}), kOk);  // each call tries again
    }
}

// After the registration test: under Wine a killed server leaves its class registered with
// the dead process, so the class cannot be created again in this prefix session.
using BridgeRecovery = BridgeRoad;
TEST_F(BridgeRecovery, DispatcherAnswersAfterItsCoreProcessWasKilled) {
    Members first = Parse(host_.Call({L"99001", L"{}", L"x"}));
    DWORD processId = WindowProcess(L"ThunderRT6Main", kEchoCaption);
    if (!processId) GTEST_SKIP() << "no display: the core's window cannot be looked for";
    EXPECT_EQ(std::to_wstring(processId), ValueOf(first, L"pid"));
    ASSERT_TRUE(KillProcess(processId));
    std::string reply = host_.Call({L"99001", L"{}", L"y"});
    ASSERT_NE(reply, "") << "the dead core was called again instead of being replaced";
    if (reply == kNotInstalled)
        GTEST_SKIP() << "the core was dropped and created again, but Wine still lists the killed "
                        "process as the class's server, so the creation fails";
    Members second = Parse(reply);
    EXPECT_EQ(ValueOf(second, L"action"), L"y");
    EXPECT_NE(ValueOf(second, L"pid"), ValueOf(first, L"pid"));
    EXPECT_EQ(ValueOf(Parse(host_.Call({L"99001", L"{}", L"z"})), L"pid"), ValueOf(second, L"pid"));
}
