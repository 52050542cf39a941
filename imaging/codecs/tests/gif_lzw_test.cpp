// LZW round trips and the classic encoder's framing.
#include <gtest/gtest.h>

#include <random>

#include "gif_lzw.h"

using namespace quorallion::codecs;

namespace {

std::vector<uint8_t> StripSubBlocks(const std::vector<uint8_t>& framed) {
    std::vector<uint8_t> data;
    size_t at = 0;
    while (at < framed.size()) {
        const size_t size = framed[at];
        data.insert(data.end(), framed.begin() + at + 1, framed.begin() + at + 1 + size);
        at += 1 + size;
    }
    return data;
}

std::vector<uint8_t> RoundTrip(int bits, const std::vector<uint8_t>& indices) {
    std::vector<uint8_t> framed;
    GifLzwEncode(bits, indices, framed);
    std::vector<uint8_t> codes = StripSubBlocks(framed);
    std::vector<uint8_t> decoded;
    EXPECT_EQ(GifLzwDecode(bits, ByteSpan(codes.data(), codes.size()), indices.size(), decoded), CodecResult::Ok);
    return decoded;
}

}  // namespace

TEST(GifLzw, RoundTripsAcrossWidthsAndTableResets) {
    std::mt19937 random(7);
    struct Case { int bits; size_t count; bool noisy; };
    // Noisy data fills the 4096-entry table and forces clear codes; flat data makes long strings.
    for (Case c : {Case{2, 1, true}, Case{2, 5000, true}, Case{4, 70000, true}, Case{8, 200000, true},
                   Case{8, 100000, false}, Case{3, 3, false}}) {
        std::vector<uint8_t> indices(c.count);
        for (size_t i = 0; i < c.count; ++i)
            indices[i] = static_cast<uint8_t>(c.noisy ? random() % (1u << c.bits) : (i / 1000) % (1u << c.bits));
        EXPECT_EQ(RoundTrip(c.bits, indices), indices) << "bits " << c.bits << " count " << c.count;
    }
}

TEST(GifLzw, SubBlocksCarry254BytesThenAShorterLast) {
    std::mt19937 random(3);
    std::vector<uint8_t> indices(20000);
    for (auto& v : indices) v = static_cast<uint8_t>(random());
    std::vector<uint8_t> framed;
    GifLzwEncode(8, indices, framed);
    size_t at = 0;
    std::vector<size_t> sizes;
    while (at < framed.size()) {
        sizes.push_back(framed[at]);
        at += 1 + framed[at];
    }
    ASSERT_EQ(at, framed.size());
    ASSERT_GT(sizes.size(), 2u);
    for (size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 254u);
    EXPECT_GT(sizes.back(), 0u);
    EXPECT_LE(sizes.back(), 254u);
}

TEST(GifLzw, DecoderRefusesBadCodesAndToleratesEarlyEnd) {
    std::vector<uint8_t> decoded;
    // Clear (4), then code 7, which no table entry holds yet (next code is 6): 3-bit codes.
    const uint8_t badCode[] = {0x3C};  // 100 111 00
    EXPECT_EQ(GifLzwDecode(2, ByteSpan(badCode, 1), 4, decoded), CodecResult::Corrupt);
    // Clear, 1, then the data ends: the rest of the pixels stay 0.
    const uint8_t shortData[] = {0x0C};  // 100 001 00
    EXPECT_EQ(GifLzwDecode(2, ByteSpan(shortData, 1), 4, decoded), CodecResult::Ok);
    EXPECT_EQ(decoded, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(GifLzwDecode(12, ByteSpan(shortData, 1), 4, decoded), CodecResult::Corrupt);
}
