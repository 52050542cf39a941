#pragma once
// The entropy-coding half of the JPEG writer: symbol statistics over the quantized blocks, optimal
// code lengths (the reserved symbol 256 keeps an all-ones code out), canonical codes, and the bit
// writer with FF 00 stuffing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec_result.h"

namespace quorallion::codecs::jpeg {

// 256 symbols and the reserved symbol 256.
using Frequencies = std::array<uint32_t, 257>;

// The number of significant bits of |value|: 0 for 0, 1 for +-1, ..., 11 for +-1024..2047. The one
// function both the statistics and the coder use, so that they always agree.
inline int32_t Category(int32_t value) {
    uint32_t magnitude = value < 0 ? uint32_t(-int64_t(value)) : uint32_t(value);
    int32_t bits = 0;
    while (magnitude) {
        ++bits;
        magnitude >>= 1;
    }
    return bits;
}

struct HuffmanSlot {
    std::array<uint8_t, 16> bits{};   // BITS(1) .. BITS(16)
    std::vector<uint8_t> values;      // HUFFVAL, in code order
    std::array<uint32_t, 256> code{};
    std::array<uint32_t, 256> lengthMask{};  // 2^(length - 1); 0 for no code
    int32_t Length(int32_t symbol) const {
        uint32_t mask = lengthMask[symbol];
        int32_t length = 0;
        while (mask) {
            ++length;
            mask >>= 1;
        }
        return length;
    }
};

// DC categories of every block of a store (64 values a block, zigzag order), predictor from 0.
void CollectDCStatistics(const std::vector<int16_t>& store, Frequencies& frequencies);
// AC run/size symbols, ZRL (0xF0) for each 16 zeros before a value, EOB (0x00) for trailing zeros.
void CollectACStatistics(const std::vector<int16_t>& store, Frequencies& frequencies);

// Code lengths and symbol order from the counts (consumed: all 0 afterwards); ties go to the higher
// symbol; lengths folded to 16 at most.
void GenerateOptimalTable(HuffmanSlot& slot, Frequencies& frequencies);

// Canonical codes for the slot's BITS and HUFFVAL. Corrupt ("bad table") for more than 256
// symbols, a symbol above largestSymbol or listed twice, codes overflowing their length, or none.
CodecResult ExpandHuffmanTable(HuffmanSlot& slot, int32_t largestSymbol);

// Bits into a growing byte stream, first bit first; a stored FF is followed by 00.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    // The low bits of value selected by lengthMask (2^(n-1) for n bits); 0 writes nothing.
    void WriteBits(uint32_t lengthMask, uint32_t value) {
        if (!lengthMask) return;
        int32_t n = 0;
        for (uint32_t m = lengthMask; m; m >>= 1) ++n;
        Put(n, value);
    }
    void Put(int32_t n, uint32_t value) {
        accumulator_ = (accumulator_ << n) | (value & ((uint64_t{1} << n) - 1));
        pending_ += n;
        while (pending_ >= 8) {
            pending_ -= 8;
            Emit(uint8_t(accumulator_ >> pending_));
        }
    }
    // Completes a partial byte with 1-bits; nothing on a byte boundary.
    void Flush() {
        if (pending_ > 0) Put(8 - pending_, 0xFF);
        accumulator_ = 0;
    }

private:
    void Emit(uint8_t byte) {
        out_.push_back(byte);
        if (byte == 0xFF) out_.push_back(0);
    }
    std::vector<uint8_t>& out_;
    uint64_t accumulator_ = 0;
    int32_t pending_ = 0;
};

// One block at store[0..63]: DC difference against predictor (updated), then the AC run/size codes.
void EncodeBlock(const int16_t* block, int32_t& predictor, const HuffmanSlot& dc, const HuffmanSlot& ac,
                 BitWriter& writer);

}  // namespace quorallion::codecs::jpeg
