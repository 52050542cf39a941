#include "jpeg_quant.h"

#include <cmath>
#include <limits>

namespace quorallion::codecs::jpeg {
namespace {

// The example tables in natural order (row v, column u).
constexpr uint16_t kLuminanceNatural[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,   //
    12, 12, 14, 19, 26,  58,  60,  55,   //
    14, 13, 16, 24, 40,  57,  69,  56,   //
    14, 17, 22, 29, 51,  87,  80,  62,   //
    18, 22, 37, 56, 68,  109, 103, 77,   //
    24, 35, 55, 64, 81,  104, 113, 92,   //
    49, 64, 78, 87, 103, 121, 120, 101,  //
    72, 92, 95, 98, 112, 100, 103, 99};
constexpr uint16_t kChrominanceNatural[64] = {
    17, 18, 24, 47, 99, 99, 99, 99,  //
    18, 21, 26, 66, 99, 99, 99, 99,  //
    24, 26, 56, 99, 99, 99, 99, 99,  //
    47, 66, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99,  //
    99, 99, 99, 99, 99, 99, 99, 99};

ZigzagTable BuildZigzag() {
    ZigzagTable z{};
    int32_t position = 0;
    for (int32_t diagonal = 0; diagonal < 15; ++diagonal) {
        // Odd diagonals run from the top right down to the left, even ones back up.
        for (int32_t step = 0; step < 8; ++step) {
            const int32_t lead = (diagonal < 8 ? diagonal : 7) - step;
            const int32_t other = diagonal - lead;
            if (lead < 0 || other > 7) break;
            const int32_t u = diagonal % 2 ? lead : other;
            const int32_t v = diagonal % 2 ? other : lead;
            z[v][u] = position++;
        }
    }
    return z;
}

std::array<uint16_t, 64> ToZigzag(const uint16_t (&natural)[64]) {
    std::array<uint16_t, 64> out{};
    const ZigzagTable& z = Zigzag();
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) out[z[v][u]] = natural[v * 8 + u];
    return out;
}

}  // namespace

const ZigzagTable& Zigzag() {
    static const ZigzagTable table = BuildZigzag();
    return table;
}

const std::array<uint16_t, 64>& LuminanceBase() {
    static const std::array<uint16_t, 64> table = ToZigzag(kLuminanceNatural);
    return table;
}

const std::array<uint16_t, 64>& ChrominanceBase() {
    static const std::array<uint16_t, 64> table = ToZigzag(kChrominanceNatural);
    return table;
}

const std::array<double, 8>& ScaleFactors() {
    static const std::array<double, 8> factors = {0.353553390593273, 0.25489778955208,  0.270598050073098,
                                                  0.300672443467523, 0.353553390593273, 0.449988111568207,
                                                  0.653281482438186, 1.28145772387074};
    return factors;
}

CodecResult QualityScale(uint8_t quality, int32_t& scale) {
    if (quality == 0) return CodecResult::Corrupt;
    if (quality < 50) {
        scale = static_cast<int32_t>(std::nearbyint(5000.0 / quality));
    } else if (quality <= 100) {
        scale = 200 - 2 * quality;
    } else {
        scale = 0;
    }
    return CodecResult::Ok;
}

CodecResult SetQuality(uint8_t quality, int32_t precision, std::array<QuantSlot, 4>& slots) {
    int32_t scale = 0;
    if (CodecResult r = QualityScale(quality, scale); r != CodecResult::Ok) return r;
    const std::array<uint16_t, 64>* bases[2] = {&LuminanceBase(), &ChrominanceBase()};
    for (int slot = 0; slot < 2; ++slot) {
        for (int k = 0; k < 64; ++k) {
            double value = std::nearbyint((double((*bases[slot])[k]) * scale + 50) / 100.0);
            if (value < 1) value = 1;
            if (value > 255) value = 255;
            slots[slot].values[k] = static_cast<uint16_t>(value);
        }
    }
    for (int slot = 0; slot < 2; ++slot) {
        if (CodecResult r = PrepareQuantTable(slots[slot], precision); r != CodecResult::Ok) return r;
    }
    return CodecResult::Ok;
}

CodecResult PrepareQuantTable(QuantSlot& slot, int32_t precision) {
    const int32_t largest = precision == 12 ? 65535 : 255;
    const ZigzagTable& z = Zigzag();
    const std::array<double, 8>& f = ScaleFactors();
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            const int32_t k = z[v][u];
            const int32_t value = slot.values[k];
            if (value < 1 || value > largest) return CodecResult::Corrupt;
            slot.divisors[k] = static_cast<float>(f[u] * f[v] / value);
        }
    return CodecResult::Ok;
}

namespace {

constexpr double kC1 = 0.707106781186548;
constexpr double kC2 = 0.382683432365091;
constexpr double kC3 = 0.541196100146196;
constexpr double kC4 = 1.30656296487638;

// One 8-point pass; every named value is a float, each expression formed in double.
inline void Transform1D(float d0, float d1, float d2, float d3, float d4, float d5, float d6, float d7, float* o) {
    using D = double;
    const float t0 = float(D(d0) + d7), t7 = float(D(d0) - d7);
    const float t1 = float(D(d1) + d6), t6 = float(D(d1) - d6);
    const float t2 = float(D(d2) + d5), t5 = float(D(d2) - d5);
    const float t3 = float(D(d3) + d4), t4 = float(D(d3) - d4);

    const float e10 = float(D(t0) + t3), e13 = float(D(t0) - t3);
    const float e11 = float(D(t1) + t2), e12 = float(D(t1) - t2);
    o[0] = float(D(e10) + e11);
    o[4] = float(D(e10) - e11);
    const float z1 = float((D(e12) + e13) * kC1);
    o[2] = float(D(e13) + z1);
    o[6] = float(D(e13) - z1);

    const float p10 = float(D(t4) + t5), p11 = float(D(t5) + t6), p12 = float(D(t6) + t7);
    const float z5 = float((D(p10) - p12) * kC2);
    const float z2 = float(kC3 * p10 + z5);
    const float z4 = float(kC4 * p12 + z5);
    const float z3 = float(D(p11) * kC1);
    const float z11 = float(D(t7) + z3), z13 = float(D(t7) - z3);
    o[5] = float(D(z13) + z2);
    o[3] = float(D(z13) - z2);
    o[1] = float(D(z11) + z4);
    o[7] = float(D(z11) - z4);
}

}  // namespace

void ForwardDCT(Block& w) {
    float out[8];
    for (int x = 0; x < 8; ++x) {
        Transform1D(w[0][x], w[1][x], w[2][x], w[3][x], w[4][x], w[5][x], w[6][x], w[7][x], out);
        for (int i = 0; i < 8; ++i) w[i][x] = out[i];
    }
    for (int y = 0; y < 8; ++y) {
        Transform1D(w[y][0], w[y][1], w[y][2], w[y][3], w[y][4], w[y][5], w[y][6], w[y][7], out);
        for (int i = 0; i < 8; ++i) w[y][i] = out[i];
    }
}

CodecResult QuantizeBlock(const Block& w, const QuantSlot& slot, int16_t* store) {
    const ZigzagTable& z = Zigzag();
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            const int32_t k = z[v][u];
            const double value = std::nearbyint(double(w[v][u]) * double(slot.divisors[k]));
            if (!(value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max()))
                return CodecResult::Corrupt;
            store[k] = static_cast<int16_t>(value);
        }
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs::jpeg
