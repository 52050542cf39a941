#pragma once
// The hand-back form: a window that is loaded but never shown. Each of its three timers watches
// one of the process's result texts (ProcessState) every 100 ms and raises CaptureReturn once
// per enabling, as soon as that text is non-empty. So a window's outcome reaches its job object
// from the message loop, as a timer tick, and never as a call from the window that wrote it.
#include <windows.h>

#include <functional>
#include <string>

namespace quorallion {

class frmHidden {
public:
    static constexpr UINT kInterval = 100;  // ms, the same for all three timers

    enum class Timer { Capture = 1, ShowEQ = 2, ShowWordEq = 3 };

    frmHidden() = default;
    ~frmHidden();
    frmHidden(const frmHidden&) = delete;
    frmHidden& operator=(const frmHidden&) = delete;

    // Enabling loads the window when it is not loaded yet. Intervals never change.
    void SetCaptureTimerEnabled(bool enabled) { SetEnabled(Timer::Capture, enabled); }
    void SetShowEQTimerEnabled(bool enabled) { SetEnabled(Timer::ShowEQ, enabled); }
    void SetShowWordEqTimerEnabled(bool enabled) { SetEnabled(Timer::ShowWordEq, enabled); }
    bool CaptureTimerEnabled() const { return IsEnabled(Timer::Capture); }
    bool ShowEQTimerEnabled() const { return IsEnabled(Timer::ShowEQ); }
    bool ShowWordEqTimerEnabled() const { return IsEnabled(Timer::ShowWordEq); }

    bool Loaded() const { return window_ != nullptr; }
    // Destroys the window and with it every timer.
    void Unload();

    // Raised by every timer. The handler may destroy this form: nothing of it is touched after.
    std::function<void()> CaptureReturn;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Load();
    void SetEnabled(Timer timer, bool enabled);
    bool IsEnabled(Timer timer) const { return (enabled_ & Bit(timer)) != 0; }
    static unsigned Bit(Timer timer) { return 1u << static_cast<unsigned>(timer); }
    void Tick(Timer timer);

    HWND window_ = nullptr;
    unsigned enabled_ = 0;
};

}  // namespace quorallion
