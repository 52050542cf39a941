#include "png_inflate.h"

#include <array>
#include <cstring>
#include <vector>

namespace quorallion::codecs {
namespace {

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// The 30 distances of DEFLATE and two more the decoder accepts for symbols 30 and 31.
constexpr std::array<uint16_t, 32> kDistanceBase = {1,    2,    3,    4,    5,    7,     9,     13,
                                                    17,   25,   33,   49,   65,   97,    129,   193,
                                                    257,  385,  513,  769,  1025, 1537,  2049,  3073,
                                                    4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::array<uint8_t, 32> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                                    7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr std::array<uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A prefix code looked up by the next `longest` input bits (least significant bit first): every
// index whose low bits are a code's reversed bits holds that code's length and symbol.
struct HuffmanTable {
    int longest = 0;
    std::vector<uint16_t> entries;  // symbol | length << 9; 0 where no code matches

    bool Build(const uint8_t* lengths, int count) {
        int lengthCount[16] = {};
        for (int i = 0; i < count; ++i) ++lengthCount[lengths[i]];
        longest = 0;
        for (int len = 1; len <= 15; ++len)
            if (lengthCount[len]) longest = len;
        int left = 1;
        for (int len = 1; len <= longest; ++len) {
            left = left * 2 - lengthCount[len];
            if (left < 0) return false;  // over-subscribed; incomplete sets are accepted
        }
        // Canonical codes: code(len) = (code(len - 1) + count(len - 1)) << 1, unused lengths not counted.
        int nextCode[16] = {};
        int code = 0;
        lengthCount[0] = 0;
        for (int len = 1; len <= 15; ++len) {
            code = (code + lengthCount[len - 1]) << 1;
            nextCode[len] = code;
        }
        entries.assign(size_t{1} << longest, 0);
        for (int symbol = 0; symbol < count; ++symbol) {
            const int len = lengths[symbol];
            if (!len) continue;
            const int value = nextCode[len]++;
            int reversed = 0;
            for (int b = 0; b < len; ++b) reversed |= ((value >> b) & 1) << (len - 1 - b);
            const uint16_t entry = static_cast<uint16_t>(symbol | (len << 9));
            for (size_t at = static_cast<size_t>(reversed); at < entries.size(); at += size_t{1} << len) entries[at] = entry;
        }
        return true;
    }
};

class Inflater {
public:
    Inflater(ByteSpan input, uint8_t* output, size_t limit) : in_(input.data()), size_(input.size()), out_(output), limit_(limit) {}

    bool Run() {
        pos_ = 2;  // the zlib header is not checked
        for (;;) {
            uint32_t final = 0, type = 0;
            if (!GetBits(1, final) || !GetBits(2, type)) return false;
            bool ok = false;
            if (type == 0) {
                ok = Stored();
            } else if (type == 1) {
                ok = FixedTables() && Codes();
            } else if (type == 2) {
                ok = DynamicTables() && Codes();
            }
            if (!ok) return false;
            if (final) return true;
        }
    }
    size_t produced() const { return outPos_; }

private:
    void Fill(int n) {
        while (bitCount_ < n && pos_ < size_) {
            bits_ |= uint64_t{in_[pos_++]} << bitCount_;
            bitCount_ += 8;
        }
    }
    bool GetBits(int n, uint32_t& value) {
        Fill(n);
        if (bitCount_ < n) return false;
        value = static_cast<uint32_t>(bits_ & ((uint64_t{1} << n) - 1));
        bits_ >>= n;
        bitCount_ -= n;
        return true;
    }
    bool Decode(const HuffmanTable& table, int& symbol) {
        if (table.longest == 0) return false;
        Fill(table.longest);
        const uint16_t entry = table.entries[bits_ & ((uint64_t{1} << table.longest) - 1)];
        const int len = entry >> 9;
        if (len == 0 || len > bitCount_) return false;
        bits_ >>= len;
        bitCount_ -= len;
        symbol = entry & 0x1FF;
        return true;
    }

    bool Stored() {
        pos_ -= static_cast<size_t>(bitCount_ / 8);  // whole bytes go back; the partial byte's bits are dropped
        bits_ = 0;
        bitCount_ = 0;
        if (pos_ > size_ || size_ - pos_ < 4) return false;
        const uint32_t len = in_[pos_] | (in_[pos_ + 1] << 8);
        const uint32_t nlen = in_[pos_ + 2] | (in_[pos_ + 3] << 8);
        pos_ += 4;
        if (len != (~nlen & 0xFFFF)) return false;
        if (len > size_ - pos_ || len > limit_ - outPos_) return false;
        if (len) std::memcpy(out_ + outPos_, in_ + pos_, len);
        pos_ += len;
        outPos_ += len;
        return true;
    }

    bool FixedTables() {
        uint8_t lengths[288 + 32];
        for (int i = 0; i < 144; ++i) lengths[i] = 8;
        for (int i = 144; i < 256; ++i) lengths[i] = 9;
        for (int i = 256; i < 280; ++i) lengths[i] = 7;
        for (int i = 280; i < 288; ++i) lengths[i] = 8;
        for (int i = 288; i < 320; ++i) lengths[i] = 5;
        return literals_.Build(lengths, 288) && distances_.Build(lengths + 288, 32);
    }

    bool DynamicTables() {
        uint32_t hlit = 0, hdist = 0, hclen = 0;
        if (!GetBits(5, hlit) || !GetBits(5, hdist) || !GetBits(4, hclen)) return false;
        hlit += 257;  // up to 288 and 32 are taken as read; symbols 286 and 287 fail when met
        hdist += 1;
        hclen += 4;
        uint8_t codeLengths[19] = {};
        for (uint32_t i = 0; i < hclen; ++i) {
            uint32_t len = 0;
            if (!GetBits(3, len)) return false;
            codeLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(len);
        }
        HuffmanTable lengthCode;
        if (!lengthCode.Build(codeLengths, 19)) return false;
        uint8_t lengths[288 + 32] = {};
        const uint32_t total = hlit + hdist;
        uint32_t i = 0;
        while (i < total) {
            int symbol = 0;
            if (!Decode(lengthCode, symbol)) return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint32_t extra = 0, repeat = 0;
            uint8_t value = 0;
            if (symbol == 16) {
                if (i == 0 || !GetBits(2, extra)) return false;
                value = lengths[i - 1];
                repeat = 3 + extra;
            } else if (symbol == 17) {
                if (!GetBits(3, extra)) return false;
                repeat = 3 + extra;
            } else {
                if (!GetBits(7, extra)) return false;
                repeat = 11 + extra;
            }
            if (repeat > total - i) return false;
            while (repeat--) lengths[i++] = value;
        }
        return literals_.Build(lengths, static_cast<int>(hlit)) && distances_.Build(lengths + hlit, static_cast<int>(hdist));
    }

    bool Codes() {
        for (;;) {
            int symbol = 0;
            if (!Decode(literals_, symbol)) return false;
            if (symbol < 256) {
                if (outPos_ >= limit_) return false;
                out_[outPos_++] = static_cast<uint8_t>(symbol);
                continue;
            }
            if (symbol == 256) return true;
            if (symbol > 285) return false;
            uint32_t extra = 0;
            if (!GetBits(kLengthExtra[symbol - 257], extra)) return false;
            const size_t length = kLengthBase[symbol - 257] + extra;
            int distSymbol = 0;
            if (!Decode(distances_, distSymbol) || !GetBits(kDistanceExtra[distSymbol], extra)) return false;
            const size_t distance = kDistanceBase[distSymbol] + extra;
            if (distance > outPos_ || length > limit_ - outPos_) return false;
            uint8_t* to = out_ + outPos_;
            const uint8_t* from = to - distance;
            if (distance >= length) {
                std::memcpy(to, from, length);
            } else {
                for (size_t k = 0; k < length; ++k) to[k] = from[k];
            }
            outPos_ += length;
        }
    }

    const uint8_t* in_;
    size_t size_;
    size_t pos_ = 0;
    uint64_t bits_ = 0;
    int bitCount_ = 0;
    uint8_t* out_;
    size_t limit_;
    size_t outPos_ = 0;
    HuffmanTable literals_, distances_;
};

}  // namespace

bool Inflate(ByteSpan input, uint8_t* output, size_t limit, size_t& produced) {
    Inflater inflater(input, output, limit);
    const bool ok = input.size() >= 2 && inflater.Run();
    produced = inflater.produced();
    return ok;
}

}  // namespace quorallion::codecs
