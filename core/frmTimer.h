#pragma once
// The process's one hidden timer form: the job timer (1 ms) and the clean-up timer (60 s).
// Unloading destroys its window; Load makes it again.
#include <windows.h>

#include <functional>
#include <string>

namespace quorallion {

class frmTimer {
public:
    static frmTimer& Instance();

    bool Loaded() const { return window_ != nullptr; }
    void Load();
    void Unload();

    void SetCacheTimer(UINT intervalMs, bool enabled);
    void SetAsyncTimer(UINT intervalMs, bool enabled);
    bool AsyncEnabled() const { return asyncEnabled_; }
    bool CacheEnabled() const { return cacheEnabled_; }

    // The clean-up timer's tag: the local time (yyyymmddhhnnss) before which no walk is due.
    std::wstring cacheTag;

    std::function<void()> onCacheTick;
    std::function<void()> onAsyncTick;

private:
    frmTimer() = default;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyTimer(UINT_PTR id, UINT intervalMs, bool enabled);

    HWND window_ = nullptr;
    bool cacheEnabled_ = false;
    bool asyncEnabled_ = false;
    UINT cacheInterval_ = 60000;
    UINT asyncInterval_ = 1;
};

}  // namespace quorallion
