// The presentation actions from the page's side: a client calls QuorallionCore2 over COM and
// polls "asyncresult", while the PowerPoint stand-in (tests/standins/ppt) plays PowerPoint and the
// WPS presentation program, one instance per user as they are. The presentation (three slides,
// the second hidden) is made once at set-up (tests/excel/make_fixtures.sh).
#include "office_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::office;

namespace {

class PptActions : public OfficeActions {
protected:
    PptActions() : OfficeActions({L"powerpnt", L"wpp"}) {}

    std::wstring PdfOf(const Reply& reply) {
        const std::wstring key = reply.Get(L"actkey");
        return ClientTempRoot() + key + L"\\" + reply.Get(L"filekey").substr(key.size() + 1);
    }
};

TEST_F(PptActions, Ppt2PdfPassesTheFifteenArguments) {
    struct Case {
        const wchar_t* options;
        const wchar_t* hidden;
        const wchar_t* properties;
        std::vector<std::wstring> propertyPuts;
        int pages;  // counted by Ghostscript in LibreOffice's PDF
    } cases[] = {
        {L"", L"I4:0", L"BOOL:false", {}, 2},
        {L"hide:1;docprop:1", L"I4:-1", L"BOOL:true", {}, 3},
        {L"title:Deck&fenhao#1", L"I4:0", L"BOOL:true",
         {L"Title=Deck;1", L"Subject=", L"Author=", L"Keywords=", L"Comments=", L"Last author=", L"Manager=", L"Company="}, 2},
        {L"title:T;docprop:1;hide:yes", L"I4:0", L"BOOL:true", {L"Title=T"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.options)));
        ClearJournal(L"powerpnt");
        const Reply reply = Run(L"ppt2pdf", Fixture(L"deck.pptx"), c.options);
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        const std::wstring pdf = PdfOf(reply);
        EXPECT_EQ(reply.Get(L"filesize"), std::to_wstring(FileSize(pdf)));
        EXPECT_EQ(PdfPages(pdf), c.pages);
        const JournalLines journal = Journal(L"powerpnt");
        const auto open = Calls(journal, L"Presentations", L"Open");
        ASSERT_EQ(open.size(), 1u);
        EXPECT_EQ(Arguments(open[0]),
                  (std::vector<std::wstring>{L"BSTR:" + Fixture(L"deck.pptx"), L"missing", L"missing", L"BOOL:false"}));
        const auto range = Calls(journal, L"PrintRanges", L"Add");
        ASSERT_EQ(range.size(), 1u);
        EXPECT_EQ(Arguments(range[0]), (std::vector<std::wstring>{L"I4:1", L"I4:1"}));
        const auto exports = Calls(journal, L"Presentation", L"ExportAsFixedFormat");
        ASSERT_EQ(exports.size(), 1u);
        EXPECT_EQ(Arguments(exports[0]),
                  (std::vector<std::wstring>{L"BSTR:" + pdf, L"I4:2", L"I4:2", L"I4:0", L"I4:1", L"I4:1", c.hidden,
                                             L"DISPATCH:", L"I4:1", L"BSTR:", c.properties, L"BOOL:true", L"BOOL:true",
                                             L"BOOL:true", L"BOOL:false"}));
        EXPECT_EQ(PropertyPuts(journal), c.propertyPuts);
        EXPECT_EQ(PutValues(journal, L"Application", L"DisplayAlerts"), std::vector<std::wstring>{L"I4:1"});
        EXPECT_EQ(Calls(journal, L"Presentation", L"Close").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u);
        ExpectEnded(L"powerpnt");
    }
}

TEST_F(PptActions, Ppt2ImageLeavesHiddenSlidesOut) {
    const Reply reply = Run(L"ppt2image", Fixture(L"deck.pptx"), L"hide:1;title:x;imgtype:png");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring key = reply.Get(L"actkey");
    const std::wstring html = reply.Get(L"html");
    size_t images = 0;
    for (size_t at = html.find(L"<img src=\"file:///" + key + L"/"); at != std::wstring::npos; at = html.find(L"<img", at + 1))
        ++images;
    EXPECT_EQ(images, 2u) << ::testing::PrintToString(html);
    const auto exports = Calls(Journal(L"powerpnt"), L"Presentation", L"ExportAsFixedFormat");
    ASSERT_EQ(exports.size(), 1u);
    EXPECT_EQ(Arguments(exports[0])[6], L"I4:0");
    EXPECT_EQ(Arguments(exports[0])[10], L"BOOL:false");
    EXPECT_TRUE(PropertyPuts(Journal(L"powerpnt")).empty());
}

TEST_F(PptActions, Errflags) {
    const std::wstring deck = Fixture(L"deck.pptx");
    ExpectErrflags(
        {
            {L"ppt2pdf", Fixture(L"notes.txt"), L"", L"powerpnt", "", L"ext", 0},
            {L"ppt2pdf", Fixture(L"Book One.xlsx"), L"", L"powerpnt", "", L"ext", 0},
            {L"ppt2pdf", Fixture(L"random.pptx"), L"", L"powerpnt", "", L"pptopen", 1},
            {L"ppt2pdf", deck, L"api:1", L"powerpnt", "version=11.0\n", L"office2007plus", 1},
            {L"ppt2pdf", Fixture(L"random.pptx"), L"api:2", L"wpp", "", L"pptopen", 1},
            {L"ppt2pdf", deck, L"", L"powerpnt", "fail=Open\n", L"pptopen", 1},
            {L"ppt2pdf", deck, L"", L"powerpnt", "fail=ExportAsFixedFormat\n", L"saveaspdf", 1},
            {L"ppt2image", deck, L"", L"powerpnt", "fail=ExportAsFixedFormat\n", L"saveaspdf", 1},
            {L"ppt2image", deck, L"api:2", L"wpp", "", L"pptcreate", 0, L"KWPP.Application"},
        },
        [](const std::wstring& program) { ExpectEnded(program); });
}

// The user's own PowerPoint, started by hand with an unsaved presentation, is still running with
// it after a conversion: the job attached to it, closed only its own presentation, did not quit
// and gave it its alerts back.
TEST_F(PptActions, UsersRunningPowerPointKeepsItsUnsavedPresentation) {
    Settings(L"powerpnt", "userpresentations=1\n");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + ProgramFolder() + L"office\\powerpnt.exe\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    ::CloseHandle(process.hThread);
    CLSID clsid{};
    ASSERT_TRUE(SUCCEEDED(::CLSIDFromProgID(L"PowerPoint.Application", &clsid)));
    // Running once it is in the running object table.
    IUnknown* running = nullptr;
    for (int i = 0; i < 200 && FAILED(::GetActiveObject(clsid, nullptr, &running)); ++i) PumpFor(50);
    ASSERT_NE(running, nullptr);
    running->Release();

    const Reply reply = Run(L"ppt2pdf", Fixture(L"deck.pptx"), L"");
    EXPECT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 1000), static_cast<DWORD>(WAIT_TIMEOUT)) << "the user's PowerPoint was quit";
    const JournalLines journal = Journal(L"powerpnt");
    EXPECT_TRUE(Calls(journal, L"Application", L"Quit").empty());
    EXPECT_EQ(Calls(journal, L"Presentation", L"Close").size(), 1u);
    // Only the user's presentation is still open.
    IDispatch* app = nullptr;
    ASSERT_TRUE(SUCCEEDED(::GetActiveObject(clsid, nullptr, reinterpret_cast<IUnknown**>(&running))));
    running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&app));
    running->Release();
    ASSERT_NE(app, nullptr);
    DispatchClient client;
    client.Attach(app);
    app->Release();
    quorallion::com::Variant count;
    {
        quorallion::com::Variant presentations;
        ASSERT_TRUE(SUCCEEDED(quorallion::com::Invoke(client.get(), L"Presentations", DISPATCH_PROPERTYGET, nullptr, 0,
                                                      presentations.put())));
        ASSERT_TRUE(SUCCEEDED(quorallion::com::Invoke(presentations.get()->pdispVal, L"Count", DISPATCH_PROPERTYGET, nullptr,
                                                      0, count.put())));
    }
    EXPECT_EQ(count.get()->lVal, 1);
    // Its alerts are as the user had them (the stand-in starts at 2, all alerts), not off.
    quorallion::com::Variant alerts;
    ASSERT_TRUE(SUCCEEDED(
        quorallion::com::Invoke(client.get(), L"DisplayAlerts", DISPATCH_PROPERTYGET, nullptr, 0, alerts.put())));
    EXPECT_EQ(alerts.str(), L"2");
    EXPECT_EQ(PutValues(journal, L"Application", L"DisplayAlerts"), (std::vector<std::wstring>{L"I4:1", L"I4:2"}));
    // The test quits it (journaled with the presentation it closes), and waits for it to go.
    quorallion::com::Variant none;
    quorallion::com::Invoke(client.get(), L"Quit", DISPATCH_METHOD, nullptr, 0, none.put());
    client.Reset();
    if (::WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << "the stand-in did not quit";
    }
    ::CloseHandle(process.hProcess);
    EXPECT_EQ(Calls(Journal(L"powerpnt"), L"Application", L"Quit closes").size(), 1u);
}

// PowerPoint's class taken over by the WPS presentation program (in capitals, as installers write
// it): the registration is written back to PowerPoint and the job fails with "wpscompat", before
// any application starts. WPS chosen by api 2 needs no repair.
TEST_F(PptActions, WpsRegisteredForPowerPointIsRepairedAndAnswersWpscompat) {
    RegistryValue server(HKEY_CLASSES_ROOT, L"CLSID\\{91493441-5A91-11CF-8700-00AA0060263B}\\LocalServer32");
    ASSERT_TRUE(server.ok());
    ASSERT_NE(server.Saved().find(L"powerpnt.exe"), std::wstring::npos) << ::testing::PrintToString(server.Saved());
    const std::wstring seeded = L"\"C:\\Program Files\\Kingsoft\\office6\\WPP.EXE\" /Automation";
    const std::wstring repaired = ProgramFolder() + L"office\\powerpnt.exe /Automation";
    ExpectRepairTable(server, seeded, repaired, Fixture(L"deck.pptx"), L"powerpnt",
                      {
                          {L"ppt2pdf", L"", L"wpscompat", true},
                          {L"ppt2image", L"", L"wpscompat", true},
                          {L"ppt2pdf", L"api:1", L"wpscompat", true},
                          {L"ppt2image", L"api:2", L"", false},
                      });
    EXPECT_EQ(Calls(Journal(L"wpp"), L"Application", L"Quit").size(), 1u);
}

TEST_F(PptActions, Ppt2ImageCancelledBetweenThePdfAndThePageImages) {
    ExpectCancelBetweenPdfAndImages(L"ppt2image", L"deck.pptx", L"powerpnt", L"Presentation", "");
}

TEST_F(PptActions, Ppt2ImageWithoutGhostscriptAnswersGsdll) {
    ExpectGsdllWithoutGhostscript(L"ppt2image", L"deck.pptx", L"powerpnt", "");
}

}  // namespace
