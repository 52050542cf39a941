// QuorallionCWS.exe stand-in: the outside local server as the launcher sees it. It owns a
// window of class "ConsoleWindowClass" captioned with its own full path (as a console window
// is), writes its parameters and working folder to %TEMP%\QuorallionCWS-standin.txt (UTF-8,
// one a line), and waits at most two minutes for its end.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/utf8.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ConsoleWindowClass";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, L"ConsoleWindowClass", path, WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, instance, nullptr);

    // Written after the window exists, so that a reader of the file can find the window.
    std::wstring reportPath = std::wstring(temp) + L"QuorallionCWS-standin.txt";
    std::wstring partPath = reportPath + L".part";
    if (FILE* file = ::_wfopen(partPath.c_str(), L"wb")) {
        std::string text = quorallion::testing::Utf8(commandLine ? commandLine : L"") + "\n" + quorallion::testing::Utf8(folder) + "\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
        ::MoveFileExW(partPath.c_str(), reportPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

    ::SetTimer(window, 1, 120000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        ::DispatchMessageW(&msg);
    }
    if (window) ::DestroyWindow(window);
    return 0;
}
