#pragma once
// Real input under Xvfb for the controls' screen tests: pointer moves, clicks and keys through
// SendInput, a message pump that runs for a while, and screen pixels read with BitBlt.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <thread>
#include <atomic>

namespace quorallion::controls::testing {

// Runs this thread's messages for about ms milliseconds.
inline void Pump(DWORD ms) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount64() < end);
}

// Pumps until done() or the time is up; the result of done().
template <typename Done>
bool PumpUntil(Done done, DWORD ms) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    while (!done() && ::GetTickCount64() < end) Pump(10);
    return done();
}

inline void SendMove(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65535LL + (w - 1) / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((y * 65535LL + (h - 1) / 2) / (h - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

inline void MoveTo(int x, int y) {
    SendMove(x, y);
    Pump(60);
}

inline void SendButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    ::SendInput(1, &in, sizeof(in));
}

inline void Button(DWORD flag) {
    SendButton(flag);
    Pump(60);
}

// Runs script on another thread while this one pumps messages (for input that lands in a modal
// loop of this thread, such as the system's move loop); returns when the script has ended.
inline void RunInputScript(const std::function<void()>& script) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        script();
        done = true;
    });
    while (!done) Pump(10);
    worker.join();
    Pump(100);
}
inline void LeftDown() { Button(MOUSEEVENTF_LEFTDOWN); }
inline void LeftUp() { Button(MOUSEEVENTF_LEFTUP); }
inline void RightDown() { Button(MOUSEEVENTF_RIGHTDOWN); }
inline void RightUp() { Button(MOUSEEVENTF_RIGHTUP); }
inline void ClickAt(int x, int y) {
    MoveTo(x, y);
    LeftDown();
    LeftUp();
}

inline void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof(in));
    Pump(60);
}

// The screen pixel at (x, y) as 0x00BBGGRR, read through a BitBlt of the screen.
inline uint32_t ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, 1, 1, screen, x, y, SRCCOPY);
    ::GdiFlush();
    const uint32_t p = *bits;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// A plain top-level window (popup, no frame) at (x, y) of w x h pixels, shown.
inline HWND MakeHostWindow(const wchar_t* title, int x, int y, int w, int h, WNDPROC proc = ::DefWindowProcW,
                           DWORD style = WS_POPUP | WS_CLIPCHILDREN) {
    static const wchar_t* kClass = L"ControlsScreenTestHost";
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClass;
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    HWND window = ::CreateWindowExW(0, kClass, title, style, x, y, w, h, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                    nullptr);
    if (proc != ::DefWindowProcW) ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    Pump(100);
    return window;
}

}  // namespace quorallion::controls::testing
