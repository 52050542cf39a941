// QuorallionCore2 started where the platform's pattern engine ("VBScript.RegExp") cannot be
// created: a job that needs it ends with a reply and the server serves on. The pattern engine is
// made unavailable for this client and the server it starts by a DLL override in the environment
// that Wine hands on to the local server; the rest of the prefix keeps it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "clipboard/clipboard_fill.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kCaption[] = L"Quorallion Core V15200";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

// The pattern engine's library, refused to this process and to what it starts.
class NoPatternEngine {
public:
    NoPatternEngine() {
        wchar_t buffer[4096] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"WINEDLLOVERRIDES", buffer, 4096);
        hadValue_ = length > 0 && length < 4096;
        saved_.assign(buffer, hadValue_ ? length : 0);
        const std::wstring value = saved_.empty() ? L"vbscript=" : saved_ + L";vbscript=";
        ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", value.c_str());
    }
    ~NoPatternEngine() { ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", hadValue_ ? saved_.c_str() : nullptr); }

private:
    std::wstring saved_;
    bool hadValue_ = false;
};

// A server of an earlier test may still be on its way out; a new one must be started for us.
bool WaitUntilNoServer() {
    for (int i = 0; i < 500; ++i) {
        if (!::FindWindowW(L"ThunderRT6Main", kCaption)) return true;
        ::Sleep(20);
    }
    return false;
}

}  // namespace

TEST(PatternEngineMissing, PasteJobEndsWithAReplyAndTheServerServesOn) {
    ComApartment apartment;
    ASSERT_TRUE(WaitUntilNoServer()) << "a core server of another test is still running";
    const UINT htmlFormat = RegisteredFormat(L"HTML Format");
    ASSERT_TRUE(FillClipboard({{htmlFormat, CFHtml("0.9", "", "<html><body><!--StartFragment--><p class=MsoNormal>"
                                                              "pasted</p><!--EndFragment--></body></html>")}}));

    NoPatternEngine noEngine;
    DispatchClient core;
    ASSERT_TRUE(SUCCEEDED(core.Create(kProgId)));
    HWND window = ::FindWindowW(L"ThunderRT6Main", kCaption);
    // Without a display the server's window cannot be looked for, nor can the server be told
    // apart from one started earlier with the engine.
    if (!window) GTEST_SKIP() << "no display: the server's window cannot be found";
    DWORD server = 0;
    ::GetWindowThreadProcessId(window, &server);

    // The engine is missing in the server: a request that needs it at once fails on its own.
    HRESULT hr = S_OK;
    core.Core(L"gcbhtml", L"", L"", L"{}", &hr);
    const bool engineMissing = FAILED(hr);
    if (!engineMissing)
        std::printf("note: gcbhtml no longer needs the pattern engine (hr %lx)\n", static_cast<unsigned long>(hr));

    EXPECT_EQ(core.Core(L"wordpaste2html", L"cmode:1"), kWait);
    std::wstring reply = kWait;
    for (int i = 0; i < 1000 && reply == kWait; ++i) {
        ::Sleep(10);
        reply = core.Core(L"asyncresult");
    }
    std::optional<Members> members = StrictJson::ParseFlatObject(reply);
    ASSERT_TRUE(members && !members->empty()) << ::testing::PrintToString(reply);
    // While the paste road needs the engine the job fails with an empty errflag; once it no
    // longer does, it succeeds. Either way it ends, and never as "wait".
    if ((*members)[0].second == L"err")
        EXPECT_EQ(reply, L"{\"state\":\"err\",\"errflag\":\"\"}");
    else
        EXPECT_EQ((*members)[0].second, L"ok") << ::testing::PrintToString(reply);

    // The same process answers the next requests.
    const std::optional<Members> config = StrictJson::ParseFlatObject(core.Core(L"config"));
    ASSERT_TRUE(config && !config->empty());
    EXPECT_EQ((*config)[0].second, L"ok");
    EXPECT_EQ(core.Core(L"word2pdf", L"C:\\missing.docx"), kWait);
    reply = kWait;
    for (int i = 0; i < 1000 && reply == kWait; ++i) {
        ::Sleep(10);
        reply = core.Core(L"asyncresult");
    }
    EXPECT_TRUE(StrictJson::IsValid(reply)) << ::testing::PrintToString(reply);
    window = ::FindWindowW(L"ThunderRT6Main", kCaption);
    DWORD after = 0;
    if (window) ::GetWindowThreadProcessId(window, &after);
    EXPECT_EQ(after, server) << "the server process did not live on";
}
