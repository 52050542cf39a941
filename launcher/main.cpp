// QuorallionWS.exe: starts the outside local server hidden, or with quit=1 ends the server,
// the version dispatcher and the core by their windows. No output, no exit code of its own.
#include <windows.h>

#include <string>

#include "basMain.h"
#include "launcher_win.h"

namespace {

std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void EndSystemProcesses() {
    using namespace quorallion;
    struct Search {
        const wchar_t* classPattern;
        const wchar_t* captionPattern;
    };
    static const Search searches[] = {
        {L"ConsoleWindowClass", L"*\\QuorallionCWS.exe"},
        {L"ThunderRT6Main", L"Quorallion ICore"},
        {L"ThunderRT6Main", L"Quorallion Core V*"},
    };
    for (const Search& search : searches) {
        for (HWND window : basFindWindowLike::FindWindowLike(search.captionPattern, search.classPattern))
            basKillProcess::KillProcessByHwnd(window);
    }
}

}  // namespace

// Only the arguments: the program's own path (with the "C:" of its drive) is not command text.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    using namespace quorallion;
    const std::wstring text = basMain::CleanCommandText(arguments ? arguments : L"");
    if (basMain::IsQuitRequest(text)) {
        EndSystemProcesses();
        return 0;
    }
    const std::wstring folder = OwnFolder();
    // Not waited for and not ended: the launcher ends right after starting the server.
    basShell::ShellExecuteWait(nullptr, L"open", folder + L"\\QuorallionCWS.exe", text, folder, SW_HIDE);
    return 0;
}
