#include "gif_lzw.h"

#include <array>

namespace quorallion::codecs {

namespace {
constexpr int kMaxCodes = 4096;
}

CodecResult GifLzwDecode(int minCodeSize, ByteSpan codes, size_t pixelCount, std::vector<uint8_t>& indices) {
    indices.assign(pixelCount, 0);
    if (minCodeSize < 2 || minCodeSize > 8) return CodecResult::Corrupt;

    // Each entry: its prefix code, its last byte and its length; strings are unwound backwards.
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint16_t, kMaxCodes> length{};
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    for (int i = 0; i < clearCode; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<uint8_t>(i);
        length[i] = 1;
    }
    int codeWidth = minCodeSize + 1;
    int nextCode = clearCode + 2;
    int previous = -1;

    size_t out = 0;
    uint32_t accumulator = 0;
    int bitCount = 0;
    size_t position = 0;
    const uint8_t* data = codes.data();
    while (out < pixelCount) {
        while (bitCount < codeWidth) {
            if (position >= codes.size()) return CodecResult::Ok;  // data ended early: rest stays 0
            accumulator |= uint32_t{data[position++]} << bitCount;
            bitCount += 8;
        }
        int code = static_cast<int>(accumulator & ((1u << codeWidth) - 1));
        accumulator >>= codeWidth;
        bitCount -= codeWidth;

        if (code == clearCode) {
            codeWidth = minCodeSize + 1;
            nextCode = clearCode + 2;
            previous = -1;
            continue;
        }
        if (code == endCode) return CodecResult::Ok;
        if (previous < 0) {
            if (code >= clearCode) return CodecResult::Corrupt;
            indices[out++] = static_cast<uint8_t>(code);
            previous = code;
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode >= kMaxCodes)) return CodecResult::Corrupt;

        // The first byte of the string for `code` (for the KwKwK case, of `previous`).
        int walk = code == nextCode ? previous : code;
        while (walk >= clearCode) walk = prefix[walk];
        const uint8_t firstByte = static_cast<uint8_t>(walk);

        if (nextCode < kMaxCodes) {
            prefix[nextCode] = static_cast<uint16_t>(previous);
            suffix[nextCode] = firstByte;
            length[nextCode] = static_cast<uint16_t>(length[previous] + 1);
            ++nextCode;
            if (nextCode == (1 << codeWidth) && codeWidth < 12) ++codeWidth;
        }

        // Write the string of `code` backwards into its place, clipped to the pixels left.
        const size_t stringLength = length[code];
        const size_t room = pixelCount - out;
        size_t skip = stringLength > room ? stringLength - room : 0;
        size_t end = out + stringLength - skip;
        int current = code;
        for (size_t k = 0; k < skip; ++k) current = prefix[current];
        for (size_t at = end; at > out;) {
            indices[--at] = suffix[current];
            current = prefix[current];
        }
        out = end;
        previous = code;
    }
    return CodecResult::Ok;
}

namespace {

// Bit packer writing codes into sub-blocks of 254 data bytes.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Write(int code, int width) {
        accumulator_ |= uint64_t(code) << bitCount_;
        bitCount_ += width;
        while (bitCount_ >= 8) {
            Put(static_cast<uint8_t>(accumulator_ & 0xFF));
            accumulator_ >>= 8;
            bitCount_ -= 8;
        }
    }
    void Flush() {
        if (bitCount_ > 0) Put(static_cast<uint8_t>(accumulator_ & 0xFF));
        accumulator_ = 0;
        bitCount_ = 0;
        if (fill_ > 0) EmitPacket();
    }

private:
    void Put(uint8_t byte) {
        packet_[fill_++] = byte;
        if (fill_ == 254) EmitPacket();
    }
    void EmitPacket() {
        out_.push_back(static_cast<uint8_t>(fill_));
        out_.insert(out_.end(), packet_.begin(), packet_.begin() + fill_);
        fill_ = 0;
    }
    std::vector<uint8_t>& out_;
    std::array<uint8_t, 254> packet_{};
    int fill_ = 0;
    uint64_t accumulator_ = 0;
    int bitCount_ = 0;
};

}  // namespace

void GifLzwEncode(int bits, const std::vector<uint8_t>& indices, std::vector<uint8_t>& out) {
    constexpr int kTableSize = 5003;
    std::vector<int32_t> keys(kTableSize, -1);
    std::vector<int32_t> codes(kTableSize, 0);
    const int clearCode = 1 << bits;
    const int endCode = clearCode + 1;
    int codeWidth = bits + 1;
    int nextCode = clearCode + 2;
    int largestCode = (1 << codeWidth) - 1;

    CodeWriter writer(out);
    writer.Write(clearCode, codeWidth);
    if (indices.empty()) {
        writer.Write(endCode, codeWidth);
        writer.Flush();
        return;
    }
    int32_t prefixCode = indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const int32_t c = indices[i];
        const int32_t key = c * 4096 + prefixCode;
        int slot = (c << 4) ^ prefixCode;
        if (slot >= kTableSize) slot = 0;
        bool found = false;
        if (keys[slot] == key) {
            found = true;
        } else if (keys[slot] != -1) {
            const int step = slot == 0 ? 1 : kTableSize - slot;
            for (;;) {
                slot -= step;
                if (slot < 0) slot += kTableSize;
                if (keys[slot] == key) {
                    found = true;
                    break;
                }
                if (keys[slot] < 1) break;
            }
        }
        if (found) {
            prefixCode = codes[slot];
            continue;
        }
        writer.Write(prefixCode, codeWidth);
        prefixCode = c;
        codes[slot] = nextCode;
        keys[slot] = key;
        if (nextCode > largestCode) {
            if (nextCode == 4096) {
                writer.Write(clearCode, codeWidth);
                std::fill(keys.begin(), keys.end(), -1);
                nextCode = clearCode + 1;
                codeWidth = bits + 1;
            } else {
                ++codeWidth;
            }
            largestCode = (1 << codeWidth) - 1;
        }
        ++nextCode;
    }
    writer.Write(prefixCode, codeWidth);
    writer.Write(endCode, codeWidth);
    writer.Flush();
}

}  // namespace quorallion::codecs
