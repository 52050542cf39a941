#include "ico_format.h"

#include <cstdlib>
#include <cstring>

#include "dib_decode.h"

namespace quorallion::codecs {

namespace {

// Reads a PNG entry's IHDR: its size bytes and, when the directory names none, its depth.
bool ReadPngEntryHeader(ByteSpan data, IcoEntry& entry) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    entry.isPng = true;
    if (!data.Has(0, 26)) return false;
    for (int i = 0; i < 8; ++i)
        if (data.data()[i] != kSignature[i]) return false;
    if (std::memcmp(data.data() + 12, "IHDR", 4) != 0) return false;
    uint32_t width = 0, height = 0;
    data.U32BigEndian(16, width);
    data.U32BigEndian(20, height);
    auto sizeOf = [&](uint32_t value, int& side) {
        if (value >= 1 && value <= 256) side = static_cast<int>(value);
        else entry.bitCount = 0;
    };
    sizeOf(width, entry.width);
    sizeOf(height, entry.height);
    if (entry.bitCount == 0) {
        const uint8_t depth = data.data()[24];
        const uint8_t colorType = data.data()[25];
        if (depth == 16) entry.bitCount = 32;
        else if (depth == 0) entry.bitCount = 0;
        else if (colorType == 4 || colorType == 6) entry.bitCount = 32;
        else if (colorType == 2) entry.bitCount = 24;
        else entry.bitCount = depth;
    }
    return entry.bitCount >= 1;
}

}  // namespace

bool HasIconDirectoryHeader(ByteSpan bytes) {
    uint16_t reserved = 0, type = 0;
    return bytes.U16(0, reserved) && bytes.U16(2, type) && reserved == 0 && (type == 1 || type == 2);
}

CodecResult ReadIcoDirectory(ByteSpan bytes, IcoDirectory& directory) {
    directory = IcoDirectory{};
    uint16_t reserved = 0, type = 0, count = 0;
    if (!bytes.U16(0, reserved) || !bytes.U16(2, type) || !bytes.U16(4, count)) return CodecResult::NotThisFormat;
    if (count < 1 || reserved != 0 || (type != 1 && type != 2)) return CodecResult::NotThisFormat;
    if (!bytes.Has(6, 16 * int64_t{count})) return CodecResult::NotThisFormat;

    int64_t totalData = 0;
    directory.type = type;
    directory.entries.resize(count);
    for (int i = 0; i < count; ++i) {
        const int64_t at = 6 + 16 * int64_t{i};
        IcoEntry& entry = directory.entries[i];
        uint8_t width = 0, height = 0;
        uint16_t bitCount = 0;
        bytes.U8(at, width);
        bytes.U8(at + 1, height);
        bytes.U16(at + 6, bitCount);
        bytes.U32(at + 8, entry.bytesInResource);
        bytes.U32(at + 12, entry.imageOffset);
        entry.width = width == 0 ? 256 : width;
        entry.height = height == 0 ? 256 : height;
        // A cursor keeps its hot spot where an icon keeps planes and bit count.
        entry.bitCount = type == 2 ? 0 : bitCount;
        totalData += entry.bytesInResource;
    }
    if (6 + 16 * int64_t{count} + totalData > static_cast<int64_t>(bytes.size())) return CodecResult::NotThisFormat;

    bool accepted = true;
    for (IcoEntry& entry : directory.entries) {
        // Sound: an entry's data must lie inside the bytes, whatever the sizes sum to.
        const ByteSpan data = bytes.Sub(entry.imageOffset, entry.bytesInResource);
        uint16_t headerBits = 0;
        if (!data.U16(14, headerBits)) {
            entry.bitCount = 0;
            accepted = false;
            continue;
        }
        data.U32(0, entry.headerSize);
        if (headerBits == 0) {
            if (entry.bitCount == 0) accepted = false;
        } else if (headerBits == 0x5244) {
            accepted = ReadPngEntryHeader(data, entry);
        } else {
            entry.bitCount = headerBits;
        }
    }
    return accepted ? CodecResult::Ok : CodecResult::Corrupt;
}

int ChooseIcoEntry(const IcoDirectory& directory, int wantedWidth, int wantedHeight, int wantedDepth) {
    const auto& entries = directory.entries;
    const int count = static_cast<int>(entries.size());
    if (count < 2) return count == 1 && entries[0].bitCount != 0 ? 1 : 0;

    std::vector<int64_t> scores(count, 0);
    int64_t best = 10000;
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
        const IcoEntry& entry = entries[i];
        if (entry.bitCount == 0) continue;
        int64_t score = entry.width - wantedWidth;
        if (wantedWidth > entry.width) score *= 2;
        int64_t heightScore = entry.height - wantedHeight;
        if (wantedHeight > entry.height) heightScore *= 2;
        score += heightScore + std::llabs(int64_t{wantedDepth} - entry.bitCount);
        if (entry.bitCount > 32) score = -10000;
        scores[i] = score;
        if (score == 0) return i + 1;
        if (score > 0 && score < best) {
            best = score;
            chosen = i + 1;
        }
    }
    if (chosen) return chosen;
    best = 10000;
    for (int i = count - 1; i >= 0; --i) {
        const int64_t score = std::llabs(scores[i]) + std::llabs(int64_t{32} - entries[i].bitCount);
        if (score < best) {
            best = score;
            chosen = i + 1;
        }
    }
    return chosen ? chosen : 1;
}

int64_t IcoColorCount(const IcoEntry& entry) {
    if (entry.bitCount >= 9 || entry.bitCount < 0) return 0;
    const int64_t xorMask = ScanLineBytes(entry.bitCount, entry.width) * entry.height;
    const int64_t andMask = ScanLineBytes(1, entry.width) * entry.height;
    return (int64_t{entry.bytesInResource} - xorMask - andMask - (entry.headerSize & 0xFF)) / 4;
}

int64_t IcoColorByteOffset(const IcoEntry& entry) {
    const int64_t table = entry.bitCount >= 0 && entry.bitCount < 16 ? (int64_t{4} << entry.bitCount) : 0;
    return int64_t{entry.imageOffset} + entry.headerSize + table;
}

CodecResult DecodeIcoBitmapEntry(ByteSpan bytes, const IcoEntry& entry, PixelBuffer& pixels) {
    const ByteSpan data = bytes.Sub(entry.imageOffset, entry.bytesInResource);
    uint32_t headerSize = 0;
    uint32_t compression = 0;
    if (!data.U32(0, headerSize) || !data.U32(16, compression)) return CodecResult::Corrupt;
    if (compression != 0) return CodecResult::Corrupt;
    if (headerSize < 12 || headerSize > data.size()) return CodecResult::Corrupt;

    DibLayout layout;
    layout.width = entry.width;
    layout.height = entry.height;
    layout.bitCount = entry.bitCount;
    const int64_t paletteBytes = entry.bitCount < 16 ? (int64_t{4} << entry.bitCount) : 0;
    if (entry.bitCount <= 0 || entry.bitCount > 32) return CodecResult::Corrupt;
    // The table the bits use: as many entries as lie before the colour bits, at most 2^bits.
    const ByteSpan palette = data.Sub(headerSize, paletteBytes);
    if (paletteBytes > 0 && palette.size() == 0) return CodecResult::Corrupt;
    const int64_t colorStride = ScanLineBytes(entry.bitCount, entry.width);
    const int64_t colorOffset = headerSize + paletteBytes;
    const ByteSpan colorBits = data.Sub(colorOffset, colorStride * entry.height);
    if (colorBits.size() == 0) return CodecResult::Corrupt;

    CodecResult result = DecodeDibBits(layout, palette, colorBits, pixels);
    if (result != CodecResult::Ok) return result;

    uint8_t* target = pixels.bgra.data();
    if (entry.bitCount == 32) {
        for (int y = 0; y < entry.height; ++y) {
            const uint8_t* source = colorBits.data() + y * colorStride;
            for (int x = 0; x < entry.width; ++x, target += 4) {
                const int alpha = source[4 * x + 3];
                if (alpha == 0) {
                    target[0] = target[1] = target[2] = target[3] = 0;
                } else if (alpha != 255) {
                    for (int c = 0; c < 3; ++c) target[c] = static_cast<uint8_t>(target[c] * alpha / 255);
                    target[3] = static_cast<uint8_t>(alpha);
                }
            }
        }
        return CodecResult::Ok;
    }
    const int64_t maskStride = ScanLineBytes(1, entry.width);
    const ByteSpan mask = data.Sub(int64_t{entry.bytesInResource} - maskStride * entry.height, maskStride * entry.height);
    if (mask.size() == 0) return CodecResult::Corrupt;
    ApplyAndMask(pixels, mask.data(), maskStride);
    return CodecResult::Ok;
}

void ApplyAndMask(PixelBuffer& pixels, const uint8_t* mask, int64_t maskStride) {
    uint8_t* target = pixels.bgra.data();
    for (int y = 0; y < pixels.height; ++y) {
        const uint8_t* maskRow = mask + y * maskStride;
        for (int x = 0; x < pixels.width; ++x, target += 4) {
            if (maskRow[x / 8] & (0x80 >> (x % 8))) target[0] = target[1] = target[2] = target[3] = 0;
            else target[3] = 255;
        }
    }
}

}  // namespace quorallion::codecs
