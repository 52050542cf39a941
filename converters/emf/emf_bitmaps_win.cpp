// The drawing surfaces, the metafile's palette and the copy that is saved.
#include <vector>

#include "emf_module_win.h"

namespace quorallion::emf {

namespace {

win::UniqueGdiObject DibSection(const BITMAPINFO* info) {
    win::WindowDC screen(nullptr);
    void* bits = nullptr;
    return win::UniqueGdiObject(::CreateDIBSection(screen.get(), info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

}  // namespace

win::UniqueGdiObject CreateRgbDibSection(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: rows bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return DibSection(&info);
}

win::UniqueGdiObject CreateGrayDibSection(int32_t width, int32_t height, int32_t bitCount) {
    if (bitCount != 2 && bitCount != 4 && bitCount != 8) return {};
    const int entries = 1 << bitCount;
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * entries);
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biClrUsed = static_cast<DWORD>(entries);
    for (int i = 0; i < entries; ++i) {
        const BYTE level = static_cast<BYTE>(i);  // entry i is gray level i
        info->bmiColors[i] = RGBQUAD{level, level, level, 0};
    }
    return DibSection(info);
}

win::UniqueGdiObject CreateEmfPalette(HENHMETAFILE metafile) {
    const UINT count = ::GetEnhMetaFilePaletteEntries(metafile, 0, nullptr);
    if (count == 0 || count == GDI_ERROR || count > 0xFFFF) return {};
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * count, 0);
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    if (::GetEnhMetaFilePaletteEntries(metafile, count, palette->palPalEntry) != count) return {};
    return win::UniqueGdiObject(::CreatePalette(palette));
}

win::UniqueGdiObject CopyToCompatibleBitmap(HBITMAP bitmap) {
    BITMAP shape{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(shape), &shape)) return {};
    win::UniqueGdiObject copy;
    {
        win::WindowDC screen(nullptr);
        if (!screen) return {};
        const int depth = ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES);
        // A 16-bit screen would round RGB(254, 255, 255) to white: keep the section's depth then.
        copy = depth >= 24 ? win::UniqueGdiObject(::CreateCompatibleBitmap(screen.get(), shape.bmWidth, shape.bmHeight))
                           : CreateRgbDibSection(shape.bmWidth, shape.bmHeight);
    }
    if (!copy) return {};
    win::UniqueMemoryDC from(::CreateCompatibleDC(nullptr)), to(::CreateCompatibleDC(nullptr));
    if (!from || !to) return {};
    bool copied;
    {
        win::SelectGuard fromSelected(from.get(), bitmap), toSelected(to.get(), copy.get());
        copied = ::BitBlt(to.get(), 0, 0, shape.bmWidth, shape.bmHeight, from.get(), 0, 0, SRCCOPY) != FALSE;
    }
    if (!copied) return {};
    return copy;
}

}  // namespace quorallion::emf
