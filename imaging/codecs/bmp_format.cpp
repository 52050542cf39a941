#include "bmp_format.h"

#include <algorithm>
#include <cstring>

#include "bas32bppDIBParsers.h"
#include "dib_decode.h"

namespace quorallion::codecs {

namespace {
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiJpeg = 4;
constexpr uint32_t kBiPng = 5;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kBiAlphaBitFields = 6;
constexpr int64_t kFileHeaderSize = 14;
}  // namespace

CodecResult ReadBmpHeader(ByteSpan bytes, BmpHeader& header) {
    header = BmpHeader{};
    uint16_t signature = 0;
    if (!bytes.U16(0, signature) || signature != 0x4D42) return CodecResult::NotThisFormat;
    if (!bytes.U32(10, header.pixelOffset) || !bytes.U32(14, header.infoSize)) return CodecResult::Corrupt;
    // The information header must lie inside the bytes it describes.
    if (header.infoSize < 12 || !bytes.Has(kFileHeaderSize, header.infoSize)) return CodecResult::Corrupt;
    if (header.infoSize == 12) {
        // The old core header: 16-bit sizes, no compression field.
        uint16_t width = 0, height = 0;
        if (!bytes.U16(18, width) || !bytes.U16(20, height) || !bytes.U16(24, header.bitCount))
            return CodecResult::Corrupt;
        header.width = width;
        header.height = height;
    } else if (!bytes.I32(18, header.width) || !bytes.I32(22, header.height) || !bytes.U16(28, header.bitCount) ||
               !bytes.U32(30, header.compression)) {
        return CodecResult::Corrupt;
    }
    if (header.infoSize >= 40 && !bytes.U32(46, header.colorsUsed)) return CodecResult::Corrupt;
    if (header.width < 1 || header.height == 0 || header.height == INT32_MIN) return CodecResult::Corrupt;
    return CodecResult::Ok;
}

CodecResult DecodeBmp(ByteSpan bytes, BmpImage& image) {
    image = BmpImage{};
    BmpHeader header;
    CodecResult result = ReadBmpHeader(bytes, header);
    if (result != CodecResult::Ok) return result;
    const bool bitFields = header.compression == kBiBitFields || header.compression == kBiAlphaBitFields;
    if (header.compression != kBiRgb && !bitFields) {
        // Run-length and embedded JPEG or PNG data are the platform's, once the header holds
        // together: a known compression at its own depth, pixels that begin inside the range and
        // a size no reader would refuse. Any other compression value is no bitmap at all.
        const bool known = (header.compression == kBiRle8 && header.bitCount == 8) ||
                           (header.compression == kBiRle4 && header.bitCount == 4) ||
                           ((header.compression == kBiJpeg || header.compression == kBiPng) &&
                            header.bitCount == 0);
        if (!known || header.pixelOffset < kFileHeaderSize + header.infoSize ||
            int64_t{header.pixelOffset} >= static_cast<int64_t>(bytes.size()))
            return CodecResult::Corrupt;
        const int64_t rows = header.height < 0 ? -int64_t{header.height} : header.height;
        if (int64_t{header.width} * rows > kMaxPixels) return CodecResult::TooLarge;
        return CodecResult::NotThisFormat;
    }

    DibLayout layout;
    layout.width = header.width;
    layout.topDown = header.height < 0;
    layout.height = layout.topDown ? -header.height : header.height;
    layout.bitCount = header.bitCount;
    layout.bitFields = bitFields;
    if (int64_t{layout.width} * layout.height > kMaxPixels) return CodecResult::TooLarge;

    const int64_t infoEnd = kFileHeaderSize + header.infoSize;
    if (bitFields) {
        if (header.bitCount != 16 && header.bitCount != 32) return CodecResult::Corrupt;
        // Masks follow a 40-byte header, or sit inside a larger one at the same place.
        if (!bytes.U32(54, layout.redMask) || !bytes.U32(58, layout.greenMask) || !bytes.U32(62, layout.blueMask))
            return CodecResult::Corrupt;
    }

    ByteSpan palette;
    std::vector<uint8_t> widened;  // 3-byte core-header entries made 4 bytes wide
    if (header.bitCount <= 8) {
        const int quadSize = header.infoSize == 12 ? 3 : 4;
        int64_t entries = header.colorsUsed == 0 ? (int64_t{1} << header.bitCount) : header.colorsUsed;
        entries = std::min<int64_t>(entries, int64_t{1} << std::min<int>(header.bitCount, 8));
        // Some writers leave the table short; take what lies before the pixels.
        const int64_t available = (int64_t{header.pixelOffset} - infoEnd) / quadSize;
        entries = std::min(entries, std::max<int64_t>(available, 0));
        if (!bytes.Has(infoEnd, entries * quadSize)) return CodecResult::Corrupt;
        if (quadSize == 4) {
            palette = bytes.Sub(infoEnd, entries * 4);
        } else {
            widened.assign(size_t(entries) * 4, 0);
            for (int64_t i = 0; i < entries; ++i) std::memcpy(&widened[size_t(i) * 4], bytes.data() + infoEnd + i * 3, 3);
            palette = ByteSpan(widened.data(), widened.size());
        }
    }

    const int64_t stride = ScanLineBytes(header.bitCount, layout.width);
    if (stride < 0) return CodecResult::Corrupt;
    const ByteSpan bits = bytes.Sub(header.pixelOffset, stride * layout.height);
    if (bits.size() == 0) return CodecResult::Corrupt;

    result = DecodeDibBits(layout, palette, bits, image.pixels);
    if (result != CodecResult::Ok) return result;

    if (header.bitCount == 32 && header.compression == kBiRgb) {
        // Our own 32-bit path keeps the alpha bytes as stored and lets the alpha scan judge them.
        for (int row = 0; row < layout.height; ++row) {
            const int storedRow = layout.topDown ? layout.height - 1 - row : row;
            const uint8_t* source = bits.data() + storedRow * stride;
            uint8_t* target = image.pixels.bgra.data() + size_t(row) * layout.width * 4;
            std::memcpy(target, source, size_t(layout.width) * 4);
        }
        int32_t alphaUse = 0, alphaForm = 0;
        bas32bppDIBParsers::ValidateAlphaChannel(
            imaging::PixelView{image.pixels.bgra.data(), layout.width, layout.height}, true, alphaUse, alphaForm);
        image.imageType = alphaForm;
        image.alpha = alphaUse;
    }
    return CodecResult::Ok;
}

std::vector<uint8_t> EncodeBmp(int width, int height, int bitCount, const uint8_t* rows, size_t rowBytes) {
    const uint32_t imageSize = static_cast<uint32_t>(rowBytes * size_t(height));
    std::vector<uint8_t> out(54 + size_t(imageSize), 0);
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = uint8_t(v);
        out[at + 1] = uint8_t(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + imageSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    put16(26, 1);
    put16(28, uint32_t(bitCount));
    if (imageSize) std::memcpy(out.data() + 54, rows, imageSize);
    return out;
}

}  // namespace quorallion::codecs
