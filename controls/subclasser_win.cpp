#include "subclasser_win.h"

#include <commctrl.h>

#include <algorithm>

namespace quorallion::controls {

struct Subclasser::Record {
    int inUse = 0;
    bool releasePending = false;
    HWND window = nullptr;
    void* owner = nullptr;
    HookHandler handler = nullptr;
    LONG_PTR userValue = 0;
    MessageTable before;
    MessageTable after;
};

namespace {
int g_liveRecords = 0;

void ProductSink(std::wstring_view line) {
    std::wstring text(line);
    ::OutputDebugStringW((text + L"\n").c_str());
    if (HANDLE source = ::RegisterEventSourceW(nullptr, L"Quorallion")) {
        const wchar_t* strings[] = {text.c_str()};
        ::ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
        ::DeregisterEventSource(source);
    }
}

ReportSink& Sink() {
    static ReportSink sink = ProductSink;
    return sink;
}

constexpr UINT_PTR kSubclassId = 0x51C1A55;
}  // namespace

ReportSink SetReportSink(ReportSink sink) {
    ReportSink old = Sink();
    Sink() = sink ? std::move(sink) : ReportSink(ProductSink);
    return old;
}

void Subclasser::zReport(std::wstring_view routine, std::wstring_view text) {
    std::wstring line = L"ucButton.";
    line += routine;
    line += L": ";
    line += text;
    Sink()(line);
}

int Subclasser::LiveRecords() { return g_liveRecords; }

bool Subclasser::IsHooked(HWND window) const {
    return std::any_of(table_.begin(), table_.end(), [&](const auto& e) { return e.first == window; });
}

bool Subclasser::sc_Subclass(HWND window, LONG_PTR userValue, HookHandler handler, void* owner) {
    if (!::IsWindow(window)) {
        zReport(L"sc_Subclass", L"Invalid window handle");
        return false;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId()) {
        zReport(L"sc_Subclass", L"Window handle belongs to another process");
        return false;
    }
    if (!handler) {
        zReport(L"sc_Subclass", L"Callback method not found");
        return false;
    }
    started_ = true;
    if (IsHooked(window)) {
        zReport(L"sc_Subclass", L"Window handle is already subclassed");
        return false;
    }
    auto* record = new Record();
    ++g_liveRecords;
    record->window = window;
    record->owner = owner;
    record->handler = handler;
    record->userValue = userValue;
    table_.emplace_back(window, record);
    if (!::SetWindowSubclass(window, &Subclasser::Trampoline, kSubclassId, reinterpret_cast<DWORD_PTR>(record))) {
        zReport(L"sc_Subclass", L"SetWindowLong failed, error #" + std::to_wstring(::GetLastError()));
        table_.pop_back();
        delete record;
        --g_liveRecords;
        return false;
    }
    return true;
}

Subclasser::Record* Subclasser::zMap_hWnd(HWND window) {
    if (!started_) {
        zReport(L"zMap_hWnd", L"Subclassing hasn't been started");
        return nullptr;
    }
    for (auto& entry : table_)
        if (entry.first == window) return entry.second;
    zReport(L"zMap_hWnd", L"Window handle isn't subclassed");
    return nullptr;
}

void Subclasser::sc_UnSubclass(HWND window) {
    if (!started_) {
        zReport(L"sc_UnSubclass", L"Window handle isn't subclassed");
        return;
    }
    Record* record = zMap_hWnd(window);
    if (record) {
        record->releasePending = true;
        DeleteMessage(record->before, kAllMessages);
        DeleteMessage(record->after, kAllMessages);
        if (!record->window) {  // its window is gone: no message will come to release it
            delete record;
            --g_liveRecords;
        }
    }
    table_.erase(std::remove_if(table_.begin(), table_.end(), [&](const auto& e) { return e.first == window; }),
                 table_.end());
}

void Subclasser::sc_UnSubclassAll() {
    if (!started_) return;
    while (!table_.empty()) sc_UnSubclass(table_.back().first);
    started_ = false;
}

void Subclasser::sc_WatchMsg(HWND window, int64_t message, int when) {
    Record* record = zMap_hWnd(window);
    if (!record) return;
    if (when & kWhenBefore) {
        std::wstring report = AddMessage(record->before, message);
        if (!report.empty()) zReport(L"zAddMsg", report);
    }
    if (when & kWhenAfter) {
        std::wstring report = AddMessage(record->after, message);
        if (!report.empty()) zReport(L"zAddMsg", report);
    }
}

void Subclasser::sc_UnwatchMsg(HWND window, int64_t message, int when) {
    Record* record = zMap_hWnd(window);
    if (!record) return;
    if (when & kWhenBefore) {
        std::wstring report = DeleteMessage(record->before, message);
        if (!report.empty()) zReport(L"zDelMsg", report);
    }
    if (when & kWhenAfter) {
        std::wstring report = DeleteMessage(record->after, message);
        if (!report.empty()) zReport(L"zDelMsg", report);
    }
}

LRESULT Subclasser::sc_CallOldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record* record = zMap_hWnd(window);
    if (!record || !record->window) return 0;
    // The procedure below this hook: take the hook out of the chain for this one call.
    WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    ::RemoveWindowSubclass(window, &Subclasser::Trampoline, kSubclassId);
    WNDPROC below = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    LRESULT result = ::CallWindowProcW(below, window, message, wParam, lParam);
    ::SetWindowSubclass(window, &Subclasser::Trampoline, kSubclassId, reinterpret_cast<DWORD_PTR>(record));
    (void)current;
    return result;
}

LONG_PTR Subclasser::sc_UserValue(HWND window) {
    Record* record = zMap_hWnd(window);
    return record ? record->userValue : 0;
}

void Subclasser::sc_SetUserValue(HWND window, LONG_PTR value) {
    if (Record* record = zMap_hWnd(window)) record->userValue = value;
}

LRESULT CALLBACK Subclasser::Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data) {
    auto* record = reinterpret_cast<Record*>(data);
    bool handled = false;
    LRESULT result = 0;
    if (record->before.Matches(message) && record->handler)
        record->handler(record->owner, true, handled, result, window, message, wParam, lParam, record->userValue);
    if (handled) return result;
    ++record->inUse;
    result = ::DefSubclassProc(window, message, wParam, lParam);
    --record->inUse;
    if (message == WM_NCDESTROY) {
        // The window is going: take the hook out now; a record still in its owner's table is freed
        // when the owner lets it go.
        ::RemoveWindowSubclass(window, &Subclasser::Trampoline, id);
        record->window = nullptr;
        if (record->releasePending && record->inUse == 0) {
            delete record;
            --g_liveRecords;
        }
        return result;
    }
    if (record->inUse == 0 && record->releasePending) {
        ::RemoveWindowSubclass(window, &Subclasser::Trampoline, id);
        delete record;
        --g_liveRecords;
        return result;
    }
    if (record->after.Matches(message) && record->handler)
        record->handler(record->owner, false, handled, result, window, message, wParam, lParam, record->userValue);
    return result;
}

}  // namespace quorallion::controls
