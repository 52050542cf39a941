// The Word actions from the page's side: a client calls QuorallionCore2 over COM and polls
// "asyncresult", while the Word stand-in (tests/standins/word, LibreOffice underneath) plays Word
// and WPS writer. What the worker asked of the application is read back from the stand-in's
// journal; the documents are made once at set-up (make_fixtures.sh).
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/local_servers.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

std::wstring Wide(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring Fixture(const std::wstring& name) {
    std::wstring folder = Wide(QUORALLION_WORD_FIXTURES);
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    return L"Z:" + folder + L"\\" + name;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitUntilNoProcess(const wchar_t* name, DWORD milliseconds = 20000) {
    return WaitUntilNoProcessNamed(name, milliseconds);
}

// Tags removed, numeric and the common named references decoded, white space folded.
std::wstring VisibleText(const std::wstring& html) {
    std::wstring out;
    bool inTag = false;
    for (size_t i = 0; i < html.size(); ++i) {
        const wchar_t c = html[i];
        if (c == L'<') {
            inTag = true;
            out += L' ';
        } else if (c == L'>') {
            inTag = false;
        } else if (!inTag) {
            if (c == L'&') {
                const size_t end = html.find(L';', i);
                if (end != std::wstring::npos && end - i < 10) {
                    const std::wstring entity = html.substr(i + 1, end - i - 1);
                    if (!entity.empty() && entity[0] == L'#') {
                        const unsigned long code = entity.size() > 1 && (entity[1] == L'x' || entity[1] == L'X')
                                                       ? std::wcstoul(entity.c_str() + 2, nullptr, 16)
                                                       : std::wcstoul(entity.c_str() + 1, nullptr, 10);
                        out += static_cast<wchar_t>(code);
                    } else if (entity == L"nbsp") {
                        out += L' ';
                    } else if (entity == L"amp") {
                        out += L'&';
                    } else {
                        out += L'&' + entity + L';';
                    }
                    i = end;
                    continue;
                }
            }
            out += c;
        }
    }
    std::wstring folded;
    for (wchar_t c : out) {
        const bool space = c == L' ' || c == L'\r' || c == L'\n' || c == L'\t' || c == 0xA0;
        if (space) {
            if (!folded.empty() && folded.back() != L' ') folded += L' ';
        } else {
            folded += c;
        }
    }
    return folded;
}

struct Reply {
    Members members;
    std::wstring raw;
    std::wstring Get(const std::wstring& key) const { return Member(members, key).value_or(L"<missing>"); }
};

// The journal of one stand-in copy, as lines of tab-separated fields.
std::vector<std::vector<std::wstring>> Journal(const std::wstring& program) {
    std::vector<std::vector<std::wstring>> lines;
    const std::wstring text = Wide(ReadBytes(ProgramFolder() + L"office\\" + program + L".journal").value_or(""));
    std::wstringstream stream(text);
    std::wstring line;
    while (std::getline(stream, line)) {
        std::vector<std::wstring> fields;
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find(L'\t', start);
            fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
            if (tab == std::wstring::npos) break;
            start = tab + 1;
        }
        lines.push_back(fields);
    }
    return lines;
}

std::vector<std::vector<std::wstring>> Calls(const std::vector<std::vector<std::wstring>>& journal,
                                             const std::wstring& object, const std::wstring& member) {
    std::vector<std::vector<std::wstring>> out;
    for (const auto& line : journal)
        if (line.size() >= 3 && line[0] == object && line[1] == member) out.push_back(line);
    return out;
}

class WordActions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Exists(Fixture(L"table.txt"))) << "fixtures missing: make_fixtures.sh did not run";
        for (const wchar_t* program : {L"Winword", L"wps"}) {
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".journal").c_str());
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".settings").c_str());
        }
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }
    void TearDown() override {
        core_.Reset();
        for (const wchar_t* program : {L"Winword", L"wps"})
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".settings").c_str());
        // Every stand-in and the core end by themselves; one that does not is a fault, and is
        // terminated so that it outlives neither the test nor its output pipe. The next test's
        // client must not reach a core on its way out either.
        const std::vector<std::wstring> left = EndLocalServers({L"Winword.exe", L"wps.exe", L"QuorallionCore2.exe"});
        EXPECT_TRUE(left.empty()) << "left running: " << ::testing::PrintToString(left);
    }

    static void Settings(const std::wstring& program, const std::string& text) {
        ASSERT_TRUE(WriteBytes(ProgramFolder() + L"office\\" + program + L".settings", text));
    }

    Reply Finish(std::wstring reply) {
        for (int i = 0; i < 1800 && reply == kWait; ++i) {
            PumpFor(100);
            reply = core_.Core(L"asyncresult");
        }
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members.has_value()) << ::testing::PrintToString(reply);
        return Reply{members.value_or(Members{}), reply};
    }
    Reply Run(const std::wstring& action, const std::wstring& p1, const std::wstring& p2) {
        const std::wstring first = core_.Core(action, p1, p2);
        EXPECT_EQ(first, kWait);
        return Finish(first);
    }

    ComApartment apartment_;
    DispatchClient core_;
};

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
    const std::wstring prefix = L"src=\"file:///" + key + L"/Quorallion_Temp_Doc_files/";
    const size_t img = html.find(prefix);
    ASSERT_NE(img, std::wstring::npos) << ::testing::PrintToString(html.substr(0, 2000));
    const size_t end = html.find(L'"', img + prefix.size());
    const std::wstring name = html.substr(img + prefix.size(), end - img - prefix.size());
    EXPECT_TRUE(Exists(ClientTempRoot() + key + L"\\Quorallion_Temp_Doc_files\\" + name)) << name;

    // What Word was asked: alerts off, opened read-only with a password no file has, saved as
    // filtered HTML in the job folder, closed without saving and quit.
    const auto journal = Journal(L"Winword");
    ASSERT_FALSE(Calls(journal, L"Application", L"DisplayAlerts").empty());
    EXPECT_EQ(Calls(journal, L"Application", L"DisplayAlerts")[0].back(), L"I4:0");
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

TEST_F(WordActions, ErrflagsOfTheFileRoad) {
    struct Case {
        const wchar_t* file;
        const wchar_t* options;
        const char* winwordSettings;
        const wchar_t* errflag;
    } cases[] = {
        {L"notes.doc.txt", L"", "", L"ext"},
        {L"folder.doc", L"", "", L"ext"},
        {L"missing.docx", L"", "", L"ext"},
        {L"random.docx", L"", "", L"wordopen"},
        {L"encrypted.docx", L"", "", L"wordopen"},
        {L"Table Doc.DOCX", L"api:1", "version=11.0\n", L"office2007plus"},
        {L"Table Doc.DOCX", L"", "nosave=1\n", L"wordreadfile"},  // a save that left no file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.file)) + " " + c.winwordSettings);
        ::DeleteFileW((ProgramFolder() + L"office\\Winword.journal").c_str());
        Settings(L"Winword", c.winwordSettings);
        const Reply reply = Run(L"word2html", Fixture(c.file), c.options);
        EXPECT_EQ(reply.Get(L"state"), L"err");
        EXPECT_EQ(reply.Get(L"errflag"), c.errflag);
        if (std::wstring(c.errflag) != L"ext")  // an application the worker started is quit
            EXPECT_EQ(Calls(Journal(L"Winword"), L"Application", L"Quit").size(), 1u);
        EXPECT_TRUE(WaitUntilNoProcess(L"Winword.exe"));
    }
}

TEST_F(WordActions, WpsThatCannotBeCreatedGivesWordcreate) {
    // KWPS.Application pointed at a class nobody serves, for this case only.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"KWPS.Application\\CLSID", 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    wchar_t saved[64] = {};
    DWORD size = sizeof(saved) - sizeof(wchar_t);
    ::RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size);
    const wchar_t bogus[] = L"{5A9C6E1E-3F0B-4E5C-9A55-7B2E0F6C1DFF}";
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(bogus), sizeof(bogus));
    const Reply reply = Run(L"word2html", Fixture(L"Table Doc.DOCX"), L"api:2");
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved),
                     static_cast<DWORD>((wcslen(saved) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    EXPECT_EQ(reply.Get(L"errflag"), L"wordcreate") << reply.raw;
}

TEST_F(WordActions, WpsServesApiTwo) {
    const Reply reply = Run(L"word2html", Fixture(L"Table Doc.DOCX"), L"api:2");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_EQ(Calls(Journal(L"wps"), L"Documents", L"Open").size(), 1u);
    EXPECT_TRUE(Journal(L"Winword").empty());
}

TEST_F(WordActions, ProtectedDocumentWithoutPromptIsConvertedReadOnly) {
    Settings(L"Winword", "password=secret\n");
    const Reply reply = Run(L"word2html", Fixture(L"protected.docx"), L"originalimage:1");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    EXPECT_NE(VisibleText(reply.Get(L"html")).find(L"January"), std::wstring::npos);
    const auto journal = Journal(L"Winword");
    EXPECT_FALSE(Calls(journal, L"Document", L"ProtectionType").empty());
    EXPECT_TRUE(Calls(journal, L"Document", L"Unprotect").empty());
    // The picture and equation treatment is skipped for a document left protected.
    EXPECT_TRUE(Calls(journal, L"Document", L"InlineShapes").empty());
    EXPECT_TRUE(Calls(journal, L"Document", L"OMaths").empty());
}

TEST_F(WordActions, CancelDuringASlowSaveEndsTheJobAndTheApplication) {
    Settings(L"Winword", "savedelay=6000\n");
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
        if (counted) {  // Ghostscript counts LibreOffice's pages: the document has one
            const std::wstring count = pdf + L".pages";
            const std::optional<std::string> unixPdf = UnixPath(pdf), unixCount = UnixPath(count);
            ASSERT_TRUE(unixPdf && unixCount);
            RunUnixScript("gs -q -dNODISPLAY -dNOSAFER -c " +
                          ShellQuote("(" + *unixPdf + ") (r) file runpdfbegin pdfpagecount = quit") + " > " +
                          ShellQuote(*unixCount));
            EXPECT_EQ(ReadBytes(count).value_or("?"), "1\n");
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

TEST_F(WordActions, Word2ImageLeavesThePdfAndThePages) {
    const Reply reply = Run(L"word2image", Fixture(L"Table Doc.DOCX"), L"imgtype:png");
    ASSERT_EQ(reply.Get(L"state"), L"ok") << reply.raw;
    const std::wstring key = reply.Get(L"actkey");
    const std::wstring html = reply.Get(L"html");
    EXPECT_EQ(html.rfind(L"<img src=\"file:///" + key + L"/", 0), 0u) << ::testing::PrintToString(html);
    std::vector<std::wstring> names = ListNames(ClientTempRoot() + key + L"\\");
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::wstring& n) { return n.size() > 4 && n.substr(n.size() - 4) == L".pdf"; }),
              1);
    const auto exportCalls = Calls(Journal(L"Winword"), L"Document", L"ExportAsFixedFormat");
    ASSERT_EQ(exportCalls.size(), 1u);
    EXPECT_EQ(exportCalls[0][10], L"&I4:0");  // markup off for images
}

}  // namespace
