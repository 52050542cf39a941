#pragma once
// A 32-bit DIB section to paint into, with its pixels read back as 0x00BBGGRR.
#include <windows.h>

#include <cstdint>

#include "colour_math.h"
#include "drawing_win.h"

namespace quorallion::controls::testing {

class Canvas {
public:
    Canvas(int w, int h, Colour fill = 0x123456) : w_(w), h_(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = ::SelectObject(dc_, bitmap_);
        FillBoxWithColor(dc_, 0, 0, w, h, fill);
        ::GdiFlush();
    }
    ~Canvas() {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int w() const { return w_; }
    int h() const { return h_; }
    FaceSurface Surface(Colour background = 0x123456) const { return FaceSurface{dc_, w_, h_, background}; }
    Colour At(int x, int y) const {
        ::GdiFlush();
        const uint32_t p = bits_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)];
        return Rgb(static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255));
    }

private:
    int w_, h_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace quorallion::controls::testing
