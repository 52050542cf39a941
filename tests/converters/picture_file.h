#pragma once
// Reads a picture file's pixels for a check, through GDI+ (a reference decoder that is not ours).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorallion::testing {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;  // rows top-down, 0xAARRGGBB
    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

class GdiPlusSession {
public:
    GdiPlusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~GdiPlusSession() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

inline std::optional<Picture> ReadPicture(const std::wstring& path) {
    using namespace Gdiplus::DllExports;
    GdiPlusSession session;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return std::nullopt;
    Picture picture;
    UINT width = 0, height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.argb.resize(static_cast<size_t>(width) * height);
    Gdiplus::Rect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = picture.argb.data();
    const bool read = GdipBitmapLockBits(bitmap, &area, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                         PixelFormat32bppARGB, &data) == Gdiplus::Ok;
    if (read) GdipBitmapUnlockBits(bitmap, &data);
    GdipDisposeImage(bitmap);
    if (!read) return std::nullopt;
    return picture;
}

inline uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }

// Share of pixels (of the common area) whose channels differ by more than `tolerance`.
inline double MismatchShare(const Picture& a, const Picture& b, int tolerance) {
    const int w = std::min(a.width, b.width), h = std::min(a.height, b.height);
    if (w <= 0 || h <= 0) return 1.0;
    size_t mismatches = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t p = a.At(x, y), q = b.At(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF);
                if (d > tolerance || d < -tolerance) {
                    ++mismatches;
                    break;
                }
            }
        }
    }
    return static_cast<double>(mismatches) / (static_cast<double>(w) * h);
}

}  // namespace quorallion::testing
