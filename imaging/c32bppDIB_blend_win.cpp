// The own blender: premultiplied pixels drawn onto a device context (captured into a 24-bit
// section, blended, written back) or straight into a host image.
#include "bas32bppDIBParsers.h"
#include "c32bppDIB.h"
#include "pixels/light_adjust.h"
#include "pixels/pixel_blend.h"

namespace quorallion {
namespace {

bool BlendOntoDC(HDC destinationDC, imaging::PixelView source, imaging::BlendRequest request) {
    if (imaging::PixelByteCount(request.width, request.height) < 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = request.width;
    info.bmiHeader.biHeight = request.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = nullptr;
    win::UniqueMemoryDC memoryDC;
    win::UniqueGdiObject section;
    {
        win::WindowDC screen(nullptr);
        memoryDC.reset(::CreateCompatibleDC(screen.get()));
        section.reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!memoryDC || !section || !bits) return false;
    {
        win::SelectGuard selected(memoryDC.get(), section.get());
        ::BitBlt(memoryDC.get(), 0, 0, request.width, request.height, destinationDC, request.destX, request.destY,
                 SRCCOPY);
    }
    memoryDC.reset();
    ::GdiFlush();

    imaging::BlendTarget target{static_cast<uint8_t*>(bits), request.width, request.height,
                                static_cast<size_t>(bas32bppDIBParsers::ScanLineBytes(24, request.width)), 3};
    const int32_t destX = request.destX, destY = request.destY;
    request.destX = request.destY = 0;
    imaging::BlendPixelRect(source, target, request);
    ::SetDIBitsToDevice(destinationDC, destX, destY, request.width, request.height, 0, 0, 0, request.height, bits,
                        &info, DIB_RGB_COLORS);
    return true;
}

}  // namespace

bool c32bppDIB::BlendPixels(HDC destinationDC, imaging::PixelCopy& copy, int32_t SrcX, int32_t SrcY,
                            int32_t destX, int32_t destY, int32_t destWidth, int32_t destHeight, int32_t opacity,
                            c32bppDIB* destHostDIB, int32_t grayScale, float LightAdjustment) {
    imaging::PixelCopy lightened;
    imaging::PixelView source;
    int64_t srcX = SrcX, srcY = SrcY;
    if (!copy.empty()) {
        source = copy.view();
        srcX = srcY = 0;
    } else if (LightAdjustment == 0) {
        source = Pixels();
    } else {
        if (!imaging::LightenedCopy(Pixels(), SrcX, SrcY, destWidth, destHeight, LightAdjustment, lightened)) {
            return false;
        }
        source = lightened.view();
        srcX = srcY = 0;
    }
    // A negative destination offset cuts the hidden columns and rows off the source.
    int64_t dx = destX, dy = destY, w = destWidth, h = destHeight;
    if (dx < 0) { srcX -= dx; w += dx; dx = 0; }
    if (dy < 0) { srcY -= dy; h += dy; dy = 0; }
    // Nothing beyond the source's pixels is drawn.
    w = std::min<int64_t>(w, source.width - srcX);
    h = std::min<int64_t>(h, source.height - srcY);
    if (destHostDIB) {
        w = std::min<int64_t>(w, int64_t{destHostDIB->Width()} - dx);
        h = std::min<int64_t>(h, int64_t{destHostDIB->Height()} - dy);
    }
    bool drawn = false;
    if (w >= 1 && h >= 1 && srcX >= 0 && srcY >= 0) {
        imaging::BlendRequest request{static_cast<int32_t>(srcX), static_cast<int32_t>(srcY), static_cast<int32_t>(dx),
                                      static_cast<int32_t>(dy), static_cast<int32_t>(w), static_cast<int32_t>(h),
                                      opacity, grayScale};
        if (destHostDIB) {
            const imaging::PixelView host = destHostDIB->Pixels();
            imaging::BlendTarget target{host.bits, host.width, host.height, host.stride(), 4};
            drawn = !host.empty();
            if (drawn) imaging::BlendPixelRect(source, target, request);
        } else {
            drawn = destinationDC && BlendOntoDC(destinationDC, source, request);
        }
    }
    copy.Free();
    return drawn;
}

}  // namespace quorallion
