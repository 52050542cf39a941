// ucTransPicture: natural size, the stretch modes' masks, and mask pixels neither drawn nor hit.
#include <gtest/gtest.h>

#include "screen_input.h"
#include "ucTransPicture_win.h"

using namespace quorallion::controls;
using namespace quorallion::controls::testing;

namespace {

// A w x h picture: colour(x, y) per pixel.
template <typename Fn>
PicturePtr MakePicture(int w, int h, Fn colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    uint32_t* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Colour c = colour(x, y);
            bits[y * w + x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
    return Picture::FromBitmap(bitmap);
}

class MaskedPicture : public ::testing::Test {
protected:
    void SetUp() override {
        MoveTo(5, 5);
        window_ = MakeHostWindow(L"pictures", 150, 150, 300, 200);
        host_ = std::make_unique<Container>(window_, Container::Units::Pixels);
    }
    void TearDown() override {
        host_.reset();
        ::DestroyWindow(window_);
    }
    std::unique_ptr<ucTransPicture> Make(int mode, Colour mask, int w, int h) {
        PropertyBag bag;
        bag.Set(L"StretchMode", int64_t{mode});
        bag.Set(L"MaskColor", int64_t{mask});
        bag.Set(L"BorderStyle", int64_t{0});
        auto p = std::make_unique<ucTransPicture>();
        EXPECT_TRUE(p->Create(*host_, L"pic", 10, 10, w, h, &bag));
        return p;
    }
    HWND window_ = nullptr;
    std::unique_ptr<Container> host_;
};

}  // namespace

TEST_F(MaskedPicture, ModeZeroTakesThePictureSizeAndMaskPixelsAreNotHit) {
    auto picture = Make(0, 0xFF00FF, 100, 80);
    // A 19 x 19 picture with a magenta left half column block.
    picture->SetPicture(MakePicture(19, 19, [](int x, int) { return x < 5 ? 0xFF00FFu : 0x336699u; }));
    Pump(80);
    EXPECT_EQ(picture->ScaleWidth(), 19);
    EXPECT_EQ(picture->ScaleHeight(), 19);
    int clicks = 0;
    picture->Click = [&] { ++clicks; };
    POINT origin{0, 0};
    ::ClientToScreen(picture->hWnd(), &origin);
    EXPECT_EQ(::WindowFromPoint(POINT{origin.x + 10, origin.y + 10}), picture->hWnd());
    EXPECT_EQ(::WindowFromPoint(POINT{origin.x + 2, origin.y + 10}), window_) << "a mask pixel passes to the host";
    EXPECT_EQ(ScreenPixel(origin.x + 10, origin.y + 10), 0x336699u);
    EXPECT_EQ(ScreenPixel(origin.x + 2, origin.y + 10), 0xFFFFFFu) << "the host's white shows through";
    ClickAt(origin.x + 2, origin.y + 10);
    EXPECT_EQ(clicks, 0);
    ClickAt(origin.x + 10, origin.y + 10);
    EXPECT_EQ(clicks, 1);
    // Opaque back style: hit and drawn everywhere.
    picture->SetBackStyle(1);
    Pump(50);
    EXPECT_EQ(::WindowFromPoint(POINT{origin.x + 2, origin.y + 10}), picture->hWnd());
}

TEST_F(MaskedPicture, StretchModesAndTheirMasks) {
    // Mode 4 with a black mask: the mask source's background is black, so all is see-through.
    auto black = Make(4, 0x000000, 60, 40);
    black->SetPicture(MakePicture(20, 20, [](int, int) { return 0x808080u; }));
    Pump(50);
    POINT o{0, 0};
    ::ClientToScreen(black->hWnd(), &o);
    EXPECT_EQ(::WindowFromPoint(POINT{o.x + 30, o.y + 20}), window_);
    black.reset();

    // Mode 4 without mask pixels: the plain halftone stretch, hit everywhere.
    auto plain = Make(4, 0xFF00FF, 60, 40);
    plain->SetPicture(MakePicture(20, 20, [](int, int) { return 0x336699u; }));
    Pump(50);
    ASSERT_TRUE(plain->GetPicture());
    EXPECT_EQ(plain->GetPicture()->Width(), 60);
    EXPECT_EQ(plain->GetPicture()->PixelAt(30, 20), 0x336699u);
    o = POINT{0, 0};
    ::ClientToScreen(plain->hWnd(), &o);
    EXPECT_EQ(::WindowFromPoint(POINT{o.x + 59, o.y + 39}), plain->hWnd());
    plain.reset();

    // Mode 3 with white: near-white snaps to white (and is see-through), far colours stay.
    auto snap = Make(3, 0xFFFFFF, 30, 10);
    snap->SetPicture(MakePicture(30, 10, [](int x, int) {
        return x < 10 ? Rgb(220, 230, 240) : x < 20 ? Rgb(100, 255, 255) : Rgb(50, 255, 255);
    }));
    Pump(50);
    ASSERT_TRUE(snap->GetPicture());
    EXPECT_EQ(snap->GetPicture()->PixelAt(5, 5), 0xFFFFFFu);
    EXPECT_EQ(snap->GetPicture()->PixelAt(15, 5), 0xFFFFFFu);
    EXPECT_EQ(snap->GetPicture()->PixelAt(25, 5), Rgb(50, 255, 255));
    // The snapped pixels are see-through: neither drawn nor hit; the far colour is both.
    Pump(50);
    o = POINT{0, 0};
    ::ClientToScreen(snap->hWnd(), &o);
    for (int x : {5, 15}) EXPECT_EQ(::WindowFromPoint(POINT{o.x + x, o.y + 5}), window_) << x;
    EXPECT_EQ(::WindowFromPoint(POINT{o.x + 25, o.y + 5}), snap->hWnd());
    EXPECT_EQ(ScreenPixel(o.x + 25, o.y + 5), Rgb(50, 255, 255));
    // A system colour as the mask matches nothing.
    snap->SetMaskColor(SystemColour(15));
    snap->SetStretchMode(3);
    EXPECT_EQ(snap->GetPicture()->PixelAt(5, 5), Rgb(220, 230, 240));
    Pump(50);
    EXPECT_EQ(::WindowFromPoint(POINT{o.x + 5, o.y + 5}), snap->hWnd());
    EXPECT_EQ(ScreenPixel(o.x + 5, o.y + 5), Rgb(220, 230, 240));

    // A size of 0 draws nothing and keeps the composed image of the last redraw.
    const PicturePtr composed = snap->GetPicture();
    snap->SetSize(0, 0);
    Pump(20);
    EXPECT_EQ(snap->GetPicture(), composed);
    snap->SetSize(30, 10);
    Pump(50);
    EXPECT_EQ(ScreenPixel(o.x + 25, o.y + 5), Rgb(50, 255, 255));
    // No picture: nothing drawn, nothing hit.
    snap->SetPicture(nullptr);
    Pump(50);
    for (int x : {5, 25}) {
        EXPECT_EQ(::WindowFromPoint(POINT{o.x + x, o.y + 5}), window_) << x;
        EXPECT_EQ(ScreenPixel(o.x + x, o.y + 5), 0xFFFFFFu) << x;
    }
}

TEST_F(MaskedPicture, OutlineFollowsBorderStyleAndOtherValuesLeaveItAsItWas) {
    auto framed = Make(1, 0xFF00FF, 40, 20);
    framed->SetBorderColor(0x0000FF);
    framed->SetPicture(MakePicture(8, 8, [](int, int) { return 0x336699u; }));
    Pump(50);
    POINT o{0, 0};
    ::ClientToScreen(framed->hWnd(), &o);
    auto outlined = [&] {
        Pump(50);
        const bool top = ScreenPixel(o.x + 20, o.y) == 0x0000FFu, left = ScreenPixel(o.x, o.y + 10) == 0x0000FFu;
        EXPECT_EQ(top, left) << "an outline is whole or absent";
        EXPECT_EQ(ScreenPixel(o.x + 20, o.y + 10), 0x336699u) << "the picture inside";
        return top && left;
    };
    EXPECT_FALSE(outlined()) << "BorderStyle 0 from the store";
    framed->SetBorderStyle(3);
    EXPECT_FALSE(outlined()) << "3 keeps the outline hidden";
    framed->SetBorderStyle(1);
    EXPECT_TRUE(outlined());
    framed->SetBorderStyle(3);
    EXPECT_TRUE(outlined()) << "3 keeps the outline shown";
    framed->SetBorderStyle(2);
    EXPECT_TRUE(outlined());
    framed->SetBorderStyle(0);
    EXPECT_FALSE(outlined());
}

TEST_F(MaskedPicture, CustomPointerShowsTheMouseIcon) {
    auto picture = Make(1, 0xFF00FF, 40, 20);
    picture->SetPicture(MakePicture(8, 8, [](int, int) { return 0x336699u; }));
    // A 32 x 32 bitmap as the cursor picture.
    picture->SetMouseIcon(MakePicture(32, 32, [](int x, int) { return x < 16 ? 0x0000FFu : 0x00FF00u; }));
    picture->SetPointer(ucTransPicture::kCustomPointer);
    POINT o{0, 0};
    ::ClientToScreen(picture->hWnd(), &o);
    MoveTo(o.x + 20, o.y + 10);
    MoveTo(o.x + 21, o.y + 10);
    HCURSOR shown = ::GetCursor();
    ASSERT_NE(shown, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(shown, &info));
    BITMAP bitmap{};
    if (info.hbmColor) ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(bitmap.bmWidth, 32) << "the custom picture, not a system cursor";
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);

    // An icon is the cursor as it is.
    picture->SetMouseIcon(Picture::FromIcon(::CopyIcon(::LoadIconW(nullptr, IDI_ASTERISK))));
    MoveTo(o.x + 20, o.y + 10);
    EXPECT_EQ(::GetCursor(), picture->MouseIcon()->Icon());

    // Another pointer code: the system's cursor again.
    picture->SetPointer(2);
    MoveTo(o.x + 23, o.y + 10);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_CROSS));
    MoveTo(5, 5);
}
