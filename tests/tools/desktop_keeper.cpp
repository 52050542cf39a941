// desktop_keeper <ready-file>: owns one hidden top-level window for the whole test run. Making it
// starts Wine's desktop process, which takes the standard error of the process that started it;
// started here (with its output sent away by the caller) it holds no test's output open, and it
// stays up while this process lives. Creates the ready file once the window exists, and ends
// when told to close or after four hours at most.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuorallionDesktopKeeper";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    HANDLE ready = ::CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) return 1;
    ::CloseHandle(ready);
    ::SetTimer(window, 1, 4 * 3600 * 1000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        ::DispatchMessageW(&msg);
    }
    return 0;
}
