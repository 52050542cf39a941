// Picture objects and bitmap handles turned into 32-bit images.
#include <olectl.h>

#include <cmath>
#include <cstring>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers.h"
#include "cBMPparser.h"
#include "win/handles.h"

namespace quorallion {

namespace {

using bas32bppDIBParsers::ValidateAlphaChannel;

// Every pixel made opaque: the alpha check with its scan skipped.
void MakeOpaque(c32bppDIB& image) {
    int32_t alphaUse = 0, alphaForm = bas32bppDIBParsers::kFormSkipScan;
    ValidateAlphaChannel(image.Pixels(), true, alphaUse, alphaForm);
}

// A metafile leaves the pixels it did not draw at the white fill: those become transparent.
int32_t ClearUndrawnPixels(c32bppDIB& image) {
    int32_t kind = 0;
    uint8_t* bytes = image.BitsPointer();
    const size_t count = size_t(image.Width()) * size_t(image.Height());
    for (size_t i = 0; i < count; ++i) {
        uint8_t* pixel = bytes + i * 4;
        if (pixel[3] == 255) {
            std::memset(pixel, 0, 4);
            kind = 1;
        } else {
            pixel[3] = 255;
        }
    }
    return kind;
}

// The bitmap's own 32-bit bits (a DIB section), bottom row first, into the image.
bool CopySectionBits(HBITMAP bitmap, c32bppDIB& image) {
    DIBSECTION section{};
    if (::GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits) return false;
    const size_t rowBytes = size_t(image.scanWidth());
    if (size_t(section.dsBm.bmWidthBytes) != rowBytes) return false;
    const bool topDown = section.dsBmih.biHeight < 0;
    const auto* source = static_cast<const uint8_t*>(section.dsBm.bmBits);
    for (int32_t row = 0; row < image.Height(); ++row) {
        const int32_t sourceRow = topDown ? image.Height() - 1 - row : row;
        std::memcpy(image.BitsPointer() + rowBytes * row, source + rowBytes * sourceRow, rowBytes);
    }
    return true;
}

bool ReadBitsAs32(HBITMAP bitmap, c32bppDIB& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width();
    info.bmiHeader.biHeight = image.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    win::WindowDC screen(nullptr);
    return ::GetDIBits(screen.get(), bitmap, 0, UINT(image.Height()), image.BitsPointer(), &info,
                       DIB_RGB_COLORS) > 0;
}

void CopyByBlt(HBITMAP bitmap, HDC imageDC, int32_t width, int32_t height) {
    win::UniqueMemoryDC source(::CreateCompatibleDC(imageDC));
    if (!source) return;
    win::SelectGuard selected(source.get(), bitmap);
    ::BitBlt(imageDC, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
}

}  // namespace

int32_t cBMPparser::HimetricToPixels(int32_t value, bool horizontal) {
    win::WindowDC screen(nullptr);
    const int dotsPerInch = screen ? ::GetDeviceCaps(screen.get(), horizontal ? LOGPIXELSX : LOGPIXELSY) : 96;
    const double pixels = double(value) * 1440.0 / 2540.0 / (1440.0 / (dotsPerInch > 0 ? dotsPerInch : 96));
    return static_cast<int32_t>(std::nearbyint(pixels));  // halves to even
}

bool cBMPparser::ConvertstdPicTo32bpp(IPicture* stdPic, HBITMAP Handle, c32bppDIB& cHost, int16_t /*bitCount*/) {
    SHORT pictureType = PICTYPE_NONE;
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    int32_t width = 0, height = 0, bitsPerPixel = 0;
    if (stdPic) {
        if (FAILED(stdPic->get_Type(&pictureType)) || pictureType <= PICTYPE_NONE) return false;
        if (FAILED(stdPic->get_Width(&himetricWidth)) || FAILED(stdPic->get_Height(&himetricHeight))) return false;
        width = HimetricToPixels(himetricWidth, true);
        height = HimetricToPixels(himetricHeight, false);
    } else {
        if (!Handle) return false;
        BITMAP description{};
        if (!::GetObjectW(Handle, sizeof description, &description)) return false;
        width = description.bmWidth;
        height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
        bitsPerPixel = description.bmBitsPixel;
    }
    // A picture or bitmap too large (or empty) for an image is no conversion.
    if (!cHost.InitializeDIB(width, height) || !cHost.BitsPointer()) return false;
    const bool metafile = stdPic && (pictureType == PICTYPE_METAFILE || pictureType == PICTYPE_ENHMETAFILE);
    bool ownAlpha = false;

    HDC imageDC = cHost.LoadDIBinDC(true);
    if (stdPic) {
        if (metafile) std::memset(cHost.BitsPointer(), 255, size_t(cHost.scanWidth()) * height);
        // Source origin at the bottom with a negative extent lands the picture upright.
        stdPic->Render(imageDC, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight, nullptr);
    } else if (bitsPerPixel == 32) {
        DIBSECTION section{};
        const bool hasOwnBits = ::GetObjectW(Handle, sizeof section, &section) == sizeof section && section.dsBm.bmBits;
        ownAlpha = hasOwnBits ? CopySectionBits(Handle, cHost) : ReadBitsAs32(Handle, cHost);
        if (!ownAlpha) CopyByBlt(Handle, imageDC, width, height);
    } else {
        CopyByBlt(Handle, imageDC, width, height);
    }
    ::GdiFlush();
    cHost.LoadDIBinDC(false);

    int32_t alphaUse = bas32bppDIBParsers::kAlphaNone;
    if (metafile) {
        alphaUse = ClearUndrawnPixels(cHost);
        cHost.ImageType(pictureType);
    } else if (stdPic) {
        MakeOpaque(cHost);
        cHost.ImageType(pictureType);
    } else if (ownAlpha) {
        int32_t alphaForm = 0;
        ValidateAlphaChannel(cHost.Pixels(), true, alphaUse, alphaForm);
        cHost.ImageType(alphaForm);
    } else {
        MakeOpaque(cHost);
        cHost.ImageType(1);
    }
    cHost.Alpha(alphaUse);
    return true;
}

}  // namespace quorallion
