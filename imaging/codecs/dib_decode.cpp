#include "dib_decode.h"

#include <bit>

namespace quorallion::codecs {

namespace {

// Scales the masked field of `value` to 8 bits.
struct MaskChannel {
    explicit MaskChannel(uint32_t mask) : mask_(mask) {
        if (mask == 0) return;
        shift_ = std::countr_zero(mask);
        width_ = std::popcount(mask >> shift_);
        max_ = width_ >= 32 ? 0xFFFFFFFFu : (1u << width_) - 1;
    }
    uint8_t operator()(uint32_t value) const {
        if (mask_ == 0) return 0;
        const uint32_t field = (value & mask_) >> shift_;
        return static_cast<uint8_t>((uint64_t{field} * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    int width_ = 0;
    uint32_t max_ = 1;
};

}  // namespace

CodecResult DecodeDibBits(const DibLayout& layout, ByteSpan palette, ByteSpan bits, PixelBuffer& pixels) {
    const int bitCount = layout.bitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return CodecResult::Corrupt;
    if (layout.width < 1 || layout.height < 1) return CodecResult::Corrupt;
    if (int64_t{layout.width} * layout.height > kMaxPixels) return CodecResult::TooLarge;
    const int64_t stride = ScanLineBytes(bitCount, layout.width);
    if (stride < 0 || !bits.Has(0, stride * layout.height)) return CodecResult::Corrupt;

    uint32_t redMask = layout.redMask, greenMask = layout.greenMask, blueMask = layout.blueMask;
    if (!layout.bitFields) {
        if (bitCount == 16) redMask = 0x7C00, greenMask = 0x03E0, blueMask = 0x001F;
        if (bitCount == 32) redMask = 0xFF0000, greenMask = 0xFF00, blueMask = 0xFF;
    }
    const MaskChannel red(redMask), green(greenMask), blue(blueMask);
    const int64_t paletteCount = static_cast<int64_t>(palette.size() / 4);

    pixels.width = layout.width;
    pixels.height = layout.height;
    pixels.bgra.assign(size_t(layout.width) * layout.height * 4, 0);
    for (int row = 0; row < layout.height; ++row) {
        // Output rows are bottom-up; so are the stored rows unless topDown.
        const int storedRow = layout.topDown ? layout.height - 1 - row : row;
        const uint8_t* source = bits.data() + storedRow * stride;
        uint8_t* target = pixels.bgra.data() + size_t(row) * layout.width * 4;
        for (int x = 0; x < layout.width; ++x, target += 4) {
            if (bitCount <= 8) {
                const int perByte = 8 / bitCount;
                const int shift = 8 - bitCount * (x % perByte + 1);
                const int index = (source[x / perByte] >> shift) & ((1 << bitCount) - 1);
                if (index >= paletteCount) return CodecResult::Corrupt;
                const uint8_t* quad = palette.data() + 4 * index;
                target[0] = quad[0];
                target[1] = quad[1];
                target[2] = quad[2];
            } else if (bitCount == 24) {
                target[0] = source[3 * x];
                target[1] = source[3 * x + 1];
                target[2] = source[3 * x + 2];
            } else {
                const uint8_t* p = source + x * (bitCount / 8);
                const uint32_t value = bitCount == 16 ? uint32_t(p[0] | (p[1] << 8))
                                                      : uint32_t(p[0]) | (uint32_t(p[1]) << 8) |
                                                            (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
                target[0] = blue(value);
                target[1] = green(value);
                target[2] = red(value);
            }
            target[3] = 255;
        }
    }
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs
