// desktop_keeper: holds one hidden window for the whole test run, so that Wine's desktop process
// is started by this program (whose output goes nowhere) and stays up until the run ends. Without
// it the desktop is started by whichever test first makes a window, inherits that test's output
// pipe, and keeps CTest waiting on the test until every other windowed test has ended too. It
// ends by itself after four hours at the latest.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"QuorallionDesktopKeeper";
    if (!::RegisterClassW(&windowClass)) return 1;
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    if (!window) return 1;
    ::SetTimer(window, 1, 4u * 60 * 60 * 1000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        ::DispatchMessageW(&msg);
    }
    ::DestroyWindow(window);
    return 0;
}
