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
// Starts the program hidden without waiting; false when it could not be started.
bool StartHidden(const std::wstring& file, const std::wstring& parameters,
                 const std::wstring& workingFolder);
}
