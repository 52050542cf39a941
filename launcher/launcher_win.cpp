#include "launcher_win.h"

#include <shellapi.h>

#include "like_pattern.h"
#include "win/handles.h"

namespace quorallion::basFindWindowLike {

std::vector<HWND> FindWindowLike(const std::wstring& captionPattern, const std::wstring& classPattern) {
    std::vector<HWND> found;
    for (HWND window = ::GetWindow(::GetDesktopWindow(), GW_CHILD); window;
         window = ::GetWindow(window, GW_HWNDNEXT)) {
        wchar_t caption[256] = {};
        wchar_t className[256] = {};
        ::GetWindowTextW(window, caption, 255);
        ::GetClassNameW(window, className, 255);
        if (IsLike(caption, captionPattern) && IsLike(className, classPattern))
            found.push_back(window);
    }
    return found;
}

}  // namespace quorallion::basFindWindowLike

namespace quorallion::basKillProcess {

void KillProcessByHwnd(HWND window) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (!processId || processId == ::GetCurrentProcessId()) return;
    win::UniqueHandleNull process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    if (process) ::TerminateProcess(process.get(), 0);
}

}  // namespace quorallion::basKillProcess

namespace quorallion::basShell {

bool ShellExecuteWait(HWND owner, const std::wstring& verb, const std::wstring& file,
                      const std::wstring& parameters, const std::wstring& workingFolder, int show,
                      WaitOptions options) {
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.hwnd = owner;
    request.lpVerb = verb.empty() ? nullptr : verb.c_str();
    request.lpFile = file.c_str();
    request.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    request.lpDirectory = workingFolder.empty() ? nullptr : workingFolder.c_str();
    request.nShow = show;
    if (!::ShellExecuteExW(&request)) return false;
    win::UniqueHandleNull process(request.hProcess);
    // A document opened in a running program gives no process handle: nothing to wait for.
    if (!process || options.waitMilliseconds == 0) return true;
    if (::WaitForSingleObject(process.get(), options.waitMilliseconds) == WAIT_TIMEOUT &&
        options.endWhenWaitRunsOut) {
        ::TerminateProcess(process.get(), 0);
    }
    return true;
}

}  // namespace quorallion::basShell
