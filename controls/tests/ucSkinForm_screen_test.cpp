// ucSkinForm on a borderless window under Xvfb: the shape cut at the top corners, the title
// buttons' places and images, close, title drag, edge drag with and without AllowResizing,
// maximise and restore.
#include <gtest/gtest.h>

#include "screen_input.h"
#include "ucSkinForm_win.h"

using namespace quorallion::controls;
using namespace quorallion::controls::testing;

namespace {

constexpr int kX = 200, kY = 150, kW = 400, kH = 300;

class SkinnedHost : public ::testing::Test {
protected:
    void SetUp() override {
        MoveTo(5, 5);
        window_ = MakeHostWindow(L"skinned", kX, kY, kW, kH);
        ASSERT_NE(window_, nullptr);
        host_ = std::make_unique<Container>(window_);
        frame_ = std::make_unique<ucSkinForm>();
        ASSERT_TRUE(frame_->Create(*host_, L"ucSkinForm1", 0, 0, kW * TwipsPerPixelX(), kH * TwipsPerPixelY()));
        frame_->SetCaption(L"Skinned");
        frame_->BtnCloseClick = [this] { ++closes_; };
        frame_->TransForm();
        Pump(150);
    }
    void TearDown() override {
        frame_.reset();
        host_.reset();
        ::DestroyWindow(window_);
        MoveTo(5, 5);
    }
    RECT HostRect() const {
        RECT r{};
        ::GetWindowRect(window_, &r);
        return r;
    }

    HWND window_ = nullptr;
    std::unique_ptr<Container> host_;
    std::unique_ptr<ucSkinForm> frame_;
    int closes_ = 0;
};

}  // namespace

TEST_F(SkinnedHost, ShapeCutsFivePixelsAtEachTopCornerOnly) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(window_, region), COMPLEXREGION);
    struct {
        int x, y;
        bool inside;
    } points[] = {{0, 0, false}, {1, 0, false}, {2, 0, false}, {0, 1, false}, {0, 2, false}, {3, 0, true},
                  {1, 1, true}, {0, 3, true}, {kW - 1, 0, false}, {kW - 2, 0, false}, {kW - 3, 0, false},
                  {kW - 1, 1, false}, {kW - 1, 2, false}, {kW - 4, 0, true}, {0, kH - 1, true},
                  {kW - 1, kH - 1, true}, {kW / 2, kH / 2, true}};
    for (auto p : points) EXPECT_EQ(::PtInRegion(region, p.x, p.y) != FALSE, p.inside) << p.x << "," << p.y;
    ::DeleteObject(region);
    // The title bar is drawn: blue at the top, the caption's white somewhere on it.
    const uint32_t title = ScreenPixel(kX + 200, kY + 20);
    EXPECT_GT(static_cast<int>((title >> 16) & 255), static_cast<int>(title & 255)) << "blue over red: " << std::hex << title;
}

TEST_F(SkinnedHost, TitleButtonsTakeTheirPlacesFromTheRight) {
    struct Case {
        bool close, maximize, minimize;
        int closeLeft, maxLeft, minLeft;  // -1: hidden
    } cases[] = {
        {true, false, false, kW - 29, -1, -1},
        {true, true, false, kW - 29, kW - 49, -1},
        {true, true, true, kW - 29, kW - 49, kW - 69},
        {false, true, false, -1, kW - 29, -1},
        {false, false, true, -1, -1, kW - 29},
    };
    for (const Case& c : cases) {
        frame_->SetBtnClose(c.close);
        frame_->SetBtnMaximize(c.maximize);
        frame_->SetBtnMinimize(c.minimize);
        auto check = [&](int index, int left, const char* what) {
            ucTransPicture& b = frame_->TitleButton(index);
            EXPECT_EQ(b.Visible(), left >= 0) << what;
            if (left >= 0) {
                EXPECT_EQ(static_cast<int>(b.Left()), left) << what;
                EXPECT_EQ(static_cast<int>(b.Top()), 5) << what;
                EXPECT_EQ(b.ScaleWidth(), 19) << what;
            }
        };
        check(1, c.closeLeft, "close");
        check(0, c.maxLeft, "maximise");
        check(3, c.minLeft, "minimise");
        EXPECT_FALSE(frame_->TitleButton(2).Visible()) << "restore only while maximised";
    }
}

TEST_F(SkinnedHost, CloseButtonHoverImageAndClick) {
    auto expected = Picture::LoadBitmapResource(::GetModuleHandleW(nullptr), L"ucSkinForm_Blue_BtnClose2");
    auto normal = Picture::LoadBitmapResource(::GetModuleHandleW(nullptr), L"ucSkinForm_Blue_BtnClose1");
    ASSERT_TRUE(expected && normal);
    const int bx = kX + kW - 29, by = kY + 5;
    EXPECT_EQ(ScreenPixel(bx + 3, by + 9), normal->PixelAt(3, 9));
    EXPECT_EQ(ScreenPixel(bx, by), ScreenPixel(bx - 1, by)) << "the button's magenta corner is see-through";
    MoveTo(bx + 9, by + 9);
    MoveTo(bx + 10, by + 9);
    EXPECT_EQ(frame_->HotButton(), L"Close");
    Pump(50);
    EXPECT_EQ(ScreenPixel(bx + 3, by + 9), expected->PixelAt(3, 9)) << "hover image";
    LeftDown();
    LeftUp();
    Pump(50);
    EXPECT_EQ(closes_, 1);
    MoveTo(kX + 200, kY + 150);  // over the background
    EXPECT_EQ(frame_->HotButton(), L"");
    Pump(50);
    EXPECT_EQ(ScreenPixel(bx + 3, by + 9), normal->PixelAt(3, 9));
}

TEST_F(SkinnedHost, TitleDragMovesAndEdgesResizeOnlyWhenAllowed) {
    const RECT before = HostRect();
    RunInputScript([] {
        SendMove(kX + 150, kY + 15);
        ::Sleep(100);
        SendButton(MOUSEEVENTF_LEFTDOWN);
        ::Sleep(150);
        SendMove(kX + 170, kY + 25);
        ::Sleep(100);
        SendMove(kX + 200, kY + 45);
        ::Sleep(100);
        SendButton(MOUSEEVENTF_LEFTUP);
        ::Sleep(100);
    });
    RECT after = HostRect();
    EXPECT_EQ(after.left - before.left, 50);
    EXPECT_EQ(after.top - before.top, 30);
    ::SetWindowPos(window_, nullptr, kX, kY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(100);

    auto dragRightEdge = [] {
        RunInputScript([] {
            SendMove(kX + kW - 2, kY + 150);
            ::Sleep(100);
            SendButton(MOUSEEVENTF_LEFTDOWN);
            ::Sleep(150);
            SendMove(kX + kW + 20, kY + 150);
            ::Sleep(100);
            SendMove(kX + kW + 40, kY + 150);
            ::Sleep(100);
            SendButton(MOUSEEVENTF_LEFTUP);
            ::Sleep(100);
        });
    };
    dragRightEdge();
    EXPECT_EQ(HostRect().right - HostRect().left, kW) << "no resizing unless allowed";
    frame_->SetAllowResizing(true);
    dragRightEdge();
    EXPECT_EQ(HostRect().right - HostRect().left, kW + 42);
    EXPECT_EQ(frame_->ScaleWidth(), kW + 42) << "the frame follows";
    EXPECT_EQ(static_cast<int>(frame_->TitleButton(1).Left()), kW + 42 - 29);
}

TEST_F(SkinnedHost, MaximiseThenRestoreReturnsGeometry) {
    frame_->DoMax();
    EXPECT_FALSE(frame_->isMax()) << "no maximise button, no maximise";
    frame_->SetBtnMaximize(true);
    const RECT before = HostRect();
    frame_->DoMax();
    Pump(50);
    EXPECT_TRUE(frame_->isMax());
    RECT max = HostRect();
    EXPECT_EQ(max.left, 0);
    EXPECT_EQ(max.top, 0);
    EXPECT_EQ(max.right - max.left, ::GetSystemMetrics(SM_CXFULLSCREEN));
    EXPECT_EQ(max.bottom - max.top, ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYFULLSCREEN));
    EXPECT_TRUE(frame_->TitleButton(2).Visible()) << "restore replaces maximise";
    EXPECT_FALSE(frame_->TitleButton(0).Visible());
    frame_->DoMax();
    Pump(50);
    EXPECT_FALSE(frame_->isMax());
    const RECT back = HostRect();
    EXPECT_EQ(back.left, before.left);
    EXPECT_EQ(back.top, before.top);
    EXPECT_EQ(back.right - back.left, kW);
    EXPECT_EQ(back.bottom - back.top, kH);
}

TEST_F(SkinnedHost, RestoreAfterResetMaxAloneKeepsSizeAndPlace) {
    ucSkinForm fresh;
    Container other(window_);
    frame_.reset();
    ASSERT_TRUE(fresh.Create(other, L"ucSkinForm1", 0, 0, kW * TwipsPerPixelX(), kH * TwipsPerPixelY()));
    fresh.SetBtnMaximize(true);
    fresh.ResetMax();
    EXPECT_TRUE(fresh.isMax());
    const RECT reset = HostRect();
    fresh.DoMax();
    EXPECT_FALSE(fresh.isMax());
    const RECT after = HostRect();
    EXPECT_EQ(after.left, reset.left);
    EXPECT_EQ(after.top, reset.top);
    EXPECT_GT(after.right - after.left, 0);
    EXPECT_GT(after.bottom - after.top, 0);
}

TEST_F(SkinnedHost, ChineseCaptionFontHasItsGlyphs) {
    // The caption font "宋体" reaches a font that holds Chinese glyphs (fonts-wqy-zenhei through
    // the prefix's replacements).
    HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
    HDC dc = ::GetDC(window_);
    HGDIOBJ old = ::SelectObject(dc, font);
    WORD glyphs[2] = {};
    ASSERT_EQ(::GetGlyphIndicesW(dc, L"确定", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 2u);
    EXPECT_NE(glyphs[0], 0xFFFF) << "no Chinese glyph: is fonts-wqy-zenhei installed and mapped?";
    EXPECT_NE(glyphs[1], 0xFFFF);
    ::SelectObject(dc, old);
    ::ReleaseDC(window_, dc);
    ::DeleteObject(font);
    frame_->SetCaption(L"公式编辑");
    Pump(50);
    EXPECT_GT(frame_->Item(L"lbl_Caption").Width(), 20);
}
