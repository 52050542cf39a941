// The own inflate beside zlib, and the streams that only a hand-built bit writer makes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "png_inflate.h"

using namespace quorallion::codecs;

namespace {

std::vector<uint8_t> Sample(size_t size, int kind) {
    std::mt19937 random(static_cast<unsigned>(size * 7 + kind));
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        switch (kind) {
        case 0: bytes[i] = static_cast<uint8_t>(random()); break;                      // noise
        case 1: bytes[i] = static_cast<uint8_t>((i / 37) % 5 * 40); break;             // runs
        default: bytes[i] = static_cast<uint8_t>((i * i >> 5) + (random() % 3)); break;  // texture
        }
    }
    return bytes;
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& source, int level, int strategy) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
    std::vector<uint8_t> out(deflateBound(&z, source.size()) + 16);
    z.next_in = const_cast<Bytef*>(source.data());
    z.avail_in = static_cast<uInt>(source.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

bool InflateInto(const std::vector<uint8_t>& stream, size_t limit, std::vector<uint8_t>& out, size_t& produced) {
    out.assign(limit, 0);
    return Inflate(ByteSpan(stream.data(), stream.size()), out.data(), limit, produced);
}

// Builds raw DEFLATE bits least significant first, behind a zlib header.
struct BitWriter {
    std::vector<uint8_t> bytes{0x78, 0x01};
    uint32_t buffer = 0;
    int count = 0;
    void Put(uint32_t value, int bits) {
        for (int i = 0; i < bits; ++i) {
            buffer |= ((value >> i) & 1u) << count;
            if (++count == 8) Flush();
        }
    }
    // A Huffman code goes most significant bit first.
    void Code(uint32_t code, int bits) {
        for (int i = bits - 1; i >= 0; --i) Put((code >> i) & 1u, 1);
    }
    void Flush() {
        bytes.push_back(static_cast<uint8_t>(buffer));
        buffer = 0;
        count = 0;
    }
    std::vector<uint8_t> Done() {
        if (count) Flush();
        return bytes;
    }
    // Fixed-code literal/length symbols.
    void Fixed(int symbol) {
        if (symbol < 144) Code(0x30 + symbol, 8);
        else if (symbol < 256) Code(0x190 + symbol - 144, 9);
        else if (symbol < 280) Code(symbol - 256, 7);
        else Code(0xC0 + symbol - 280, 8);
    }
};

}  // namespace

TEST(PngInflate, MatchesZlibAtEveryLevelAndStrategy) {
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    for (size_t size : {size_t{0}, size_t{1}, size_t{300}, size_t{70000}, size_t{300000}})
        for (int kind = 0; kind < 3; ++kind) {
            const std::vector<uint8_t> source = Sample(size, kind);
            for (int level = 0; level <= 9; ++level)
                for (int strategy : strategies) {
                    const std::vector<uint8_t> stream = Deflate(source, level, strategy);
                    std::vector<uint8_t> out;
                    size_t produced = 0;
                    SCOPED_TRACE(testing::Message() << "size " << size << " kind " << kind << " level " << level
                                                    << " strategy " << strategy);
                    // The exact limit and one more both decode; one fewer fails.
                    ASSERT_TRUE(InflateInto(stream, size, out, produced));
                    EXPECT_EQ(produced, size);
                    EXPECT_EQ(out, source);
                    ASSERT_TRUE(InflateInto(stream, size + 1, out, produced));
                    EXPECT_EQ(produced, size);
                    if (size) EXPECT_FALSE(InflateInto(stream, size - 1, out, produced));
                }
        }
}

TEST(PngInflate, LenientWhereTheReaderWantsIt) {
    const std::vector<uint8_t> source = Sample(5000, 2);
    std::vector<uint8_t> stream = Deflate(source, 6, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out;
    size_t produced = 0;
    std::vector<uint8_t> badHeader = stream;
    badHeader[0] = 0x12;  // not a zlib header
    badHeader[1] = 0x34;
    EXPECT_TRUE(InflateInto(badHeader, source.size(), out, produced));
    EXPECT_EQ(out, source);
    std::vector<uint8_t> badAdler = stream;
    badAdler.back() ^= 0xFF;
    EXPECT_TRUE(InflateInto(badAdler, source.size(), out, produced));
    EXPECT_EQ(out, source);
    std::vector<uint8_t> noAdler(stream.begin(), stream.end() - 4);
    EXPECT_TRUE(InflateInto(noAdler, source.size(), out, produced));
}

TEST(PngInflate, StoredBlocks) {
    // One stored block of 3 bytes; then the same with a wrong NLEN, and one running past the input.
    std::vector<uint8_t> stored = {0x78, 0x01, 0x01, 3, 0, 0xFC, 0xFF, 'a', 'b', 'c'};
    std::vector<uint8_t> out;
    size_t produced = 0;
    ASSERT_TRUE(InflateInto(stored, 3, out, produced));
    EXPECT_EQ(std::string(out.begin(), out.end()), "abc");
    std::vector<uint8_t> wrongNlen = stored;
    wrongNlen[5] = 0xFD;
    EXPECT_FALSE(InflateInto(wrongNlen, 3, out, produced));
    std::vector<uint8_t> shortData(stored.begin(), stored.end() - 1);
    EXPECT_FALSE(InflateInto(shortData, 3, out, produced));
    std::vector<uint8_t> headerCut(stored.begin(), stored.begin() + 6);
    EXPECT_FALSE(InflateInto(headerCut, 3, out, produced));
}

TEST(PngInflate, HandBuiltStreams) {
    struct Case {
        const char* what;
        std::vector<uint8_t> stream;
        size_t limit;
        bool ok;
        size_t produced;
    };
    std::vector<Case> cases;
    {  // a literal, then distance 1 length 258: the byte 259 times
        BitWriter w;
        w.Put(1, 1), w.Put(1, 2), w.Fixed('x'), w.Fixed(285), w.Code(0, 5), w.Fixed(256);
        cases.push_back({"distance 1, length 258", w.Done(), 259, true, 259});
        BitWriter tight;
        tight.Put(1, 1), tight.Put(1, 2), tight.Fixed('x'), tight.Fixed(285), tight.Code(0, 5), tight.Fixed(256);
        cases.push_back({"one byte more than the limit", tight.Done(), 258, false, 0});
    }
    {  // distance symbol 30 (base 32769, 14 extra bits): fine after 32769 bytes, a fault before
        BitWriter w;
        w.Put(0, 1), w.Put(0, 2);
        w.Flush();
        for (int block = 0; block < 2; ++block) {  // two stored blocks of 20000 zeros
            w.bytes.insert(w.bytes.end(), {0x20, 0x4E, 0xDF, 0xB1});
            w.bytes.insert(w.bytes.end(), 20000, 0);
            if (block == 0) w.Put(0, 1), w.Put(0, 2), w.Flush();
        }
        w.Put(1, 1), w.Put(1, 2), w.Fixed(257), w.Code(30, 5), w.Put(0, 14), w.Fixed(256);
        cases.push_back({"distance symbol 30 with the output behind it", w.Done(), 40003, true, 40003});
        BitWriter early;
        early.Put(1, 1), early.Put(1, 2), early.Fixed('a'), early.Fixed(257), early.Code(31, 5), early.Put(0, 14);
        early.Fixed(256);
        cases.push_back({"distance symbol 31 before the start", early.Done(), 100, false, 0});
    }
    {  // fixed-code symbols 286 and 287 are not lengths
        for (int symbol : {286, 287}) {
            BitWriter w;
            w.Put(1, 1), w.Put(1, 2), w.Fixed('a'), w.Fixed(symbol), w.Code(0, 5), w.Fixed(256);
            cases.push_back({"symbol 286/287", w.Done(), 100, false, 0});
        }
    }
    {  // a block type of 3
        BitWriter w;
        w.Put(1, 1), w.Put(3, 2);
        cases.push_back({"block type 3", w.Done(), 10, false, 0});
    }
    // Dynamic headers: HLIT, HDIST, HCLEN, then 3-bit code-length code lengths in the usual order.
    auto dynamicHeader = [](BitWriter& w, int hlit, int hdist, std::vector<int> clens) {
        w.Put(1, 1), w.Put(2, 2), w.Put(hlit - 257, 5), w.Put(hdist - 1, 5), w.Put(static_cast<uint32_t>(clens.size()) - 4, 4);
        for (int len : clens) w.Put(len, 3);
    };
    {  // code-length code: symbols 16, 17, 18, 0 at length 2 (complete); first length is a repeat
        BitWriter w;
        dynamicHeader(w, 257, 1, {2, 2, 2, 2});
        w.Code(0, 2), w.Put(0, 2);  // symbol 16 first: nothing to repeat
        cases.push_back({"repeat code 16 first", w.Done(), 10, false, 0});
    }
    {  // 18 twice: 138 + 138 zeros for 258 lengths runs past HLIT + HDIST
        BitWriter w;
        dynamicHeader(w, 257, 1, {2, 2, 2, 2});
        w.Code(2, 2), w.Put(127, 7), w.Code(2, 2), w.Put(127, 7);
        cases.push_back({"repeat past HLIT + HDIST", w.Done(), 10, false, 0});
    }
    {  // code-length code over-subscribed: five codes of length 2
        BitWriter w;
        dynamicHeader(w, 257, 1, {2, 2, 2, 2, 2});
        w.Put(0, 16);
        cases.push_back({"over-subscribed code-length code", w.Done(), 10, false, 0});
    }
    {  // an incomplete code-length code (18: 0, 1: 10, 17: 110) and a one-code distance set decode
        BitWriter w;
        std::vector<int> clens(18, 0);  // in the order 16, 17, 18, 0, 8, ..., 2, 14, 1
        clens[1] = 3;                   // 17
        clens[2] = 1;                   // 18
        clens[17] = 2;                  // 1
        dynamicHeader(w, 257, 1, clens);
        w.Code(0, 1), w.Put(97 - 11, 7);   // zeros for symbols 0..96
        w.Code(2, 2);                       // 'a' (97): length 1
        w.Code(0, 1), w.Put(138 - 11, 7);  // zeros 98..235
        w.Code(6, 3), w.Put(7, 3);          // ten zeros 236..245
        w.Code(6, 3), w.Put(7, 3);          // ten zeros 246..255
        w.Code(2, 2);                       // 256: length 1
        w.Code(2, 2);                       // distance 0: length 1
        w.Code(0, 1), w.Code(0, 1), w.Code(1, 1);  // 'a', 'a', end of block
        cases.push_back({"incomplete code sets", w.Done(), 10, true, 2});
        // The same stream without its last byte: the input ends inside the block.
        std::vector<uint8_t> cut = cases.back().stream;
        cut.pop_back();
        cases.push_back({"input ends inside the block", cut, 10, false, 0});
    }
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        size_t produced = 0;
        EXPECT_EQ(InflateInto(c.stream, c.limit, out, produced), c.ok) << c.what;
        if (c.ok) EXPECT_EQ(produced, c.produced) << c.what;
    }
}
