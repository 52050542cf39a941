#include "frmHidden.h"

#include "process_state.h"

namespace quorallion {
namespace {

constexpr wchar_t kClassName[] = L"QuorallionHiddenForm";

// The text that each timer watches.
const std::wstring& Watched(frmHidden::Timer timer) {
    ProcessState& process = Process();
    switch (timer) {
    case frmHidden::Timer::Capture: return process.captureResult;
    case frmHidden::Timer::ShowEQ: return process.showEQResult;
    case frmHidden::Timer::ShowWordEq: break;
    }
    return process.wordEqResult;
}

}  // namespace

frmHidden::~frmHidden() {
    Unload();
}

void frmHidden::Load() {
    if (window_) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &frmHidden::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    // Message-only: never shown, never activated, found by nobody, and needs no display.
    window_ = ::CreateWindowExW(0, kClassName, L"frmHidden", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
    if (window_) ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void frmHidden::Unload() {
    enabled_ = 0;
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);  // ends its timers
}

void frmHidden::SetEnabled(Timer timer, bool enabled) {
    Load();
    if (!window_) return;
    const UINT_PTR id = static_cast<UINT_PTR>(timer);
    if (enabled) {
        enabled_ |= Bit(timer);
        ::SetTimer(window_, id, kInterval, nullptr);  // enabling again restarts the interval
    } else {
        enabled_ &= ~Bit(timer);
        ::KillTimer(window_, id);
    }
}

void frmHidden::Tick(Timer timer) {
    if (!IsEnabled(timer)) return;  // a tick that was queued before the timer stopped
    if (Watched(timer).empty()) return;
    SetEnabled(timer, false);
    // The handler may release this form's owner and with it this form.
    std::function<void()> handler = CaptureReturn;
    if (handler) handler();
}

LRESULT CALLBACK frmHidden::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* form = reinterpret_cast<frmHidden*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (form && wParam >= 1 && wParam <= 3)
            form->Tick(static_cast<Timer>(wParam));
        else
            ::KillTimer(window, wParam);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorallion
