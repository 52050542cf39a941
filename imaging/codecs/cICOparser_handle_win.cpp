// Icon and cursor handles turned into 32-bit images: the colour bitmap's own alpha when it has
// any, else the AND mask over the colours (or over the drawn icon, for a monochrome one).
#include <cstdlib>
#include <cstring>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers.h"
#include "cICOparser.h"
#include "dib_fill_win.h"
#include "win/handles.h"

namespace quorallion {

namespace {

// A header with room for the colour table or bit-field masks GetDIBits may write after it.
struct BitmapInfoWithTable {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

bool AllocatePixels(codecs::PixelBuffer& pixels, int32_t width, int32_t height) {
    if (width < 1 || height < 1 || int64_t{width} * height > codecs::kMaxPixels) return false;
    pixels.width = width;
    pixels.height = height;
    pixels.bgra.assign(size_t(width) * size_t(height) * 4, 0);
    return true;
}

// Rows of the bitmap, bottom row first, at bitCount bits (32 or 1) into `out`.
bool ReadRows(HDC screen, HBITMAP bitmap, int32_t width, int32_t height, int bitCount, uint8_t* out) {
    BitmapInfoWithTable info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitCount);
    info.header.biCompression = BI_RGB;
    return ::GetDIBits(screen, bitmap, 0, UINT(height), out, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) ==
           height;
}

bool HasAnyAlpha(const codecs::PixelBuffer& pixels) {
    for (size_t i = 3; i < pixels.bgra.size(); i += 4)
        if (pixels.bgra[i] != 0) return true;
    return false;
}

// A monochrome icon has no colour bitmap: draw it onto the cleared pixels at its own size.
bool DrawMonochromeIcon(HICON icon, codecs::PixelBuffer& pixels) {
    c32bppDIB canvas;
    if (!canvas.InitializeDIB(pixels.width, pixels.height)) return false;
    HDC dc = canvas.LoadDIBinDC(true);
    const bool drawn = dc && ::DrawIconEx(dc, 0, 0, icon, pixels.width, pixels.height, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    canvas.LoadDIBinDC(false);
    if (drawn) std::memcpy(pixels.bgra.data(), canvas.BitsPointer(), pixels.bgra.size());
    return drawn;
}

}  // namespace

bool cICOparser::ConvertstdPicTo32bpp(HICON Handle, c32bppDIB& cHost) {
    directory_ = {};
    ICONINFO iconInfo{};
    if (!Handle || !::GetIconInfo(Handle, &iconInfo)) return false;
    const win::UniqueGdiObject color(iconInfo.hbmColor), mask(iconInfo.hbmMask);
    const bool isIcon = iconInfo.fIcon != FALSE;
    directory_.type = isIcon ? 1 : 2;
    directory_.entries.resize(1);
    codecs::IcoEntry& entry = directory_.entries[0];
    win::WindowDC screen(nullptr);
    codecs::PixelBuffer pixels;

    if (color) {
        BitmapInfoWithTable size{};
        size.header.biSize = sizeof size.header;
        if (!::GetDIBits(screen.get(), static_cast<HBITMAP>(color.get()), 0, 0, nullptr,
                         reinterpret_cast<BITMAPINFO*>(&size), DIB_RGB_COLORS) ||
            !AllocatePixels(pixels, size.header.biWidth, std::abs(size.header.biHeight)) ||
            !ReadRows(screen.get(), static_cast<HBITMAP>(color.get()), pixels.width, pixels.height, 32,
                      pixels.bgra.data())) {
            directory_.entries.clear();
            return false;
        }
        if (HasAnyAlpha(pixels)) {
            entry = {pixels.width, pixels.height, 32, false, uint32_t(pixels.bgra.size()), 0};
            int32_t alphaUse = 0, alphaForm = 0;
            bas32bppDIBParsers::ValidateAlphaChannel(imaging::PixelView{pixels.bgra.data(), pixels.width, pixels.height},
                                                     true, alphaUse, alphaForm);
            return codecs::FillImage(cHost, pixels, isIcon ? 8 : 12, alphaUse);
        }
    }

    BITMAP maskSize{};
    if (!mask || !::GetObjectW(mask.get(), sizeof maskSize, &maskSize) || maskSize.bmWidth < 1 || maskSize.bmHeight < 1) {
        directory_.entries.clear();
        return false;
    }
    const int32_t maskHeight = std::abs(maskSize.bmHeight);
    if (!color && !AllocatePixels(pixels, maskSize.bmWidth, maskHeight / 2)) {
        directory_.entries.clear();
        return false;
    }
    // The mask must cover the colours; a monochrome icon's mask holds the AND half above the XOR half.
    if (maskSize.bmWidth < pixels.width || maskHeight < pixels.height || (!color && !DrawMonochromeIcon(Handle, pixels))) {
        directory_.entries.clear();
        return false;
    }
    const int64_t maskStride = codecs::ScanLineBytes(1, maskSize.bmWidth);
    std::vector<uint8_t> maskBits(size_t(maskStride) * maskHeight);
    if (!ReadRows(screen.get(), static_cast<HBITMAP>(mask.get()), maskSize.bmWidth, maskHeight, 1, maskBits.data())) {
        directory_.entries.clear();
        return false;
    }
    entry = {maskSize.bmWidth, pixels.height, 1, false, uint32_t(maskStride * pixels.height), 0};
    // Bottom-up rows: the top `height` rows (the AND half) start at row maskHeight - height.
    codecs::ApplyAndMask(pixels, maskBits.data() + maskStride * (maskHeight - pixels.height), maskStride);
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(imaging::PixelView{pixels.bgra.data(), pixels.width, pixels.height},
                                             false, alphaUse, alphaForm);
    return codecs::FillImage(cHost, pixels, isIcon ? 3 : 5, alphaUse);
}

}  // namespace quorallion
