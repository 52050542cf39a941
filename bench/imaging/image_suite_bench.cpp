// The image object's heavier work: "gcbimage" on clipboard bitmaps of full-HD and 4K size beside a
// bare GDI+ PNG encode of the same pixels, Resize of 4096 x 4096 to half per road, and the drop
// shadow at depths 1, 5 and 10 (its cost should not grow with the depth).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "c32bppDIB.h"
#include "clipboard/basClipBoard.h"
#include "gdiplus/cGDIPlus.h"
#include "gdiplus/gdiplus_flat_win.h"

using quorallion::c32bppDIB;
using quorallion::cGDIPlus;
namespace gp = ::Gdiplus;

namespace {

// Seconds per run of f, over at least a second (and at least two runs) after one warm-up run.
double SecondsPerRun(const std::function<bool()>& f) {
    if (!f()) return -1;
    int runs = 0;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::duration<double> elapsed{0};
    do {
        if (!f()) return -1;
        ++runs;
        elapsed = std::chrono::steady_clock::now() - start;
    } while (elapsed.count() < 1.0 || runs < 2);
    return elapsed.count() / runs;
}

// A photo-like opaque picture: smooth gradients with a little noise, as a screenshot of a page
// with pictures gives.
std::vector<uint8_t> PhotoPixels(int width, int height) {
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    uint32_t seed = 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525 + 1013904223;
            uint8_t* p = &bgra[(size_t(y) * width + x) * 4];
            p[0] = uint8_t(x * 255 / width + (seed >> 29));
            p[1] = uint8_t(y * 255 / height + (seed >> 28 & 3));
            p[2] = uint8_t((x + y) % 256);
            p[3] = 255;
        }
    return bgra;
}

bool PutDibOnClipboard(int width, int height, const std::vector<uint8_t>& bgra) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof header + bgra.size());
    if (!block) return false;
    auto* target = static_cast<uint8_t*>(::GlobalLock(block));
    std::memcpy(target, &header, sizeof header);
    std::memcpy(target + sizeof header, bgra.data(), bgra.size());
    ::GlobalUnlock(block);
    if (!::OpenClipboard(nullptr)) {
        ::GlobalFree(block);
        return false;
    }
    ::EmptyClipboard();
    const bool put = ::SetClipboardData(CF_DIB, block) != nullptr;
    if (!put) ::GlobalFree(block);
    ::CloseClipboard();
    return put;
}

// The same pixels encoded by GDI+ alone: a bitmap over them saved as PNG into memory.
bool BarePngEncode(int width, int height, std::vector<uint8_t>& bgra, size_t& bytes) {
    const quorallion::gdiplus::Api* api = quorallion::gdiplus::Get();
    gp::GpBitmap* bitmap = nullptr;
    if (!api || api->GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB, bgra.data(), &bitmap) != gp::Ok)
        return false;
    CLSID png;
    std::vector<uint8_t> out;
    const bool saved = cGDIPlus::FindEncoderClsid(L"image/png", png) >= 0 && cGDIPlus::SaveImage(bitmap, L"", out, png, nullptr);
    api->GdipDisposeImage(bitmap);
    bytes = out.size();
    return saved;
}

void ClipboardImage() {
    std::printf("gcbimage: clipboard bitmap -> PNG -> Base64, beside a bare GDI+ PNG encode\n");
    ULONG_PTR token = 0;
    gp::GdiplusStartupInput input;
    if (!quorallion::gdiplus::Get() || quorallion::gdiplus::Get()->GdiplusStartup(&token, &input, nullptr) != gp::Ok) {
        std::printf("  no GDI+\n");
        return;
    }
    for (auto [width, height] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        std::vector<uint8_t> pixels = PhotoPixels(width, height);
        if (!PutDibOnClipboard(width, height, pixels)) {
            std::printf("  %dx%d: clipboard not available\n", width, height);
            continue;
        }
        size_t textLength = 0, pngBytes = 0;
        const double whole = SecondsPerRun([&] {
            textLength = quorallion::basClipBoard::GetClipboardImage().size();
            return textLength > 0;
        });
        const double bare = SecondsPerRun([&] { return BarePngEncode(width, height, pixels, pngBytes); });
        std::printf("  %4dx%-4d  gcbimage %7.1f ms (%zu Base64 characters)   GDI+ PNG alone %7.1f ms (%zu bytes)\n",
                    width, height, whole * 1000, textLength, bare * 1000, pngBytes);
    }
    quorallion::gdiplus::Get()->GdiplusShutdown(token);
}

void ResizeRoads() {
    struct Road {
        const char* name;
        bool gdiPlus, highQuality, alphaBlendFriendly;
    };
    const Road roads[] = {
        {"GDI+ high-quality bicubic", true, true, true},
        {"own scaling, bilinear", false, true, true},
        {"own scaling, nearest", false, false, false},
        {"Render, GDI+ nearest", true, false, true},
        {"Render, own road", false, false, true},
    };
    constexpr int kSide = 4096;
    std::printf("Resize %dx%d (opaque) to half, per road\n", kSide, kSide);
    const std::vector<uint8_t> pixels = PhotoPixels(kSide, kSide);
    for (const Road& road : roads) {
        c32bppDIB image;
        image.isGDIplusEnabled(road.gdiPlus);
        image.HighQualityInterpolation(road.highQuality);
        image.isAlphaBlendFriendly(road.alphaBlendFriendly);
        // Only the resizing is timed; each run starts again from the full-size picture.
        std::chrono::duration<double> resizing{0};
        int runs = 0;
        bool ok = true;
        for (; ok && (runs < 3 || resizing.count() < 1.0); ++runs) {
            ok = image.InitializeDIB(kSide, kSide);
            if (!ok) break;
            std::memcpy(image.BitsPointer(), pixels.data(), pixels.size());
            image.Alpha(0);
            const auto start = std::chrono::steady_clock::now();
            ok = image.Resize(kSide / 2, kSide / 2);
            resizing += std::chrono::steady_clock::now() - start;
        }
        const double seconds = ok ? resizing.count() / runs : -1;
        std::printf("  %-28s %8.1f ms  %7.1f MP/s (source pixels)\n", road.name, seconds * 1000,
                    seconds > 0 ? kSide * double(kSide) / seconds / 1e6 : 0.0);
    }
}

void DropShadow() {
    constexpr int kWidth = 1920, kHeight = 1080;
    std::printf("CreateDropShadow of %dx%d\n", kWidth, kHeight);
    c32bppDIB image;
    if (!image.InitializeDIB(kWidth, kHeight)) return;
    const std::vector<uint8_t> pixels = PhotoPixels(kWidth, kHeight);
    std::memcpy(image.BitsPointer(), pixels.data(), pixels.size());
    for (int depth : {1, 5, 10}) {
        const double seconds = SecondsPerRun([&] { return image.CreateDropShadow(depth, RGB(0, 0, 0)) != nullptr; });
        std::printf("  depth %2d  %7.1f ms  %7.1f MP/s\n", depth, seconds * 1000,
                    seconds > 0 ? kWidth * double(kHeight) / seconds / 1e6 : 0.0);
    }
}

}  // namespace

int main() {
    ClipboardImage();
    ResizeRoads();
    DropShadow();
    return 0;
}
