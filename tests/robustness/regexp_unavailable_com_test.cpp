// QuorallionCore2 started where the platform's pattern engine ("VBScript.RegExp") cannot be
// created: the clipboard roads answer without it, a job that fails ends with a reply, and the
// server serves on. The engine's library is refused to the core program alone (Wine's
// per-program DLL override); the rest of the prefix keeps it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "clipboard/clipboard_fill.h"
#include "support/core_dll_override.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kCaption[] = L"Quorallion Core V15200";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

// A server of an earlier test may still be on its way out; a new one must be started for us.
bool WaitUntilNoServer() {
    for (int i = 0; i < 500; ++i) {
        if (!::FindWindowW(L"ThunderRT6Main", kCaption)) return true;
        ::Sleep(20);
    }
    return false;
}

}  // namespace

TEST(PatternEngineMissing, ClipboardRoadsAnswerAndTheServerServesOn) {
    ComApartment apartment;
    ASSERT_TRUE(WaitUntilNoServer()) << "a core server of another test is still running";
    const UINT htmlFormat = RegisteredFormat(L"HTML Format");
    ASSERT_TRUE(FillClipboard({{htmlFormat, CFHtml("0.9", "", "<html><body><!--StartFragment--><p class=MsoNormal>"
                                                              "pasted</p><!--EndFragment--></body></html>")}}));

    CoreDllOverride noEngine(L"vbscript");
    ASSERT_TRUE(noEngine.IsSet());
    DispatchClient core;
    ASSERT_TRUE(SUCCEEDED(core.Create(kProgId)));
    HWND window = ::FindWindowW(L"ThunderRT6Main", kCaption);
    // Without a display the server's window cannot be looked for, nor can the server be told
    // apart from one started earlier with the engine.
    if (!window) GTEST_SKIP() << "no display: the server's window cannot be found";
    DWORD server = 0;
    ::GetWindowThreadProcessId(window, &server);

    // The clipboard roads run on the project's own linear matchers and do without the engine.
    HRESULT hr = E_FAIL;
    const std::wstring page = core.Core(L"gcbhtml", L"", L"", L"{}", &hr);
    EXPECT_TRUE(SUCCEEDED(hr));
    EXPECT_EQ(page.rfind(L"{\"state\":\"ok\"", 0), 0u) << ::testing::PrintToString(page);
    EXPECT_NE(page.find(L"pasted"), std::wstring::npos) << ::testing::PrintToString(page);

    EXPECT_EQ(core.Core(L"wordpaste2html", L"cmode:1"), kWait);
    std::wstring reply = kWait;
    for (int i = 0; i < 1000 && reply == kWait; ++i) {
        ::Sleep(10);
        reply = core.Core(L"asyncresult");
    }
    std::optional<Members> members = StrictJson::ParseFlatObject(reply);
    ASSERT_TRUE(members && !members->empty()) << ::testing::PrintToString(reply);
    EXPECT_EQ((*members)[0].second, L"ok") << ::testing::PrintToString(reply);
    EXPECT_NE(reply.find(L"<p class=MsoNormal>pasted</p>"), std::wstring::npos) << ::testing::PrintToString(reply);

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
