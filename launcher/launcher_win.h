#pragma once
// The launcher's Windows steps: window searches, ending a window's process, starting a program.
#include <windows.h>

#include <string>
#include <vector>

namespace quorallion::basFindWindowLike {
// The top-level windows whose caption and class match the patterns, in the system's order.
std::vector<HWND> FindWindowLike(const std::wstring& captionPattern, const std::wstring& classPattern);
}

namespace quorallion::basKillProcess {
// Ends the process that owns the window; a process that cannot be opened is passed over.
void KillProcessByHwnd(HWND window);
}

namespace quorallion::basShell {
// How long ShellExecuteWait waits for the started program, and whether it ends the program when
// the wait runs out.
struct WaitOptions {
    DWORD waitMilliseconds = 0;  // 0: return at once; INFINITE: until the program ends
    bool endWhenWaitRunsOut = false;
};

// Starts a program through the shell; false when it could not be started.
bool ShellExecuteWait(HWND owner, const std::wstring& verb, const std::wstring& file,
                      const std::wstring& parameters, const std::wstring& workingFolder, int show,
                      WaitOptions options = {});
}
