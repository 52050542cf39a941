#include "cBMPparser.h"

#include <cstring>

#include "alpha_scan.h"
#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "bmp_format.h"
#include "dib_fill_win.h"
#include "win/handles.h"

namespace quorallion {

namespace {

// The picture loader's road: a bitmap picture read back as opaque 32-bit pixels.
bool LoadThroughPicture(const std::vector<uint8_t>& bytes, int64_t offset, int64_t length, c32bppDIB& image) {
    com::ComPtr<IPicture> picture = bas32bppDIBParsers::ArrayToPicture(bytes, offset, length);
    if (!picture) return false;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return false;
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle));
    BITMAP description{};
    if (!::GetObjectW(bitmap, sizeof description, &description) || description.bmWidth < 1) return false;
    const int height = description.bmHeight < 0 ? -description.bmHeight : description.bmHeight;
    if (!image.InitializeDIB(description.bmWidth, height)) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = description.bmWidth;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    win::WindowDC screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, height, image.BitsPointer(), &info, DIB_RGB_COLORS) != height) {
        image.DestroyDIB();
        return false;
    }
    for (size_t i = 3; i < size_t(image.scanWidth()) * height; i += 4) image.BitsPointer()[i] = 255;
    image.ImageType(1);
    image.Alpha(0);
    return true;
}

}  // namespace

bool cBMPparser::LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength) {
    const codecs::ByteSpan bytes = codecs::RangeOf(inStream, streamOffset, streamLength);
    codecs::BmpImage bmp;
    switch (codecs::DecodeBmp(bytes, bmp)) {
    case codecs::CodecResult::Ok:
        if (!codecs::FillImage(cHost, bmp.pixels, bmp.imageType, bmp.alpha)) {
            cHost.DestroyDIB();
            return false;
        }
        return true;
    case codecs::CodecResult::NotThisFormat:
        break;  // no "BM", or a compression only the platform reads
    case codecs::CodecResult::Corrupt: {
        // A "BM" header with width below 1 or height 0 is refused outright; other faults go to
        // the platform as a header that failed the size check does.
        codecs::BmpHeader header;
        if (codecs::ReadBmpHeader(bytes, header) != codecs::CodecResult::Ok) return false;
        break;
    }
    default:
        return false;
    }
    if (bytes.size() == 0 || cHost.Handle()) return false;
    return LoadThroughPicture(inStream, streamOffset, streamLength, cHost);
}

bool cBMPparser::SaveAsBMP(c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream,
                           bool Keep32bppFormat, uint32_t TransparentFillColor) {
    if (!cHost.BitsPointer() || cHost.Width() < 1 || cHost.Height() < 1) return false;
    const int width = cHost.Width(), height = cHost.Height();
    std::vector<uint8_t> own(cHost.BitsPointer(), cHost.BitsPointer() + size_t(cHost.scanWidth()) * height);
    const codecs::AlphaScan scan = codecs::ScanAlpha(own, false);

    std::vector<uint8_t> file;
    if (scan.kind != 0 && Keep32bppFormat) {
        file = codecs::EncodeBmp(width, height, 32, own.data(), size_t(width) * 4);
    } else {
        const int64_t rowBytes = codecs::ScanLineBytes(24, width);
        if (rowBytes < 0) return false;
        std::vector<uint8_t> rows;
        if (scan.kind != 0) {
            bas32bppDIBParsers::FlattenToColor(cHost, TransparentFillColor, rows, true);
        } else {
            rows.assign(size_t(rowBytes) * height, 0);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    std::memcpy(&rows[size_t(y) * rowBytes + 3 * x], &own[(size_t(y) * width + x) * 4], 3);
        }
        if (rows.size() < size_t(rowBytes) * height) return false;
        file = codecs::EncodeBmp(width, height, 24, rows.data(), size_t(rowBytes));
    }
    if (FileName.empty()) {
        outStream = std::move(file);
        return true;
    }
    return codecs::WriteWholeFile(FileName, file);
}

}  // namespace quorallion
