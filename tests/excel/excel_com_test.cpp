// The workbook actions from the page's side: a client calls QuorallionCore2 over COM and polls
// "asyncresult", while the Excel stand-in (tests/standins/excel) plays Excel and the WPS
// spreadsheet program. The workbook (values in A5:B20 of "First" with formatted empty rows below,
// a hidden second sheet, "Third 三", a picture) and LibreOffice's CSV of each sheet are made
// once at set-up (make_fixtures.sh).
#include "office_client.h"

using namespace quorallion::testing;
using namespace quorallion::testing::office;

namespace {

constexpr wchar_t kBreak[] = L"<!-- quorallionsheetbreak -->";

// The cells of LibreOffice's CSV of a sheet, row by row, blank rows left out.
std::vector<std::wstring> CsvCells(const std::wstring& file) {
    std::vector<std::wstring> cells;
    std::wstringstream stream(Wide(ReadBytes(Fixture(file)).value_or("")));
    std::wstring line;
    while (std::getline(stream, line)) {
        while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.pop_back();
        std::wstringstream fields(line);
        std::wstring field;
        while (std::getline(fields, field, L',')) {
            if (field.size() >= 2 && field.front() == L'"' && field.back() == L'"') field = field.substr(1, field.size() - 2);
            if (!field.empty()) cells.push_back(field);
        }
    }
    return cells;
}

std::vector<std::wstring> Words(const std::wstring& text) {
    std::vector<std::wstring> words;
    std::wstringstream stream(text);
    std::wstring word;
    while (stream >> word) words.push_back(word);
    return words;
}

std::vector<std::wstring> CellWords(const std::vector<std::wstring>& cells) {
    std::wstring joined;
    for (const std::wstring& cell : cells) joined += cell + L" ";
    return Words(joined);
}

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separator) {
    std::vector<std::wstring> parts;
    for (size_t start = 0;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
        if (at == std::wstring::npos) return parts;
        start = at + separator.size();
    }
}

class ExcelActions : public OfficeActions {
protected:
    ExcelActions() : OfficeActions({L"excel", L"et"}) {}

    // Fragments of a whole-workbook conversion, with the checks every road shares: two fragments
    // (sheets 1 and 3), each a style block and its container, the cells equal to LibreOffice's CSV.
    void ExpectWorkbookFragments(const Reply& reply) {
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        const std::vector<std::wstring> fragments = Split(reply.Get(L"html"), kBreak);
        ASSERT_EQ(fragments.size(), 2u) << reply.raw.substr(0, 3000);
        const struct {
            const wchar_t* id;
            const wchar_t* csv;
        } sheets[] = {{L"Quorallion_Sheet1", L"book-First.csv"}, {L"Quorallion_Sheet3", L"book-Third 三.csv"}};
        for (size_t i = 0; i < 2; ++i) {
            SCOPED_TRACE(::testing::PrintToString(std::wstring(sheets[i].id)));
            const std::wstring& fragment = fragments[i];
            const std::wstring head = std::wstring(L"<style id=\"") + sheets[i].id + L"_Styles\">\r\n";
            EXPECT_EQ(fragment.substr(0, head.size()), head);
            const std::wstring container = std::wstring(L"</style><div id=\"") + sheets[i].id + L"\" align=\"center\">";
            const size_t open = fragment.find(container);
            ASSERT_NE(open, std::wstring::npos);
            EXPECT_EQ(fragment.substr(fragment.size() - 6), L"</div>");
            const std::wstring body = fragment.substr(open + container.size());
            // Rows 5 to 20 all there, nothing of the hidden sheet.
            EXPECT_EQ(Words(VisibleText(body)), CellWords(CsvCells(sheets[i].csv)));
            EXPECT_EQ(body.find(L"secret"), std::wstring::npos);
            // The clean-up leaves none of Excel's own style rules.
            EXPECT_EQ(fragment.find(L"mso-"), std::wstring::npos) << fragment.substr(0, 2000);
        }
    }
};

TEST_F(ExcelActions, SheetNamesListTheVisibleSheetsWithTheirNumbers) {
    struct Case {
        const wchar_t* file;
        const wchar_t* options;
        const wchar_t* program;  // the stand-in that must have served it
    } cases[] = {
        {L"Book One.xlsx", L"", L"excel"},
        {L"Book One.xlsx", L"api:1", L"excel"},
        {L"book.xls", L"api:2", L"et"},  // made an xlsx by LibreOffice inside the stand-in
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.file) + L" " + c.options));
        ClearJournal(L"excel");
        ClearJournal(L"et");
        const Reply reply = Run(L"excelsheetname", Fixture(c.file), c.options);
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        EXPECT_EQ(reply.Get(L"sheetname"), L"First\r1\nThird 三\r3");
        EXPECT_NE(reply.raw.find(L"First\\r1\\nThird"), std::wstring::npos) << reply.raw;  // escaped in the JSON
        const JournalLines journal = Journal(c.program);
        const auto open = Calls(journal, L"Workbooks", L"Open");
        ASSERT_EQ(open.size(), 1u);
        EXPECT_EQ(Arguments(open[0]), (std::vector<std::wstring>{L"BSTR:" + Fixture(c.file), L"missing", L"BOOL:true"}));
        EXPECT_EQ(Calls(journal, L"Workbook", L"Close").size(), 1u);
        EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u);
    }
    // An empty workbook: its one sheet listed (quotes and a blank in the name), no fragment.
    const Reply names = Run(L"excelsheetname", Fixture(L"empty.xlsx"), L"");
    EXPECT_EQ(names.Get(L"sheetname"), L"Don't \"stop\"\r1") << names.raw;
    const Reply empty = Run(L"excel2html", Fixture(L"empty.xlsx"), L"");
    EXPECT_EQ(empty.Get(L"state"), L"ok") << empty.raw;
    EXPECT_EQ(empty.Get(L"html"), L"");
    EXPECT_TRUE(Calls(Journal(L"excel"), L"PublishObjects", L"Add").empty());

    const Reply broken = Run(L"excelsheetname", Fixture(L"random.xlsx"), L"");
    EXPECT_EQ(broken.Get(L"errflag"), L"xlsopen") << broken.raw;
}

TEST_F(ExcelActions, Excel2HtmlPublishesEveryVisibleSheetDownToItsLastValue) {
    const Reply reply = Run(L"excel2html", Fixture(L"Book One.xlsx"), L"");
    ExpectWorkbookFragments(reply);
    const std::wstring html = reply.Get(L"html");
    const std::wstring key = reply.Get(L"actkey");

    // The picture of sheet 1, addressed into the job folder, names a real file.
    ExpectPictureInJobFolder(html, key, L"Quorallion_Temp_Sheet1_files");

    // Excel was asked for the range from the used range's first cell to the last value (row 20,
    // not the formatted rows below it), as static HTML in the named container.
    const JournalLines journal = Journal(L"excel");
    const auto publish = Calls(journal, L"PublishObjects", L"Add");
    ASSERT_EQ(publish.size(), 2u);
    EXPECT_EQ(Arguments(publish[0]),
              (std::vector<std::wstring>{L"I4:4", L"BSTR:" + ClientTempRoot() + key + L"\\Quorallion_Temp_Sheet1.html",
                                         L"BSTR:First", L"BSTR:$A$5:$B$20", L"I4:0", L"BSTR:Quorallion_Sheet1", L"BSTR:"}));
    EXPECT_EQ(Arguments(publish[1])[2], L"BSTR:Third 三");
    EXPECT_EQ(Arguments(publish[1])[3], L"BSTR:$A$1:$B$1");
    EXPECT_EQ(Calls(journal, L"PublishObject", L"Publish").size(), 2u);
    EXPECT_TRUE(Calls(journal, L"Workbook", L"Save").empty());
    EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u);
    const auto encoding = Calls(journal, L"WebOptions", L"encoding");
    ASSERT_EQ(encoding.size(), 2u);  // read, then set to UTF-8
    EXPECT_EQ(encoding[1].back(), L"I4:65001");
}

TEST_F(ExcelActions, WpsRoadPublishesACopySheetAndDeletesIt) {
    const Reply reply = Run(L"excel2html", Fixture(L"Book One.xlsx"), L"api:2");
    ExpectWorkbookFragments(reply);
    const JournalLines journal = Journal(L"et");
    ASSERT_TRUE(Journal(L"excel").empty());
    EXPECT_EQ(Calls(journal, L"Worksheets", L"Add").size(), 2u);
    const auto publish = Calls(journal, L"PublishObjects", L"Add");
    ASSERT_EQ(publish.size(), 2u);
    EXPECT_EQ(Arguments(publish[0])[0], L"I4:1");
    EXPECT_EQ(Arguments(publish[0])[3], L"BSTR:");
    // Every copy sheet is deleted again after its page was written, and nothing is saved.
    std::vector<std::wstring> order;
    for (const auto& line : journal)
        if ((line[0] == L"PublishObject" && line[1] == L"Publish") || (line[0].rfind(L"Worksheet(Sheet", 0) == 0 && line[1] == L"Delete"))
            order.push_back(line[1]);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"Publish", L"Delete", L"Publish", L"Delete"}));
    EXPECT_TRUE(Calls(journal, L"Workbook", L"Save").empty());
    // Each row and column of the two published ranges (16 rows and 2 columns of "First", 1 row
    // and 2 columns of "Third 三") read from the range and its value put on the copy's.
    const struct {
        const wchar_t* member;
        size_t count;
        const wchar_t* value;  // the stand-in's size of every row or column
    } sizes[] = {{L"RowHeight", 17, L"R8:14.25"}, {L"columnWidth", 4, L"R8:8.43"}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(size.member)));
        const auto calls = Calls(journal, L"Range", size.member);
        const size_t reads = std::count_if(calls.begin(), calls.end(), [](const auto& line) { return line[2] != L"put"; });
        EXPECT_EQ(reads, size.count);
        EXPECT_EQ(PutValues(journal, L"Range", size.member), std::vector<std::wstring>(size.count, size.value));
    }
}

TEST_F(ExcelActions, SheetIndexValues) {
    struct Case {
        const wchar_t* sheetindex;
        const wchar_t* state;
        const wchar_t* errflag;  // or the container ids of the fragments, joined by blanks
    } cases[] = {
        {L"3", L"ok", L"Quorallion_Sheet3"},
        {L"2", L"err", L"xlssheethide"},
        {L"9", L"err", L"xlssheetindex"},
        {L"-1", L"ok", L"Quorallion_Sheet1 Quorallion_Sheet3"},
        {L"2x", L"ok", L"Quorallion_Sheet1 Quorallion_Sheet3"},
        {L"99999999999", L"ok", L"Quorallion_Sheet1 Quorallion_Sheet3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.sheetindex)));
        const Reply reply = Run(L"excel2html", Fixture(L"Book One.xlsx"), std::wstring(L"sheetindex:") + c.sheetindex);
        EXPECT_EQ(reply.Get(L"state"), c.state) << reply.raw.substr(0, 500);
        if (std::wstring(c.state) == L"err") {
            EXPECT_EQ(reply.Get(L"errflag"), c.errflag);
            continue;
        }
        std::wstring ids;
        for (const std::wstring& fragment : Split(reply.Get(L"html"), kBreak)) {
            const size_t at = fragment.find(L"<div id=\"");
            if (at == std::wstring::npos) continue;
            if (!ids.empty()) ids += L" ";
            ids += fragment.substr(at + 9, fragment.find(L'"', at + 9) - at - 9);
        }
        EXPECT_EQ(ids, c.errflag);
        ExpectEnded(L"excel");
    }
}

TEST_F(ExcelActions, ErrflagsLeaveNothingRunning) {
    struct Case {
        const wchar_t* file;
        const wchar_t* options;
        const wchar_t* program;
        const char* settings;
        const wchar_t* errflag;
        bool quits;  // the worker started an application, so it must have quit it
    } cases[] = {
        {L"notes.txt", L"", L"excel", "", L"ext", false},
        {L"missing.xlsx", L"", L"excel", "", L"ext", false},
        {L"random.xlsx", L"", L"excel", "", L"xlsopen", true},
        {L"Book One.xlsx", L"api:1", L"excel", "version=11.0\n", L"office2007plus", true},
        {L"Book One.xlsx", L"", L"excel", "fail=Version\n", L"office2007plus", true},
        {L"Book One.xlsx", L"api:2", L"et", "version=9.0\n", L"", true},  // WPS is never refused for its version
        {L"Book One.xlsx", L"", L"excel", "fail=Publish\n", L"xlssave", true},
        {L"Book One.xlsx", L"", L"excel", "nopage=1\n", L"xlssave", true},  // a page missing after Publish
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.file) + L" " + c.options) + " " + c.settings);
        ClearJournal(c.program);
        Settings(c.program, c.settings);
        const Reply reply = Run(L"excel2html", Fixture(c.file), c.options);
        EXPECT_EQ(reply.Get(L"state"), *c.errflag ? L"err" : L"ok") << reply.raw.substr(0, 300);
        if (*c.errflag) {
            EXPECT_EQ(reply.Get(L"errflag"), c.errflag);
        }
        EXPECT_EQ(Calls(Journal(c.program), L"Application", L"Quit").size(), c.quits ? 1u : 0u);
        ExpectEnded(c.program);
        Settings(c.program, "");
    }
}

TEST_F(ExcelActions, ApplicationThatCannotBeCreatedOrWasTakenOverByWps) {
    {
        RegistryValue progId(HKEY_CLASSES_ROOT, L"KET.Application\\CLSID");
        ASSERT_TRUE(progId.ok());
        progId.Set(L"{5A9C6E1E-3F0B-4E5C-9A55-7B2E0F6C1DFF}");  // a class nobody serves
        EXPECT_EQ(Run(L"excel2html", Fixture(L"Book One.xlsx"), L"api:2").Get(L"errflag"), L"xlscreate");
        EXPECT_EQ(Run(L"excelsheetname", Fixture(L"Book One.xlsx"), L"api:2").Get(L"errflag"), L"xlscreate");
        EXPECT_EQ(Run(L"excel2pdf", Fixture(L"Book One.xlsx"), L"api:2").Get(L"errflag"), L"xlscreate");
    }
    {
        // Excel's class taken over by a WPS program that is not there (written in capitals, as
        // installers do): the repair writes Excel back and the job fails with "wpscompat". The
        // sheet-name listing with api 1 asks Excel without a repair, and WPS (api 2) needs none.
        RegistryValue server(HKEY_CLASSES_ROOT, L"CLSID\\{00024500-0000-0000-C000-000000000046}\\LocalServer32");
        ASSERT_TRUE(server.ok());
        const std::wstring wpsServer = L"\"C:\\Program Files\\Kingsoft\\office6\\ET.EXE\" /Automation";
        const std::wstring repaired = ProgramFolder() + L"office\\excel.exe /Automation";
        ExpectRepairTable(server, wpsServer, repaired, Fixture(L"Book One.xlsx"), L"excel",
                          {
                              {L"excel2html", L"", L"wpscompat", true},
                              {L"excel2pdf", L"", L"wpscompat", true},
                              {L"excel2image", L"api:1", L"wpscompat", true},
                              {L"excelsheetname", L"", L"wpscompat", true},
                              {L"excelsheetname", L"api:0", L"wpscompat", true},
                              {L"excelsheetname", L"api:excel", L"wpscompat", true},
                              {L"excelsheetname", L"api:1", L"xlscreate", false},  // Excel's class still names WPS
                              {L"excelsheetname", L"api:2", L"", false},
                          });
        ExpectEnded(L"et");
    }
}

// A chart sheet (second of four) counts in Sheets but is no worksheet: Worksheets holds three,
// so the last number of Sheets.Count names none and is skipped, by both roads.
TEST_F(ExcelActions, ChartSheetIsSkipped) {
    for (const wchar_t* options : {L"", L"api:2"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(options)));
        const Reply names = Run(L"excelsheetname", Fixture(L"charts.xlsx"), options);
        ASSERT_EQ(names.Get(L"state"), L"ok") << names.raw;
        EXPECT_EQ(names.Get(L"sheetname"), L"First\r1\nThird 三\r3");
        ExpectWorkbookFragments(Run(L"excel2html", Fixture(L"charts.xlsx"), options));
        EXPECT_EQ(Run(L"excel2html", Fixture(L"charts.xlsx"), std::wstring(options) + L";sheetindex:4").Get(L"errflag"),
                  L"xlssheetindex");
    }
}

TEST_F(ExcelActions, CancelAtEachOfTheFourPoints) {
    struct Case {
        const char* settings;
        // The call the job is in when the page cancels; "" while the application starts; nullptr
        // at once, before the job's first tick, so that the cancel is met before any application
        // is created.
        const wchar_t* waitFor;
        bool starts;  // an application was started (and is quit)
    } cases[] = {
        {"", nullptr, false},
        {"startdelay=4000\n", L"", true},           // cancelled while the application starts
        {"opendelay=4000\n", L"Open", true},        // while the workbook opens
        {"publishdelay=4000\n", L"Publish", true},  // while the last sheet publishes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        Settings(L"excel", c.settings);
        // The cancel at once must reach the core before the job's timer does (about 10 ms): on a
        // loaded machine it may come late, so that case is tried a few times.
        for (int attempt = 0; attempt < (c.waitFor ? 1 : 5); ++attempt) {
            ClearJournal(L"excel");
            const std::wstring first = core_.Core(L"excel2html", Fixture(L"Book One.xlsx"), L"sheetindex:3");
            ASSERT_EQ(first, kWait);
            if (c.waitFor && *c.waitFor)
                ASSERT_TRUE(WaitForCall(L"excel", std::wstring(c.waitFor) == L"Open" ? L"Workbooks" : L"PublishObject", c.waitFor));
            else if (c.waitFor)
                PumpFor(1500);
            if (c.waitFor) EXPECT_EQ(core_.Core(L"asyncresult"), kWait);  // the core answers while the application works
            EXPECT_EQ(core_.Core(L"cancel"), L"{\"state\":\"ok\"}");
            const Reply reply = Finish(kWait);
            EXPECT_EQ(reply.raw, L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
            ExpectEnded(L"excel", 30000);
            if (Journal(L"excel").empty() != c.starts) break;
        }
        const JournalLines journal = Journal(L"excel");
        EXPECT_EQ(!journal.empty(), c.starts) << "an application was started";
        EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), c.starts ? 1u : 0u);
        Settings(L"excel", "");
    }
}

// An export that wrote no PDF, by both roads that export: "saveaspdf", the application quit.
TEST_F(ExcelActions, ExportErrflags) {
    const std::wstring book = Fixture(L"Book One.xlsx");
    ExpectErrflags(
        {
            {L"excel2pdf", book, L"", L"excel", "fail=ExportAsFixedFormat\n", L"saveaspdf", 1},
            {L"excel2image", book, L"", L"excel", "fail=ExportAsFixedFormat\n", L"saveaspdf", 1},
        },
        [](const std::wstring& program) { ExpectEnded(program); });
}

// An Excel that will not have its alerts set still lists and converts: the refusal is no failure
// of the open.
TEST_F(ExcelActions, RefusedAlertsFailNothing) {
    Settings(L"excel", "fail=DisplayAlerts\nfastpdf=1\n");
    for (const wchar_t* action : {L"excelsheetname", L"excel2html", L"excel2pdf"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(action)));
        ClearJournal(L"excel");
        const Reply reply = Run(action, Fixture(L"Book One.xlsx"), L"");
        EXPECT_EQ(reply.Get(L"state"), L"ok") << reply.raw.substr(0, 300);
        EXPECT_FALSE(Calls(Journal(L"excel"), L"Application", L"DisplayAlerts").empty());
        ExpectEnded(L"excel");
    }
}

TEST_F(ExcelActions, Excel2PdfArgumentsAndProperties) {
    struct Case {
        const wchar_t* options;
        const wchar_t* exporter;  // the object the export was called on
        const wchar_t* properties;
        std::vector<std::wstring> propertyPuts;
    } cases[] = {
        {L"", L"Workbook", L"BOOL:false", {}},
        {L"docprop:1;sheetindex:3", L"Worksheet(Third 三)", L"BOOL:true", {}},
        {L"sheetindex:9", L"Workbook", L"BOOL:false", {}},  // beyond the count: the whole workbook
        {L"title:Q&maohao#1", L"Workbook", L"BOOL:true",
         {L"Title=Q:1", L"Subject=", L"Author=", L"Keywords=", L"Comments=", L"Last author=", L"Manager=", L"Company="}},
        {L"title:T;docprop:1", L"Workbook", L"BOOL:true", {L"Title=T"}},
    };
    Settings(L"excel", "fastpdf=1\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.options)));
        ClearJournal(L"excel");
        const Reply reply = Run(L"excel2pdf", Fixture(L"Book One.xlsx"), c.options);
        ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
        const std::wstring key = reply.Get(L"actkey");
        const std::wstring name = reply.Get(L"filekey").substr(key.size() + 1);
        const std::wstring pdf = ClientTempRoot() + key + L"\\" + name;
        EXPECT_EQ(reply.Get(L"filesize"), std::to_wstring(FileSize(pdf)));
        const JournalLines journal = Journal(L"excel");
        const auto exports = Calls(journal, c.exporter, L"ExportAsFixedFormat");
        ASSERT_EQ(exports.size(), 1u);
        EXPECT_EQ(Arguments(exports[0]), (std::vector<std::wstring>{L"I4:0", L"BSTR:" + pdf, L"I4:0", c.properties,
                                                                     L"BOOL:true", L"missing", L"missing", L"BOOL:false"}));
        EXPECT_EQ(PropertyPuts(journal), c.propertyPuts);
        EXPECT_EQ(Calls(journal, L"Application", L"Quit").size(), 1u);
    }
}

TEST_F(ExcelActions, PdfAndImagesFromLibreOffice) {
    // A sheet alone against the whole workbook (whose hidden sheet is not printed).
    const Reply whole = Run(L"excel2pdf", Fixture(L"Book One.xlsx"), L"");
    ASSERT_EQ(whole.Get(L"state"), L"ok") << whole.raw;
    const std::wstring wholePdf = ClientTempRoot() + whole.Get(L"actkey") + L"\\" +
                                  whole.Get(L"filekey").substr(whole.Get(L"actkey").size() + 1);
    EXPECT_EQ(PdfPages(wholePdf), 2);
    EXPECT_EQ(whole.Get(L"filesize"), std::to_wstring(FileSize(wholePdf)));

    const Reply images = Run(L"excel2image", Fixture(L"Book One.xlsx"), L"sheetindex:3;imgtype:png");
    ASSERT_EQ(images.Get(L"state"), L"ok") << images.raw;
    const std::wstring key = images.Get(L"actkey");
    const std::wstring html = images.Get(L"html");
    EXPECT_EQ(html.rfind(L"<img src=\"file:///" + key + L"/", 0), 0u) << ::testing::PrintToString(html);
    EXPECT_EQ(html.find(L"<img", 1), std::wstring::npos);  // one sheet, one page
    const auto exports = Calls(Journal(L"excel"), L"Worksheet(Third", L"ExportAsFixedFormat");
    ASSERT_EQ(exports.size(), 1u);
    EXPECT_EQ(Arguments(exports[0])[3], L"BOOL:false");  // never with properties
}

TEST_F(ExcelActions, Excel2ImageCancelledBetweenThePdfAndThePageImages) {
    ExpectCancelBetweenPdfAndImages(L"excel2image", L"Book One.xlsx", L"excel", L"Workbook", "fastpdf=1\n");
}

TEST_F(ExcelActions, Excel2ImageWithoutGhostscriptAnswersGsdll) {
    ExpectGsdllWithoutGhostscript(L"excel2image", L"Book One.xlsx", L"excel", "fastpdf=1\n");
}

}  // namespace
