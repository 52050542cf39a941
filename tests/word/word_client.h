#pragma once
// What the Word tests share: the client of the core (a COM client that polls "asyncresult"), the
// shared documents made at set-up, the stand-ins' journals and settings, and the end of every
// local server a test started.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/local_servers.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"

namespace quorallion::testing::word {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

inline std::wstring Wide(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

inline std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

inline std::wstring Fixture(const std::wstring& name) {
    std::wstring folder = Wide(QUORALLION_WORD_FIXTURES);
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    return L"Z:" + folder + L"\\" + name;
}

inline bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool WaitUntilNoProcess(const wchar_t* name, DWORD milliseconds = 20000) {
    return WaitUntilNoProcessNamed(name, milliseconds);
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
inline std::vector<std::vector<std::wstring>> Journal(const std::wstring& program) {
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

inline std::vector<std::vector<std::wstring>> Calls(const std::vector<std::vector<std::wstring>>& journal,
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
        const std::vector<std::wstring> left = EndLocalServers({L"QuorallionCore2.exe", L"Winword.exe", L"wps.exe"});
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
    Reply Run(const std::wstring& action, const std::wstring& p1, const std::wstring& p2,
              const std::wstring& config = L"{}") {
        const std::wstring first = core_.Core(action, p1, p2, config);
        EXPECT_EQ(first, kWait);
        return Finish(first);
    }

    ComApartment apartment_;
    DispatchClient core_;
};

}  // namespace quorallion::testing::word
