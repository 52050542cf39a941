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
    // A system colour as the mask matches nothing.
    snap->SetMaskColor(SystemColour(15));
    snap->SetStretchMode(3);
    EXPECT_EQ(snap->GetPicture()->PixelAt(5, 5), Rgb(220, 230, 240));
    // Sizes of 0 keep the previous image; no picture shows nothing.
    snap->SetSize(0, 0);
    snap->SetPicture(nullptr);
    Pump(20);
}
