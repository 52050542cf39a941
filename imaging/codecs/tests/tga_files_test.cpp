// TGA files of ImageMagick and of a generator script (make_tga_samples.py) read by our reader, and
// our writer's files read by ImageMagick.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "native_tools.h"
#include "tga_decode.h"
#include "tga_encode.h"

using namespace quorallion::codecs;
using namespace quorallion::codecs::testing;
using quorallion::imaging::PixelView;

namespace {

// Largest difference of our premultiplied bottom-up BGRA against straight top-down RGBA
// (premultiplied the way the reader does it). alpha false leaves the alpha channel out and
// compares colours as if opaque.
int LargestDifference(const PixelBuffer& ours, const std::vector<uint8_t>& rgba, bool alpha = true) {
    if (rgba.size() != size_t(ours.width) * ours.height * 4) return -1;
    int largest = 0;
    for (int y = 0; y < ours.height; ++y)
        for (int x = 0; x < ours.width; ++x) {
            const uint8_t* o = &ours.bgra[(size_t(ours.height - 1 - y) * ours.width + x) * 4];
            const uint8_t* r = &rgba[(size_t(y) * ours.width + x) * 4];
            const int a = alpha ? r[3] : 255;
            if (alpha) largest = std::max(largest, std::abs(o[3] - a));
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(o[2 - c] - r[c] * a / 255));
        }
    return largest;
}

class TgaFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* program : {"convert", "python3"})
            if (!HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
        ASSERT_TRUE(folder_.ok());
    }
    ScratchFolder folder_;
};

}  // namespace

TEST_F(TgaFiles, ImageMagickAndGeneratedFilesDecodeAsExpected) {
    const std::string script = std::string(QUORALLION_CODECS_TESTS) + "/make_tga_samples.py";
    ASSERT_EQ(RunShell("python3 '" + script + "' '" + (folder_ / "").string() + "'"), 0);
    std::ifstream list(folder_ / "list.txt");
    std::string name, kind;
    int count = 0;
    while (list >> name >> kind) {
        SCOPED_TRACE(name);
        ++count;
        const std::vector<uint8_t> bytes = ReadAll(folder_ / name);
        PixelBuffer pixels;
        int32_t alphaKind = -1;
        ASSERT_EQ(DecodeTga(ByteSpan(bytes.data(), bytes.size()), pixels, alphaKind), CodecResult::Ok);
        if (kind == "im") {
            EXPECT_EQ(LargestDifference(pixels, ReadAll(folder_ / (name + ".rgba"))), 0);
            continue;
        }
        EXPECT_EQ(LargestDifference(pixels, ReadAll(folder_ / (name + ".expect"))), 0);
        // ImageMagick agrees on the colours but for its 5-bit scaling, v * 255 / 31 (16 gives 131 there,
        // 128 here); it reads a set attribute bit as opaque, so its alpha and those pixels are left out.
        const auto reference = folder_ / (name + ".rgba");
        ASSERT_EQ(RunShell("convert '" + (folder_ / name).string() + "' -auto-orient -alpha off -depth 8 RGBA:'" +
                           reference.string() + "'"),
                  0);
        const std::vector<uint8_t> theirs = ReadAll(reference);
        ASSERT_EQ(theirs.size(), pixels.bgra.size());
        double largest = 0;
        for (int y = 0; y < pixels.height; ++y)
            for (int x = 0; x < pixels.width; ++x) {
                const uint8_t* o = &pixels.bgra[(size_t(pixels.height - 1 - y) * pixels.width + x) * 4];
                const uint8_t* t = &theirs[(size_t(y) * pixels.width + x) * 4];
                if (o[3] == 0) continue;
                for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(t[c] - (o[2 - c] / 8) * 255.0 / 31));
            }
        EXPECT_LT(largest, 1.0);
    }
    EXPECT_EQ(count, 40);
}

TEST_F(TgaFiles, WrittenFilesAreReadByImageMagick) {
    // Opaque with few colours (palette forms), grey, many colours, and partial alpha.
    auto make = [](int width, int height, auto pixel) {
        PixelBuffer p{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::array<uint8_t, 4> v = pixel(x, y);
                std::copy(v.begin(), v.end(), &p.bgra[(size_t(height - 1 - y) * width + x) * 4]);
            }
        return p;
    };
    std::vector<PixelBuffer> images = {
        make(31, 9, [](int x, int) { return std::array<uint8_t, 4>{uint8_t(x / 8 * 60), 90, 200, 255}; }),
        make(31, 9, [](int x, int y) { return std::array<uint8_t, 4>{uint8_t(x * 8), uint8_t(x * 8), uint8_t(x * 8), 255}; }),
        make(40, 20, [](int x, int y) { return std::array<uint8_t, 4>{uint8_t(x * 6), uint8_t(y * 12), uint8_t(x * y), 255}; }),
        make(40, 20, [](int x, int y) {
            const uint8_t a = uint8_t(x * 6);
            return std::array<uint8_t, 4>{uint8_t(a / 3), uint8_t(y * a / 20), a, a};
        }),
    };
    int file = 0;
    for (PixelBuffer& image : images)
        for (int options = 0; options < 8; ++options) {
            const TgaWriteOptions o{(options & 1) != 0, (options & 2) != 0, (options & 4) != 0};
            SCOPED_TRACE(::testing::Message() << "image " << &image - images.data() << " options " << options);
            std::vector<uint8_t> bytes;
            ASSERT_EQ(EncodeTga(PixelView{image.bgra.data(), image.width, image.height}, o, TgaTimeStamp{1, 2, 2026, 3, 4, 5}, bytes),
                      CodecResult::Ok);
            const auto path = folder_ / ("w" + std::to_string(file++) + ".tga");
            WriteAll(path, bytes);
            const auto rgba = folder_ / "w.rgba";
            ASSERT_EQ(RunShell("convert '" + path.string() + "' -auto-orient -depth 8 RGBA:'" + rgba.string() + "'"), 0);
            std::vector<uint8_t> theirs = ReadAll(rgba);
            // ImageMagick takes the stored colours as straight; the premultiplied form stores them
            // premultiplied, so those are compared as they are.
            if (o.savePremultiplied && &image == &images[3]) {
                EXPECT_EQ(LargestDifference(image, theirs, false), 0);
                for (int i = 0; i < image.width * image.height; ++i)
                    EXPECT_EQ(theirs[size_t(i) * 4 + 3],
                              image.bgra[(size_t(image.height - 1 - i / image.width) * image.width + i % image.width) * 4 + 3]);
                continue;
            }
            EXPECT_LE(LargestDifference(image, theirs), 1);
        }
}
