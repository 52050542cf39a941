#pragma once
// What the spreadsheet and presentation tests share beyond support/office_standins.h: their
// fixtures, the journal's lines read by object and member, and the test frame. Every test ends
// with no stand-in and no core left running: what is still there after a bounded wait is ended,
// and the test fails for it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/core_dll_override.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/local_servers.h"
#include "support/office_standins.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"

namespace quorallion::testing::office {

inline std::wstring Fixture(const std::wstring& name) { return FixtureIn(QUORALLION_EXCEL_FIXTURES, name); }

inline int64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Waits for every process of the program to end; what is left after the wait is ended by its id.
// True when none had to be ended.
inline bool EndsOrIsEnded(const wchar_t* name, DWORD milliseconds = 20000) {
    return EndLocalServers({name}, milliseconds).empty();
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

// The names of a folder's entries that end with the extension (".pdf"), compared without case.
inline std::vector<std::wstring> NamesEndingWith(const std::wstring& folder, const std::wstring& extension) {
    std::vector<std::wstring> out;
    for (const std::wstring& name : ListNames(folder))
        if (name.size() > extension.size() &&
            ::lstrcmpiW(name.c_str() + name.size() - extension.size(), extension.c_str()) == 0)
            out.push_back(name);
    return out;
}

// A core client for one test, with the stand-in copies it may start.
class OfficeActions : public CoreJobTest {
protected:
    // programs: the stand-in copies the test may start, the first being the Office program.
    explicit OfficeActions(std::vector<std::wstring> programs)
        : programs_(std::move(programs)), installed_(programs_.front() + L".exe") {}

    void SetUp() override {
        ASSERT_TRUE(Exists(Fixture(L"book-First.csv"))) << "fixtures missing: make_fixtures.sh did not run";
        for (const std::wstring& program : programs_) {
            ClearJournal(program);
            ClearSettings(program);
        }
        const HRESULT hr = core_.Create(L"QuorallionCore2.Core15200");
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }
    void TearDown() override {
        core_.Reset();
        for (const std::wstring& program : programs_) {
            ClearSettings(program);
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
        Settings(program, settings + "exportgate=" + Utf8(gate) + "\n");
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
        CoreDllOverride noGhostscript(L"gsdll64");
        ASSERT_TRUE(noGhostscript.IsSet());
        RestartCore();
        ClearJournal(program);
        Settings(program, settings);
        const std::vector<std::wstring> before = ListNames(ClientTempRoot());
        const Reply reply = Run(action, Fixture(file), L"imgtype:png");
        EXPECT_EQ(reply.raw, L"{\"state\":\"err\",\"errflag\":\"gsdll\"}");
        ExpectPdfWithoutPageImages(before, program);
        Settings(program, "");
    }

    std::vector<std::wstring> programs_;
    InstalledOffice installed_;
};

}  // namespace quorallion::testing::office
