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

    ComApartment apartment_;
    DispatchClient core_;
};

}  // namespace quorallion::testing::office
