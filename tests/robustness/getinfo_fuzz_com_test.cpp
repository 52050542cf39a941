// GetInfo of QuorallionCore2 fuzzed over COM as a page could call it: action words of the tables
// (jobs included) and random ones, parameters of any length with control characters, NULs and
// lone surrogates. Every reply is strict JSON (or the empty text of "asyncresult" before any
// job), every job reaches a final reply, and the same server process answers at the end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/dispatch_client.h"
#include "support/flat_json.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";

const wchar_t* const kActions[] = {
    L"config", L"cancel", L"cache", L"asyncresult", L"wordeqinstall", L"gcbfilelist", L"gcbhtml", L"gcbtext",
    L"gcbformat", L"gcbimage", L"gcbsource", L"scbhtml", L"wordpaste2image", L"excelpaste2image",
    // Jobs: each is waited for to its final reply.
    L"wordpaste2html", L"excelpaste2html", L"word2html", L"word2pdf", L"word2image", L"excelsheetname",
    L"excel2html", L"excel2pdf", L"excel2image", L"ppt2pdf", L"ppt2image", L"pdf2image"};
// "capture" and "wordeqshow" are left out: their windows wait for the user's hand, so their jobs
// end only when someone at the screen finishes them; their own tests drive them with SendInput.
const wchar_t* const kJobs[] = {L"wordpaste2html", L"excelpaste2html", L"word2html", L"word2pdf",
                                L"word2image", L"excelsheetname", L"excel2html", L"excel2pdf",
                                L"excel2image", L"ppt2pdf", L"ppt2image", L"pdf2image"};

bool IsJob(const std::wstring& action) {
    for (const wchar_t* job : kJobs)
        if (action == job) return true;
    return false;
}

class Fuzzer {
public:
    explicit Fuzzer(uint32_t seed) : random_(seed) {}

    size_t Below(size_t n) { return n ? size_t(random_() % n) : 0; }

    std::wstring Text() {
        static const wchar_t* const kPieces[] = {
            L"cmode:1", L"cmode:0", L"imgtype:png;bl:100", L"api:2;title:a&maohao#b", L"C:\\missing.docx",
            L"C:\\", L"\\\\?\\C:\\x.pdf", L"Z:\\tmp\\nothing.xls", L"..\\..\\", L"{\"lang\":\"en\"}", L"{\"lang\":",
            L"<html><body><p>x</p></body></html>", L"<!--StartFragment-->", L"%s%n", L"\"\\", L"ok", L"\xFEFF"};
        std::wstring out;
        const size_t parts = Below(6);
        for (size_t p = 0; p < parts; ++p) {
            switch (Below(6)) {
            case 0: out += kPieces[Below(std::size(kPieces))]; break;
            case 1: out += wchar_t(Below(32)); break;                    // control characters, NUL
            case 2: out += wchar_t(0xD800 + Below(0x800)); break;        // lone surrogates
            case 3: out += std::wstring(Below(40), wchar_t(L'a' + Below(26))); break;
            case 4: out += wchar_t(0x20 + Below(0xD000)); break;
            default:
                if (Below(20) == 0) out += std::wstring(100000 + Below(400000), L'x');  // long
                else out += std::to_wstring(random_());
            }
        }
        return out;
    }

    std::wstring Action() {
        switch (Below(8)) {
        case 0: return Text();                                           // a word of no table
        case 1: {                                                        // a near miss
            std::wstring word = kActions[Below(std::size(kActions))];
            word[Below(word.size())] ^= 0x20;
            return word;
        }
        default: return kActions[Below(std::size(kActions))];
        }
    }

private:
    std::mt19937 random_;
};

}  // namespace

TEST(GetInfoFuzz, EveryReplyIsStrictJsonAndEveryJobEnds) {
    ComApartment apartment;
    DispatchClient core;
    ASSERT_TRUE(SUCCEEDED(core.Create(kProgId)));
    HWND window = ::FindWindowW(L"ThunderRT6Main", L"Quorallion Core V15200");
    DWORD serverBefore = 0;
    if (window) ::GetWindowThreadProcessId(window, &serverBefore);

    Fuzzer fuzz(20261211);
    int jobs = 0;
    for (int call = 0; call < 250; ++call) {
        std::wstring action = fuzz.Action();
        std::wstring p1 = fuzz.Text(), p2 = fuzz.Text();
        // "cache" deletes a folder of the temp root named only by letters and digits: never one
        // that another test or a job of this run may use.
        if (action == L"cache") p2 = L"fuzz" + p2;
        const std::wstring config = fuzz.Below(2) ? L"{\"lang\":\"zh-tw\"}" : fuzz.Text();
        HRESULT hr = E_FAIL;
        const std::wstring reply = core.GetInfo({config, action, p1, p2, fuzz.Text()}, &hr);
        const std::string what = "call " + std::to_string(call) + " action of " + std::to_string(action.size()) +
                                 " characters";
        ASSERT_TRUE(SUCCEEDED(hr)) << what << ": " << std::hex << hr;
        if (action == L"asyncresult" && reply.empty()) continue;
        ASSERT_TRUE(StrictJson::IsValid(reply)) << what << ": " << ::testing::PrintToString(reply.substr(0, 200));
        if (!IsJob(action)) continue;

        ++jobs;
        ASSERT_EQ(reply, kWait) << what;
        std::wstring final = kWait;
        for (int i = 0; i < 3000 && final == kWait; ++i) {
            ::Sleep(10);
            final = core.Core(L"asyncresult");
        }
        ASSERT_NE(final, kWait) << what << ": the job never ended";
        std::optional<Members> members = StrictJson::ParseFlatObject(final);
        ASSERT_TRUE(members && !members->empty()) << what << ": " << ::testing::PrintToString(final.substr(0, 200));
        EXPECT_EQ((*members)[0].first, L"state") << what;
        const std::wstring& state = (*members)[0].second;
        EXPECT_TRUE(state == L"ok" || state == L"err") << what;
    }
    EXPECT_GT(jobs, 30);

    // The same server answers at the end.
    const std::optional<Members> config = StrictJson::ParseFlatObject(core.Core(L"config"));
    ASSERT_TRUE(config && !config->empty());
    EXPECT_EQ((*config)[0].second, L"ok");
    if (serverBefore) {
        DWORD serverAfter = 0;
        window = ::FindWindowW(L"ThunderRT6Main", L"Quorallion Core V15200");
        if (window) ::GetWindowThreadProcessId(window, &serverAfter);
        EXPECT_EQ(serverAfter, serverBefore) << "the server process was replaced";
    }
}
