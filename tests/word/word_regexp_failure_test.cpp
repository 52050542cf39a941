// "word2html" from the page's side when the platform's pattern engine ("VBScript.RegExp") cannot be
// created in the core: the job fails with "wordreadfile" wherever the conversion first needs the
// engine (the equations' codes while the document is open, the placeholders or the anchors of the
// saved page), the document is closed and the application quit, and nothing waits on a message
// box. The engine's library is refused to the core program alone by Wine's per-program DLL
// override, set while this test holds the core server for itself (a DLL override in the client's
// environment does not reach a local server, which Wine starts from another process).
#include "word_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::word;

namespace {

constexpr wchar_t kCoreOverrides[] = L"Software\\Wine\\AppDefaults\\QuorallionCore2.exe\\DllOverrides";

class WithoutPatternEngine : public WordActions {
protected:
    void SetUp() override {
        // A core of an earlier test on its way out would be reached instead of a new one.
        ASSERT_TRUE(WaitUntilNoProcess(L"QuorallionCore2.exe"));
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kCoreOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                    nullptr),
                  ERROR_SUCCESS);
        const wchar_t disabled[] = L"";
        const LONG set = ::RegSetValueExW(key, L"vbscript", 0, REG_SZ, reinterpret_cast<const BYTE*>(disabled),
                                          sizeof(disabled));
        ::RegCloseKey(key);
        ASSERT_EQ(set, ERROR_SUCCESS);
        WordActions::SetUp();
    }
    void TearDown() override {
        WordActions::TearDown();
        // The rest of the run's cores get the engine back.
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kCoreOverrides, L"vbscript");
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kCoreOverrides);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\QuorallionCore2.exe");
    }
};

TEST_F(WithoutPatternEngine, Word2HtmlFailsWithWordreadfileAndQuitsWord) {
    struct Case {
        const wchar_t* file;
        const wchar_t* options;
        const char* where;
    } cases[] = {
        {L"equations.docx", L"wordeq:1", "reading the equations' codes, the document still open"},
        {L"Table Doc.DOCX", L"wordeq:1", "the placeholders of the saved page"},
        {L"Table Doc.DOCX", L"", "the bookmark anchors of the saved page"},
        {L"equations.docx", L"", "the saved page, after field pictures made without the engine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        ::DeleteFileW((ProgramFolder() + L"office\\Winword.journal").c_str());
        const DWORD start = ::GetTickCount();
        const Reply reply = Run(L"word2html", Fixture(c.file), c.options);
        // A message box on the server would hold the job for ever (the bound is for that, not speed).
        EXPECT_LT(::GetTickCount() - start, 60000u);
        EXPECT_EQ(reply.raw, L"{\"state\":\"err\",\"errflag\":\"wordreadfile\"}");
        const auto journal = Journal(L"Winword");
        EXPECT_EQ(Calls(journal, L"Documents", L"Open").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Document", L"Close").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u);
        EXPECT_TRUE(WaitUntilNoProcess(L"Winword.exe"));
    }
    // The server serves on.
    const std::optional<Members> config = StrictJson::ParseFlatObject(core_.Core(L"config"));
    ASSERT_TRUE(config && !config->empty());
    EXPECT_EQ((*config)[0].second, L"ok");
}

}  // namespace
