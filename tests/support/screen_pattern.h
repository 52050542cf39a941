#pragma once
// A window that shows a known pattern, for tests that grab the screen:
// f(x, y) = RGB(x mod 251, y mod 241, (x + y) mod 239), x and y counted from the client's corner.
// PatternWindow runs the window on a thread of its own, so it keeps painting while the test's
// thread waits in COM calls.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace quorallion::testing {

inline COLORREF PatternColor(int x, int y) {
    return RGB(x % 251, y % 241, (x + y) % 239);
}

// Top-down 32-bit pixels of a bitmap (0x00RRGGBB per pixel, as the platform gives them).
inline std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int& width, int& height) {
    BITMAP info{};
    width = height = 0;
    if (!::GetObjectW(bitmap, sizeof info, &info)) return {};
    width = info.bmWidth;
    height = info.bmHeight;
    std::vector<uint32_t> pixels(size_t(width) * height);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != height) return {};
    return pixels;
}

inline uint32_t PatternPixel(int x, int y) {
    const COLORREF c = PatternColor(x, y);
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// Counts the pixels of a top-down 0x00RRGGBB image that differ from f at (x0 + x, y0 + y);
// the first one is reported through firstX/firstY.
inline int PatternMismatches(const std::vector<uint32_t>& pixels, int width, int height, int x0,
                             int y0, int* firstX = nullptr, int* firstY = nullptr) {
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((pixels[size_t(y) * width + x] & 0xFFFFFF) != PatternPixel(x0 + x, y0 + y)) {
                if (count++ == 0 && firstX) *firstX = x, *firstY = y;
            }
    return count;
}

class PatternWindow {
public:
    // A borderless window at (left, top) of the given size, shown and painted before this returns.
    PatternWindow(int left, int top, int width, int height, DWORD style = WS_POPUP) {
        HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([=, this] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = &PatternWindow::WindowProc;
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"QuorallionTestPattern";
            windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            ::RegisterClassW(&windowClass);
            window_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"QuorallionTestPattern", L"pattern",
                                        style, left, top, width, height, nullptr, nullptr,
                                        windowClass.hInstance, nullptr);
            threadId_ = ::GetCurrentThreadId();
            ::ShowWindow(window_, SW_SHOWNOACTIVATE);
            ::UpdateWindow(window_);
            ::SetEvent(ready);
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::DestroyWindow(window_);
        });
        ::WaitForSingleObject(ready, 10000);
        ::CloseHandle(ready);
        ::Sleep(200);  // the display catches up
    }
    PatternWindow(const PatternWindow&) = delete;
    PatternWindow& operator=(const PatternWindow&) = delete;
    ~PatternWindow() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }

    HWND get() const { return window_; }

    // Paints the pattern again (after another window lay over it).
    void Repaint() {
        ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::Sleep(100);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT client;
            ::GetClientRect(window, &client);
            const int width = client.right, height = client.bottom;
            std::vector<uint32_t> pixels(size_t(width) * height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) pixels[size_t(y) * width + x] = PatternPixel(x, y);
            BITMAPINFO header{};
            header.bmiHeader.biSize = sizeof header.bmiHeader;
            header.bmiHeader.biWidth = width;
            header.bmiHeader.biHeight = -height;
            header.bmiHeader.biPlanes = 1;
            header.bmiHeader.biBitCount = 32;
            ::SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &header,
                                DIB_RGB_COLORS);
            ::EndPaint(window, &paint);
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    std::thread thread_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace quorallion::testing
