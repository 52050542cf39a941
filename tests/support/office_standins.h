#pragma once
// What the tests of the Office workers share: the fixture folders made at set-up, the stand-ins'
// journals and settings files (beside the test program, under office\), the text of a page, and
// a client of the core that polls "asyncresult" until a job has answered.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"
#include "support/utf8.h"

namespace quorallion::testing::office {

inline std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// A file of a fixture folder the build made (a Unix path), as Wine's Z: drive names it.
inline std::wstring FixtureIn(const char* unixFolder, const std::wstring& name) {
    std::wstring folder = Wide(unixFolder);
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    return L"Z:" + folder + L"\\" + name;
}

inline bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The stand-in copy's files: "journal" or "settings".
inline std::wstring StandinFile(const std::wstring& program, const wchar_t* kind) {
    return ProgramFolder() + L"office\\" + program + L"." + kind;
}

// Tags removed, numeric and the common named references decoded, white space folded and trimmed.
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
    const std::wstring text = Wide(ReadBytes(StandinFile(program, L"journal")).value_or(""));
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

// The first picture of the HTML whose address points into the pictures folder of the job
// ("src=\"file:///<key>/<folder>/<name>\""): the file exists there.
inline void ExpectPictureInJobFolder(const std::wstring& html, const std::wstring& key, const std::wstring& folder) {
    const std::wstring prefix = L"src=\"file:///" + key + L"/" + folder + L"/";
    const size_t img = html.find(prefix);
    ASSERT_NE(img, std::wstring::npos) << ::testing::PrintToString(html.substr(0, 3000));
    const size_t end = html.find(L'"', img + prefix.size());
    const std::wstring name = html.substr(img + prefix.size(), end - img - prefix.size());
    EXPECT_TRUE(::GetFileAttributesW((ClientTempRoot() + key + L"\\" + folder + L"\\" + name).c_str()) !=
                INVALID_FILE_ATTRIBUTES)
        << ::testing::PrintToString(name);
}

// The values the journal's puts of the member gave, in order ("I4:0").
inline std::vector<std::wstring> PutValues(const JournalLines& journal, const std::wstring& object,
                                           const std::wstring& member) {
    std::vector<std::wstring> values;
    for (const auto& line : journal)
        if (line.size() == 4 && line[0] == object && line[1] == member && line[2] == L"put") values.push_back(line[3]);
    return values;
}

struct Reply {
    Members members;
    std::wstring raw;
    std::wstring Get(const std::wstring& key) const { return Member(members, key).value_or(L"<missing>"); }
};

// A test with its own client of the core. The stand-ins' settings written by a test are removed
// by the test's own TearDown.
class CoreJobTest : public ::testing::Test {
protected:
    static constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

    static void Settings(const std::wstring& program, const std::string& text) {
        ASSERT_TRUE(WriteBytes(StandinFile(program, L"settings"), text));
    }
    static void ClearJournal(const std::wstring& program) { ::DeleteFileW(StandinFile(program, L"journal").c_str()); }
    static void ClearSettings(const std::wstring& program) { ::DeleteFileW(StandinFile(program, L"settings").c_str()); }

    // Polls "asyncresult" while the answer is "wait" (three minutes at the most), then reads the
    // answer as a flat JSON object.
    Reply Finish(std::wstring reply) {
        for (int i = 0; i < 1800 && reply == kWait; ++i) {
            PumpFor(100);
            reply = core_.Core(L"asyncresult");
        }
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        EXPECT_TRUE(members.has_value()) << ::testing::PrintToString(reply);
        return Reply{members.value_or(Members{}), reply};
    }

    // One failing conversion: the stand-in copy told its settings (and, where given, a ProgID
    // pointed at a class nobody serves), the action run on the file.
    struct ErrflagCase {
        const wchar_t* action;
        std::wstring file;  // full path
        const wchar_t* options;
        const wchar_t* program;  // the stand-in copy the settings are for
        const char* settings;
        const wchar_t* errflag;
        int quits;                               // Quit calls it must see: 1 when the worker started it
        const wchar_t* unservedProgId = nullptr;  // e.g. "KWPS.Application"
    };
    // Each case answers state "err" with its errflag, the application the worker started is quit,
    // and `ended(program)` holds afterwards (nothing of the stand-in left running).
    // A case that takes longer than hangBound (ms, 0 for no bound) waited on something nobody sees.
    template <typename Ended>
    void ExpectErrflags(const std::vector<ErrflagCase>& cases, Ended ended, DWORD hangBound = 0) {
        for (const ErrflagCase& c : cases) {
            SCOPED_TRACE(::testing::PrintToString(std::wstring(c.action) + L" " + c.file + L" " + c.options) + " " +
                         c.settings + (c.unservedProgId ? " unserved " + Utf8(c.unservedProgId) : ""));
            ClearJournal(c.program);
            Settings(c.program, c.settings);
            std::optional<RegistryValue> progId;
            if (c.unservedProgId) {
                progId.emplace(HKEY_CLASSES_ROOT, std::wstring(c.unservedProgId) + L"\\CLSID");
                ASSERT_TRUE(progId->ok());
                progId->Set(L"{5A9C6E1E-3F0B-4E5C-9A55-7B2E0F6C1DFF}");
            }
            const DWORD start = ::GetTickCount();
            const Reply reply = Finish(core_.Core(c.action, c.file, c.options));
            if (hangBound) EXPECT_LT(::GetTickCount() - start, hangBound);
            progId.reset();
            EXPECT_EQ(reply.Get(L"state"), L"err") << reply.raw.substr(0, 300);
            EXPECT_EQ(reply.Get(L"errflag"), c.errflag);
            int quits = 0;
            for (const auto& line : Journal(c.program)) quits += line.size() >= 2 && line[0] == L"Application" && line[1] == L"Quit";
            EXPECT_EQ(quits, c.quits);
            ended(std::wstring(c.program));
            Settings(c.program, "");
        }
    }

    // An application's class taken over by a WPS program (seeded as its server): each case runs
    // the action on the file and expects its errflag ("" for success), the server repaired or left
    // as seeded, and the application whose class it is never started.
    struct RepairCase {
        const wchar_t* action;
        const wchar_t* options;
        const wchar_t* errflag;
        bool repairs;
    };
    void ExpectRepairTable(RegistryValue& server, const std::wstring& seeded, const std::wstring& repaired,
                           const std::wstring& file, const std::wstring& program,  // file: full path
                           const std::vector<RepairCase>& cases) {
        for (const RepairCase& c : cases) {
            SCOPED_TRACE(::testing::PrintToString(std::wstring(c.action) + L" " + c.options));
            server.Set(seeded);
            const Reply reply = Finish(core_.Core(c.action, file, c.options));
            EXPECT_EQ(reply.Get(L"state"), *c.errflag ? L"err" : L"ok") << reply.raw;
            if (*c.errflag) EXPECT_EQ(reply.Get(L"errflag"), c.errflag);
            EXPECT_EQ(server.Read(), c.repairs ? repaired : seeded);
            EXPECT_TRUE(Journal(program).empty()) << "the application was started";
        }
    }

    ComApartment apartment_;
    DispatchClient core_;
};

}  // namespace quorallion::testing::office
