// "word2html" from the page's side when the platform's pattern engine ("VBScript.RegExp") cannot be
// created in the core: the job fails with "wordreadfile" wherever the conversion first needs the
// engine (the equations' codes while the document is open, the placeholders or the anchors of the
// saved page), the document is closed and the application quit, and nothing waits on a message
// box. The engine's library is refused to this client and to the core it starts by a DLL override
// in the environment, which Wine hands on to the local server; the rest of the prefix keeps it.
#include "word_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::word;

namespace {

class WithoutPatternEngine : public WordActions {
protected:
    void SetUp() override {
        wchar_t buffer[4096] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"WINEDLLOVERRIDES", buffer, 4096);
        hadOverrides_ = length > 0 && length < 4096;
        savedOverrides_.assign(buffer, hadOverrides_ ? length : 0);
        const std::wstring value = hadOverrides_ ? savedOverrides_ + L";vbscript=" : L"vbscript=";
        ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", value.c_str());
        WordActions::SetUp();
    }
    void TearDown() override {
        WordActions::TearDown();
        ::SetEnvironmentVariableW(L"WINEDLLOVERRIDES", hadOverrides_ ? savedOverrides_.c_str() : nullptr);
    }

private:
    std::wstring savedOverrides_;
    bool hadOverrides_ = false;
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
