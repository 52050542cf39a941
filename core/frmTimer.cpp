#include "frmTimer.h"

namespace quorallion {
namespace {

constexpr UINT_PTR kCacheTimerId = 1;
constexpr UINT_PTR kAsyncTimerId = 2;
constexpr wchar_t kClassName[] = L"QuorallionTimerForm";

}  // namespace

frmTimer& frmTimer::Instance() {
    static frmTimer form;
    return form;
}

void frmTimer::Load() {
    if (window_) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &frmTimer::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    // A message-only window: nothing looks for it, and it needs no display.
    window_ = ::CreateWindowExW(0, kClassName, L"frmTimer", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
    // Timers that were enabled before an unload keep running in the new window.
    if (cacheEnabled_) ApplyTimer(kCacheTimerId, cacheInterval_, true);
    if (asyncEnabled_) ApplyTimer(kAsyncTimerId, asyncInterval_, true);
}

void frmTimer::Unload() {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    ::DestroyWindow(window);  // also ends its timers
    cacheEnabled_ = false;
    asyncEnabled_ = false;
}

void frmTimer::ApplyTimer(UINT_PTR id, UINT intervalMs, bool enabled) {
    if (!window_) return;
    if (enabled)
        ::SetTimer(window_, id, intervalMs, nullptr);
    else
        ::KillTimer(window_, id);
}

void frmTimer::SetCacheTimer(UINT intervalMs, bool enabled) {
    cacheInterval_ = intervalMs;
    cacheEnabled_ = enabled;
    ApplyTimer(kCacheTimerId, intervalMs, enabled);
}

void frmTimer::SetAsyncTimer(UINT intervalMs, bool enabled) {
    asyncInterval_ = intervalMs;
    asyncEnabled_ = enabled;
    ApplyTimer(kAsyncTimerId, intervalMs, enabled);
}

LRESULT CALLBACK frmTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        frmTimer& form = Instance();
        if (window != form.window_) {
            ::KillTimer(window, wParam);  // a tick of a window that was unloaded meanwhile
            return 0;
        }
        // Nothing may leave a window procedure: an exception would unwind through the message
        // loop that dispatched the tick, which may be another request's.
        try {
            if (wParam == kCacheTimerId && form.onCacheTick) form.onCacheTick();
            else if (wParam == kAsyncTimerId && form.onAsyncTick) form.onAsyncTick();
        } catch (...) {
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorallion
