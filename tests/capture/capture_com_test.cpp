// "capture" as the page uses it: this process shows a full-screen pattern, asks QuorallionCore2
// over COM, drives the panel and the region window with the mouse and keys, polls
// "asyncresult" and decodes the reply's PNG with GDI+.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <atomic>
#include <functional>
#include <thread>
#include <string>
#include <utility>

#include "converters/picture_file.h"
#include "support/dispatch_client.h"
#include "support/flat_json.h"
#include "support/golden_image.h"
#include "support/screen_pattern.h"
#include "support/send_input.h"

using namespace quorallion::testing;

namespace {

constexpr wchar_t kProgId[] = L"QuorallionCore2.Core15200";
constexpr wchar_t kPanel[] = L"Capture_Screen_Quorallion_ActiveX";
constexpr wchar_t kRegion[] = L"Capture_Screen_Quorallion_ActiveX_Rectangle";
constexpr wchar_t kWait[] = L"{\"state\":\"wait\"}";
constexpr wchar_t kCancel[] = L"{\"state\":\"err\",\"errflag\":\"cancel\"}";

std::vector<uint8_t> FromBase64(const std::wstring& text) {
    DWORD size = 0;
    if (!::CryptStringToBinaryW(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<uint8_t> bytes(size);
    ::CryptStringToBinaryW(text.c_str(), DWORD(text.size()), CRYPT_STRING_BASE64, bytes.data(), &size, nullptr, nullptr);
    bytes.resize(size);
    return bytes;
}

// A visible top-level window of that caption, waited for up to the time given.
HWND WaitForWindow(const wchar_t* caption, DWORD milliseconds = 10000) {
    const DWORD start = ::GetTickCount();
    do {
        HWND window = ::FindWindowW(nullptr, caption);
        if (window && ::IsWindowVisible(window)) return window;
        ::Sleep(50);
    } while (::GetTickCount() - start < milliseconds);
    return nullptr;
}

bool WaitUntilGone(const wchar_t* caption, DWORD milliseconds = 10000) {
    const DWORD start = ::GetTickCount();
    do {
        HWND window = ::FindWindowW(nullptr, caption);
        if (!window || !::IsWindowVisible(window)) return true;
        ::Sleep(50);
    } while (::GetTickCount() - start < milliseconds);
    return false;
}

bool PutText(const wchar_t* text) {
    for (int i = 0; i < 50 && !::OpenClipboard(nullptr); ++i) ::Sleep(20);
    ::EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(::GlobalLock(memory), text, bytes);
    ::GlobalUnlock(memory);
    const bool ok = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    return ok;
}

std::wstring ClipboardText() {
    for (int i = 0; i < 50 && !::OpenClipboard(nullptr); ++i) ::Sleep(20);
    std::wstring text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

// A golden screenshot of tests/capture/golden, as this build spells paths.
std::wstring GoldenPath(const std::wstring& name) {
    std::wstring folder;
    for (const char* c = QUORALLION_CAPTURE_COM_GOLDEN; *c; ++c) folder += *c == '/' ? L'\\' : wchar_t(*c);
    return L"Z:" + folder + L"\\" + name;
}

// The screen at that place once its painting has settled (two shots 100 ms apart agree),
// compared with a golden screenshot; tried again for a while, as a window may repaint late.
std::string SettledCompare(int left, int top, int width, int height, const std::wstring& golden) {
    const bool updating = ::GetEnvironmentVariableW(L"QUORALLION_UPDATE_GOLDEN", nullptr, 0) > 0;
    if (updating) ::Sleep(1000);
    std::string difference;
    for (int attempt = 0; attempt < 10; ++attempt) {
        Screenshot shot = ScreenCrop(left, top, width, height);
        for (int i = 0; i < 30; ++i) {
            ::Sleep(100);
            Screenshot next = ScreenCrop(left, top, width, height);
            const bool settled = next.pixels == shot.pixels;
            shot = std::move(next);
            if (settled) break;
        }
        difference = CompareWithGolden(shot, golden);
        if (difference.empty() || updating) return difference;
        ::Sleep(200);
    }
    return difference;
}

class CaptureFromThePage : public ::testing::Test {
protected:
    void SetUp() override {
        HDC screen = ::GetDC(nullptr);
        if (!screen) GTEST_SKIP() << "no display";
        ::ReleaseDC(nullptr, screen);
        width_ = ::GetSystemMetrics(SM_CXSCREEN);
        height_ = ::GetSystemMetrics(SM_CYSCREEN);
        pattern_ = std::make_unique<PatternWindow>(0, 0, width_, height_);
        HRESULT hr = core_.Create(kProgId);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
    }
    void TearDown() override {
        // No window of a failed case is left for the next one.
        if (HWND region = ::FindWindowW(nullptr, kRegion)) ::PostMessageW(region, WM_CLOSE, 0, 0);
        if (HWND panel = ::FindWindowW(nullptr, kPanel)) ::PostMessageW(panel, WM_CLOSE, 0, 0);
        WaitUntilGone(kPanel, 3000);
        core_.Reset();
        pattern_.reset();
    }

    std::wstring StartCapture(DispatchClient& core, const std::wstring& lang = L"en") {
        return core.Core(L"capture", L"", L"", L"{\"lang\":\"" + lang + L"\"}");
    }

    // Polls "asyncresult" until it is no longer the wait reply.
    std::wstring Await(DispatchClient& core, DWORD milliseconds = 15000) {
        const DWORD start = ::GetTickCount();
        std::wstring reply;
        do {
            reply = core.Core(L"asyncresult");
            if (reply != kWait) return reply;
            ::Sleep(100);
        } while (::GetTickCount() - start < milliseconds);
        return reply;
    }

    // Starts a capture, presses the panel's button and waits for the region window.
    HWND OpenRegionWindow(DispatchClient& core) {
        EXPECT_EQ(StartCapture(core), kWait);
        HWND panel = WaitForWindow(kPanel);
        if (!panel) {
            ADD_FAILURE() << "no panel";
            return nullptr;
        }
        RECT rect;
        ::GetWindowRect(panel, &rect);
        ::Sleep(200);
        input_.Click(rect.left + 72 + 48, rect.top + 64 + 14);  // cmdOk's middle
        HWND region = WaitForWindow(kRegion);
        EXPECT_NE(region, nullptr) << "no region window";
        ::Sleep(300);
        return region;
    }

    // The reply's image checked against the pattern from (x0, y0).
    void ExpectPatternImage(const std::wstring& reply, int x0, int y0, int w, int h) {
        std::optional<Members> members = StrictJson::ParseFlatObject(reply);
        ASSERT_TRUE(members) << reply.substr(0, 200);
        ASSERT_EQ(Member(*members, L"state"), L"ok") << reply.substr(0, 200);
        EXPECT_EQ(Keys(*members), (std::vector<std::wstring>{L"state", L"image"}));
        const std::vector<uint8_t> png = FromBase64(Member(*members, L"image").value_or(L""));
        ASSERT_GT(png.size(), 8u);
        ASSERT_EQ(png[1], 'P');
        wchar_t folder[MAX_PATH], file[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        ::GetTempFileNameW(folder, L"cap", 0, file);
        HANDLE out = ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(out, png.data(), DWORD(png.size()), &written, nullptr);
        ::CloseHandle(out);
        std::optional<Picture> picture = ReadPicture(file);
        ::DeleteFileW(file);
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->width, w);
        ASSERT_EQ(picture->height, h);
        int mismatches = 0, firstX = -1, firstY = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (Rgb(picture->At(x, y)) != PatternPixel(x0 + x, y0 + y) && mismatches++ == 0)
                    firstX = x, firstY = y;
        EXPECT_EQ(mismatches, 0) << "first at " << firstX << "," << firstY;
    }

    // A new capture shows its panel; closed as soon as it shows, the job ends with "cancel".
    void ExpectACaptureClosedAtItsPanelToCancel() {
        EXPECT_EQ(StartCapture(core_), kWait);
        HWND panel = WaitForWindow(kPanel);
        ASSERT_NE(panel, nullptr);
        ::PostMessageW(panel, WM_CLOSE, 0, 0);
        EXPECT_EQ(Await(core_), kCancel);
        EXPECT_TRUE(WaitUntilGone(kPanel));
    }

    int width_ = 0, height_ = 0;
    ComApartment apartment_;
    std::unique_ptr<PatternWindow> pattern_;
    DispatchClient core_;
    UserInput input_;
};

}  // namespace

TEST_F(CaptureFromThePage, PanelShapeAndPlaceThenItsCloseMarkCancels) {
    ASSERT_TRUE(PutText(L"keep me"));
    EXPECT_EQ(StartCapture(core_), kWait);
    HWND panel = WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    RECT rect, client;
    ::GetWindowRect(panel, &rect);
    ::GetClientRect(panel, &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 110);
    EXPECT_EQ(rect.right - rect.left, 250) << "no frame";
    EXPECT_EQ(rect.left, (width_ - 250) / 2);
    EXPECT_EQ(rect.top, (height_ - 110) / 2);
    // Shown first, then made topmost: another process may look in between.
    for (int i = 0; i < 40 && !(::GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST); ++i) ::Sleep(50);
    EXPECT_TRUE(::GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(::GetWindowLongW(panel, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(panel, shape), ERROR);
    const POINT holes[] = {{0, 0}, {1, 0}, {0, 1}, {249, 0}, {248, 0}, {249, 1}};
    for (const POINT& p : holes) EXPECT_FALSE(::PtInRegion(shape, p.x, p.y)) << p.x << "," << p.y;
    const POINT kept[] = {{2, 0}, {1, 1}, {247, 0}, {248, 1}, {0, 109}, {249, 109}, {125, 55}};
    for (const POINT& p : kept) EXPECT_TRUE(::PtInRegion(shape, p.x, p.y)) << p.x << "," << p.y;
    ::DeleteObject(shape);

    EXPECT_EQ(core_.Core(L"asyncresult"), kWait) << "nothing before the user acts";
    input_.Click(rect.left + 224 + 9, rect.top + 4 + 9);  // the close mark
    EXPECT_EQ(Await(core_), kCancel);
    EXPECT_TRUE(WaitUntilGone(kPanel));
    EXPECT_EQ(ClipboardText(), L"keep me");
}

TEST_F(CaptureFromThePage, PanelTextsByLanguageAndTheCloseMarkUnderTheMouse) {
    // "en" has the two-line hint in its fixed 222 x 28 box; the Chinese hints keep one line.
    for (const wchar_t* lang : {L"en", L"zh-tw", L"zh-cn"}) {
        SCOPED_TRACE(::testing::Message() << "lang " << std::string(lang, lang + wcslen(lang)));
        EXPECT_EQ(StartCapture(core_, lang), kWait);
        HWND panel = WaitForWindow(kPanel);
        ASSERT_NE(panel, nullptr);
        RECT rect;
        ::GetWindowRect(panel, &rect);
        input_.MoveTo(rect.left + 125, rect.top + 100);  // over the panel, off the button and the mark
        const std::wstring golden = GoldenPath(std::wstring(L"panel_") + lang + L".png");
        EXPECT_EQ(SettledCompare(rect.left, rect.top, 250, 110, golden), "");

        if (lang == std::wstring(L"en")) {
            // The mark shows its second picture under the mouse, the first again over the background.
            input_.MoveTo(rect.left + 224 + 9, rect.top + 4 + 9);
            EXPECT_EQ(SettledCompare(rect.left + 224, rect.top + 4, 19, 19, GoldenPath(L"close_mark_hover.png")),
                      "");
            input_.MoveTo(rect.left + 125, rect.top + 100);
            EXPECT_EQ(SettledCompare(rect.left, rect.top, 250, 110, golden), "") << "the mark back at rest";
        }
        input_.Click(rect.left + 224 + 9, rect.top + 4 + 9);
        EXPECT_EQ(Await(core_), kCancel);
        EXPECT_TRUE(WaitUntilGone(kPanel));
        pattern_->Repaint();
    }
}

TEST_F(CaptureFromThePage, DragAndDoubleClickGiveTheRegionAsPng) {
    ASSERT_NE(OpenRegionWindow(core_), nullptr);
    input_.Drag(130, 100, 10, 20);
    input_.DoubleClick(60, 60);
    const std::wstring reply = Await(core_);
    ExpectPatternImage(reply, 10, 20, 120, 80);
    EXPECT_TRUE(WaitUntilGone(kRegion));
    EXPECT_TRUE(WaitUntilGone(kPanel));

    // All the screen the pointer reaches, over the panel's old place too: the panel is not in
    // the grab.
    pattern_->Repaint();
    ::Sleep(600);
    ASSERT_NE(OpenRegionWindow(core_), nullptr);
    input_.Drag(width_ - 1, height_ - 1, 0, 0);
    input_.DoubleClick(width_ / 2, height_ / 2);
    ExpectPatternImage(Await(core_), 0, 0, width_ - 1, height_ - 1);
}

TEST_F(CaptureFromThePage, CancelTable) {
    struct Case {
        const char* name;
        std::function<void(const UserInput&, HWND)> script;
    };
    const Case cases[] = {
        {"right-click with nothing selected", [](const UserInput& in, HWND) { in.RightClick(300, 300); }},
        {"double-click with nothing selected", [](const UserInput& in, HWND) { in.DoubleClick(300, 300); }},
        {"zero-height drag",
         [](const UserInput& in, HWND) {
             in.Drag(100, 200, 300, 200);
             in.DoubleClick(500, 500);
         }},
        {"Alt+F4 on the region window",
         [](const UserInput& in, HWND) {
             in.Drag(100, 100, 300, 200);
             in.AltF4();
         }},
        {"Escape leaves the window open",
         [](const UserInput& in, HWND region) {
             in.Key(VK_ESCAPE);
             ::Sleep(300);
             EXPECT_TRUE(::IsWindowVisible(region));
             in.RightClick(300, 300);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(PutText(L"keep me"));
        HWND region = OpenRegionWindow(core_);
        ASSERT_NE(region, nullptr);
        c.script(input_, region);
        EXPECT_EQ(Await(core_), kCancel);
        EXPECT_TRUE(WaitUntilGone(kRegion));
        EXPECT_TRUE(WaitUntilGone(kPanel));
        EXPECT_EQ(ClipboardText(), L"keep me") << "the clipboard is untouched";
        pattern_->Repaint();
        ::Sleep(600);
    }
    // Alt+F4 on the panel itself.
    EXPECT_EQ(StartCapture(core_), kWait);
    HWND panel = WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    ::SetForegroundWindow(panel);
    ::Sleep(200);
    input_.AltF4();
    EXPECT_EQ(Await(core_), kCancel);
    EXPECT_TRUE(WaitUntilGone(kPanel));
}

TEST_F(CaptureFromThePage, AnotherObjectsCaptureIsRefusedAndTheFirstStillEndsOk) {
    EXPECT_EQ(StartCapture(core_), kWait);
    HWND panel = WaitForWindow(kPanel);
    ASSERT_NE(panel, nullptr);
    DispatchClient second;
    ASSERT_TRUE(SUCCEEDED(second.Create(kProgId)));
    EXPECT_EQ(StartCapture(second), kWait);
    EXPECT_EQ(Await(second, 5000), kCancel) << "refused at once";
    EXPECT_EQ(::FindWindowW(nullptr, kPanel), panel) << "the first panel stays";
    EXPECT_TRUE(::IsWindowVisible(panel));
    EXPECT_EQ(core_.Core(L"asyncresult"), kWait);

    RECT rect;
    ::GetWindowRect(panel, &rect);
    input_.Click(rect.left + 72 + 48, rect.top + 64 + 14);
    ASSERT_NE(WaitForWindow(kRegion), nullptr);
    ::Sleep(300);
    input_.Drag(40, 50, 90, 80);
    input_.DoubleClick(60, 60);
    ExpectPatternImage(Await(core_), 40, 50, 50, 30);
    second.Reset();  // releasing an object unloads every form: none is left now
}

TEST_F(CaptureFromThePage, AHiddenPanelOfAnotherProcessRefusesTheCapture) {
    // A window with the panel's caption, never shown, on a thread of its own that answers
    // messages as another program's would.
    std::atomic<HWND> other{nullptr};
    std::atomic<DWORD> otherThread{0};
    std::thread owner([&] {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        HWND window = ::CreateWindowExW(0, L"STATIC", kPanel, WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                        nullptr);
        otherThread = ::GetCurrentThreadId();
        other = window;
        while (window && ::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        if (window) ::DestroyWindow(window);
    });
    while (!otherThread) ::Sleep(10);
    struct Join {
        std::thread& thread;
        DWORD id;
        ~Join() {
            ::PostThreadMessageW(id, WM_QUIT, 0, 0);
            thread.join();
        }
    } join{owner, otherThread};
    ASSERT_NE(other.load(), nullptr);
    EXPECT_EQ(StartCapture(core_), kWait);
    EXPECT_EQ(Await(core_, 5000), kCancel);
    HWND found = nullptr;
    int panels = 0;
    while ((found = ::FindWindowExW(nullptr, found, nullptr, kPanel)) != nullptr) ++panels;
    EXPECT_EQ(panels, 1) << "the server showed no panel of its own";
    ::PostThreadMessageW(otherThread, WM_QUIT, 0, 0);
    for (int i = 0; i < 100 && ::IsWindow(other); ++i) ::Sleep(20);
    // The next capture is not refused; its panel, closed as soon as it shows, still ends the
    // job with "cancel".
    ExpectACaptureClosedAtItsPanelToCancel();
}

TEST_F(CaptureFromThePage, AClipboardHeldOpenAtFinishGivesNoImage) {
    ASSERT_TRUE(PutText(L"held"));
    ASSERT_NE(OpenRegionWindow(core_), nullptr);
    input_.Drag(10, 10, 60, 60);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    input_.DoubleClick(30, 30);
    const std::wstring reply = Await(core_);
    ::CloseClipboard();
    EXPECT_EQ(reply, L"{\"state\":\"err\",\"errflag\":\"cbnopngbmp\"}");
    EXPECT_EQ(ClipboardText(), L"held") << "an earlier clipboard content is not the capture";
    EXPECT_TRUE(WaitUntilGone(kPanel));
}

// The panel builds its shape while it loads and lets messages run doing so. Another client's
// release that arrives just then unloads every form, the half-made panel with its controls among
// them: the load stops, the job answers "cancel" and the server goes on serving. The panel's
// test probe holds the load at that pump until the release is done.
TEST_F(CaptureFromThePage, AReleaseWhileThePanelTakesItsShapeCancelsTheCapture) {
    struct PumpProbe {
        HANDLE reached = ::CreateEventW(nullptr, FALSE, FALSE, L"Local\\QuorallionTest.CapturePanelLoadPump.Reached");
        HANDLE resume = ::CreateEventW(nullptr, TRUE, FALSE, L"Local\\QuorallionTest.CapturePanelLoadPump.Resume");
        ~PumpProbe() { Close(); }
        void Close() {
            if (resume) ::SetEvent(resume);
            for (HANDLE* h : {&reached, &resume})
                if (*h) ::CloseHandle(std::exchange(*h, nullptr));
        }
    } probe;
    ASSERT_NE(probe.reached, nullptr);
    ASSERT_NE(probe.resume, nullptr);
    DispatchClient second;
    ASSERT_TRUE(SUCCEEDED(second.Create(kProgId)));
    EXPECT_EQ(StartCapture(core_), kWait);
    ASSERT_EQ(::WaitForSingleObject(probe.reached, 15000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "the panel's load never reached its pump";
    second.Reset();  // served inside that pump
    probe.Close();
    EXPECT_EQ(Await(core_), kCancel);
    EXPECT_TRUE(WaitUntilGone(kPanel));

    // The server lives on, and the next capture shows its panel.
    ExpectACaptureClosedAtItsPanelToCancel();
}
