// Draws a 1920 x 1080 image with partial alpha at half its size onto a memory DC through each
// road of Render (the system's AlphaBlend, GDI+, the own blender) and prints the time per frame.
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "c32bppDIB.h"
#include "win/handles.h"

using quorallion::c32bppDIB;
namespace win = quorallion::win;

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

void FillGradient(c32bppDIB& image) {
    uint8_t* p = image.BitsPointer();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x, p += 4) {
            const uint8_t alpha = static_cast<uint8_t>((x + y) % 256);
            p[0] = static_cast<uint8_t>(x * alpha / 255 % (alpha + 1));
            p[1] = static_cast<uint8_t>(y * alpha / 1080);
            p[2] = alpha / 2;
            p[3] = alpha;
        }
    image.Alpha(2);
}

struct Road {
    const char* name;
    bool gdiplus;
    bool alphaBlend;
    bool highQuality;
};

}  // namespace

int main() {
    c32bppDIB image;
    if (!image.InitializeDIB(kWidth, kHeight)) {
        std::printf("no image\n");
        return 1;
    }
    FillGradient(image);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth / 2;
    info.bmiHeader.biHeight = kHeight / 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    win::UniqueGdiObject target(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::SelectGuard selected(dc.get(), target.get());

    const Road roads[] = {
        {"AlphaBlend (platform)", false, true, false},
        {"GDI+ nearest", true, false, false},
        {"GDI+ high-quality bicubic", true, false, true},
        {"own blender, nearest", false, false, false},
        {"own blender, bilinear", false, false, true},
    };
    std::printf("Render 1920x1080 (partial alpha) -> 960x540 memory DC\n");
    for (const Road& road : roads) {
        image.isGDIplusEnabled(road.gdiplus);
        image.isAlphaBlendFriendly(road.alphaBlend);
        image.HighQualityInterpolation(road.highQuality);
        image.Render(dc.get(), 0, 0, kWidth / 2, kHeight / 2);  // warm-up
        int frames = 0;
        const auto start = std::chrono::steady_clock::now();
        auto elapsed = std::chrono::duration<double>(0);
        do {
            if (!image.Render(dc.get(), 0, 0, kWidth / 2, kHeight / 2)) {
                std::printf("%-28s failed\n", road.name);
                break;
            }
            ++frames;
            elapsed = std::chrono::steady_clock::now() - start;
        } while (elapsed.count() < 1.5 && frames < 200);
        const double msPerFrame = elapsed.count() * 1000 / frames;
        std::printf("%-28s %8.2f ms/frame  %8.1f source Mpixel/s  (%d frames)\n", road.name, msPerFrame,
                    kWidth * double(kHeight) / 1e6 / (msPerFrame / 1000), frames);
    }
    return 0;
}
