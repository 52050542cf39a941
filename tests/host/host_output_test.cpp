// quorallion_host from the side of whoever reads what it prints, through QuorallionIC.dll,
// QuorallionICore and QuorallionCore2: in its line mode one line per request, the reply that
// ended it (a job's outcome, not its wait reply); with --show each request beside its replies,
// a job's "asyncresult" calls included, and an empty line after each request.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "dispatch/host_session.h"
#include "support/unix_shell.h"
#include "win/handles.h"

using namespace quorallion::testing;

namespace {

// Runs the host with the arguments and the input as its standard input; the lines it printed,
// or nothing when it could not start or did not end in time. Files, not pipes, stand for both
// ends, so no process that inherits them can keep the run waiting.
std::optional<std::vector<std::string>> RunHost(const std::wstring& arguments, const std::string& input) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring base = std::wstring(temp) + L"quorallion-host-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring inPath = base + L".in", outPath = base + L".out";
    if (!WriteBytes(inPath, input)) return std::nullopt;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    quorallion::win::UniqueFile in(::CreateFileW(inPath.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    quorallion::win::UniqueFile out(::CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in || !out) return std::nullopt;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"\"" + BinFolder() + L"\\quorallion_host.exe\" " + arguments;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return std::nullopt;
    quorallion::win::UniqueHandleNull process(info.hProcess), thread(info.hThread);
    const bool ended = ::WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0;
    if (!ended) ::TerminateProcess(info.hProcess, 1);
    in.reset();
    out.reset();
    const std::optional<std::string> printed = ReadBytes(outPath);
    ::DeleteFileW(inPath.c_str());
    ::DeleteFileW(outPath.c_str());
    if (!ended || !printed) return std::nullopt;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < printed->size()) {
        size_t end = printed->find('\n', start);
        if (end == std::string::npos) end = printed->size();
        std::string line = printed->substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A short action, a job that ends in an error (the path is no Word document: errflag "ext",
// after the wait reply), and Release.
const std::string kRequests =
    "15200\t{}\tisinstalled\n"
    "15200\t{\"lang\":\"en\"}\tword2html\tZ:\\nowhere\\notes.txt\tapi:0\n"
    "release\n";
const std::string kOk = "{\"state\":\"ok\"}";
const std::string kWait = "{\"state\":\"wait\"}";
const std::string kNotWord = "{\"state\":\"err\",\"errflag\":\"ext\"}";

}  // namespace

TEST(HostOutput, EachRequestPrintsItsRepliesAsTheModeSays) {
    struct Case {
        const char* what;
        const wchar_t* arguments;
        std::string input;
        std::vector<std::string> expected;
    } cases[] = {
        {"line mode: the reply that ended each request", L"", kRequests, {kOk, kNotWord, "released"}},
        {"--show: each request beside its replies",
         L"--show",
         kRequests,
         {"> 15200\t{}\tisinstalled", "< " + kOk, "",
          "> 15200\t{\"lang\":\"en\"}\tword2html\tZ:\\nowhere\\notes.txt\tapi:0", "< " + kWait,
          "> 15200\t{\"lang\":\"en\"}\tasyncresult    (every 50 ms until the job ends)", "< " + kNotWord, "",
          "> release", "< released", ""}},
        {"--show with one call on the command line",
         L"--show 15200 {} isinstalled",
         "",
         {"> 15200\t{}\tisinstalled", "< " + kOk, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<std::vector<std::string>> lines = RunHost(c.arguments, c.input);
        ASSERT_TRUE(lines.has_value()) << "the host did not run to its end";
        EXPECT_EQ(*lines, c.expected);
    }
}
