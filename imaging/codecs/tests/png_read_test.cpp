// The PNG reader against libpng over PngSuite, generated samples and the Adwaita icons, and the
// decisions of its own (values, transparency, CRCs, faults) on small hand-made files.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "png_read.h"
#include "png_reference.h"

using namespace quorallion::codecs;
using namespace quorallion::codecs::testing;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Decoded {
    CodecResult result = CodecResult::Internal;
    PixelBuffer pixels;
    int32_t alphaKind = -1;
};

Decoded Decode(const std::vector<uint8_t>& bytes, bool withZlib = true) {
    Decoded d;
    d.result = DecodePng(ByteSpan(bytes.data(), bytes.size()), withZlib ? NativeZlib() : ZlibFunctions{}, d.pixels,
                         d.alphaKind);
    return d;
}

// Decodes with and without zlib and compares both with libpng; returns a message or "".
std::string CompareWithLibpng(const std::vector<uint8_t>& bytes) {
    const LibpngImage reference = LibpngDecode(bytes.data(), bytes.size());
    if (!reference.ok) return "libpng refuses it";
    const PixelBuffer expected = Premultiplied(reference);
    for (bool withZlib : {true, false}) {
        const Decoded d = Decode(bytes, withZlib);
        const char* road = withZlib ? " (zlib)" : " (own inflate)";
        if (d.result != CodecResult::Ok) return std::string("no image") + road;
        if (d.pixels.width != expected.width || d.pixels.height != expected.height) return std::string("size") + road;
        if (d.pixels.bgra != expected.bgra) {
            size_t at = 0;
            while (d.pixels.bgra[at] == expected.bgra[at]) ++at;
            std::ostringstream message;
            message << "pixel byte " << at << " is " << int(d.pixels.bgra[at]) << ", libpng " << int(expected.bgra[at])
                    << road;
            return message.str();
        }
    }
    return "";
}

const char* EnvOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// A PNG made here: IHDR, optional PLTE and tRNS, one IDAT of the given raw (filtered) rows.
struct PngMaker {
    std::vector<uint8_t> bytes{137, 80, 78, 71, 13, 10, 26, 10};
    void Chunk(const char* type, const std::vector<uint8_t>& data, int crcMode = 0) {  // 1 wrong, 2 zero
        const uint32_t length = static_cast<uint32_t>(data.size());
        for (int s = 24; s >= 0; s -= 8) bytes.push_back(static_cast<uint8_t>(length >> s));
        std::vector<uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        bytes.insert(bytes.end(), typed.begin(), typed.end());
        uint32_t crc = static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size())));
        if (crcMode == 1) crc ^= 1;
        if (crcMode == 2) crc = 0;
        for (int s = 24; s >= 0; s -= 8) bytes.push_back(static_cast<uint8_t>(crc >> s));
    }
    void Header(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t interlace = 0) {
        std::vector<uint8_t> d;
        for (uint32_t v : {w, h})
            for (int s = 24; s >= 0; s -= 8) d.push_back(static_cast<uint8_t>(v >> s));
        d.insert(d.end(), {depth, type, 0, 0, interlace});
        Chunk("IHDR", d);
    }
    void Data(const std::vector<uint8_t>& raw, int crcMode = 0) {
        std::vector<uint8_t> z(compressBound(raw.size()));
        uLongf size = z.size();
        compress2(z.data(), &size, raw.data(), raw.size(), 9);
        z.resize(size);
        Chunk("IDAT", z, crcMode);
    }
    std::vector<uint8_t> End() {
        Chunk("IEND", {});
        return bytes;
    }
};

const uint8_t* Pixel(const Decoded& d, int x, int y) {
    return &d.pixels.bgra[(size_t(d.pixels.height - 1 - y) * d.pixels.width + x) * 4];
}

std::vector<uint8_t> PixelAt(const Decoded& d, int x, int y) {
    const uint8_t* p = Pixel(d, x, y);
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST(PngRead, PngSuiteEqualsLibpng) {
    const fs::path folder = EnvOr("QUORALLION_PNGSUITE", "");
    if (folder.empty() || !fs::exists(folder / "pngsuite")) GTEST_SKIP() << "PngSuite (golang-1.19-src) not installed";
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(folder / "pngsuite")) {
        if (entry.path().extension() != ".png") continue;
        EXPECT_EQ(CompareWithLibpng(ReadAll(entry.path())), "") << entry.path().filename();
        ++compared;
    }
    EXPECT_GT(compared, 30);
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png") continue;
        const std::vector<uint8_t> bytes = ReadAll(entry.path());
        if (name.rfind("invalid-", 0) != 0 || name == "invalid-zlib.png") {
            // invalid-zlib.png differs from its source only in the Adler-32, which is not read.
            EXPECT_EQ(CompareWithLibpng(bytes), "") << name;
        } else {
            // Without zlib no chunk CRC is tested: invalid-crc32.png then decodes.
            EXPECT_NE(Decode(bytes, true).result, CodecResult::Ok) << name;
            EXPECT_EQ(Decode(bytes, false).result == CodecResult::Ok, name == "invalid-crc32.png") << name;
        }
    }
}

TEST(PngRead, GeneratedSamples) {
    const fs::path folder = EnvOr("QUORALLION_PNG_SAMPLES", "");
    if (folder.empty() || !fs::exists(folder / "expect.txt")) GTEST_SKIP() << "samples not made (png_make_samples)";
    std::ifstream manifest(folder / "expect.txt");
    std::string name, expect;
    int count = 0;
    while (manifest >> name >> expect) {
        const std::vector<uint8_t> bytes = ReadAll(folder / name);
        ++count;
        if (expect == "libpng") {
            EXPECT_EQ(CompareWithLibpng(bytes), "") << name;
        } else if (expect.rfind("same:", 0) == 0) {
            const Decoded twin = Decode(ReadAll(folder / expect.substr(5)));
            for (bool withZlib : {true, false}) {
                const Decoded d = Decode(bytes, withZlib);
                ASSERT_EQ(d.result, CodecResult::Ok) << name;
                EXPECT_EQ(d.pixels.bgra, twin.pixels.bgra) << name;
            }
        } else if (expect == "decodes") {
            EXPECT_EQ(Decode(bytes, true).result, CodecResult::Ok) << name;
            EXPECT_EQ(Decode(bytes, false).result, CodecResult::Ok) << name;
        } else {
            EXPECT_NE(Decode(bytes, true).result, CodecResult::Ok) << name;
            EXPECT_NE(Decode(bytes, false).result, CodecResult::Ok) << name;
        }
    }
    EXPECT_GT(count, 500);
}

TEST(PngRead, AdwaitaIconsEqualLibpng) {
    const fs::path folder = EnvOr("QUORALLION_ICON_THEME", "");
    if (folder.empty() || !fs::exists(folder)) GTEST_SKIP() << "adwaita-icon-theme not installed";
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().extension() != ".png" || entry.is_symlink()) continue;
        EXPECT_EQ(CompareWithLibpng(ReadAll(entry.path())), "") << entry.path();
        ++count;
    }
    EXPECT_GT(count, 100);
}

TEST(PngRead, ValuesAndTransparency) {
    struct Case {
        const char* what;
        std::vector<uint8_t> png;
        int x, y;
        std::vector<uint8_t> bgra;
        int alphaKind;
    };
    std::vector<Case> cases;
    {
        PngMaker m;
        m.Header(1, 1, 8, 6);
        m.Data({0, 200, 100, 50, 128});
        cases.push_back({"RGBA (200, 100, 50, 128) premultiplied", m.End(), 0, 0, {25, 50, 100, 128}, 2});
    }
    for (int sample = 0; sample < 4; ++sample) {
        PngMaker m;
        m.Header(4, 1, 2, 0);
        m.Data({0, 0x1B});  // samples 0, 1, 2, 3
        const uint8_t grey = static_cast<uint8_t>(sample * 85);
        cases.push_back({"2-bit grey ramp", m.End(), sample, 0, {grey, grey, grey, 255}, 0});
    }
    {
        PngMaker m;  // 1-bit palette image without PLTE: black and white
        m.Header(2, 1, 1, 3);
        m.Data({0, 0x40});
        const std::vector<uint8_t> png = m.End();
        cases.push_back({"1-bit palette without PLTE, index 0", png, 0, 0, {0, 0, 0, 255}, 0});
        cases.push_back({"1-bit palette without PLTE, index 1", png, 1, 0, {255, 255, 255, 255}, 0});
    }
    {
        PngMaker m;  // grey tRNS 0: black pixels vanish
        m.Header(2, 1, 8, 0);
        m.Chunk("tRNS", {0, 0});
        m.Data({0, 0, 9});
        const std::vector<uint8_t> png = m.End();
        cases.push_back({"grey key 0 on black", png, 0, 0, {0, 0, 0, 0}, 1});
        cases.push_back({"grey key 0 leaves grey 9", png, 1, 0, {9, 9, 9, 255}, 1});
    }
    {
        PngMaker m;
        m.Header(1, 1, 16, 2);
        m.Data({0, 0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF});
        cases.push_back({"16-bit RGB keeps high bytes", m.End(), 0, 0, {0x00, 0xAB, 0x12, 255}, 0});
    }
    {
        PngMaker m;  // 16-bit grey key 0x0000 must not take the sample 0x00FF
        m.Header(2, 1, 16, 0);
        m.Chunk("tRNS", {0, 0});
        m.Data({0, 0x00, 0xFF, 0x00, 0x00});
        const std::vector<uint8_t> png = m.End();
        cases.push_back({"16-bit grey key: full sample differs", png, 0, 0, {0, 0, 0, 255}, 1});
        cases.push_back({"16-bit grey key: full sample equal", png, 1, 0, {0, 0, 0, 0}, 1});
    }
    {
        PngMaker m;  // palette tRNS with a half-transparent entry: partial alpha
        m.Header(2, 1, 8, 3);
        m.Chunk("PLTE", {255, 0, 0, 0, 0, 255});
        m.Chunk("tRNS", {128});
        m.Data({0, 0, 1});
        const std::vector<uint8_t> png = m.End();
        cases.push_back({"palette alpha 128", png, 0, 0, {0, 0, 128, 128}, 2});
        cases.push_back({"palette entry past tRNS is opaque", png, 1, 0, {255, 0, 0, 255}, 2});
    }
    {
        PngMaker m;  // palette tRNS with only 0: on/off
        m.Header(2, 1, 8, 3);
        m.Chunk("PLTE", {255, 0, 0, 0, 0, 255});
        m.Chunk("tRNS", {0});
        m.Data({0, 0, 1});
        cases.push_back({"palette alpha 0 only", m.End(), 0, 0, {0, 0, 0, 0}, 1});
    }
    {
        PngMaker m;  // tRNS with a wrong CRC has no effect
        m.Header(1, 1, 8, 0);
        std::vector<uint8_t> before = m.bytes;
        m.Chunk("tRNS", {0, 0}, 1);
        m.Data({0, 0});
        cases.push_back({"tRNS with a bad CRC", m.End(), 0, 0, {0, 0, 0, 255}, 0});
    }
    {
        PngMaker m;  // a row with filter type 7 stays as stored
        m.Header(1, 2, 8, 0);
        m.Data({0, 10, 7, 20});
        cases.push_back({"filter type 7, non-interlaced", m.End(), 0, 1, {20, 20, 20, 255}, 0});
    }
    for (const Case& c : cases) {
        const Decoded d = Decode(c.png);
        ASSERT_EQ(d.result, CodecResult::Ok) << c.what;
        EXPECT_EQ(PixelAt(d, c.x, c.y), c.bgra) << c.what;
        EXPECT_EQ(d.alphaKind, c.alphaKind) << c.what;
    }
}

TEST(PngRead, ChunkCrcsAreTestedOnlyWithZlib) {
    PngMaker wrong;
    wrong.Header(1, 1, 8, 0);
    wrong.Data({0, 77}, 1);
    const std::vector<uint8_t> badCrc = wrong.End();
    EXPECT_EQ(Decode(badCrc, true).result, CodecResult::Corrupt);
    const Decoded own = Decode(badCrc, false);
    ASSERT_EQ(own.result, CodecResult::Ok);
    EXPECT_EQ(PixelAt(own, 0, 0), (std::vector<uint8_t>{77, 77, 77, 255}));

    PngMaker zero;
    zero.Header(1, 1, 8, 0);
    zero.Data({0, 77}, 2);
    EXPECT_EQ(Decode(zero.End(), true).result, CodecResult::Ok);
}

TEST(PngRead, InterlacedTwinsAndOffsets) {
    // A 3 x 3 RGBA image interlaced and not: the same pixels.
    std::vector<uint8_t> rgba(36);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = static_cast<uint8_t>(i * 29 + 3);
    PngMaker flat;
    flat.Header(3, 3, 8, 6);
    std::vector<uint8_t> rows;
    for (int y = 0; y < 3; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), rgba.begin() + y * 12, rgba.begin() + y * 12 + 12);
    }
    flat.Data(rows);
    // Adam7 on 3 x 3: pass 1 (0,0); pass 6 (1,0); pass 7 row 1 (all three); pass 5? row 2 columns 0, 2... by the table.
    auto px = [&](int x, int y) { return std::vector<uint8_t>(rgba.begin() + (y * 3 + x) * 4, rgba.begin() + (y * 3 + x) * 4 + 4); };
    std::vector<uint8_t> passes;
    auto row = [&](std::initializer_list<std::pair<int, int>> pixels) {
        passes.push_back(0);
        for (auto [x, y] : pixels) {
            auto p = px(x, y);
            passes.insert(passes.end(), p.begin(), p.end());
        }
    };
    row({{0, 0}});          // pass 1
    row({{2, 0}});          // pass 4: rows 0, columns 2
    row({{0, 2}, {2, 2}});  // pass 5: row 2, columns 0 and 2
    row({{1, 0}});          // pass 6: row 0, column 1
    row({{1, 2}});          // pass 6: row 2, column 1
    row({{0, 1}, {1, 1}, {2, 1}});  // pass 7: row 1
    PngMaker laced;
    laced.Header(3, 3, 8, 6, 1);
    laced.Data(passes);
    const Decoded a = Decode(flat.End()), b = Decode(laced.End());
    ASSERT_EQ(a.result, CodecResult::Ok);
    ASSERT_EQ(b.result, CodecResult::Ok);
    EXPECT_EQ(a.pixels.bgra, b.pixels.bgra);

    // The PNG 100 bytes into a larger array decodes the same as the bare PNG.
    PngMaker one;
    one.Header(3, 3, 8, 6);
    one.Data(rows);
    const std::vector<uint8_t> bare = one.End();
    std::vector<uint8_t> padded(100, 0xEE);
    padded.insert(padded.end(), bare.begin(), bare.end());
    padded.resize(padded.size() + 50, 0xEE);
    Decoded c;
    c.result = DecodePng(ByteSpan(padded.data(), padded.size()).Sub(100, static_cast<int64_t>(bare.size())), NativeZlib(),
                         c.pixels, c.alphaKind);
    ASSERT_EQ(c.result, CodecResult::Ok);
    EXPECT_EQ(c.pixels.bgra, a.pixels.bgra);
}

TEST(PngRead, SizeLimitAndSignature) {
    // 8192 x 8191 one-bit grey is accepted; 8192 x 8192 is one pixel past the limit.
    for (uint32_t height : {8191u, 8192u}) {
        PngMaker m;
        m.Header(8192, height, 1, 0);
        m.Data(std::vector<uint8_t>(size_t(height) * 1025, 0));
        const Decoded d = Decode(m.End());
        EXPECT_EQ(d.result == CodecResult::Ok, height == 8191) << height;
    }
    const std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    EXPECT_EQ(Decode(gif).result, CodecResult::NotThisFormat);
}

namespace {

// A source that counts its reads, to show how far a walk looked.
class CountingSource final : public PngChunkSource {
public:
    explicit CountingSource(const std::vector<uint8_t>& bytes) : inner_(ByteSpan(bytes.data(), bytes.size())) {}
    uint64_t Size() const override { return inner_.Size(); }
    ByteSpan Read(uint64_t offset, size_t count) override {
        ++reads;
        return inner_.Read(offset, count);
    }
    int reads = 0;

private:
    PngMemorySource inner_;
};

bool ManyChunks(const std::vector<uint8_t>& bytes) {
    PngMemorySource source(ByteSpan(bytes.data(), bytes.size()));
    return HasFarMoreChunksThanRealFiles(source);
}

// A 1 x 1 grey PNG with `extra` chunks of the given type and length between IHDR and IDAT.
std::vector<uint8_t> Padded(int extra, const char* type = "prVt", size_t length = 0) {
    PngMaker m;
    m.Header(1, 1, 8, 0);
    for (int i = 0; i < extra; ++i) m.Chunk(type, std::vector<uint8_t>(length, 0x5A));
    m.Data({0, 77});
    return m.End();
}

}  // namespace

TEST(PngRead, RealFilesHaveFewChunksAndForgedOnesAreToldApart) {
    int real = 0;
    auto expectReal = [&](const fs::path& path) {
        EXPECT_FALSE(ManyChunks(ReadAll(path))) << path;
        ++real;
    };
    if (const fs::path suite = EnvOr("QUORALLION_PNGSUITE", ""); !suite.empty() && fs::exists(suite))
        for (const auto& entry : fs::recursive_directory_iterator(suite))
            if (entry.path().extension() == ".png") expectReal(entry.path());
    if (const fs::path icons = EnvOr("QUORALLION_ICON_THEME", ""); !icons.empty() && fs::exists(icons))
        for (const auto& entry : fs::recursive_directory_iterator(icons))
            if (entry.path().extension() == ".png" && !entry.is_symlink()) expectReal(entry.path());
    if (const fs::path made = EnvOr("QUORALLION_PNG_SAMPLES", ""); !made.empty() && fs::exists(made))
        for (const auto& entry : fs::directory_iterator(made))
            if (entry.path().extension() == ".png") expectReal(entry.path());
    if (real == 0) ADD_FAILURE() << "no real PNG files found to compare with";

    // The allowance grows with the file: 256 chunks plus one per 4 KiB. IHDR, IDAT and IEND
    // count too; empty padding adds 12 bytes per chunk.
    int extra = 256;
    for (int round = 0; round < 4; ++round) extra = int(PngChunkAllowance(Padded(extra).size())) - 3;
    const std::vector<uint8_t> atAllowance = Padded(extra);
    ASSERT_EQ(uint64_t(extra) + 3, PngChunkAllowance(atAllowance.size()));
    struct Case {
        const char* what;
        std::vector<uint8_t> png;
        bool many;
    };
    const Case cases[] = {
        {"empty chunks up to the allowance", atAllowance, false},
        {"one empty chunk more", Padded(extra + 1), true},
        {"100,000 empty ancillary chunks", Padded(100000), true},
        {"image data split into 2,000 one-byte IDAT chunks", Padded(2000, "IDAT", 1), true},
        {"2,000 chunks of 8 KiB (libpng's IDAT size)", Padded(2000, "tEXt", 8192), false},
        {"6,000 chunks of 4 KiB", Padded(6000, "tEXt", 4096), false},
        {"8,000 chunks of 2 KiB", Padded(8000, "tEXt", 2048), true},
    };
    for (const Case& c : cases) EXPECT_EQ(ManyChunks(c.png), c.many) << c.what;

    // The walk looks no further than one chunk past the allowance, and the file still decodes.
    const std::vector<uint8_t> forged = Padded(100000);
    CountingSource counted(forged);
    EXPECT_TRUE(HasFarMoreChunksThanRealFiles(counted));
    EXPECT_LE(uint64_t(counted.reads), PngChunkAllowance(forged.size()) + 1);
    const Decoded d = Decode(forged);
    ASSERT_EQ(d.result, CodecResult::Ok);
    EXPECT_EQ(PixelAt(d, 0, 0), (std::vector<uint8_t>{77, 77, 77, 255}));
}
