// The JPEG writer: the quantization tables and transform against their defining values, Huffman
// tables and block coding read back bit by bit, the stream's segments, and whole files decoded by
// djpeg and compared with cjpeg run on the same pixels with the same tables.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "jpeg_encode.h"
#include "native_tools.h"

using namespace quorallion::codecs;
using namespace quorallion::codecs::jpeg;
using namespace quorallion::codecs::testing;
using quorallion::imaging::PixelView;

namespace {

// Premultiplied bottom-up BGRA filled from a function of (x, y top-down) giving {B, G, R, A}.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
    PixelView view() { return PixelView{bgra.data(), width, height}; }
    uint8_t* at(int x, int y) { return &bgra[(size_t(height - 1 - y) * width + x) * 4]; }
};

template <typename F>
Picture MakePicture(int width, int height, F pixel) {
    Picture p{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::array<uint8_t, 4> v = pixel(x, y);
            std::copy(v.begin(), v.end(), p.at(x, y));
        }
    return p;
}

std::vector<uint8_t> Encode(Picture& picture, uint8_t quality, uint32_t fill = 0) {
    std::vector<uint8_t> out;
    JpegEncoder encoder;
    EXPECT_EQ(encoder.Encode(picture.view(), quality, fill, out), CodecResult::Ok);
    return out;
}

// Reads bits back out of stuffed scan data.
class BitReader {
public:
    explicit BitReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint32_t Read(int n) {
        uint32_t value = 0;
        for (int i = 0; i < n; ++i) {
            if (bit_ == 0) {
                current_ = bytes_.at(index_);
                index_ += current_ == 0xFF ? 2 : 1;  // skips the stuffed 00
                bit_ = 8;
            }
            --bit_;
            value = (value << 1) | ((current_ >> bit_) & 1);
        }
        return value;
    }
    // Bits left in the current byte, and whether they are all ones.
    bool RestIsOnes() const { return bit_ == 0 || (current_ & ((1u << bit_) - 1)) == (1u << bit_) - 1u; }
    size_t Consumed() const { return index_; }

private:
    const std::vector<uint8_t>& bytes_;
    size_t index_ = 0;
    uint8_t current_ = 0;
    int bit_ = 0;
};

// A slot with the given symbols all of one code length: symbol i of the list gets code i.
HuffmanSlot FixedSlot(const std::vector<uint8_t>& symbols, int length, int largest) {
    HuffmanSlot slot;
    slot.bits[length - 1] = static_cast<uint8_t>(symbols.size());
    slot.values = symbols;
    EXPECT_EQ(ExpandHuffmanTable(slot, largest), CodecResult::Ok);
    return slot;
}

// Segments before the scan: marker code -> payload (after the length), in order.
std::vector<std::pair<uint8_t, std::vector<uint8_t>>> Segments(const std::vector<uint8_t>& jpeg) {
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> out;
    size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
        const uint8_t code = jpeg[i + 1];
        const size_t length = size_t(jpeg[i + 2]) << 8 | jpeg[i + 3];
        out.emplace_back(code, std::vector<uint8_t>(jpeg.begin() + i + 4, jpeg.begin() + i + 2 + length));
        i += 2 + length;
        if (code == 0xDA) break;
    }
    return out;
}

}  // namespace

TEST(JpegQuantization, TablesFromQualityNumbers) {
    struct Case {
        uint8_t quality;
        int32_t scale;
        std::array<uint16_t, 8> luminance, chrominance;  // zigzag positions 0-7
    };
    const Case cases[] = {
        {10, 500, {80, 56, 60, 70, 60, 50, 80, 70}, {86, 90, 90, 120, 106, 120, 236, 130}},
        {50, 100, {16, 12, 12, 14, 12, 10, 16, 14}, {18, 18, 18, 24, 22, 24, 48, 26}},
        {75, 50, {8, 6, 6, 8, 6, 6, 8, 8}, {9, 10, 10, 12, 11, 12, 24, 14}},
        {90, 20, {4, 3, 3, 3, 3, 2, 4, 3}, {4, 4, 4, 5, 5, 5, 10, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.quality));
        int32_t scale = -1;
        ASSERT_EQ(QualityScale(c.quality, scale), CodecResult::Ok);
        EXPECT_EQ(scale, c.scale);
        std::array<QuantSlot, 4> slots{};
        ASSERT_EQ(SetQuality(c.quality, 8, slots), CodecResult::Ok);
        EXPECT_EQ(std::vector<uint16_t>(slots[0].values.begin(), slots[0].values.begin() + 8),
                  std::vector<uint16_t>(c.luminance.begin(), c.luminance.end()));
        EXPECT_EQ(std::vector<uint16_t>(slots[1].values.begin(), slots[1].values.begin() + 8),
                  std::vector<uint16_t>(c.chrominance.begin(), c.chrominance.end()));
    }
    // Uniform tables at the ends of the range.
    for (int quality : {1, 100, 101, 255}) {
        SCOPED_TRACE(quality);
        std::array<QuantSlot, 4> slots{};
        ASSERT_EQ(SetQuality(uint8_t(quality), 8, slots), CodecResult::Ok);
        const uint16_t expected = quality == 1 ? 255 : 1;
        for (int slot = 0; slot < 2; ++slot)
            for (uint16_t value : slots[slot].values) EXPECT_EQ(value, expected);
    }
    // Halves go to even: 250.5 at quality 2 (base 10), 1666.67 rounds to 1667 at quality 3, and
    // quality 50 gives 12 where the base table has 11.
    std::array<QuantSlot, 4> slots{};
    ASSERT_EQ(SetQuality(2, 8, slots), CodecResult::Ok);
    for (int k = 0; k < 64; ++k) EXPECT_EQ(slots[0].values[k], k == 5 ? 250 : 255) << k;
    int32_t scale = 0;
    ASSERT_EQ(QualityScale(3, scale), CodecResult::Ok);
    EXPECT_EQ(scale, 1667);
    ASSERT_EQ(SetQuality(3, 8, slots), CodecResult::Ok);
    EXPECT_EQ(slots[0].values[5], 167);  // (10 * 1667 + 50) / 100 = 167.2
    ASSERT_EQ(SetQuality(50, 8, slots), CodecResult::Ok);
    EXPECT_EQ(LuminanceBase()[1], 11);
    EXPECT_EQ(slots[0].values[1], 12);
    // Quality 0 has no scale: refused, the slots untouched.
    slots[0].values.fill(7);
    EXPECT_EQ(SetQuality(0, 8, slots), CodecResult::Corrupt);
    EXPECT_EQ(slots[0].values[0], 7);
}

TEST(JpegQuantization, ZigzagBaseTablesAndDivisors) {
    const ZigzagTable& z = Zigzag();
    EXPECT_EQ(z[0][0], 0);
    EXPECT_EQ(z[0][1], 1);  // u = 1, v = 0: horizontal frequency 1
    EXPECT_EQ(z[1][0], 2);
    EXPECT_EQ(z[2][0], 3);
    EXPECT_EQ(z[1][1], 4);
    EXPECT_EQ(z[0][2], 5);
    EXPECT_EQ(z[7][7], 63);
    std::set<int32_t> positions;
    for (const auto& row : z) positions.insert(row.begin(), row.end());
    EXPECT_EQ(positions.size(), 64u);
    EXPECT_EQ(std::vector<uint16_t>(LuminanceBase().begin(), LuminanceBase().begin() + 8),
              (std::vector<uint16_t>{16, 11, 12, 14, 12, 10, 16, 14}));
    EXPECT_EQ(std::vector<uint16_t>(ChrominanceBase().begin(), ChrominanceBase().begin() + 8),
              (std::vector<uint16_t>{17, 18, 18, 24, 21, 24, 47, 26}));
    EXPECT_EQ(ChrominanceBase()[13], 66);
    for (int k = 14; k < 64; ++k) EXPECT_EQ(ChrominanceBase()[k], 99) << k;
    // The scale factors are 1 / (a(k) sqrt 8).
    for (int k = 0; k < 8; ++k) {
        const double a = k == 0 ? 1 : std::sqrt(2.0) * std::cos(k * M_PI / 16);
        EXPECT_NEAR(ScaleFactors()[k], 1 / (a * std::sqrt(8.0)), 1e-13) << k;
    }
    // Divisor: f(u) f(v) / Q in single precision; a value outside 1..255 is a bad table (65535 at
    // precision 12).
    QuantSlot slot;
    slot.values.fill(2);
    ASSERT_EQ(PrepareQuantTable(slot, 8), CodecResult::Ok);
    EXPECT_EQ(slot.divisors[0], float(0.353553390593273 * 0.353553390593273 / 2));
    slot.values[9] = 256;
    EXPECT_EQ(PrepareQuantTable(slot, 8), CodecResult::Corrupt);
    EXPECT_EQ(PrepareQuantTable(slot, 12), CodecResult::Ok);
    slot.values[9] = 0;
    EXPECT_EQ(PrepareQuantTable(slot, 12), CodecResult::Corrupt);
}

TEST(JpegQuantization, FlatBlocksKeepOnlyTheirDc) {
    struct Case {
        float sample;
        uint8_t quality;
        int16_t dc;
    };
    // DC = round(8c / Q(0)), halves to even: 8 * 37 / 16 = 18.5 -> 18.
    const Case cases[] = {{37, 50, 18}, {37, 100, 296}, {-128, 100, -1024}, {127, 75, 127}, {-3, 90, -6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        Block block;
        for (auto& row : block) row.fill(c.sample);
        ForwardDCT(block);
        EXPECT_EQ(block[0][0], 64 * c.sample);
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u)
                if (u || v) EXPECT_EQ(block[v][u], 0.0f);
        std::array<QuantSlot, 4> slots{};
        ASSERT_EQ(SetQuality(c.quality, 8, slots), CodecResult::Ok);
        int16_t store[64];
        ASSERT_EQ(QuantizeBlock(block, slots[0], store), CodecResult::Ok);
        EXPECT_EQ(store[0], c.dc);
        for (int k = 1; k < 64; ++k) EXPECT_EQ(store[k], 0);
    }
}

TEST(JpegQuantization, TransformMatchesTheDefiningSumsAndLandsInZigzagOrder) {
    // A horizontal cosine of frequency 1 ends up at zigzag position 1, a vertical one at 2.
    Block samples;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) samples[y][x] = float(std::round(100 * std::cos((2 * x + 1) * M_PI / 16) + 20 * ((x * 7 + y * 3) % 5)));
    Block transformed = samples;
    ForwardDCT(transformed);
    std::array<QuantSlot, 4> slots{};
    ASSERT_EQ(SetQuality(100, 8, slots), CodecResult::Ok);
    int16_t store[64];
    ASSERT_EQ(QuantizeBlock(transformed, slots[0], store), CodecResult::Ok);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    sum += samples[y][x] * std::cos((2 * x + 1) * u * M_PI / 16) * std::cos((2 * y + 1) * v * M_PI / 16);
            const double cu = u ? 1 : M_SQRT1_2, cv = v ? 1 : M_SQRT1_2;
            const double exact = cu * cv * sum / 4;
            EXPECT_NEAR(store[Zigzag()[v][u]], exact, 0.5 + 1e-3) << u << "," << v;
        }
    EXPECT_GT(store[1], 150);  // the horizontal cosine
}

TEST(JpegPixels, CompositingOverTheFillColourAndEdgeRepetition) {
    // A pixel of alpha 100 with premultiplied blue 50 over fill blue 200: 50 + 200 * 155 / 255 = 171.
    Picture picture = MakePicture(9, 9, [](int x, int y) -> std::array<uint8_t, 4> {
        if (x == 0 && y == 0) return {50, 20, 10, 100};
        if (x == 1 && y == 0) return {9, 9, 9, 0};
        return {uint8_t(x * 20), uint8_t(y * 20), 7, 255};
    });
    const std::array<uint8_t, 3> fill = {200, 100, 0};  // blue, green, red
    PixelBlock block;
    ASSERT_EQ(FetchPixelBlock(picture.view(), 0, 0, fill, block), CodecResult::Ok);
    EXPECT_EQ(block[0][0], (std::array<uint8_t, 3>{171, 20 + 100 * 155 / 255, 10}));
    EXPECT_EQ(block[0][1], fill);  // alpha 0 takes the fill colour whatever its bytes say
    EXPECT_EQ(block[3][5], (std::array<uint8_t, 3>{100, 60, 7}));
    // The right-bottom block of a 9 x 9 image repeats column 8 and row 8.
    ASSERT_EQ(FetchPixelBlock(picture.view(), 8, 8, fill, block), CodecResult::Ok);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) EXPECT_EQ(block[r][c], (std::array<uint8_t, 3>{160, 160, 7}));
    ASSERT_EQ(FetchPixelBlock(picture.view(), 8, 0, fill, block), CodecResult::Ok);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(block[2][c], (std::array<uint8_t, 3>{160, 40, 7}));
    ASSERT_EQ(FetchPixelBlock(picture.view(), 0, 8, fill, block), CodecResult::Ok);
    for (int r = 0; r < 8; ++r) EXPECT_EQ(block[r][3], (std::array<uint8_t, 3>{60, 160, 7}));

    // A colour byte above its alpha (not premultiplied) that would pass 255 over the fill: refused.
    Picture bad = MakePicture(2, 1, [](int x, int) -> std::array<uint8_t, 4> {
        return x ? std::array<uint8_t, 4>{250, 0, 0, 128} : std::array<uint8_t, 4>{0, 0, 0, 255};
    });
    EXPECT_EQ(FetchPixelBlock(bad.view(), 0, 0, fill, block), CodecResult::Corrupt);
    std::vector<uint8_t> untouched{1, 2};
    EXPECT_EQ(JpegEncoder().Encode(bad.view(), 90, 0xC80000, untouched), CodecResult::Corrupt);  // fill blue 200
    EXPECT_EQ(untouched, (std::vector<uint8_t>{1, 2}));
    // The same bytes over a black fill stay in range and encode.
    EXPECT_EQ(JpegEncoder().Encode(bad.view(), 90, 0, untouched), CodecResult::Ok);
}

TEST(JpegHuffman, OptimalTablesTiesSingleSymbolsAndFolding) {
    // Equal counts: the higher symbol is merged first, so 7 ends up with the longer code.
    HuffmanSlot slot;
    Frequencies frequencies{};
    frequencies[3] = 5;
    frequencies[7] = 5;
    GenerateOptimalTable(slot, frequencies);
    for (uint32_t count : frequencies) EXPECT_EQ(count, 0u);
    ASSERT_EQ(ExpandHuffmanTable(slot, 255), CodecResult::Ok);
    EXPECT_EQ(slot.values, (std::vector<uint8_t>{3, 7}));
    EXPECT_EQ(slot.Length(3), 1);
    EXPECT_EQ(slot.Length(7), 2);
    EXPECT_EQ(slot.code[3], 0u);
    EXPECT_EQ(slot.code[7], 2u);  // 10: never all ones

    // One symbol only: code 0 of length 1.
    frequencies = {};
    frequencies[0] = 1000;
    GenerateOptimalTable(slot, frequencies);
    ASSERT_EQ(ExpandHuffmanTable(slot, 11), CodecResult::Ok);
    EXPECT_EQ(slot.values, (std::vector<uint8_t>{0}));
    EXPECT_EQ(slot.Length(0), 1);
    EXPECT_EQ(slot.code[0], 0u);

    // Fibonacci counts make a chain far deeper than 16: folded, complete but for the reserved code.
    frequencies = {};
    uint32_t a = 1, b = 1;
    for (int s = 0; s < 40; ++s) {
        frequencies[s] = a;
        const uint32_t c = a + b;
        a = b;
        b = c;
    }
    GenerateOptimalTable(slot, frequencies);
    ASSERT_EQ(ExpandHuffmanTable(slot, 255), CodecResult::Ok);
    double kraft = 0;
    for (int s = 0; s < 40; ++s) {
        ASSERT_GE(slot.Length(s), 1) << s;
        ASSERT_LE(slot.Length(s), 16) << s;
        kraft += std::ldexp(1.0, -slot.Length(s));
        const uint32_t ones = (1u << slot.Length(s)) - 1;
        EXPECT_NE(slot.code[s], ones) << "no code of ones only";
    }
    EXPECT_LT(kraft, 1.0);
    EXPECT_GT(kraft, 1.0 - std::ldexp(1.0, -15));

    // Bad tables: a symbol twice, above the largest, too many codes of a length, none at all.
    struct Bad {
        std::vector<std::pair<int, int>> bits;  // length, count
        std::vector<uint8_t> values;
        int largest;
    };
    const Bad bad[] = {
        {{{2, 2}}, {4, 4}, 255},
        {{{2, 1}}, {12}, 11},
        {{{1, 3}}, {1, 2, 3}, 255},
        {{}, {}, 255},
    };
    for (const Bad& b2 : bad) {
        HuffmanSlot s;
        for (auto [length, count] : b2.bits) s.bits[length - 1] = uint8_t(count);
        s.values = b2.values;
        EXPECT_EQ(ExpandHuffmanTable(s, b2.largest), CodecResult::Corrupt);
    }
}

TEST(JpegHuffman, StatisticsRunsAndCategories) {
    EXPECT_EQ(Category(0), 0);
    EXPECT_EQ(Category(1), 1);
    EXPECT_EQ(Category(-1), 1);
    EXPECT_EQ(Category(-3), 2);
    EXPECT_EQ(Category(4), 3);
    EXPECT_EQ(Category(-1024), 11);
    EXPECT_EQ(Category(2047), 11);
    // Each value's category matches the logarithm form for every 16-bit value the coder can meet.
    for (int v = 1; v < 32768; ++v) ASSERT_EQ(Category(v), int(std::log(double(v)) * 1.442695040889) + 1) << v;

    std::vector<int16_t> store(128, 0);
    store[0] = 5;                      // DC 5 (difference 5), then DC 2 (difference -3)
    store[17] = 1;                     // 16 zeros then a value: ZRL, then run 0 size 1
    store[64] = 2;
    store[64 + 18] = -3;               // 17 zeros: ZRL then run 1 size 2
    store[64 + 63] = 1;                // the block ends on a value: no EOB
    Frequencies dc{}, ac{};
    CollectDCStatistics(store, dc);
    CollectACStatistics(store, ac);
    EXPECT_EQ(dc[3], 1u);
    EXPECT_EQ(dc[2], 1u);
    EXPECT_EQ(ac[0xF0], 4u);           // one in block 0; in block 1 one, then two for 44 zeros
    EXPECT_EQ(ac[0x01], 1u);
    EXPECT_EQ(ac[0x12], 1u);
    EXPECT_EQ(ac[0xC1], 1u);           // 44 zeros = 2 x 16 + 12 before the last value
    EXPECT_EQ(ac[0x00], 1u);           // only block 0 ends in zeros
    uint32_t total = 0;
    for (uint32_t n : ac) total += n;
    EXPECT_EQ(total, 8u);
}

TEST(JpegHuffman, BlocksCodeAsTheirSymbolsAndBits) {
    // DC symbols 0..11 with 4-bit codes equal to the symbol; AC symbols with 8-bit codes by index.
    const HuffmanSlot dc = FixedSlot({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 4, 11);
    const std::vector<uint8_t> acSymbols = {0x00, 0x01, 0x02, 0x11, 0x12, 0xF0, 0xE1};
    const HuffmanSlot ac = FixedSlot(acSymbols, 8, 255);
    auto acCode = [&](uint8_t symbol) { return uint32_t(std::find(acSymbols.begin(), acSymbols.end(), symbol) - acSymbols.begin()); };

    std::vector<int16_t> blocks(64 * 4, 0);
    blocks[0] = -1;                                  // difference -1: category 1, bit 0
    blocks[64] = 0;                                  // difference 1: bit 1; 16 zeros then 1
    blocks[64 + 17] = 1;
    blocks[128] = -3;                                // difference -3: category 2, bits 00; 17 zeros, -2
    blocks[128 + 18] = -2;
    blocks[192] = -3;                                // same DC, all AC 0 but the last: 62 zeros, value
    blocks[192 + 63] = 1;
    std::vector<uint8_t> bytes;
    BitWriter writer(bytes);
    int32_t predictor = 0;
    for (int b = 0; b < 4; ++b) EncodeBlock(&blocks[b * 64], predictor, dc, ac, writer);
    writer.Flush();
    EXPECT_EQ(predictor, -3);

    BitReader r(bytes);
    // Block 0: DC cat 1 with bit 0, then EOB.
    EXPECT_EQ(r.Read(4), 1u);
    EXPECT_EQ(r.Read(1), 0u);
    EXPECT_EQ(r.Read(8), acCode(0x00));
    // Block 1: DC difference 1; ZRL, run 0 size 1 with bit 1; EOB.
    EXPECT_EQ(r.Read(4), 1u);
    EXPECT_EQ(r.Read(1), 1u);
    EXPECT_EQ(r.Read(8), acCode(0xF0));
    EXPECT_EQ(r.Read(8), acCode(0x01));
    EXPECT_EQ(r.Read(1), 1u);
    EXPECT_EQ(r.Read(8), acCode(0x00));
    // Block 2: DC difference -3 (cat 2, bits 00); ZRL, run 1 size 2 with -2 as 01; EOB.
    EXPECT_EQ(r.Read(4), 2u);
    EXPECT_EQ(r.Read(2), 0u);
    EXPECT_EQ(r.Read(8), acCode(0xF0));
    EXPECT_EQ(r.Read(8), acCode(0x12));
    EXPECT_EQ(r.Read(2), 1u);
    EXPECT_EQ(r.Read(8), acCode(0x00));
    // Block 3: DC difference 0 (cat 0, no bits); 62 zeros: three ZRL, run 14 size 1; no EOB.
    EXPECT_EQ(r.Read(4), 0u);
    EXPECT_EQ(r.Read(8), acCode(0xF0));
    EXPECT_EQ(r.Read(8), acCode(0xF0));
    EXPECT_EQ(r.Read(8), acCode(0xF0));
    EXPECT_EQ(r.Read(8), acCode(0xE1));
    EXPECT_EQ(r.Read(1), 1u);
    EXPECT_TRUE(r.RestIsOnes());
    EXPECT_EQ(r.Consumed(), bytes.size());
}

TEST(JpegHuffman, BitWriterStuffsAndFlushesWithOnes) {
    struct Case {
        std::vector<std::pair<int, uint32_t>> puts;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {{{8, 0xFF}}, {0xFF, 0x00}},                        // a whole FF byte is stuffed
        {{{4, 0xF}}, {0xFF, 0x00}},                         // flushed with ones into FF: stuffed too
        {{{3, 0x2}}, {0x5F}},                               // 010 + 11111
        {{{8, 0x12}}, {0x12}},                              // byte boundary: the flush adds nothing
        {{{12, 0xFFF}, {4, 0x0}}, {0xFF, 0x00, 0xF0}},
        {{{1, 1}, {16, 0xFFFF}}, {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        BitWriter writer(out);
        for (auto [n, value] : c.puts) writer.WriteBits(1u << (n - 1), value);
        writer.WriteBits(0, 0xFFFF);  // a length mask of 0 writes nothing
        writer.Flush();
        EXPECT_EQ(out, c.bytes);
    }
}

TEST(JpegStream, SegmentBytesAndTheScanHeader) {
    Picture picture = MakePicture(17, 3, [](int x, int y) -> std::array<uint8_t, 4> {
        return {uint8_t(x * 15), uint8_t(y * 80), 200, 255};
    });
    std::vector<uint8_t> jpeg = Encode(picture, 75);
    ASSERT_GT(jpeg.size(), 200u);
    EXPECT_EQ(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 20),
              (std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x00,
                                    0x00, 0x01, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
    EXPECT_EQ(jpeg.back(), 0xD9);

    std::array<QuantSlot, 4> slots{};
    ASSERT_EQ(SetQuality(75, 8, slots), CodecResult::Ok);
    const auto segments = Segments(jpeg);
    std::vector<uint8_t> codes;
    for (const auto& s : segments) codes.push_back(s.first);
    EXPECT_EQ(codes, (std::vector<uint8_t>{0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA}));
    for (int t = 0; t < 2; ++t) {
        std::vector<uint8_t> dqt{uint8_t(t)};
        for (uint16_t v : slots[t].values) dqt.push_back(uint8_t(v));
        EXPECT_EQ(segments[1 + t].second, dqt) << "one table per segment, values in zigzag order";
    }
    // Height (3) before width (17).
    EXPECT_EQ(segments[3].second, (std::vector<uint8_t>{0x08, 0x00, 0x03, 0x00, 0x11, 0x03, 0x01, 0x11, 0x00, 0x02,
                                                        0x11, 0x01, 0x03, 0x11, 0x01}));
    const uint8_t classes[] = {0x00, 0x10, 0x01, 0x11};
    for (int i = 0; i < 4; ++i) {
        const std::vector<uint8_t>& dht = segments[4 + i].second;
        EXPECT_EQ(dht[0], classes[i]);
        size_t symbols = 0;
        for (int l = 1; l <= 16; ++l) symbols += dht[l];
        EXPECT_EQ(dht.size(), 17 + symbols) << "length field 19 + symbols";
    }
    EXPECT_EQ(segments[8].second, (std::vector<uint8_t>{0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00}));
}

TEST(JpegStream, SecondSaveIsIdenticalAndTheEstimateMatchesTheCodedBits) {
    Picture picture = MakePicture(61, 45, [](int x, int y) -> std::array<uint8_t, 4> {
        const uint8_t alpha = uint8_t(x < 20 ? 255 : x < 40 ? 90 : 0);
        return {uint8_t((x * 37 + y * 11) % 256 * alpha / 255), uint8_t((x * y) % 256 * alpha / 255),
                uint8_t((y * 53) % 256 * alpha / 255), alpha};
    });
    for (int quality : {1, 30, 75, 100}) {
        SCOPED_TRACE(quality);
        JpegEncoder encoder;
        std::vector<uint8_t> first, second;
        ASSERT_EQ(encoder.Encode(picture.view(), uint8_t(quality), 0x3366FF, first), CodecResult::Ok);
        const int64_t estimate = encoder.EstimatedScanBytes();
        ASSERT_EQ(encoder.Encode(picture.view(), uint8_t(quality), 0x3366FF, second), CodecResult::Ok);
        EXPECT_EQ(first, second);
        // Scan data without its stuffed zeros: exactly the estimate (the last byte completed by ones).
        size_t start = 2;
        while (!(first[start] == 0xFF && first[start + 1] == 0xDA)) start += 2 + (size_t(first[start + 2]) << 8 | first[start + 3]);
        start += 2 + 12;
        int64_t unstuffed = 0;
        for (size_t i = start; i + 2 < first.size(); ++i) {
            ++unstuffed;
            if (first[i] == 0xFF) {
                EXPECT_EQ(first[i + 1], 0x00);
                ++i;
            }
        }
        EXPECT_EQ(unstuffed, estimate);
    }
    // Quality 0 and missing pixels are refused, out untouched.
    std::vector<uint8_t> out{9};
    EXPECT_EQ(JpegEncoder().Encode(picture.view(), 0, 0, out), CodecResult::Corrupt);
    EXPECT_EQ(JpegEncoder().Encode(PixelView{}, 50, 0, out), CodecResult::Corrupt);
    EXPECT_EQ(out, std::vector<uint8_t>{9});
    // Sampling factors outside 1..4 are refused; the encoder keeps its configuration.
    JpegEncoder encoder;
    EXPECT_EQ(encoder.SetSamplingFactors(0, 1, 1, 1, 1, 1), CodecResult::Corrupt);
    EXPECT_EQ(encoder.SetSamplingFactors(1, 1, 5, 1, 1, 1), CodecResult::Corrupt);
    EXPECT_EQ(encoder.Components().size(), 3u);
}
