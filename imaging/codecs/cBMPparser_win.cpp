#include "cBMPparser.h"

#include <cstring>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "bmp_format.h"
#include "dib_fill_win.h"
#include "gif_decode.h"
#include "ico_format.h"

namespace quorallion {

bool cBMPparser::LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength) {
    refused_ = false;
    const codecs::ByteSpan bytes = codecs::RangeOf(inStream, streamOffset, streamLength);
    // The icon and GIF readers have already refused these: the platform would read the same
    // broken directory or blocks past the range.
    if (codecs::HasIconDirectoryHeader(bytes) || codecs::HasGifSignature(bytes)) {
        refused_ = true;
        return false;
    }
    codecs::BmpImage bmp;
    int16_t bitCount = 0;
    switch (codecs::DecodeBmp(bytes, bmp)) {
    case codecs::CodecResult::Ok:
        if (!codecs::FillImage(cHost, bmp.pixels, bmp.imageType, bmp.alpha)) {
            cHost.DestroyDIB();
            return false;
        }
        return true;
    case codecs::CodecResult::NotThisFormat: {
        // No "BM", or a compression only the platform reads behind a header that holds together.
        codecs::BmpHeader header;
        if (codecs::ReadBmpHeader(bytes, header) == codecs::CodecResult::Ok)
            bitCount = static_cast<int16_t>(header.bitCount);
        break;
    }
    default:
        // A "BM" header that our decoder reads but that does not fit its bytes (offset, sizes or
        // rows past the range): the platform's loader would read past its buffer.
        refused_ = true;
        return false;
    }
    // The platform's loader takes anything that begins with a zero word for an icon or cursor
    // directory; the icon reader has judged those already.
    uint16_t firstWord = 0xFFFF;
    if (bytes.U16(0, firstWord) && firstWord == 0) return false;
    if (bytes.size() == 0 || cHost.Handle()) return false;
    com::ComPtr<IPicture> picture = bas32bppDIBParsers::ArrayToPicture(inStream, streamOffset, streamLength);
    if (!picture) return false;
    return ConvertstdPicTo32bpp(picture.get(), nullptr, cHost, bitCount);
}

bool cBMPparser::SaveAsBMP(c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream,
                           bool Keep32bppFormat, uint32_t TransparentFillColor) {
    if (!cHost.BitsPointer() || cHost.Width() < 1 || cHost.Height() < 1) return false;
    const int width = cHost.Width(), height = cHost.Height();
    std::vector<uint8_t> own(cHost.BitsPointer(), cHost.BitsPointer() + size_t(cHost.scanWidth()) * height);
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(imaging::PixelView{own.data(), width, height}, false, alphaUse, alphaForm);

    std::vector<uint8_t> file;
    if (alphaUse != bas32bppDIBParsers::kAlphaNone && Keep32bppFormat) {
        file = codecs::EncodeBmp(width, height, 32, own.data(), size_t(width) * 4);
    } else {
        const int64_t rowBytes = codecs::ScanLineBytes(24, width);
        if (rowBytes < 0) return false;
        std::vector<uint8_t> rows;
        if (alphaUse != bas32bppDIBParsers::kAlphaNone) {
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
