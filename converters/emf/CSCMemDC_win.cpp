#include "CSCMemDC.h"

#include "emf_module_win.h"

namespace quorallion::emf {

CSCMemDC::~CSCMemDC() { ReleaseGdiObjects(); }

bool CSCMemDC::Create(HENHMETAFILE metafile, int32_t width, int32_t height) {
    ReleaseGdiObjects();
    width_ = width;
    height_ = height;
    if (!dc_) {
        win::WindowDC screen(nullptr);
        dc_.reset(::CreateCompatibleDC(screen.get()));
        if (!dc_) return false;
    }
    win::UniqueGdiObject section = bitCount_ == 0 ? CreateRgbDibSection(width, height)
                                                  : CreateGrayDibSection(width, height, bitCount_);
    if (!section) return false;
    if (bitCount_ == 0 && metafile) palette_ = CreateEmfPalette(metafile);
    oldBitmap_ = ::SelectObject(dc_.get(), section.get());
    if (!oldBitmap_ || oldBitmap_ == HGDI_ERROR) {
        oldBitmap_ = nullptr;
        palette_.reset();
        return false;
    }
    bitmap_ = std::move(section);
    if (palette_ && ::SelectPalette(dc_.get(), static_cast<HPALETTE>(palette_.get()), TRUE)) {
        ::RealizePalette(dc_.get());
    }
    background_ = kBackground;
    return FillBackground();
}

bool CSCMemDC::FillBackground() {
    RECT area{0, 0, width_, height_};
    ::DPtoLP(dc_.get(), reinterpret_cast<POINT*>(&area), 2);
    win::UniqueGdiObject brush(::CreateSolidBrush(background_));
    if (brush) ::FillRect(dc_.get(), &area, static_cast<HBRUSH>(brush.get()));
    return true;
}

void CSCMemDC::ReleaseGdiObjects() {
    if (palette_) {
        ::SelectPalette(dc_.get(), static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
        palette_.reset();
    }
    if (bitmap_) {
        ::SelectObject(dc_.get(), oldBitmap_);
        oldBitmap_ = nullptr;
        bitmap_.reset();
    }
}

win::UniqueGdiObject CSCMemDC::TakeBitmap() {
    if (!bitmap_) return {};
    ::SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    return std::move(bitmap_);
}

}  // namespace quorallion::emf
