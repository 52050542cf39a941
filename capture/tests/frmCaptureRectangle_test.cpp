// The region window over a frozen pattern, driven by the user's mouse (SendInput on a
// thread of its own while this thread runs the modal display). The ways the window is cancelled
// and a clipboard held by another program are tested from the page's side (tests/capture).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <thread>
#include <vector>

#include "frmCaptureRectangle.h"
#include "process_state.h"
#include "support/golden_image.h"
#include "support/screen_pattern.h"
#include "support/send_input.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

// The frozen screen: the pattern over the whole screen, as a screen-compatible bitmap.
clsCapturePublic::Picture PatternPicture() {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<uint32_t> pixels(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[size_t(y) * w + x] = PatternPixel(x, y);
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = w;
    header.bmiHeader.biHeight = -h;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    ::SetDIBits(screen, bitmap, 0, h, pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return clsCapturePublic().CreateBitmapPicture(bitmap, nullptr);
}

// A golden screenshot of this folder's tests/golden, as this build spells paths.
std::wstring GoldenPath(const std::wstring& name) {
    std::wstring folder;
    for (const char* c = QUORALLION_CAPTURE_GOLDEN; *c; ++c) folder += *c == '/' ? L'\\' : wchar_t(*c);
    return L"Z:" + folder + L"\\" + name;
}

bool PutText(const wchar_t* text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(::GlobalLock(memory), text, bytes);
    ::GlobalUnlock(memory);
    const bool ok = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    return ok;
}


// The screen rectangles of picScreen's children by their ids: the four edges (1-4), then the
// eight handles (5-12); a hidden one reads (-1, -1, -1, -1).
std::vector<RECT> FrameRects(HWND picScreen) {
    std::vector<RECT> rects;
    for (int id = 1; id <= 12; ++id) {
        HWND child = ::GetDlgItem(picScreen, id);
        RECT rect{-1, -1, -1, -1};
        if (child && ::IsWindowVisible(child)) ::GetWindowRect(child, &rect);
        rects.push_back(rect);
    }
    return rects;
}

// The window's thread may lag behind the input under load: what it shows is waited for.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 5000) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > milliseconds) return false;
        ::Sleep(20);
    }
    ::Sleep(100);  // and let it paint
    return true;
}

// An edge or handle by its id (1-4 edges, 5-12 handles) where it is now, or (-1,...) hidden.
RECT FrameRect(HWND picScreen, int id) {
    HWND child = ::GetDlgItem(picScreen, id);
    RECT rect{-1, -1, -1, -1};
    if (child && ::IsWindowVisible(child)) ::GetWindowRect(child, &rect);
    return rect;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class RegionWindow : public ::testing::Test {
protected:
    void SetUp() override {
        HDC screen = ::GetDC(nullptr);
        if (!screen) GTEST_SKIP() << "no display";
        ::ReleaseDC(nullptr, screen);
        ::OleInitialize(nullptr);
        Process().language = L"en";
    }
    void TearDown() override { ::OleUninitialize(); }

    // Loads the window over the pattern, runs the script on another thread while the modal
    // display runs here, and gives the Tag. A window still open 3 s after the script is closed,
    // and the test fails.
    std::wstring Run(const std::function<void(frmCaptureRectangle&, const UserInput&)>& script) {
        form_ = frmCaptureRectangle::Load();
        if (!form_) {
            ADD_FAILURE() << "no region window";
            return L"";
        }
        form_->SetScreenPicture(PatternPicture());
        bool timedOut = false;
        HWND window = form_->Window();
        std::thread user([&] {
            // Input sent before the window shows the frozen picture would go to the desktop.
            WaitUntil([&] {
                const Screenshot corner = ScreenCrop(0, 0, 32, 32);
                return ::IsWindowVisible(window) && PatternMismatches(corner.pixels, 32, 32, 0, 0) == 0;
            }, 15000);
            UserInput input;
            script(*form_, input);
            for (int i = 0; i < 60 && ::IsWindowVisible(window); ++i) ::Sleep(50);
            if (::IsWindowVisible(window)) {
                timedOut = true;
                ::PostMessageW(window, WM_CLOSE, 0, 0);
            }
        });
        form_->ShowModal();
        user.join();
        EXPECT_FALSE(timedOut) << "the script did not end the window";
        std::wstring tag = form_->Tag();
        form_->Unload();
        return tag;
    }

    std::shared_ptr<frmCaptureRectangle> form_;
};

}  // namespace

TEST_F(RegionWindow, DragAndDoubleClickPutsTheFrozenRegionOnTheClipboard) {
    ASSERT_TRUE(PutText(L"before"));
    // Edges: top, left, bottom, right; handles counter-clockwise from the top-left corner.
    const RECT expected[12] = {
        {10, 20, 130, 21}, {10, 20, 11, 100}, {10, 100, 130, 101}, {130, 20, 131, 100},
        {8, 18, 13, 23},   {8, 58, 13, 63},   {8, 98, 13, 103},    {68, 98, 73, 103},
        {128, 98, 133, 103}, {128, 58, 133, 63}, {128, 18, 133, 23}, {68, 18, 73, 23}};
    std::vector<RECT> midDrag;
    std::string midDragShot, selectedShot;
    const std::wstring tag = Run([&](frmCaptureRectangle& form, const UserInput& input) {
        input.Drag(130, 100, 10, 20, false);
        WaitUntil([&] { return SameRect(FrameRect(form.ScreenWindow(), 1), expected[0]); });
        midDrag = FrameRects(form.ScreenWindow());
        // Frame, handles and the size label "120x80" over the frozen pattern.
        const std::wstring midDragGolden = GoldenPath(L"region_mid_drag.png");
        WaitUntil([&] { return CompareWithGolden(ScreenCrop(0, 0, 240, 160), midDragGolden).empty(); }, 10000);
        midDragShot = CompareWithGolden(ScreenCrop(0, 0, 240, 160), midDragGolden);
        input.LeftUp();
        input.MoveTo(150, 130);  // outside the region: the hint for finishing follows
        const std::wstring selectedGolden = GoldenPath(L"region_selected_hint.png");
        WaitUntil([&] { return CompareWithGolden(ScreenCrop(0, 0, 420, 220), selectedGolden).empty(); }, 10000);
        selectedShot = CompareWithGolden(ScreenCrop(0, 0, 420, 220), selectedGolden);
        input.DoubleClick(60, 60);  // on the move area
    });
    EXPECT_EQ(midDragShot, "");
    EXPECT_EQ(selectedShot, "");
    EXPECT_EQ(tag, L"ok");
    ASSERT_EQ(midDrag.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(midDrag[i].left, expected[i].left) << i;
        EXPECT_EQ(midDrag[i].top, expected[i].top) << i;
        EXPECT_EQ(midDrag[i].right, expected[i].right) << i;
        EXPECT_EQ(midDrag[i].bottom, expected[i].bottom) << i;
    }

    ASSERT_TRUE(::OpenClipboard(nullptr));
    HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    int w = 0, h = 0;
    std::vector<uint32_t> pixels = bitmap ? BitmapPixels(bitmap, w, h) : std::vector<uint32_t>();
    const bool hasText = ::IsClipboardFormatAvailable(CF_UNICODETEXT);
    ::CloseClipboard();
    ASSERT_EQ(w, 120);
    ASSERT_EQ(h, 80);
    int fx = -1, fy = -1;
    EXPECT_EQ(PatternMismatches(pixels, w, h, 10, 20, &fx, &fy), 0)
        << "first at " << fx << "," << fy << ": the frame lines must not be in the copy";
    EXPECT_FALSE(hasText) << "the clipboard was emptied first";
}

TEST_F(RegionWindow, RightUpResetsSwapsOnReleaseAndMovesStopAtTheEdge) {
    bool reset = false, swapped = false, stopped = false;
    const std::wstring tag = Run([&](frmCaptureRectangle& form, const UserInput& input) {
        HWND picture = form.ScreenWindow();
        auto edgeLeft = [&](int id) { return FrameRect(picture, id).left; };
        input.Drag(200, 200, 300, 260);
        WaitUntil([&] { return edgeLeft(4) == 300; });
        ::Sleep(500);
        input.RightClick(500, 500);  // with a selection: reset, the window stays
        reset = WaitUntil([&] { return edgeLeft(1) == -1 && ::IsWindowVisible(form.Window()); });
        ::Sleep(500);
        input.Drag(200, 200, 300, 260);
        WaitUntil([&] { return edgeLeft(4) == 300; });
        ::Sleep(500);
        input.Drag(200, 230, 400, 230);  // the left edge past the right one: swapped on release
        swapped = WaitUntil([&] { return edgeLeft(2) == 300 && edgeLeft(4) == 400 && edgeLeft(1) == 300; });
        ::Sleep(500);
        input.Drag(320, 240, 10, 240);  // a move: stops at x = 0
        stopped = WaitUntil([&] { return edgeLeft(2) == 0 && edgeLeft(4) == 100; });
        ::Sleep(500);
        input.DoubleClick(50, 240);  // on the move area, which followed the frame
    });
    EXPECT_TRUE(reset);
    EXPECT_TRUE(swapped);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(tag, L"ok");
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    int w = 0, h = 0;
    std::vector<uint32_t> pixels = bitmap ? BitmapPixels(bitmap, w, h) : std::vector<uint32_t>();
    ::CloseClipboard();
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 60);
    EXPECT_EQ(PatternMismatches(pixels, w, h, 0, 200), 0);
}
