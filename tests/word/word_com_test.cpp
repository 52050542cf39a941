// The Word actions from the page's side: a client calls QuorallionCore2 over COM and polls
// "asyncresult", while the Word stand-in (tests/standins/word, LibreOffice underneath) plays Word
// and WPS writer. What the worker asked of the application is read back from the stand-in's
// journal; the documents are made once at set-up (make_fixtures.sh).
#include <windows.h>

#include <cwctype>
#include <set>

#include "support/shared_fixtures.h"
#include "word_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::word;

namespace {

// Word's copied HTML (the shared fixture) on the clipboard as "HTML Format", with an "ObjectLink"
// naming a Word document when asked: the source that sends a paste to Word rather than to WPS.
bool PutWordHtmlOnClipboard(bool fromWord) {
    const std::optional<std::string> document =
        ReadBytes(Wide(SharedFixturePath("word-clipboard", "list-simple.html")));
    if (!document) return false;
    char header[200];
    const int headerSize = 105;
    const size_t start = document->find("<!--StartFragment-->"), end = document->find("<!--EndFragment-->");
    if (start == std::string::npos || end == std::string::npos) return false;
    snprintf(header, sizeof(header),
             "Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\nStartFragment:%010d\r\nEndFragment:%010d\r\n",
             headerSize, headerSize + static_cast<int>(document->size()), headerSize + static_cast<int>(start + 20),
             headerSize + static_cast<int>(end));
    const std::string bytes = std::string(header) + *document;
    if (bytes.size() != headerSize + document->size()) return false;
    auto global = [](const void* data, size_t size) {
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size);
        if (memory) {
            memcpy(::GlobalLock(memory), data, size);
            ::GlobalUnlock(memory);
        }
        return memory;
    };
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    bool ok = ::SetClipboardData(::RegisterClipboardFormatW(L"HTML Format"), global(bytes.c_str(), bytes.size() + 1));
    if (fromWord) {
        const char link[] = "Word.Document.12\0C:\\Users\\me\\list.docx\0OLE_LINK1\0\0";
        ok = ok && ::SetClipboardData(::RegisterClipboardFormatW(L"ObjectLink"), global(link, sizeof(link)));
    }
    ::CloseClipboard();
    return ok;
}

// The paste road's answer for the clipboard fixture, which Word saved inside its page wrapper and
// section div: the styles Word kept from the clipboard in one style element, then a body whose
// section div is gone while the fragment's paragraphs keep their tags.
void ExpectPastedListPage(const std::wstring& html) {
    SCOPED_TRACE(::testing::PrintToString(html.substr(0, 3000)));
    const size_t bodyStart = html.find(L"</style><body>");
    ASSERT_EQ(html.rfind(L"<style>\r\n", 0), 0u);
    ASSERT_NE(bodyStart, std::wstring::npos);
    ASSERT_EQ(html.substr(html.size() - 7), L"</body>");
    EXPECT_NE(html.substr(0, bodyStart).find(L"div.WordSection1 {page:WordSection1;}"), std::wstring::npos);
    std::wstring body = html.substr(bodyStart + 14, html.size() - 7 - bodyStart - 14);
    EXPECT_EQ(body.find(L"WordSection1"), std::wstring::npos) << "the section div stayed";
    while (!body.empty() && std::iswspace(body.front())) body.erase(0, 1);
    while (!body.empty() && std::iswspace(body.back())) body.pop_back();
    EXPECT_EQ(body.rfind(L"<p class=MsoListParagraphCxSpFirst", 0), 0u);
    EXPECT_EQ(body.size() >= 4 ? body.substr(body.size() - 4) : body, L"</p>");
    const std::wstring text = VisibleText(body);
    EXPECT_LT(text.find(L"Item1"), text.find(L"Item 2")) << ::testing::PrintToString(text);
    EXPECT_NE(text.find(L"Item 2"), std::wstring::npos);
}

TEST_F(WordActions, Word2HtmlGivesTheDocumentsTextAndItsPictures) {
    const Reply reply = Run(L"word2html", Fixture(L"Table Doc.DOCX"), L"");  // extension in capitals
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring html = reply.Get(L"html");
    const std::wstring text = VisibleText(html);
    // Every line of LibreOffice's own text export is in the page's text, in order.
    std::wstringstream expected(Wide(ReadBytes(Fixture(L"table.txt")).value_or("")));
    std::wstring line;
    size_t position = 0;
    while (std::getline(expected, line)) {
        if (!line.empty() && line[0] == 0xFEFF) line.erase(0, 1);
        while (!line.empty() && (line.back() == L'\r' || line.back() == L' ')) line.pop_back();
        if (line.empty()) continue;
        const size_t at = text.find(line, position);
        EXPECT_NE(at, std::wstring::npos) << "missing or out of order: " << ::testing::PrintToString(line);
        if (at != std::wstring::npos) position = at + line.size();
    }
    // Picture addresses: scheme, job key, the pictures folder; the files are there.
    const std::wstring key = reply.Get(L"actkey");
    ExpectPictureInJobFolder(html, key, L"Quorallion_Temp_Doc_files");

    // What Word was asked: alerts off (and not put back in a Word that is quit), opened read-only
    // with a password no file has, saved as filtered HTML in the job folder, closed without saving
    // and quit.
    const auto journal = Journal(L"Winword");
    EXPECT_EQ(PutValues(journal, L"Application", L"DisplayAlerts"), std::vector<std::wstring>{L"I4:0"});
    const auto open = Calls(journal, L"Documents", L"Open");
    ASSERT_EQ(open.size(), 1u);
    ASSERT_EQ(open[0].size(), 8u);
    EXPECT_EQ(open[0][3], L"BSTR:" + Fixture(L"Table Doc.DOCX"));
    EXPECT_EQ(open[0][4], L"missing");
    EXPECT_EQ(open[0][5], L"BOOL:true");
    EXPECT_EQ(open[0][6], L"missing");
    EXPECT_EQ(open[0][7].substr(0, 5), L"BSTR:");
    const auto save = Calls(journal, L"Document", L"SaveAs");
    ASSERT_EQ(save.size(), 1u);
    EXPECT_EQ(save[0][3], L"BSTR:" + ClientTempRoot() + key + L"\\Quorallion_Temp_Doc.html");
    EXPECT_EQ(save[0][4], L"I4:10");
    EXPECT_EQ(Calls(journal, L"Document", L"Close").size(), 1u);
    EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u);
}

// The values of one attribute over all img tags, in order.
std::vector<std::wstring> ImageAttributes(const std::wstring& html, const std::wstring& name) {
    std::vector<std::wstring> out;
    for (size_t at = html.find(L"<img"); at != std::wstring::npos; at = html.find(L"<img", at + 1)) {
        const std::wstring tag = html.substr(at, html.find(L'>', at) - at);
        const size_t value = tag.find(L" " + name + L"=\"");
        if (value == std::wstring::npos) continue;
        const size_t start = value + name.size() + 3;
        out.push_back(tag.substr(start, tag.find(L'"', start) - start));
    }
    return out;
}

TEST_F(WordActions, EquationsBecomePicturesCarryingTheirCodes) {
    const Reply reply = Run(L"word2html", Fixture(L"equations.docx"), L"wordeq:1");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring html = reply.Get(L"html");
    EXPECT_EQ(ImageAttributes(html, L"_tag"), std::vector<std::wstring>(3, L"wordeq"));
    EXPECT_EQ(ImageAttributes(html, L"_eqtype"), (std::vector<std::wstring>{L"omath", L"omath", L"formula"}));
    const std::vector<std::wstring> codes = ImageAttributes(html, L"_eqcode");
    ASSERT_EQ(codes.size(), 3u) << ::testing::PrintToString(html);
    // The inline sum first, its sign kept as a character reference; then the display equation.
    const std::string inlineCode = FromBase64(codes[0]), display = FromBase64(codes[1]);
    EXPECT_EQ(inlineCode.rfind("<m:oMath>", 0), 0u) << inlineCode;
    EXPECT_NE(inlineCode.find("&#8721;"), std::string::npos) << inlineCode;
    EXPECT_EQ(display.rfind("<m:oMathPara>", 0), 0u) << display;
    // The EQ field's code, from its copy without Word's comment markers.
    const std::string field = FromBase64(codes[2]);
    EXPECT_NE(field.find("<i>EQ \\f(1,2)</i>"), std::string::npos) << field;
    EXPECT_EQ(field.find("<!--[if"), std::string::npos) << field;
    // Each equation picture is a file of the job folder.
    const std::wstring key = reply.Get(L"actkey");
    for (const std::wstring& source : ImageAttributes(html, L"src")) {
        ASSERT_EQ(source.rfind(L"file:///" + key + L"/", 0), 0u) << ::testing::PrintToString(source);
        std::wstring file = ClientTempRoot() + key + L"\\" + source.substr(9 + key.size());
        for (wchar_t& c : file)
            if (c == L'/') c = L'\\';
        EXPECT_TRUE(Exists(file)) << ::testing::PrintToString(file);
    }
    EXPECT_NE(VisibleText(html).find(L"for every year"), std::wstring::npos);
    EXPECT_EQ(Calls(Journal(L"Winword"), L"Range", L"Copy").size(), 2u);
    EXPECT_EQ(Calls(Journal(L"Winword"), L"Field", L"Copy").size(), 1u);
}

TEST_F(WordActions, EquationsWithoutCodesLeaveNoAnchors) {
    const Reply reply = Run(L"word2html", Fixture(L"equations.docx"), L"");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring html = reply.Get(L"html");
    EXPECT_EQ(html.find(L"quorallionomath"), std::wstring::npos) << ::testing::PrintToString(html);
    EXPECT_EQ(html.find(L"_eqcode"), std::wstring::npos);
    // The pictures stay (the EQ field's one made from its metafile), the bookmarks were asked for.
    EXPECT_EQ(ImageAttributes(html, L"src").size(), 3u);
    EXPECT_EQ(Calls(Journal(L"Winword"), L"Bookmarks", L"Add").size(), 2u);
    EXPECT_EQ(Calls(Journal(L"Winword"), L"Selection", L"EnhMetaFileBits").size(), 1u);
    EXPECT_TRUE(Calls(Journal(L"Winword"), L"Range", L"Copy").empty()) << "nothing is copied";
    EXPECT_TRUE(Calls(Journal(L"Winword"), L"Field", L"Copy").empty());
}

// Each failure of the file roads with its word, the application the worker started quit, and
// nothing left running. "wordcreate" comes from a ProgID whose class nobody serves.
TEST_F(WordActions, ErrflagsOfTheFileRoads) {
    const std::wstring table = Fixture(L"Table Doc.DOCX");  // extension in capitals
    ExpectErrflags(
        {
            {L"word2html", Fixture(L"notes.doc.txt"), L"", L"Winword", "", L"ext", 0},
            {L"word2html", Fixture(L"folder.doc"), L"", L"Winword", "", L"ext", 0},
            {L"word2html", Fixture(L"missing.docx"), L"", L"Winword", "", L"ext", 0},
            {L"word2html", Fixture(L"random.docx"), L"", L"Winword", "", L"wordopen", 1},
            {L"word2html", Fixture(L"encrypted.docx"), L"", L"Winword", "", L"wordopen", 1},
            {L"word2html", Fixture(L"encrypted.doc"), L"", L"Winword", "", L"wordopen", 1},  // refused, not asked for
            {L"word2html", table, L"api:1", L"Winword", "version=11.0\n", L"office2007plus", 1},
            {L"word2html", table, L"", L"Winword", "nosave=1\n", L"wordreadfile", 1},  // a save that left no file
            {L"word2html", table, L"api:2", L"wps", "", L"wordcreate", 0, L"KWPS.Application"},
            {L"word2pdf", table, L"api:2", L"wps", "", L"wordcreate", 0, L"KWPS.Application"},
            {L"word2pdf", table, L"api:1", L"Winword", "version=11.0\n", L"office2007plus", 1},
            {L"word2pdf", table, L"", L"Winword", "fail=Version\n", L"office2007plus", 1},
            {L"word2pdf", Fixture(L"random.docx"), L"", L"Winword", "", L"wordopen", 1},
            {L"word2pdf", table, L"", L"Winword", "fail=Open\n", L"wordopen", 1},
            {L"word2pdf", table, L"", L"Winword", "nosave=1\n", L"saveaspdf", 1},  // an export that wrote nothing
            {L"word2pdf", table, L"", L"Winword", "fail=ExportAsFixedFormat\n", L"saveaspdf", 1},
            {L"word2image", table, L"", L"Winword", "fail=ExportAsFixedFormat\n", L"saveaspdf", 1},
        },
        [](const std::wstring& program) { EXPECT_TRUE(WaitUntilNoProcess((program + L".exe").c_str())); },
        20000);  // nothing waits on a password prompt nobody sees (a bound for a hang, not for speed)
}

// A Word that will not have its alerts set still converts: the refusal is no failure of the open.
TEST_F(WordActions, RefusedAlertsFailNothing) {
    for (const wchar_t* action : {L"word2html", L"word2pdf"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(action)));
        ClearJournal(L"Winword");
        Settings(L"Winword", "fail=DisplayAlerts\nfastpdf=1\n");
        const Reply reply = Run(action, Fixture(L"Table Doc.DOCX"), L"");
        EXPECT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        EXPECT_FALSE(Calls(Journal(L"Winword"), L"Application", L"DisplayAlerts").empty());
        EXPECT_TRUE(WaitUntilNoProcess(L"Winword.exe"));
    }
}

TEST_F(WordActions, BadPathsAndGarbageOptions) {
    // Refused before any application starts.
    const std::wstring longPath = Fixture(std::wstring(300, L'a') + L".docx");
    for (const std::wstring& path : {std::wstring(L"Table Doc.DOCX"), longPath, std::wstring(L""), Fixture(L"")}) {
        const Reply reply = Run(L"word2pdf", path, L"");
        EXPECT_EQ(reply.Get(L"errflag"), L"ext") << ::testing::PrintToString(path);
    }
    EXPECT_TRUE(Journal(L"Winword").empty());
    // A Unicode name and an option list of garbage: converted with the defaults.
    Settings(L"Winword", "fastpdf=1\n");
    const Reply reply = Run(L"word2pdf", Fixture(L"\u5b63\u5ea6 \u62a5\u544a.docx"), L"api:x;;bookmark::;docprop;:");
    EXPECT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const auto exportCalls = Calls(Journal(L"Winword"), L"Document", L"ExportAsFixedFormat");
    ASSERT_EQ(exportCalls.size(), 1u);
    EXPECT_EQ(exportCalls[0][13], L"&I4:0");  // no bookmarks
}

TEST_F(WordActions, WpsServesApiTwo) {
    const Reply reply = Run(L"word2html", Fixture(L"Table Doc.DOCX"), L"api:2");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(Calls(Journal(L"wps"), L"Documents", L"Open").size(), 1u);
    EXPECT_TRUE(Journal(L"Winword").empty());
}

TEST_F(WordActions, PasteCreatesAnApplicationAndQuitsIt) {
    const struct {
        bool fromWord;
        const wchar_t* program;  // the stand-in copy that must serve it
    } cases[] = {{true, L"Winword"}, {false, L"wps"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.program)));
        for (const wchar_t* program : {L"Winword", L"wps"})
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".journal").c_str());
        ASSERT_TRUE(PutWordHtmlOnClipboard(c.fromWord)) << "the shared Word clipboard fixture is missing";
        const Reply reply = Run(L"wordpaste2html", L"cmode:0", L"");
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        ExpectPastedListPage(reply.Get(L"html"));
        const auto journal = Journal(c.program);
        const auto add = Calls(journal, L"Documents", L"Add");
        ASSERT_EQ(add.size(), 1u);
        EXPECT_EQ(std::vector<std::wstring>(add[0].begin() + 3, add[0].end()),
                  (std::vector<std::wstring>{L"missing", L"missing", L"missing", L"BOOL:false"}));
        EXPECT_EQ(Calls(journal, L"Range", L"PasteAndFormat").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Document", L"Close").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u) << "an application the worker started is quit";
        EXPECT_TRUE(WaitUntilNoProcess((std::wstring(c.program) + L".exe").c_str()));
    }
}

// A Word the user runs (no arguments, in the running object table) serves the paste: the worker
// attaches to it, closes only its hidden document, leaves it running, and gives it back its own
// alerts setting. One that refuses DisplayAlerts serves the paste just the same, and no other
// Word is started for it.
TEST_F(WordActions, PasteAttachesToARunningWordAndLeavesItAsItWas) {
    const CLSID word = {0x000209FF, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    constexpr long kAlertsMessageBox = -2;  // the user's choice, not the stand-in's default
    for (const char* settings : {"", "fail=DisplayAlerts\n"}) {
        SCOPED_TRACE(settings);
        const bool refuses = *settings != 0;
        ClearJournal(L"Winword");
        Settings(L"Winword", settings);
        ASSERT_TRUE(PutWordHtmlOnClipboard(true)) << "the shared Word clipboard fixture is missing";
        std::wstring command = L"\"" + ProgramFolder() + L"office\\Winword.exe\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                     &process));
        ::CloseHandle(process.hThread);
        quorallion::com::ComPtr<IUnknown> running;
        for (int i = 0; i < 150 && !running; ++i) {
            PumpFor(100);
            ::GetActiveObject(word, nullptr, running.put());
        }
        ASSERT_TRUE(running) << "the user's Word did not enter the running object table";
        quorallion::com::ComPtr<IDispatch> application;
        ASSERT_TRUE(SUCCEEDED(running->QueryInterface(IID_IDispatch, application.put_void())));
        running.reset();
        VARIANT alerts;
        ::VariantInit(&alerts);
        alerts.vt = VT_I4;
        alerts.lVal = kAlertsMessageBox;
        quorallion::com::Variant ignored;
        if (!refuses)
            ASSERT_TRUE(SUCCEEDED(quorallion::com::Invoke(application.get(), L"DisplayAlerts", DISPATCH_PROPERTYPUT,
                                                          &alerts, 1, ignored.put())));

        const Reply reply = Run(L"wordpaste2html", L"", L"");
        EXPECT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        ExpectPastedListPage(reply.Get(L"html"));
        const auto journal = Journal(L"Winword");
        int starts = 0;
        for (const auto& line : journal) starts += line.size() >= 2 && line[0] == L"Process" && line[1] == L"start";
        EXPECT_EQ(starts, 1) << "another Word was started";
        EXPECT_EQ(Calls(journal, L"Documents", L"Add").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Document", L"Close").size(), 1u) << "its hidden document is closed";
        EXPECT_TRUE(Calls(journal, L"Application", L"Quit").empty()) << "the user's Word is left running";
        EXPECT_EQ(::WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        if (!refuses) {
            quorallion::com::Variant value;
            ASSERT_TRUE(SUCCEEDED(
                quorallion::com::Invoke(application.get(), L"DisplayAlerts", DISPATCH_PROPERTYGET, nullptr, 0, value.put())));
            EXPECT_EQ(value.str(), std::to_wstring(kAlertsMessageBox)) << "the user's Word kept alerts off";
        }

        // The user quits it.
        quorallion::com::Invoke(application.get(), L"Quit", DISPATCH_METHOD, nullptr, 0, ignored.put());
        application.reset();
        EXPECT_EQ(::WaitForSingleObject(process.hProcess, 20000), static_cast<DWORD>(WAIT_OBJECT_0));
        ::CloseHandle(process.hProcess);
    }
}

TEST_F(WordActions, CancelDuringASlowSaveEndsTheJobAndTheApplication) {
    // The cancel comes while the save waits; what the save would write does not matter then.
    Settings(L"Winword", "savedelay=3000\nnosave=1\n");
    const std::wstring first = core_.Core(L"word2html", Fixture(L"Table Doc.DOCX"), L"");
    ASSERT_EQ(first, kWait);
    // The core keeps answering while the application works.
    for (int i = 0; i < 20; ++i) {
        PumpFor(100);
        EXPECT_EQ(core_.Core(L"asyncresult"), kWait);
        if (!Calls(Journal(L"Winword"), L"Document", L"SaveAs").empty()) break;
    }
    EXPECT_EQ(core_.Core(L"cancel"), L"{\"state\":\"ok\"}");
    EXPECT_EQ(core_.Core(L"asyncresult"), L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
    // The job ends at its next cancel test and quits the application it started.
    EXPECT_TRUE(WaitUntilNoProcess(L"Winword.exe", 30000));
    EXPECT_EQ(Calls(Journal(L"Winword"), L"Application", L"Quit").size(), 1u);
}

TEST_F(WordActions, CancelDuringASlowStartQuitsTheApplicationOnceItCame) {
    Settings(L"Winword", "createdelay=3000\n");
    const std::wstring first = core_.Core(L"word2html", Fixture(L"Table Doc.DOCX"), L"");
    ASSERT_EQ(first, kWait);
    // The core answers while the application is still starting.
    for (int i = 0; i < 50 && Journal(L"Winword").empty(); ++i) PumpFor(100);
    PumpFor(500);
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);
    EXPECT_EQ(core_.Core(L"cancel"), L"{\"state\":\"ok\"}");
    EXPECT_EQ(core_.Core(L"asyncresult"), L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
    EXPECT_TRUE(WaitUntilNoProcess(L"Winword.exe", 30000));
    const auto journal = Journal(L"Winword");
    EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u) << "the started application is quit";
    EXPECT_TRUE(Calls(journal, L"Documents", L"Open").empty());
}

// Word's class pointed at the WPS program, as a WPS set-up leaves it: the file road rewrites it to
// the Office program and answers "wpscompat"; the paste road does the same once per core object.
TEST_F(WordActions, WpsRegisteredForWordIsRepairedAndAnswersWpscompat) {
    RegistryValue server(HKEY_CLASSES_ROOT, L"CLSID\\{000209FF-0000-0000-C000-000000000046}\\LocalServer32");
    ASSERT_TRUE(server.ok());
    ASSERT_NE(server.Saved().find(L"Winword.exe"), std::wstring::npos) << ::testing::PrintToString(server.Saved());
    const std::wstring seeded = L"\"C:\\Program Files\\Kingsoft\\office6\\WPS.EXE\" /Automation";
    const std::wstring repaired = ProgramFolder() + L"office\\Winword.exe /Automation";
    ExpectRepairTable(server, seeded, repaired, Fixture(L"Table Doc.DOCX"), L"Winword",
                      {
                          {L"word2html", L"", L"wpscompat", true},
                          {L"word2pdf", L"api:1", L"wpscompat", true},
                          {L"word2html", L"api:2", L"", false},  // WPS needs no repair
                      });

    // Paste: the repair is remembered by the core; a later paste answers at once, until a new
    // core object is made.
    ASSERT_TRUE(PutWordHtmlOnClipboard(true));
    ClearJournal(L"wps");
    server.Set(seeded);
    Reply reply = Run(L"wordpaste2html", L"", L"");
    EXPECT_EQ(reply.Get(L"errflag"), L"wpscompat") << reply.raw;
    EXPECT_EQ(server.Read(), repaired);
    reply = Run(L"wordpaste2html", L"", L"");
    EXPECT_EQ(reply.Get(L"errflag"), L"wpscompat") << "remembered: " << reply.raw;
    DispatchClient second;
    ASSERT_TRUE(SUCCEEDED(second.Create(kProgId)));
    reply = Run(L"wordpaste2html", L"", L"");
    EXPECT_EQ(reply.Get(L"state"), L"ok") << "a new core object forgets the repair: " << reply.raw;
    second.Reset();
    EXPECT_TRUE(Journal(L"wps").empty()) << "Word's content went to WPS";
}

TEST_F(WordActions, Word2PdfPassesTheFourteenArgumentsByReference) {
    struct Case {
        const wchar_t* options;
        const wchar_t* item;
        const wchar_t* properties;
        const wchar_t* bookmarks;
        std::vector<std::wstring> propertyPuts;  // "name=value" in order
    } cases[] = {
        {L"", L"&I4:0", L"&BOOL:false", L"&I4:0", {}},
        {L"docprop:1;markup:1;bookmark:2", L"&I4:7", L"&BOOL:true", L"&I4:2", {}},
        {L"bookmark:3;markup:yes", L"&I4:0", L"&BOOL:false", L"&I4:0", {}},
        {L"title:Q&maohao#1 report", L"&I4:0", L"&BOOL:true", L"&I4:0",
         {L"Title=Q:1 report", L"Subject=", L"Author=", L"Keywords=", L"Comments=", L"Last author=", L"Manager=",
          L"Company="}},
        {L"title:T;docprop:1", L"&I4:0", L"&BOOL:true", L"&I4:0", {L"Title=T"}},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.options)));
        ::DeleteFileW((ProgramFolder() + L"office\\Winword.journal").c_str());
        // LibreOffice makes the first PDF; the others are about the arguments only.
        Settings(L"Winword", first ? "" : "fastpdf=1\n");
        const bool counted = first;
        first = false;
        const Reply reply = Run(L"word2pdf", Fixture(L"Table Doc.DOCX"), c.options);
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        const std::wstring key = reply.Get(L"actkey");
        const std::wstring fileKey = reply.Get(L"filekey");
        ASSERT_EQ(fileKey.substr(0, key.size() + 1), key + L"/");
        const std::wstring name = fileKey.substr(key.size() + 1);
        EXPECT_EQ(name.size(), 21u);  // 17-digit time stamp and ".pdf"
        const std::wstring pdf = ClientTempRoot() + key + L"\\" + name;
        ASSERT_TRUE(Exists(pdf));
        EXPECT_NE(reply.Get(L"filesize"), L"0");
        if (counted) {
            EXPECT_EQ(PdfPages(pdf), 1);  // LibreOffice's PDF of the one-page document
        }

        const auto journal = Journal(L"Winword");
        const auto exportCalls = Calls(journal, L"Document", L"ExportAsFixedFormat");
        ASSERT_EQ(exportCalls.size(), 1u);
        const std::vector<std::wstring> expected = {
            L"&BSTR:" + pdf, L"&I4:17", L"&BOOL:false", L"&I4:0", L"&I4:0", L"&I4:1", L"&I4:1",
            c.item, c.properties, L"&BOOL:true", c.bookmarks, L"&BOOL:true", L"&BOOL:true", L"&BOOL:false"};
        EXPECT_EQ(std::vector<std::wstring>(exportCalls[0].begin() + 3, exportCalls[0].end()), expected);
        std::vector<std::wstring> puts;
        for (const auto& line : journal)
            if (line.size() == 4 && line[0].rfind(L"DocumentProperty(", 0) == 0 && line[2] == L"put")
                puts.push_back(line[0].substr(17, line[0].size() - 18) + L"=" + line[3].substr(5));
        EXPECT_EQ(puts, c.propertyPuts);
    }
}

// A document of three pages (page breaks): the PDF has three pages, and the page has one image
// for each, every one a file of the job folder beside the PDF.
TEST_F(WordActions, Word2ImageLeavesThePdfAndThePages) {
    const Reply reply = Run(L"word2image", Fixture(L"pages.docx"), L"imgtype:png");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring key = reply.Get(L"actkey");
    const std::wstring html = reply.Get(L"html");
    EXPECT_EQ(html.rfind(L"<img src=\"file:///" + key + L"/", 0), 0u) << ::testing::PrintToString(html);
    std::vector<std::wstring> names = ListNames(ClientTempRoot() + key + L"\\");
    auto endsWith = [](const std::wstring& name, const wchar_t* ending) {
        const size_t n = wcslen(ending);
        return name.size() > n && _wcsicmp(name.c_str() + name.size() - n, ending) == 0;
    };
    std::vector<std::wstring> pdfs;
    std::copy_if(names.begin(), names.end(), std::back_inserter(pdfs),
                 [&](const std::wstring& n) { return endsWith(n, L".pdf"); });
    ASSERT_EQ(pdfs.size(), 1u) << ::testing::PrintToString(names);
    EXPECT_EQ(PdfPages(ClientTempRoot() + key + L"\\" + pdfs[0]), 3);
    std::vector<std::wstring> pages;
    const std::wstring prefix = L"<img src=\"file:///" + key + L"/";
    for (size_t at = html.find(prefix); at != std::wstring::npos; at = html.find(prefix, at + 1)) {
        const size_t start = at + prefix.size();
        pages.push_back(html.substr(start, html.find(L'"', start) - start));
    }
    ASSERT_EQ(pages.size(), 3u) << ::testing::PrintToString(html);
    for (const std::wstring& page : pages) EXPECT_TRUE(Exists(ClientTempRoot() + key + L"\\" + page)) << page;
    EXPECT_EQ(std::set<std::wstring>(pages.begin(), pages.end()).size(), 3u) << "one file per page";
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [&](const std::wstring& n) { return endsWith(n, L".png"); }),
              3)
        << ::testing::PrintToString(names);
    const auto exportCalls = Calls(Journal(L"Winword"), L"Document", L"ExportAsFixedFormat");
    ASSERT_EQ(exportCalls.size(), 1u);
    EXPECT_EQ(exportCalls[0][10], L"&I4:0");  // markup off for images
}

}  // namespace
