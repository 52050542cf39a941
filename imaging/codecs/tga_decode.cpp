#include "tga_decode.h"

#include <cstring>
#include <vector>

#include "bas32bppDIBParsers.h"

namespace quorallion::codecs {
namespace {

constexpr char kSignature[] = "TRUEVISION-XFILE.";
constexpr int64_t kSignatureLength = 17;
constexpr int64_t kExtensionSize = 495;

// Position of the footer signature inside the last `window` bytes, or -1.
int64_t FindSignature(ByteSpan bytes, int64_t window) {
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (window > size) window = size;
    for (int64_t p = size - window; p + kSignatureLength <= size; ++p)
        if (std::memcmp(bytes.data() + p, kSignature, kSignatureLength) == 0) return p;
    return -1;
}

bool ValidDepth(int depth) { return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32; }
int64_t BytesOf(int depth) { return depth == 15 || depth == 16 ? 2 : depth / 8; }

// One stored pixel of `pixelBytes` bytes to B, G, R, A.
struct PixelForm {
    int pixelBytes = 0;
    bool alphaFromAttribute = false;  // 15/16 bits: A 255 where the top bit is 0
};

inline void Convert(const uint8_t* p, const PixelForm& form, uint8_t* out) {
    const std::array<uint8_t, 32>& five = TgaFiveBitTable();
    switch (form.pixelBytes) {
        case 1:
            out[0] = out[1] = out[2] = p[0];
            out[3] = 0;
            break;
        case 2: {
            const uint32_t v = p[0] | uint32_t(p[1] & 127) << 8;
            out[0] = five[v & 31];
            out[1] = five[(v >> 5) & 31];
            out[2] = five[(v >> 10) & 31];
            out[3] = form.alphaFromAttribute && !(p[1] & 128) ? 255 : 0;
            break;
        }
        case 3:
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
            out[3] = 0;
            break;
        default:
            std::memcpy(out, p, 4);
            break;
    }
}

// A run: the first pixel copied, the filled part doubled while it fits, the rest from the start.
inline void FillRun(uint8_t* span, size_t bytes) {
    size_t filled = 4;
    while (filled * 2 <= bytes) {
        std::memcpy(span + filled, span, filled);
        filled *= 2;
    }
    if (filled < bytes) std::memcpy(span + filled, span, bytes - filled);
}

// One run-length row of `width` pixels into row (4 bytes a pixel). Indices go through the palette
// when there is one. False for a packet past the row's end or past the data.
bool DecodeRLERow(ByteSpan bytes, int64_t& position, uint8_t* row, int32_t width, const PixelForm& form,
                  const uint8_t* palette) {
    int32_t produced = 0;
    const int64_t stored = palette ? 1 : form.pixelBytes;
    while (produced < width) {
        uint8_t header = 0;
        if (!bytes.U8(position, header)) return false;
        ++position;
        const int32_t count = (header & 127) + 1;
        if (produced + count > width) return false;
        uint8_t* out = row + size_t(produced) * 4;
        if (header & 128) {
            if (!bytes.Has(position, stored)) return false;
            const uint8_t* p = bytes.data() + position;
            if (palette) std::memcpy(out, palette + size_t(p[0]) * 4, 4);
            else Convert(p, form, out);
            FillRun(out, size_t(count) * 4);
            position += stored;
        } else {
            if (!bytes.Has(position, stored * count)) return false;
            const uint8_t* p = bytes.data() + position;
            for (int32_t i = 0; i < count; ++i, p += stored, out += 4) {
                if (palette) std::memcpy(out, palette + size_t(p[0]) * 4, 4);
                else Convert(p, form, out);
            }
            position += stored * count;
        }
        produced += count;
    }
    return true;
}

}  // namespace

const std::array<uint8_t, 32>& TgaFiveBitTable() {
    static const std::array<uint8_t, 32> table = [] {
        std::array<uint8_t, 32> t{};
        for (int v = 0; v < 32; ++v) t[v] = static_cast<uint8_t>(v * 8 + v % 8);
        return t;
    }();
    return table;
}

CodecResult ValidateTgaHeader(ByteSpan bytes, TgaHeader& h) {
    const int64_t size = static_cast<int64_t>(bytes.size());
    TgaHeader header;
    header.isTGA2 = size > 23 && FindSignature(bytes, 22) >= 0;
    if (size <= 18) return CodecResult::NotThisFormat;
    bytes.U8(0, header.idLength);
    bytes.U8(1, header.colorMapType);
    bytes.U8(2, header.imageType);
    bytes.U16(3, header.firstEntry);
    bytes.U16(5, header.colorMapLength);
    bytes.U8(7, header.entrySize);
    bytes.U16(12, header.width);
    bytes.U16(14, header.height);
    bytes.U8(16, header.depth);
    bytes.U8(17, header.descriptor);
    const int type = header.imageType;
    const bool mapped = type == 1 || type == 9;
    if (!(mapped || type == 2 || type == 3 || type == 10 || type == 11)) return CodecResult::NotThisFormat;
    if (header.width == 0 || header.height == 0) return CodecResult::NotThisFormat;
    if (!ValidDepth(header.depth) || (mapped && header.depth != 8)) return CodecResult::NotThisFormat;
    if (mapped && header.colorMapType != 1) return CodecResult::NotThisFormat;
    if (header.colorMapType == 1) {
        if (header.colorMapLength == 0 || !ValidDepth(header.entrySize)) return CodecResult::NotThisFormat;
        header.colorMapBytes = int64_t{header.colorMapLength} * BytesOf(header.entrySize);
    }
    header.pixelStart = 18 + int64_t{header.idLength} + header.colorMapBytes;
    int64_t minimum = header.pixelStart + (header.isTGA2 ? 26 : 0);
    if (type < 8) minimum += int64_t{header.width} * header.height * BytesOf(header.depth);
    if (minimum > size) return CodecResult::NotThisFormat;
    if (int64_t{header.width} * header.height > kMaxPixels) return CodecResult::TooLarge;
    h = header;
    return CodecResult::Ok;
}

bool TgaHasUsefulAlpha(ByteSpan bytes) {
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (size <= 43) return true;
    const int64_t signature = FindSignature(bytes, 29);
    uint32_t offset = 0;
    if (signature < 8 || !bytes.U32(signature - 8, offset)) return true;
    if (offset < 1 || int64_t{offset} + kExtensionSize >= size) return true;
    uint16_t extensionSize = 0;
    uint8_t attributes = 0;
    if (!bytes.U16(offset, extensionSize) || extensionSize != kExtensionSize || !bytes.U8(offset + 494, attributes))
        return true;
    return attributes > 2;
}

CodecResult DecodeTga(ByteSpan bytes, PixelBuffer& pixels, int32_t& alphaKind) {
    TgaHeader h;
    if (CodecResult r = ValidateTgaHeader(bytes, h); r != CodecResult::Ok) return r;
    const int32_t width = h.width, height = h.height;
    const bool mapped = h.imageType == 1 || h.imageType == 9;
    const bool runLength = h.imageType >= 9;

    PixelForm form;
    std::vector<uint8_t> palette;
    if (mapped) {
        // Stored entry k is palette index first + k; indices never stored stay transparent black.
        PixelForm entry;
        entry.pixelBytes = static_cast<int>(BytesOf(h.entrySize));
        const bool alphaFlag = (h.entrySize == 16 || h.entrySize == 32) && TgaHasUsefulAlpha(bytes);
        entry.alphaFromAttribute = h.entrySize == 16 && alphaFlag;
        palette.assign(256 * 4, 0);
        const int64_t areaStart = 18 + int64_t{h.idLength};
        for (int64_t k = 0; k < h.colorMapLength && h.firstEntry + k < 256; ++k) {
            const uint8_t* p = bytes.data() + areaStart + k * entry.pixelBytes;
            uint8_t* out = &palette[size_t(h.firstEntry + k) * 4];
            Convert(p, entry, out);
            if (h.entrySize == 32 && !alphaFlag) out[3] = 0;
        }
        form.pixelBytes = 1;
    } else {
        form.pixelBytes = static_cast<int>(BytesOf(h.depth));
        form.alphaFromAttribute = h.depth == 16 && (h.descriptor & 15) != 0 && TgaHasUsefulAlpha(bytes);
    }

    // Every run-length row takes at least one packet per 128 pixels: data too short for that fails
    // here, before the picture is allocated, as it would on its first short row.
    if (runLength) {
        const int64_t packetsPerRow = (int64_t{width} + 127) / 128;
        if (h.pixelStart + int64_t{height} * packetsPerRow * (1 + form.pixelBytes) > int64_t(bytes.size()))
            return CodecResult::Corrupt;
    }

    PixelBuffer out;
    out.width = width;
    out.height = height;
    out.bgra.assign(size_t(width) * height * 4, 0);
    const bool topDown = (h.descriptor & 32) != 0;
    const bool rightToLeft = (h.descriptor & 16) != 0;
    std::vector<uint8_t> row(size_t(width) * 4);
    int64_t position = h.pixelStart;
    const int64_t stored = form.pixelBytes;
    for (int32_t i = 0; i < height; ++i) {
        if (runLength) {
            if (!DecodeRLERow(bytes, position, row.data(), width, form, mapped ? palette.data() : nullptr))
                return CodecResult::Corrupt;
        } else {
            if (!bytes.Has(position, stored * width)) return CodecResult::Corrupt;
            const uint8_t* p = bytes.data() + position;
            for (int32_t x = 0; x < width; ++x, p += stored) {
                if (mapped) std::memcpy(&row[size_t(x) * 4], &palette[size_t(p[0]) * 4], 4);
                else Convert(p, form, &row[size_t(x) * 4]);
            }
            position += stored * width;
        }
        uint8_t* target = &out.bgra[size_t(topDown ? height - 1 - i : i) * width * 4];
        if (!rightToLeft) {
            std::memcpy(target, row.data(), row.size());
        } else {
            for (int32_t x = 0; x < width; ++x) std::memcpy(target + size_t(width - 1 - x) * 4, &row[size_t(x) * 4], 4);
        }
    }

    int32_t kind = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(imaging::PixelView{out.bgra.data(), width, height}, true, kind, alphaForm);
    pixels = std::move(out);
    alphaKind = kind;
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs
