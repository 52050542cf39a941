// The window hook: one table of operations giving the reports and the hook's behaviour, over
// real windows of this thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "subclasser_win.h"

using namespace quorallion::controls;

namespace {

struct Log {
    std::vector<std::wstring> reports;
    std::vector<std::wstring> calls;  // "before 1234", "after 1234", "proc 1234"
};
Log* g_log = nullptr;

Subclasser* g_hook = nullptr;
int g_liveInside = -1;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP + 3) {
        ::SendMessageW(window, WM_APP + 4, 0, 0);
        g_liveInside = Subclasser::LiveRecords();
        return 0;
    }
    if (message >= WM_APP && g_log) {
        g_log->calls.push_back(L"proc " + std::to_wstring(message - WM_APP));
        return 7;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow() {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SubclasserTestWindow";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return ::CreateWindowExW(0, L"SubclasserTestWindow", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

// Consumes message WM_APP + 99 in the before pass with result 42; logs the rest.
void Handler(void* owner, bool before, bool& handled, LRESULT& result, HWND window, UINT message, WPARAM, LPARAM,
             LONG_PTR& userValue) {
    auto* log = static_cast<Log*>(owner);
    log->calls.push_back(std::wstring(before ? L"before " : L"after ") + std::to_wstring(message - WM_APP));
    if (before && message == WM_APP + 99) {
        handled = true;
        result = 42;
    }
    if (!before) result += 100;
}

void ReleasingHandler(void* owner, bool before, bool& handled, LRESULT& result, HWND window, UINT message, WPARAM,
                      LPARAM, LONG_PTR&) {
    if (message == WM_APP + 4 && g_hook) g_hook->sc_UnSubclass(window);
}

class Hook : public ::testing::Test {
protected:
    void SetUp() override {
        g_log = &log_;
        old_ = SetReportSink([this](std::wstring_view line) { log_.reports.emplace_back(line); });
    }
    void TearDown() override {
        SetReportSink(old_);
        g_log = nullptr;
    }
    std::wstring TakeReport() {
        std::wstring out = log_.reports.empty() ? L"" : log_.reports.back();
        log_.reports.clear();
        return out;
    }
    Log log_;
    ReportSink old_;
};

}  // namespace

TEST_F(Hook, OperationsGiveReportsAndTableState) {
    HWND a = MakeWindow(), b = MakeWindow();
    ASSERT_TRUE(a && b);
    const int liveBefore = Subclasser::LiveRecords();
    {
        Subclasser hook;
        hook.sc_WatchMsg(a, WM_APP + 1, kWhenAfter);
        EXPECT_EQ(TakeReport(), L"ucButton.zMap_hWnd: Subclassing hasn't been started");
        hook.sc_UnSubclass(a);
        EXPECT_EQ(TakeReport(), L"ucButton.sc_UnSubclass: Window handle isn't subclassed");
        EXPECT_FALSE(hook.sc_Subclass(reinterpret_cast<HWND>(0x7ffff0), 0, Handler, &log_));
        EXPECT_EQ(TakeReport(), L"ucButton.sc_Subclass: Invalid window handle");
        EXPECT_FALSE(hook.sc_Subclass(a, 0, nullptr, &log_));
        EXPECT_EQ(TakeReport(), L"ucButton.sc_Subclass: Callback method not found");
        HWND desktop = ::GetDesktopWindow();
        DWORD desktopProcess = 0;
        ::GetWindowThreadProcessId(desktop, &desktopProcess);
        if (desktopProcess != ::GetCurrentProcessId()) {
            EXPECT_FALSE(hook.sc_Subclass(desktop, 0, Handler, &log_));
            EXPECT_EQ(TakeReport(), L"ucButton.sc_Subclass: Window handle belongs to another process");
        }

        ASSERT_TRUE(hook.sc_Subclass(a, 5, Handler, &log_));
        EXPECT_EQ(TakeReport(), L"");
        EXPECT_FALSE(hook.sc_Subclass(a, 0, Handler, &log_));
        EXPECT_EQ(TakeReport(), L"ucButton.sc_Subclass: Window handle is already subclassed");
        hook.sc_WatchMsg(b, WM_APP + 1, kWhenAfter);
        EXPECT_EQ(TakeReport(), L"ucButton.zMap_hWnd: Window handle isn't subclassed");
        EXPECT_EQ(hook.sc_UserValue(a), 5);

        // The first hook still works: before and after passes around the previous procedure.
        hook.sc_WatchMsg(a, WM_APP + 1, kWhenBefore | kWhenAfter);
        hook.sc_WatchMsg(a, WM_APP + 99, kWhenBefore | kWhenAfter);
        log_.calls.clear();
        EXPECT_EQ(::SendMessageW(a, WM_APP + 1, 0, 0), 107);
        EXPECT_EQ(log_.calls, (std::vector<std::wstring>{L"before 1", L"proc 1", L"after 1"}));
        // A handled message stops in the before pass with the handler's result.
        log_.calls.clear();
        EXPECT_EQ(::SendMessageW(a, WM_APP + 99, 0, 0), 42);
        EXPECT_EQ(log_.calls, (std::vector<std::wstring>{L"before 99"}));
        // Unwatched messages pass untouched.
        log_.calls.clear();
        EXPECT_EQ(::SendMessageW(a, WM_APP + 2, 0, 0), 7);
        EXPECT_EQ(log_.calls, (std::vector<std::wstring>{L"proc 2"}));
        hook.sc_UnwatchMsg(a, WM_APP + 5, kWhenAfter);
        EXPECT_EQ(TakeReport(), L"ucButton.zDelMsg: Message &H8005 not found in table");

        // 33 distinct messages overflow the table; ALL_MESSAGES then takes any number.
        // With the two above: 32 messages.
        for (int i = 0; i < 30; ++i) hook.sc_WatchMsg(a, WM_APP + 200 + i, kWhenAfter);
        EXPECT_EQ(TakeReport(), L"");
        hook.sc_WatchMsg(a, WM_APP + 300, kWhenAfter);
        EXPECT_EQ(TakeReport(),
                  L"ucButton.zAddMsg: Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
                  L"ALL_MESSAGES instead of specific message values");
        hook.sc_WatchMsg(a, kAllMessages, kWhenAfter);
        log_.calls.clear();
        ::SendMessageW(a, WM_APP + 300, 0, 0);
        EXPECT_EQ(log_.calls, (std::vector<std::wstring>{L"proc 300", L"after 300"}));

        // Release: the next message still reaches the previous procedure, then the hook is gone.
        hook.sc_UnSubclass(a);
        EXPECT_EQ(TakeReport(), L"");
        EXPECT_FALSE(hook.IsHooked(a));
        log_.calls.clear();
        EXPECT_EQ(::SendMessageW(a, WM_APP + 1, 0, 0), 7);
        EXPECT_EQ(log_.calls, (std::vector<std::wstring>{L"proc 1"}));
        EXPECT_EQ(Subclasser::LiveRecords(), liveBefore);

        // A hooked window that is destroyed leaves nothing behind once its owner lets go.
        ASSERT_TRUE(hook.sc_Subclass(b, 0, Handler, &log_));
        ::DestroyWindow(b);
        EXPECT_EQ(Subclasser::LiveRecords(), liveBefore + 1);
    }
    EXPECT_EQ(Subclasser::LiveRecords(), liveBefore);
    ::DestroyWindow(a);
}

TEST_F(Hook, ReleaseInsideANestedCallWaitsForTheOutermost) {
    HWND a = MakeWindow();
    ASSERT_TRUE(a);
    const int liveBefore = Subclasser::LiveRecords();
    Subclasser hook;
    g_hook = &hook;
    ASSERT_TRUE(hook.sc_Subclass(a, 0, ReleasingHandler, &log_));
    hook.sc_WatchMsg(a, WM_APP + 4, kWhenBefore);
    // WM_APP + 3 makes the previous procedure send WM_APP + 4, whose handler asks for the release.
    ::SendMessageW(a, WM_APP + 3, 0, 0);
    EXPECT_EQ(g_liveInside, liveBefore + 1) << "kept while the outer call runs";
    EXPECT_EQ(Subclasser::LiveRecords(), liveBefore) << "released once the outermost call returned";
    g_hook = nullptr;
    ::DestroyWindow(a);
}
