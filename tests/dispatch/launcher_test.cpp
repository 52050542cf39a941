// QuorallionWS from a command line: it starts the stand-in QuorallionCWS hidden from its own
// folder with the cleaned text, and quit=1 ends the server, the dispatcher and the core by
// their windows while near-miss windows survive.
#include <gtest/gtest.h>

#include <cstdio>

#include "host_session.h"
#include "support/temp_root.h"

using namespace quorallion::testing;

namespace {

std::wstring ReportPath() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"QuorallionCWS-standin.txt";
}

// The stand-in's report: its parameters and its working folder.
bool ReadReport(std::string& parameters, std::string& folder) {
    for (int i = 0; i < 200; ++i) {
        if (FILE* file = ::_wfopen(ReportPath().c_str(), L"rb")) {
            std::string text;
            char buffer[4096];
            size_t read = std::fread(buffer, 1, sizeof(buffer), file);
            std::fclose(file);
            text.assign(buffer, read);
            size_t first = text.find('\n'), second = text.find('\n', first + 1);
            if (second != std::string::npos) {
                parameters = text.substr(0, first);
                folder = text.substr(first + 1, second - first - 1);
                return true;
            }
        }
        ::Sleep(50);
    }
    return false;
}

class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& commandLine) {
        std::wstring line = commandLine;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info)) {
            process_.reset(info.hProcess);
            ::CloseHandle(info.hThread);
        }
    }
    ~ChildProcess() {
        if (process_ && Running()) ::TerminateProcess(process_.get(), 0);
    }
    bool Running() const { return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

private:
    quorallion::win::UniqueHandleNull process_;
};

}  // namespace

TEST(Launcher, StartsTheServerHiddenWithTheCleanedTextFromItsFolder) {
    struct Case {
        const wchar_t* commandText;
        const char* parameters;
    } cases[] = {
        {L"quorallion://port=8080&a=\"b\"/?quit=1", "port=8080&a=b"},
        {L"quit=1=2", "quit=1=2"},
        {L"", ""},
    };
    for (const Case& c : cases) {
        ::DeleteFileW(ReportPath().c_str());
        EXPECT_EQ(RunAndWait(L"QuorallionWS.exe", c.commandText), 0u);
        std::string parameters, folder;
        ASSERT_TRUE(ReadReport(parameters, folder)) << "the server was not started";
        EXPECT_EQ(parameters, c.parameters) << Utf8(c.commandText);
        EXPECT_EQ(Wide(folder), BinFolder());
        DWORD server = WindowProcess(L"ConsoleWindowClass", (BinFolder() + L"\\QuorallionCWS.exe").c_str());
        if (server) KillProcess(server);
    }
}

TEST(Launcher, QuitEndsServerDispatcherAndCoreButNoOtherWindow) {
    const std::wstring decoys = L"\"" + BinFolder() + L"\\decoy_window.exe\" ";
    ChildProcess wrongCase(decoys + L"ConsoleWindowClass \"C:\\x\\quorallioncws.exe\"");
    ChildProcess noV(decoys + L"ThunderRT6Main \"Quorallion Core 15200\"");
    ChildProcess otherClass(decoys + L"ThunderRT6Form \"Quorallion ICore\"");
    ::DeleteFileW(ReportPath().c_str());
    ASSERT_EQ(RunAndWait(L"QuorallionWS.exe", L"x:a=1"), 0u);
    std::string parameters, folder;
    ASSERT_TRUE(ReadReport(parameters, folder));

    HostSession host;
    ASSERT_EQ(host.Call({L"15200", L"{}", L"isinstalled"}), "{\"state\":\"ok\"}");
    ::Sleep(500);  // the decoys make their windows
    const std::wstring cwsCaption = BinFolder() + L"\\QuorallionCWS.exe";
    if (!WindowProcess(L"ThunderRT6Main", L"Quorallion ICore"))
        GTEST_SKIP() << "no display: top-level windows cannot be looked for";
    ASSERT_NE(WindowProcess(L"ConsoleWindowClass", cwsCaption.c_str()), 0u);
    ASSERT_NE(WindowProcess(L"ThunderRT6Main", L"Quorallion Core V15200"), 0u);

    EXPECT_EQ(RunAndWait(L"QuorallionWS.exe", L"quorallion://QUIT=1/"), 0u);
    EXPECT_TRUE(WaitWindowGone(L"ConsoleWindowClass", cwsCaption.c_str(), 5000));
    EXPECT_TRUE(WaitWindowGone(L"ThunderRT6Main", L"Quorallion ICore", 5000));
    EXPECT_TRUE(WaitWindowGone(L"ThunderRT6Main", L"Quorallion Core V15200", 5000));
    EXPECT_TRUE(wrongCase.Running());
    EXPECT_TRUE(noV.Running());
    EXPECT_TRUE(otherClass.Running());
}
