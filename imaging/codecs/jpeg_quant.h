#pragma once
// The numeric core of the JPEG writer: quality to quantization tables, the float AAN forward DCT
// of one 8x8 block and the quantizer into zigzag order. The numerics are exact by design (single-
// precision stores of double-precision sums, halves rounded to even), so this file and its callers
// are built without fast-math and without contraction into fused multiply-adds.
#include <array>
#include <cstdint>

#include "codec_result.h"

namespace quorallion::codecs::jpeg {

// Z(u, v): zigzag position of horizontal frequency u, vertical frequency v; indexed [v][u].
using ZigzagTable = std::array<std::array<int32_t, 8>, 8>;
const ZigzagTable& Zigzag();

// The luminance and chrominance example tables (zigzag order).
const std::array<uint16_t, 64>& LuminanceBase();
const std::array<uint16_t, 64>& ChrominanceBase();

// f(k) = 1 / (a(k) * sqrt 8), a(0) = 1, a(k) = sqrt 2 * cos(k pi / 16).
const std::array<double, 8>& ScaleFactors();

// One quantization slot: the table values and the divisors that also undo the transform's scale,
// both by zigzag position.
struct QuantSlot {
    std::array<uint16_t, 64> values{};
    std::array<float, 64> divisors{};
};

// The scale of a quality number: 5000 / q rounded (halves to even) below 50, 200 - 2q up to 100,
// 0 above. Quality 0 has none: Corrupt.
CodecResult QualityScale(uint8_t quality, int32_t& scale);

// Fills slot 0 (luminance) and slot 1 (chrominance) from the quality and prepares both.
// Quality 0 gives Corrupt and leaves the slots alone.
CodecResult SetQuality(uint8_t quality, int32_t precision, std::array<QuantSlot, 4>& slots);

// Checks the slot's values (1 up to 255, or 65535 at precision 12) and computes its divisors.
CodecResult PrepareQuantTable(QuantSlot& slot, int32_t precision);

// The working block: W[y][x] samples in, W[v][u] scaled coefficients out.
using Block = std::array<std::array<float, 8>, 8>;

// Columns, then rows; every named intermediate stored in single precision.
void ForwardDCT(Block& block);

// 64 coefficients at store[0..63] in zigzag order: W(u, v) * D(k), rounded half to even.
// Corrupt when a value falls outside 16 bits (cannot happen for 8-bit samples).
CodecResult QuantizeBlock(const Block& block, const QuantSlot& slot, int16_t* store);

}  // namespace quorallion::codecs::jpeg
