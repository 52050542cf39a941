// The image object's life cycle, properties, copying and scale arithmetic.
#include "c32bppDIB.h"

#include <cmath>
#include <cstring>

#include "bas32bppDIBParsers_win.h"
#include "gdiplus/cGDIPlus.h"
#include "gdiplus/gdiplus_flat_win.h"

namespace quorallion {
namespace {

uint32_t SystemFlags() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        std::memset(&info, 0, sizeof(info));
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
    }
    uint32_t flags = 0;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        flags = info.dwMinorVersion == 0 ? c32bppDIB::kNoGdiPlusSystem : c32bppDIB::kWin98OrMe;
    } else if (info.dwMajorVersion > 4) {
        flags = c32bppDIB::kNt5OrLater | c32bppDIB::kAlphaBlendFriendly;
    } else if (info.wServicePackMajor < 6) {
        flags = c32bppDIB::kNoGdiPlusSystem;
    }
    return flags | c32bppDIB::kNtFamily;
}

HDC NewScreenCompatibleDC() {
    win::WindowDC screen(nullptr);
    return ::CreateCompatibleDC(screen.get());
}

}  // namespace

c32bppDIB::c32bppDIB() : flags_(SystemFlags()) {
    isGDIplusEnabled(true);
    if (isGDIplusEnabled()) highQuality_ = true;
    imageType_ = -1;
}

c32bppDIB::~c32bppDIB() { DestroyDIB(); }

void c32bppDIB::ManageOwnDC(bool on) {
    if (!on && ownDC_) {
        if (previousBitmap_ && dib_) ::SelectObject(ownDC_, previousBitmap_);
        previousBitmap_ = nullptr;
        ::DeleteDC(ownDC_);
        ownDC_ = nullptr;
    } else if (on && !ownDC_ && dib_) {
        ownDC_ = NewScreenCompatibleDC();
    }
    manageOwnDC_ = on;
}

void c32bppDIB::isAlphaBlendFriendly(bool on) {
    if (!on) flags_ &= ~kAlphaBlendFriendly;
    else if (flags_ & (kNt5OrLater | kWin98OrMe)) flags_ |= kAlphaBlendFriendly;
}

void c32bppDIB::isGDIplusEnabled(bool on) {
    if (on == isGDIplusEnabled()) return;
    flags_ &= ~kGdiPlusEnabled;
    if (!on || (flags_ & kNoGdiPlusSystem)) return;
    ULONG_PTR token = 0;
    bool ok;
    if (keptGdiPlus_) {
        ok = keptGdiPlus_->isGDIplusOk(token, false);
    } else {
        cGDIPlus test;
        ok = test.isGDIplusOk(token, false);
    }
    if (ok) flags_ |= kGdiPlusEnabled;
}

void c32bppDIB::gdiToken(ULONG_PTR token) {
    if (keepGdiPlus_) keptGdiPlus_.reset();
    gdiToken_ = token;
}

void c32bppDIB::KeepGDIplusActive(bool on) {
    keepGdiPlus_ = on && isGDIplusEnabled();
    if (!keepGdiPlus_) keptGdiPlus_.reset();
}

ULONG_PTR c32bppDIB::CreateGDIplusToken() {
    ULONG_PTR token = 0;
    cGDIPlus gdip;
    return gdip.isGDIplusOk(token, true) ? token : 0;
}

bool c32bppDIB::DestroyGDIplusToken(ULONG_PTR Token) {
    if (!Token || !gdiplus::Get()) return false;
    cGDIPlus gdip;
    gdip.ManageToken(Token, true);
    return true;
}

bool c32bppDIB::isZlibEnabled() const {
    return bas32bppDIBParsers::IsDllExportAvailable(L"zlib1.dll", "crc32") ||
           bas32bppDIBParsers::IsDllExportAvailable(L"zlib.dll", "crc32");
}

bool c32bppDIB::InitializeDIB(int32_t Width, int32_t Height) {
    DestroyDIB();
    if (Width < 0 || Height == 0) return false;
    const int64_t absHeight = std::llabs(int64_t{Height});
    const int64_t bytes = imaging::PixelByteCount(Width, absHeight);
    if (bytes < 0 || bytes > 0x7FFFFFFF) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = static_cast<LONG>(absHeight);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
    void* bits = nullptr;
    {
        win::WindowDC screen(nullptr);
        dib_.reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!dib_ || !bits) {
        dib_.reset();
        return false;
    }
    bits_ = static_cast<uint8_t*>(bits);
    width_ = Width;
    height_ = static_cast<int32_t>(absHeight);
    if (manageOwnDC_ && !ownDC_) ownDC_ = NewScreenCompatibleDC();
    EraseDIB();
    return true;
}

void c32bppDIB::DestroyDIB() {
    keptGdiPlus_.reset();
    if (ownDC_) {
        if (previousBitmap_) ::SelectObject(ownDC_, previousBitmap_);
        ::DeleteDC(ownDC_);
        ownDC_ = nullptr;
    }
    if (dib_) {
        dib_.reset();
        originalFormat_.clear();
    }
    width_ = height_ = 0;
    bits_ = nullptr;
    previousBitmap_ = nullptr;
    alpha_ = 0;
    imageType_ = -1;
}

void c32bppDIB::EraseDIB() {
    if (!dib_) return;
    std::memset(bits_, 0, static_cast<size_t>(scanWidth()) * height_);
    imageType_ = 0;
    alpha_ = 1;
}

HDC c32bppDIB::LoadDIBinDC(bool bLoad) {
    if (bLoad) {
        if (!dib_) return nullptr;
        if (!ownDC_) ownDC_ = NewScreenCompatibleDC();
        if (!ownDC_) return nullptr;
        if (!previousBitmap_) previousBitmap_ = ::SelectObject(ownDC_, dib_.get());
        return ownDC_;
    }
    if (previousBitmap_ && ownDC_) {
        ::SelectObject(ownDC_, previousBitmap_);
        previousBitmap_ = nullptr;
        if (!manageOwnDC_) {
            ::DeleteDC(ownDC_);
            ownDC_ = nullptr;
        }
    }
    return nullptr;
}

bool c32bppDIB::GetOrginalFormat(std::vector<uint8_t>& outStream) const {
    if (originalFormat_.empty()) return false;
    outStream = originalFormat_;
    return true;
}

void c32bppDIB::CopyImageTo(std::unique_ptr<c32bppDIB>& cDIBclass, int32_t newWidth, int32_t newHeight,
                            bool CopyOriginalFormat) {
    if (!dib_) return;
    if (!cDIBclass) {
        auto made = std::make_unique<c32bppDIB>();
        made->gdiToken(gdiToken_);
        made->isGDIplusEnabled(isGDIplusEnabled());
        made->HighQualityInterpolation(highQuality_);
        cDIBclass = std::move(made);
    }
    CopyImageTo(*cDIBclass, newWidth, newHeight, CopyOriginalFormat);
}

void c32bppDIB::CopyImageTo(c32bppDIB& destination, int32_t newWidth, int32_t newHeight,
                            bool CopyOriginalFormat) {
    if (!dib_ || &destination == this) return;
    if (newWidth == 0) newWidth = width_;
    if (newHeight == 0) newHeight = height_;
    const int32_t absWidth = std::abs(newWidth), absHeight = std::abs(newHeight);
    destination.gdiToken(gdiToken_);
    if (!destination.Handle() || destination.Width() != absWidth || destination.Height() != absHeight) {
        if (!destination.InitializeDIB(absWidth, absHeight)) return;
    }
    destination.Alpha(alpha_);
    destination.ImageType(imageType_);

    if (newWidth == width_ && newHeight == height_) {
        std::memcpy(destination.BitsPointer(), bits_, static_cast<size_t>(scanWidth()) * height_);
    } else {
        // Drawn scaled: the AlphaBlend road is closed for the copy so that alpha is kept.
        const uint32_t savedFlags = flags_;
        if (flags_ & (kAlphaBlendFriendly | kWin98OrMe)) flags_ &= ~kAlphaBlendFriendly;
        if (isGDIplusEnabled()) {
            cGDIPlus temporary;
            cGDIPlus& gdip = keptGdiPlus_ ? *keptGdiPlus_ : temporary;
            gdip.RenderWithGDIplus(*this, nullptr, 0, 100, 0, 0, newWidth, newHeight, 0, 0, width_, height_,
                                   highQuality_, -1, gdiToken_, 0, &destination);
        } else {
            Render(nullptr, 0, 0, newWidth, newHeight, 0, 0, width_, height_, 100, true, true, &destination);
        }
        flags_ = (flags_ & ~kAlphaBlendFriendly) | (savedFlags & kAlphaBlendFriendly);
    }
    if (CopyOriginalFormat) destination.SetOriginalFormatBytes(originalFormat_);
}

void c32bppDIB::ScaleImage(int32_t destWidth, int32_t destHeight, int32_t& newWidth, int32_t& newHeight,
                           int32_t ScaleMode) const {
    if (!dib_) return;
    if (ScaleMode == 0 || ScaleMode == 1) {
        float xRatio = static_cast<float>(destWidth) / static_cast<float>(width_);
        float yRatio = static_cast<float>(destHeight) / static_cast<float>(height_);
        if (ScaleMode == 1 && xRatio > 1 && yRatio > 1) xRatio = yRatio = 1;
        const float ratio = xRatio < yRatio ? xRatio : yRatio;
        newWidth = static_cast<int32_t>(std::floor(ratio * width_));
        newHeight = static_cast<int32_t>(std::floor(ratio * height_));
    } else if (ScaleMode == 2) {
        newWidth = destWidth;
        newHeight = destHeight;
    } else {
        newWidth = width_;
        newHeight = height_;
    }
}

}  // namespace quorallion
