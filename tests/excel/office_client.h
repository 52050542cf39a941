#pragma once
// What the spreadsheet and presentation tests share: the fixtures made at set-up, the stand-ins'
// journals and settings, and a client of the core that polls "asyncresult". Every test ends with
// no stand-in and no core left running: what is still there after a bounded wait is ended, and
// the test fails for it.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"

namespace quorallion::testing::office {

inline std::wstring Wide(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

inline std::string Utf8Of(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

inline std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

inline std::wstring Fixture(const std::wstring& name) {
    std::wstring folder = Wide(QUORALLION_EXCEL_FIXTURES);
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    return L"Z:" + folder + L"\\" + name;
}

inline bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline int64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Process ids running the named program.
inline std::set<DWORD> ProcessIds(const wchar_t* name) {
    std::set<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (::lstrcmpiW(entry.szExeFile, name) == 0) ids.insert(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return ids;
}

// Waits for every process of the program to end; what is left after the wait is ended by its id.
// True when none had to be ended.
inline bool EndsOrIsEnded(const wchar_t* name, DWORD milliseconds = 20000) {
    const DWORD start = ::GetTickCount();
    while (!ProcessIds(name).empty()) {
        if (::GetTickCount() - start > milliseconds) {
            for (DWORD id : ProcessIds(name))
                if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                    ::TerminateProcess(process, 1);
                    ::WaitForSingleObject(process, 5000);
                    ::CloseHandle(process);
                }
            return false;
        }
        PumpFor(100);
    }
    return true;
}

// Page count of a PDF by Ghostscript, or -1.
inline int PdfPages(const std::wstring& pdf) {
    const std::wstring count = pdf + L".pages";
    const std::optional<std::string> unixPdf = UnixPath(pdf), unixCount = UnixPath(count);
    if (!unixPdf || !unixCount) return -1;
    RunUnixScript("gs -q -dNODISPLAY -dNOSAFER -c " +
                  ShellQuote("(" + *unixPdf + ") (r) file runpdfbegin pdfpagecount = quit") + " > " +
                  ShellQuote(*unixCount));
    const std::string text = ReadBytes(count).value_or("");
    return text.empty() ? -1 : std::atoi(text.c_str());
}

// Tags removed, numeric and the common named references decoded, white space folded.
inline std::wstring VisibleText(const std::wstring& html) {
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
                    if (!entity.empty() && entity[0] == L'#')
                        out += static_cast<wchar_t>(entity.size() > 1 && (entity[1] == L'x' || entity[1] == L'X')
                                                        ? std::wcstoul(entity.c_str() + 2, nullptr, 16)
                                                        : std::wcstoul(entity.c_str() + 1, nullptr, 10));
                    else if (entity == L"nbsp") out += L' ';
                    else if (entity == L"amp") out += L'&';
                    else if (entity == L"lt") out += L'<';
                    else if (entity == L"gt") out += L'>';
                    else if (entity == L"quot") out += L'"';
                    else out += L'&' + entity + L';';
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
    if (!folded.empty() && folded.front() == L' ') folded.erase(0, 1);
    if (!folded.empty() && folded.back() == L' ') folded.pop_back();
    return folded;
}

using JournalLines = std::vector<std::vector<std::wstring>>;

// The journal of one stand-in copy, as lines of tab-separated fields.
inline JournalLines Journal(const std::wstring& program) {
    JournalLines lines;
    const std::wstring text = Wide(ReadBytes(ProgramFolder() + L"office\\" + program + L".journal").value_or(""));
    std::wstringstream stream(text);
    std::wstring line;
    while (std::getline(stream, line)) {
        std::vector<std::wstring> fields;
        for (size_t start = 0;;) {
            const size_t tab = line.find(L'\t', start);
            fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
            if (tab == std::wstring::npos) break;
            start = tab + 1;
        }
        lines.push_back(fields);
    }
    return lines;
}

inline JournalLines Calls(const JournalLines& journal, const std::wstring& object, const std::wstring& member) {
    JournalLines out;
    for (const auto& line : journal)
        if (line.size() >= 3 && line[0].rfind(object, 0) == 0 && line[1] == member) out.push_back(line);
    return out;
}

// The arguments of a journal line (after object, member and kind).
inline std::vector<std::wstring> Arguments(const std::vector<std::wstring>& line) {
    return line.size() > 3 ? std::vector<std::wstring>(line.begin() + 3, line.end()) : std::vector<std::wstring>{};
}

// "name=value" of every document property put, in order.
inline std::vector<std::wstring> PropertyPuts(const JournalLines& journal) {
    std::vector<std::wstring> puts;
    for (const auto& line : journal)
        if (line.size() == 4 && line[0].rfind(L"DocumentProperty(", 0) == 0 && line[2] == L"put")
            puts.push_back(line[0].substr(17, line[0].size() - 18) + L"=" + line[3].substr(line[3].find(L':') + 1));
    return puts;
}

// Office "installed" while the object lives: App Paths names the stand-in's copy of the program
// (its registration leaves App Paths alone, so that other tests of the prefix see no Office).
class InstalledOffice {
public:
    explicit InstalledOffice(const std::wstring& program) : key_(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program) {
        const std::wstring path = ProgramFolder() + L"office\\" + program;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                             static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
            ::RegCloseKey(key);
        }
    }
    ~InstalledOffice() { ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_.c_str()); }
    InstalledOffice(const InstalledOffice&) = delete;
    InstalledOffice& operator=(const InstalledOffice&) = delete;

private:
    std::wstring key_;
};

// A library that Wine's loader refuses to every QuorallionCore2 process started while the object
// lives: Wine's per-program DLL override "disabled" (an empty value under AppDefaults). A
// WINEDLLOVERRIDES set in the client's environment was seen not to reach the server COM starts.
class CoreRefusesLibrary {
public:
    explicit CoreRefusesLibrary(const std::wstring& name) : name_(name) {
        const wchar_t disabled[] = L"";
        ok_ = ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name_.c_str(), REG_SZ, disabled, sizeof(disabled)) == ERROR_SUCCESS;
    }
    ~CoreRefusesLibrary() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, name_.c_str()); }
    CoreRefusesLibrary(const CoreRefusesLibrary&) = delete;
    CoreRefusesLibrary& operator=(const CoreRefusesLibrary&) = delete;
    bool ok() const { return ok_; }

private:
    static constexpr wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\QuorallionCore2.exe\\DllOverrides";
    std::wstring name_;
    bool ok_ = false;
};

// The names of a folder's entries that end with the extension (".pdf"), compared without case.
inline std::vector<std::wstring> NamesEndingWith(const std::wstring& folder, const std::wstring& extension) {
    std::vector<std::wstring> out;
    for (const std::wstring& name : ListNames(folder))
        if (name.size() > extension.size() &&
            ::lstrcmpiW(name.c_str() + name.size() - extension.size(), extension.c_str()) == 0)
            out.push_back(name);
    return out;
}

// A registry key's default value pointed elsewhere for a test, put back afterwards.
class RegistryValue {
public:
    RegistryValue(HKEY root, const std::wstring& path) {
        ok_ = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_) == ERROR_SUCCESS;
        DWORD size = sizeof(saved_) - sizeof(wchar_t);
        if (ok_) ::RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(saved_), &size);
    }
    ~RegistryValue() {
        if (!ok_) return;
        Set(saved_);
        ::RegCloseKey(key_);
    }
    RegistryValue(const RegistryValue&) = delete;
    RegistryValue& operator=(const RegistryValue&) = delete;
    bool ok() const { return ok_; }
    std::wstring Saved() const { return saved_; }
    std::wstring Read() const {
        wchar_t value[1024] = {};
        DWORD size = sizeof(value) - sizeof(wchar_t);
        if (ok_) ::RegQueryValueExW(key_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        return value;
    }
    void Set(const std::wstring& value) {
        ::RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

private:
    HKEY key_ = nullptr;
    bool ok_ = false;
    wchar_t saved_[1024] = {};
};

struct Reply {
    Members members;
    std::wstring raw;
    std::wstring Get(const std::wstring& key) const { return Member(members, key).value_or(L"<missing>"); }
};

// A core client for one test, with the stand-in copies it may start.
class OfficeActions : public ::testing::Test {
protected:
    static constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

    // programs: the stand-in copies the test may start, the first being the Office program.
    explicit OfficeActions(std::vector<std::wstring> programs)
        : programs_(std::move(programs)), installed_(programs_.front() + L".exe") {}

    void SetUp() override {
        ASSERT_TRUE(Exists(Fixture(L"book-First.csv"))) << "fixtures missing: make_fixtures.sh did not run";
        for (const std::wstring& program : programs_) {
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".journal").c_str());
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".settings").c_str());
        }
        const HRESULT hr = core_.Create(L"QuorallionCore2.Core15200");
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }
    void TearDown() override {
        core_.Reset();
        for (const std::wstring& program : programs_) {
            ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".settings").c_str());
            ExpectEnded(program);
        }
        // The next test's client must not reach a core on its way out.
        // Under a loaded machine the core was seen taking more than 20 s to leave Wine's process list.
        EXPECT_TRUE(EndsOrIsEnded(L"QuorallionCore2.exe", 60000));
    }

    // Every process of the program ends within the time; one that does not is ended and the test
    // fails, showing the program's process lines of the journal.
    static void ExpectEnded(const std::wstring& program, DWORD milliseconds = 20000) {
        if (EndsOrIsEnded((program + L".exe").c_str(), milliseconds)) return;
        std::string lines;
        for (const auto& line : Journal(program))
            if (!line.empty() && line[0] == L"Process") lines += " | " + ::testing::PrintToString(line);
        ADD_FAILURE() << "left running: " << ::testing::PrintToString(program) << lines;
    }

    static void Settings(const std::wstring& program, const std::string& text) {
        ASSERT_TRUE(WriteBytes(ProgramFolder() + L"office\\" + program + L".settings", text));
    }
    static void ClearJournal(const std::wstring& program) {
        ::DeleteFileW((ProgramFolder() + L"office\\" + program + L".journal").c_str());
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
        return first == kWait ? Finish(first) : Finish(first);
    }
    // Waits, serving messages, until the program's journal holds a call of the member.
    static bool WaitForCall(const std::wstring& program, const std::wstring& object, const std::wstring& member,
                            DWORD milliseconds = 30000) {
        const DWORD start = ::GetTickCount();
        while (Calls(Journal(program), object, member).empty()) {
            if (::GetTickCount() - start > milliseconds) return false;
            PumpFor(50);
        }
        return true;
    }

    // The core of SetUp ended and a new one started, which inherits the environment as it is now.
    void RestartCore() {
        core_.Reset();
        ASSERT_TRUE(EndsOrIsEnded(L"QuorallionCore2.exe", 60000)) << "the first core had to be ended";
        const HRESULT hr = core_.Create(L"QuorallionCore2.Core15200");
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }

    // The job folder, made since `before` (the temp root's names then), that holds a PDF; "" when
    // there is not exactly one.
    static std::wstring NewFolderWithPdf(const std::vector<std::wstring>& before) {
        std::vector<std::wstring> found;
        for (const std::wstring& name : ListNames(ClientTempRoot()))
            if (std::find(before.begin(), before.end(), name) == before.end() &&
                !NamesEndingWith(ClientTempRoot() + name + L"\\", L".pdf").empty())
                found.push_back(name);
        EXPECT_EQ(found.size(), 1u) << ::testing::PrintToString(found);
        return found.size() == 1 ? ClientTempRoot() + found[0] + L"\\" : L"";
    }

    // A page-image job ("excel2image", "ppt2image") that made its PDF and then stopped: the
    // application has ended, the PDF is in the job folder, and no page image was made nor was
    // Ghostscript called, not even a while later.
    void ExpectPdfWithoutPageImages(const std::vector<std::wstring>& before, const std::wstring& program) {
        ExpectEnded(program, 30000);
        EXPECT_EQ(Calls(Journal(program), L"Application", L"Quit").size(), 1u);
        const std::wstring folder = NewFolderWithPdf(before);
        ASSERT_FALSE(folder.empty());
        PumpFor(3000);
        EXPECT_FALSE(Exists(folder + L"gs-args.log")) << "Ghostscript was called";
        for (const wchar_t* image : {L".png", L".jpg", L".gif"})
            EXPECT_TRUE(NamesEndingWith(folder, image).empty()) << ::testing::PrintToString(ListNames(folder));
    }

    // "excel2image" or "ppt2image" cancelled while the application exports the PDF: the stand-in
    // holds the export until the core has answered the cancel. The export then finishes, and the
    // job ends "cancel" before any page image.
    void ExpectCancelBetweenPdfAndImages(const std::wstring& action, const std::wstring& file,
                                         const std::wstring& program, const std::wstring& exporter,
                                         const std::string& settings) {
        const std::wstring gate = ProgramFolder() + L"office\\" + program + L".gate";
        ::DeleteFileW(gate.c_str());
        ClearJournal(program);
        Settings(program, settings + "exportgate=" + Utf8Of(gate) + "\n");
        const std::vector<std::wstring> before = ListNames(ClientTempRoot());
        ASSERT_EQ(core_.Core(action, Fixture(file), L"imgtype:png"), kWait);
        EXPECT_TRUE(WaitForCall(program, exporter, L"ExportAsFixedFormat"));
        EXPECT_EQ(core_.Core(L"asyncresult"), kWait);  // served while the application exports
        EXPECT_EQ(core_.Core(L"cancel"), L"{\"state\":\"ok\"}");
        EXPECT_TRUE(WriteBytes(gate, "open"));
        EXPECT_EQ(Finish(kWait).raw, L"{\"state\":\"err\",\"errflag\":\"cancel\"}");
        ExpectPdfWithoutPageImages(before, program);
        ::DeleteFileW(gate.c_str());
        Settings(program, "");
    }

    // "excel2image" or "ppt2image" where Ghostscript's library cannot be loaded into the core:
    // "gsdll", with the PDF made and nothing left running.
    void ExpectGsdllWithoutGhostscript(const std::wstring& action, const std::wstring& file,
                                       const std::wstring& program, const std::string& settings) {
        CoreRefusesLibrary noGhostscript(L"gsdll64");
        ASSERT_TRUE(noGhostscript.ok());
        RestartCore();
        ClearJournal(program);
        Settings(program, settings);
        const std::vector<std::wstring> before = ListNames(ClientTempRoot());
        const Reply reply = Run(action, Fixture(file), L"imgtype:png");
        EXPECT_EQ(reply.raw, L"{\"state\":\"err\",\"errflag\":\"gsdll\"}");
        ExpectPdfWithoutPageImages(before, program);
        Settings(program, "");
    }

    ComApartment apartment_;
    DispatchClient core_;
    std::vector<std::wstring> programs_;
    InstalledOffice installed_;
};

}  // namespace quorallion::testing::office
