// decoy_window <class> <caption>: owns one hidden top-level window of that class and caption
// for at most two minutes, so that tests can see which windows a search passes over.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = argv[1];
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, argv[1], argv[2], WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    if (!window) return 1;
    ::SetTimer(window, 1, 120000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        ::DispatchMessageW(&msg);
    }
    ::DestroyWindow(window);
    return 0;
}
