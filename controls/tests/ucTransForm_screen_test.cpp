// ucTransForm under Xvfb: a framed window shaped to its 250 x 110 background picture with red
// corners, the Transparent switch, the AutoDrag table with real presses, and a second control.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screen_input.h"
#include "ucTransForm_win.h"

using namespace quorallion::controls;
using namespace quorallion::controls::testing;

namespace {

constexpr int kPicW = 250, kPicH = 110;
constexpr Colour kBody = 0x336699, kRed = 0x0000FF;

PicturePtr MakePanelPicture() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kPicW;
    info.bmiHeader.biHeight = -kPicH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    for (int y = 0; y < kPicH; ++y)
        for (int x = 0; x < kPicW; ++x) {
            const bool corner = (x < 4 || x >= kPicW - 4) && (y < 4 || y >= kPicH - 4);
            const Colour c = corner ? kRed : kBody;
            bits[y * kPicW + x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
    return Picture::FromBitmap(bitmap);
}

struct Panel : Container {
    using Container::Container;
    std::vector<std::wstring> messages;
    int ShowMessage(std::wstring_view text, std::wstring_view title, UINT style) override {
        messages.push_back(std::wstring(title) + L"|" + std::wstring(text) + L"|" + std::to_wstring(style));
        return IDOK;
    }
};

Panel* g_panel = nullptr;
int g_buttonUps = 0;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        if (g_panel) g_panel->PaintPicture(dc);
        ::EndPaint(window, &ps);
        return 0;
    }
    case WM_LBUTTONUP:
        ++g_buttonUps;
        if (::GetCapture() == window) ::ReleaseCapture();
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

class TransFormPanel : public ::testing::Test {
protected:
    void SetUp() override {
        MoveTo(5, 5);
        g_buttonUps = 0;
        window_ = MakeHostWindow(L"panel", 300, 300, 400, 300, PanelProc, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
        ASSERT_NE(window_, nullptr);
        panel_ = std::make_unique<Panel>(window_);
        g_panel = panel_.get();
        panel_->SetPicture(MakePanelPicture());
        PropertyBag bag;
        bag.Set(L"MaskColor", int64_t{kRed});
        shape_ = std::make_unique<ucTransForm>();
        ASSERT_TRUE(shape_->Create(*panel_, L"ucTransForm1", 0, 0, 480, 480, &bag));
        Pump(150);
    }
    void TearDown() override {
        shape_.reset();
        g_panel = nullptr;
        panel_.reset();
        ::DestroyWindow(window_);
        Pump(50);
    }
    POINT ClientOrigin() const {
        POINT p{0, 0};
        ::ClientToScreen(window_, &p);
        return p;
    }
    bool HasRegion() const {
        HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
        const int kind = ::GetWindowRgn(window_, probe);
        ::DeleteObject(probe);
        return kind == SIMPLEREGION || kind == COMPLEXREGION;
    }

    HWND window_ = nullptr;
    std::unique_ptr<Panel> panel_;
    std::unique_ptr<ucTransForm> shape_;
};

}  // namespace

TEST_F(TransFormPanel, ShapesTheWindowToItsPicture) {
    RECT client{};
    ::GetClientRect(window_, &client);
    EXPECT_EQ(client.right, kPicW);
    EXPECT_EQ(client.bottom, kPicH);
    RECT window{};
    ::GetWindowRect(window_, &window);
    const POINT o = ClientOrigin();
    const int dx = o.x - window.left, dy = o.y - window.top;
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(window_, region), COMPLEXREGION);
    RECT box{};
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.left, dx) << "no frame";
    EXPECT_EQ(box.top, dy) << "no title bar";
    EXPECT_EQ(box.right - box.left, kPicW);
    EXPECT_EQ(box.bottom - box.top, kPicH);
    struct {
        int x, y;
        bool inside;
    } points[] = {{0, 0, false}, {3, 3, false}, {4, 0, true}, {kPicW - 1, kPicH - 1, false},
                  {kPicW - 5, kPicH - 5, true}, {kPicW / 2, kPicH / 2, true}, {-1, 10, false}, {10, -1, false}};
    for (auto p : points)
        EXPECT_EQ(::PtInRegion(region, dx + p.x, dy + p.y) != FALSE, p.inside) << p.x << "," << p.y;
    ::DeleteObject(region);
    // On the screen: the picture inside, no red at the holes.
    EXPECT_EQ(ScreenPixel(o.x + 100, o.y + 50), kBody);
    EXPECT_NE(ScreenPixel(o.x + 1, o.y + 1), kRed);
    EXPECT_TRUE(panel_->messages.empty());
}

TEST_F(TransFormPanel, TransparentSwitchesTheShapeAtOnce) {
    ASSERT_TRUE(HasRegion());
    shape_->SetTransparent(false);
    EXPECT_FALSE(HasRegion());
    shape_->SetTransparent(true);
    EXPECT_TRUE(HasRegion());
    // A new mask colour alone changes nothing until the next rebuild.
    shape_->SetMaskColor(kBody);
    EXPECT_TRUE(HasRegion());
    shape_->Refresh();
    Pump(50);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(window_, region);
    RECT window{};
    ::GetWindowRect(window_, &window);
    const POINT o = ClientOrigin();
    EXPECT_TRUE(::PtInRegion(region, o.x - window.left, o.y - window.top)) << "red corners now solid";
    EXPECT_FALSE(::PtInRegion(region, o.x - window.left + 100, o.y - window.top + 50));
    ::DeleteObject(region);
}

TEST_F(TransFormPanel, AutoDragTable) {
    struct Case {
        int autoDrag;
        bool transparent;
        bool leftButton;
        bool moves;
    } cases[] = {
        {2, true, true, true}, {2, false, true, false}, {1, false, true, true},
        {0, true, true, false}, {1, true, false, false},
    };
    for (const Case& c : cases) {
        shape_->SetAutoDrag(c.autoDrag);
        shape_->SetTransparent(c.transparent);
        ::SetWindowPos(window_, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Pump(100);
        RECT before{};
        ::GetWindowRect(window_, &before);
        const POINT o = ClientOrigin();
        g_buttonUps = 0;
        RunInputScript([&] {
            SendMove(o.x + 100, o.y + 50);
            ::Sleep(100);
            SendButton(c.leftButton ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN);
            ::Sleep(150);
            SendMove(o.x + 120, o.y + 60);
            ::Sleep(100);
            SendMove(o.x + 140, o.y + 75);
            ::Sleep(100);
            SendButton(c.leftButton ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP);
            ::Sleep(100);
        });
        RECT after{};
        ::GetWindowRect(window_, &after);
        const bool moved = after.left != before.left || after.top != before.top;
        EXPECT_EQ(moved, c.moves) << "AutoDrag " << c.autoDrag << " Transparent " << c.transparent << " left "
                                  << c.leftButton;
        if (c.moves) {
            EXPECT_EQ(after.left - before.left, 40);
            EXPECT_EQ(after.top - before.top, 25);
            EXPECT_EQ(g_buttonUps, 1) << "the release the move loop took comes back";
            EXPECT_NE(::GetCapture(), window_) << "the host released the capture";
        }
    }
}

TEST_F(TransFormPanel, ASecondControlIsInert) {
    ucTransForm second;
    ASSERT_TRUE(second.Create(*panel_, L"ucTransForm2", 0, 0, 480, 480, nullptr));
    ASSERT_EQ(panel_->messages.size(), 1u);
    EXPECT_EQ(panel_->messages[0],
              L"Multiple TransForm Controls|Only one TransForm control is allowed or needed on a single form.\r\n\r\n"
              L"All TransForm functionality will be disabled for this form.|48");
    EXPECT_TRUE(second.Inert());
    EXPECT_FALSE(shape_->Inert());
    EXPECT_FALSE(HasRegion()) << "the inert control's rebuild at loading";
    shape_->Refresh();
    ASSERT_TRUE(HasRegion());
    second.Refresh();
    EXPECT_FALSE(HasRegion()) << "an inert control's rebuild leaves the window rectangular";
    second.PopupSysMenu(0, 10.0, 10.0);  // does nothing, returns at once
}

TEST_F(TransFormPanel, TheControlIsNotSeenAndThePictureShowsWhereItLies) {
    EXPECT_FALSE(::IsWindowVisible(shape_->hWnd()));
    ::InvalidateRect(window_, nullptr, TRUE);
    Pump(100);
    const POINT o = ClientOrigin();
    EXPECT_EQ(ScreenPixel(o.x + 10, o.y + 10), kBody);
    EXPECT_EQ(ScreenPixel(o.x + 240, o.y + 100), kBody);
}
