#pragma once
// What the Word tests share beyond support/office_standins.h: their documents made at set-up,
// the journal's lines read by object and member, and the test frame, which ends every local
// server a test started.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/local_servers.h"
#include "support/office_standins.h"
#include "support/temp_root.h"
#include "support/unix_shell.h"

namespace quorallion::testing::word {

using namespace quorallion::testing::office;

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";

inline std::wstring Fixture(const std::wstring& name) { return FixtureIn(QUORALLION_WORD_FIXTURES, name); }

inline bool WaitUntilNoProcess(const wchar_t* name, DWORD milliseconds = 20000) {
    return WaitUntilNoProcessNamed(name, milliseconds);
}

// The journal's calls of the member on objects of exactly that name.
inline JournalLines Calls(const JournalLines& journal, const std::wstring& object, const std::wstring& member) {
    JournalLines out;
    for (const auto& line : journal)
        if (line.size() >= 3 && line[0] == object && line[1] == member) out.push_back(line);
    return out;
}

class WordActions : public CoreJobTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(Exists(Fixture(L"table.txt"))) << "fixtures missing: make_fixtures.sh did not run";
        for (const wchar_t* program : {L"Winword", L"wps"}) {
            ClearJournal(program);
            ClearSettings(program);
        }
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }
    void TearDown() override {
        core_.Reset();
        for (const wchar_t* program : {L"Winword", L"wps"}) ClearSettings(program);
        // Every stand-in and the core end by themselves; one that does not is a fault, and is
        // terminated so that it outlives neither the test nor its output pipe. The next test's
        // client must not reach a core on its way out either.
        const std::vector<std::wstring> left = EndLocalServers({L"QuorallionCore2.exe", L"Winword.exe", L"wps.exe"});
        EXPECT_TRUE(left.empty()) << "left running: " << ::testing::PrintToString(left);
    }

    Reply Run(const std::wstring& action, const std::wstring& p1, const std::wstring& p2,
              const std::wstring& config = L"{}") {
        const std::wstring first = core_.Core(action, p1, p2, config);
        EXPECT_EQ(first, kWait);
        return Finish(first);
    }
};

// Base64 (as the equation codes are written) back to its bytes. Links crypt32.
inline std::string FromBase64(const std::wstring& text) {
    DWORD size = 0;
    if (text.empty() ||
        !::CryptStringToBinaryW(text.c_str(), 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return "";
    std::string out(size, '\0');
    ::CryptStringToBinaryW(text.c_str(), 0, CRYPT_STRING_BASE64, reinterpret_cast<BYTE*>(out.data()), &size, nullptr,
                           nullptr);
    out.resize(size);
    return out;
}

}  // namespace quorallion::testing::word
