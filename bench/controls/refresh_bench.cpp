// Microseconds per ucButton::Refresh of each face style, at 81 x 25 and 300 x 40 pixels, with the
// platform's DrawFrameControl push button of the same size as the yardstick. Needs a display.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "ucButton_win.h"

using namespace quorallion::controls;

namespace {

template <typename Work>
double MicrosecondsPer(int rounds, Work work) {
    work();  // warm up
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) work();
    ::GdiFlush();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(end - start).count() / rounds;
}

}  // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RefreshBenchHost";
    ::RegisterClassW(&wc);
    HWND host = ::CreateWindowExW(0, L"RefreshBenchHost", L"bench", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 400, 100,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    if (!host) {
        std::printf("controls_refresh_bench: no window (is there a display?)\n");
        return 1;
    }
    ::ShowWindow(host, SW_SHOWNA);
    Container form(host, Container::Units::Pixels);
    ucButton button;
    if (!button.Create(form, L"cmdBench", 0, 0, 300, 300)) return 1;
    button.SetCaption(L"Button");
    const int sizes[2][2] = {{81, 25}, {300, 40}};
    std::printf("%-28s %12s %12s\n", "microseconds per Refresh", "81 x 25", "300 x 40");
    for (int style = 0; style <= 10; ++style) {
        if (style == 6) continue;
        button.SetStyle(style);
        double us[2];
        for (int k = 0; k < 2; ++k) {
            // Below 300 units the control grows; on a pixel container that is 300 px, so size the
            // window directly to measure the small button.
            ::MoveWindow(button.hWnd(), 0, 0, sizes[k][0], sizes[k][1], FALSE);
            us[k] = MicrosecondsPer(200, [&] { button.Refresh(); });
        }
        std::printf("style %-22d %12.1f %12.1f\n", style, us[0], us[1]);
    }
    double platform[2];
    HDC screen = ::GetDC(nullptr);
    for (int k = 0; k < 2; ++k) {
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, sizes[k][0], sizes[k][1]);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        RECT r{0, 0, sizes[k][0], sizes[k][1]};
        platform[k] = MicrosecondsPer(200, [&] {
            ::DrawFrameControl(memory, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
            ::DrawTextW(memory, L"Button", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        });
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
    }
    ::ReleaseDC(nullptr, screen);
    std::printf("%-28s %12.1f %12.1f\n", "DrawFrameControl push", platform[0], platform[1]);
    button.Destroy();
    ::DestroyWindow(host);
    return 0;
}
