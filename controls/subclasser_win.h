#pragma once
// The button's window hook: a per-window record (two message tables, handled flag, nesting count,
// deferred release) over comctl32's SetWindowSubclass. The owner's handler is a function pointer
// called before and/or after the window's previous procedure for the watched messages only.
// Failures are reported as "ucButton.<routine>: <text>" into a sink that tests replace (the
// product writes them to the application event log and the debugger output).
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "message_table.h"

namespace quorallion::controls {

constexpr int kWhenBefore = 1, kWhenAfter = 2;

// Handler arguments: owner, before (true) or after (false), handled flag (false on entry; set it
// in the before pass to consume the message), the message result, window, message, wParam,
// lParam, the record's user value.
using HookHandler = void (*)(void* owner, bool before, bool& handled, LRESULT& result, HWND window, UINT message,
                             WPARAM wParam, LPARAM lParam, LONG_PTR& userValue);

// Where reports go; returns the previous sink. An empty function restores the product's sink.
using ReportSink = std::function<void(std::wstring_view line)>;
ReportSink SetReportSink(ReportSink sink);

class Subclasser {
public:
    Subclasser() = default;
    ~Subclasser() { sc_UnSubclassAll(); }
    Subclasser(const Subclasser&) = delete;
    Subclasser& operator=(const Subclasser&) = delete;

    bool sc_Subclass(HWND window, LONG_PTR userValue, HookHandler handler, void* owner);
    void sc_UnSubclass(HWND window);
    void sc_UnSubclassAll();
    void sc_WatchMsg(HWND window, int64_t message, int when);
    void sc_UnwatchMsg(HWND window, int64_t message, int when);
    LRESULT sc_CallOldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LONG_PTR sc_UserValue(HWND window);
    void sc_SetUserValue(HWND window, LONG_PTR value);

    bool IsHooked(HWND window) const;
    // Records still alive (hooked, or waiting for their release); for tests.
    static int LiveRecords();

private:
    struct Record;
    static LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    Record* zMap_hWnd(HWND window);
    static void zReport(std::wstring_view routine, std::wstring_view text);

    bool started_ = false;  // the window table exists
    std::vector<std::pair<HWND, Record*>> table_;
};

}  // namespace quorallion::controls
