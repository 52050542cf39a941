#include "png_read.h"

#include <cstring>

#include "png_crc.h"
#include "png_inflate.h"
#include "png_pixels.h"

namespace quorallion::codecs {
namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// No DEFLATE stream grows its input by more than this factor (a 258-byte match in two bits).
constexpr int64_t kMaxInflateRatio = 1032;

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

bool IsType(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

enum class Step { Next, End, Error };

class ChunkWalk {
public:
    ChunkWalk(PngChunkSource& source, bool crcTested) : source_(source), crcTested_(crcTested) {}

    // True when the walk ended at IEND without a refused chunk.
    bool Run() {
        const uint64_t size = source_.Size();
        joined_.reserve(static_cast<size_t>(size / 2 + 1));
        uint64_t cursor = 8;
        for (;;) {
            if (size < cursor || size - cursor < 12) return false;  // the data ends before IEND
            ByteSpan head = source_.Read(cursor, 4);
            if (head.size() != 4) return false;
            const uint32_t length = BigEndian32(head.data());
            if (length & 0x80000000u) return false;
            if (uint64_t{length} + 12 > size - cursor) return false;
            ByteSpan chunk = source_.Read(cursor + 4, size_t{length} + 8);  // type, data, CRC
            if (chunk.size() != size_t{length} + 8) return false;
            const uint8_t* type = chunk.data();
            const uint8_t* data = type + 4;
            const uint32_t storedCrc = crcTested_ ? BigEndian32(data + length) : 0;
            const bool crcOk = storedCrc == 0 || PngCrc32(type, size_t{length} + 4) == storedCrc;
            Step step = Step::Next;
            if (IsType(type, "IEND")) {
                step = Step::End;
            } else if (length < 1) {
                step = Step::Next;
            } else if (IsType(type, "IHDR")) {
                step = ReadIHDR(data, length, crcOk);
            } else if (IsType(type, "PLTE")) {
                step = ReadPLTE(data, length, crcOk);
            } else if (IsType(type, "tRNS")) {
                if (crcOk) ReadTRNS(data, length);
            } else if (IsType(type, "IDAT")) {
                if (!crcOk) return false;
                AppendIDAT(data, length, size);
            }
            if (step == Step::End) return true;
            if (step == Step::Error) return false;
            cursor += uint64_t{length} + 12;
        }
    }

    PngImageInfo info;
    bool headerSeen = false;
    std::vector<uint8_t> joined_;

private:
    Step ReadIHDR(const uint8_t* data, uint32_t length, bool crcOk) {
        if (!crcOk || length < 13) return Step::Error;
        const int32_t width = static_cast<int32_t>(BigEndian32(data));
        const int32_t height = static_cast<int32_t>(BigEndian32(data + 4));
        const uint8_t depth = data[8], type = data[9];
        if (width < 1 || height < 1 || data[10] != 0 || data[11] != 0 || data[12] > 1) return Step::Error;
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return Step::Error;
        if (type != 0 && type != 2 && type != 3 && type != 4 && type != 6) return Step::Error;
        // Combinations PNG forbids: true colour and grey with alpha below 8 bits, palette at 16.
        if ((type == 2 || type == 4 || type == 6) && depth < 8) return Step::Error;
        if (type == 3 && depth == 16) return Step::Error;
        if (int64_t{width} * height > kPngMaxPixels) return Step::Error;
        info.width = width;
        info.height = height;
        info.bitDepth = depth;
        info.colorType = type;
        info.interlace = data[12];
        headerSeen = true;
        return Step::Next;
    }

    Step ReadPLTE(const uint8_t* data, uint32_t length, bool crcOk) {
        if (info.colorType == 0 || info.colorType == 4) return Step::Next;
        if (!crcOk || length % 3) return Step::Error;
        info.palette.assign(data, data + length);
        info.paletteAccepted = true;
        return Step::Next;
    }

    void ReadTRNS(const uint8_t* data, uint32_t length) {
        const int type = info.colorType;
        if (type == 4 || type == 6) return;
        info.transparency.assign(data, data + length);
        info.transparentKey = -1;
        trnsEntries = 0;
        if (type == 0) {
            if (length < 2) return;
            info.key16[0] = static_cast<uint16_t>((data[0] << 8) | data[1]);
            info.transparentKey = info.bitDepth == 16 ? data[1] : data[1] & ((1 << info.bitDepth) - 1);
        } else if (type == 2) {
            if (length < 6) return;
            for (int c = 0; c < 3; ++c) info.key16[c] = static_cast<uint16_t>((data[c * 2] << 8) | data[c * 2 + 1]);
            info.transparentKey = (data[1] << 16) | (data[3] << 8) | data[5];
        } else {
            trnsEntries = length;
            if (info.transparency.size() < 256) info.transparency.resize(256, 255);
            info.transparentKey = 0;
        }
    }

    void AppendIDAT(const uint8_t* data, uint32_t length, uint64_t sourceSize) {
        const size_t needed = joined_.size() + length;
        if (needed > joined_.capacity()) joined_.reserve(needed + static_cast<size_t>(sourceSize / 4));
        joined_.insert(joined_.end(), data, data + length);
    }

public:
    uint32_t trnsEntries = 0;

private:
    PngChunkSource& source_;
    bool crcTested_;
};

}  // namespace

bool IsPngSignature(ByteSpan bytes) { return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0; }

uint64_t PngChunkAllowance(uint64_t sourceSize) {
    return kPngChunksBeyondSize + sourceSize / kPngBytesPerAllowedChunk;
}

bool HasFarMoreChunksThanRealFiles(PngChunkSource& source) {
    const uint64_t size = source.Size(), allowance = PngChunkAllowance(size);
    uint64_t cursor = 8, chunks = 0;
    while (size >= cursor && size - cursor >= 12) {
        const ByteSpan head = source.Read(cursor, 8);  // length and type
        if (head.size() != 8) break;
        const uint32_t length = BigEndian32(head.data());
        if ((length & 0x80000000u) || uint64_t{length} + 12 > size - cursor) break;
        if (++chunks > allowance) return true;
        if (IsType(head.data() + 4, "IEND")) break;
        cursor += uint64_t{length} + 12;
    }
    return false;
}

CodecResult DecodePng(PngChunkSource& source, const ZlibFunctions& zlib, PixelBuffer& pixels, int32_t& alphaKind) {
    if (!IsPngSignature(source.Read(0, 8))) return CodecResult::NotThisFormat;
    const bool zlibPresent = static_cast<bool>(zlib.uncompress);
    ChunkWalk walk(source, zlibPresent);
    if (!walk.Run() || !walk.headerSeen || walk.joined_.empty()) return CodecResult::Corrupt;
    PngImageInfo& info = walk.info;

    const int64_t expected = PngExpectedDataSize(info);
    const int64_t joinedSize = static_cast<int64_t>(walk.joined_.size());
    // Data no stream can inflate to is refused before the output is allocated.
    if (expected > (joinedSize + 1) * kMaxInflateRatio || expected > UINT32_MAX) return CodecResult::TooLarge;
    std::vector<uint8_t> data(static_cast<size_t>(expected));
    bool inflated = false;
    if (zlibPresent && joinedSize <= UINT32_MAX) {
        uint32_t produced = static_cast<uint32_t>(expected);
        const int code = zlib.uncompress(data.data(), produced, walk.joined_.data(), static_cast<uint32_t>(joinedSize));
        if (code == 0 && produced != expected) return CodecResult::Corrupt;  // image data ends early
        inflated = code == 0;
    }
    if (!inflated) {
        size_t produced = 0;
        if (!Inflate(ByteSpan(walk.joined_.data(), walk.joined_.size()), data.data(), data.size(), produced) ||
            produced != data.size())
            return CodecResult::Corrupt;
    }
    std::vector<uint8_t>().swap(walk.joined_);

    PngPrepareDefaultPalette(info);
    if (!PngDecodePixels(info, data, pixels)) {
        pixels = PixelBuffer();
        return CodecResult::Corrupt;
    }
    if (info.colorType == 4 || info.colorType == 6) {
        alphaKind = 2;
    } else if (info.transparentKey == -1) {
        alphaKind = 0;
    } else {
        alphaKind = 1;
        if (info.colorType == 3)
            for (uint32_t i = 0; i < walk.trnsEntries && i < info.transparency.size(); ++i)
                if (info.transparency[i] != 0 && info.transparency[i] != 255) alphaKind = 2;
    }
    return CodecResult::Ok;
}

CodecResult DecodePng(ByteSpan bytes, const ZlibFunctions& zlib, PixelBuffer& pixels, int32_t& alphaKind) {
    PngMemorySource source(bytes);
    return DecodePng(source, zlib, pixels, alphaKind);
}

}  // namespace quorallion::codecs
