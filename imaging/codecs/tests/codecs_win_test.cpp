// The readers fill a c32bppDIB from files ImageMagick made; ImageMagick's own decoding of each
// file is the reference. Writer output is read back by our readers and by ImageMagick.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "c32bppDIB.h"
#include "cBMPparser.h"
#include "cGIFparser.h"
#include "cICOparser.h"

using namespace quorallion;

namespace {

std::string SampleFolder() {
    const char* folder = std::getenv("QUORALLION_CODEC_SAMPLES");
    return folder ? std::string("Z:") + folder + "/" : std::string();
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Compares the image (bottom-up premultiplied BGRA) with ImageMagick's top-down straight RGBA;
// transparent pixels only by their alpha. Answers the number of differing pixels.
int CountDifferences(const c32bppDIB& image, const std::vector<uint8_t>& rgba, int tolerance = 0) {
    if (rgba.size() != size_t(image.Width()) * image.Height() * 4) return -1;
    int differences = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint8_t* ours = image.BitsPointer() + size_t(image.Height() - 1 - y) * image.scanWidth() + x * 4;
            const uint8_t* theirs = &rgba[(size_t(y) * image.Width() + x) * 4];
            const int alpha = theirs[3];
            bool same = std::abs(ours[3] - alpha) <= tolerance;
            if (same && alpha != 0)
                for (int c = 0; c < 3; ++c)
                    same = same && std::abs(ours[2 - c] - theirs[c] * alpha / 255) <= tolerance + 1;
            if (!same) ++differences;
        }
    return differences;
}

// Pixels of two straight RGBA decodings that differ; transparent pixels only by their alpha.
int CountRgbaDifferences(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& theirs, int tolerance = 0) {
    if (ours.size() != theirs.size() || ours.empty()) return -1;
    int differences = 0;
    for (size_t i = 0; i < ours.size(); i += 4) {
        bool same = std::abs(ours[i + 3] - theirs[i + 3]) <= tolerance;
        for (int c = 0; c < 3 && same && theirs[i + 3] != 0; ++c) same = std::abs(ours[i + c] - theirs[i + c]) <= tolerance;
        if (!same) ++differences;
    }
    return differences;
}

// ImageMagick's decoding of a file in the sample folder, run as a Linux program through Wine's
// spawn; empty where that is not available (Windows) or the decoding failed.
std::vector<uint8_t> DecodeByReference(const std::string& name) {
    using Spawn = LONG(__cdecl*)(char* const*, int);
    const auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    const char* folder = std::getenv("QUORALLION_CODEC_SAMPLES");
    if (!spawn || !folder) return {};
    const std::string input = std::string(folder) + "/" + name + "[0]";
    const std::string output = "RGBA:" + std::string(folder) + "/" + name + ".back.rgba";
    std::remove((SampleFolder() + name + ".back.rgba").c_str());
    const char* argv[] = {"convert", input.c_str(), "-depth", "8", output.c_str(), nullptr};
    if (spawn(const_cast<char* const*>(argv), 1) != 0) return {};
    return ReadAll(SampleFolder() + name + ".back.rgba");
}

// Straight RGBA of the image composed over an opaque colour (0x00BBGGRR), as a reader of a
// flattened file would see it.
std::vector<uint8_t> ComposedOver(const std::vector<uint8_t>& rgba, uint32_t background) {
    std::vector<uint8_t> out(rgba.size());
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const int alpha = rgba[i + 3];
        for (int c = 0; c < 3; ++c) {
            const int under = (background >> (8 * c)) & 0xFF;
            out[i + c] = uint8_t((rgba[i + c] * alpha + under * (255 - alpha)) / 255);
        }
        out[i + 3] = 255;
    }
    return out;
}

class CodecSamples : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = SampleFolder();
        if (folder_.empty() || ReadAll(folder_ + "bmp24.bmp").empty()) GTEST_SKIP() << "no samples made by ImageMagick";
    }
    std::vector<uint8_t> Sample(const std::string& name) { return ReadAll(folder_ + name); }
    std::string folder_;
};

}  // namespace

TEST_F(CodecSamples, BmpDepthsMatchTheReference) {
    struct Case { const char* file; int imageType; };
    for (Case c : {Case{"bmp1.bmp", 1}, Case{"bmp4.bmp", 1}, Case{"bmp8.bmp", 1}, Case{"bmp16.bmp", 1},
                   Case{"bmp24.bmp", 1}, Case{"bmp8rle.bmp", 1}}) {
        std::vector<uint8_t> bytes = Sample(c.file);
        c32bppDIB image;
        ASSERT_TRUE(cBMPparser().LoadStream(bytes, image, 0, int64_t(bytes.size()))) << c.file;
        EXPECT_EQ(image.ImageType(), c.imageType) << c.file;
        EXPECT_EQ(CountDifferences(image, Sample(std::string(c.file) + ".rgba")), 0) << c.file;
    }
}

TEST_F(CodecSamples, GifFirstFrameTransparencyAndInterlacingMatchTheReference) {
    struct Case { const char* file; int alpha; };
    for (Case c : {Case{"gif_transparent.gif", 1}, Case{"gif_interlaced.gif", 0}, Case{"gif_frames.gif", 0}}) {
        std::vector<uint8_t> bytes = Sample(c.file);
        c32bppDIB image;
        ASSERT_TRUE(cGIFparser().LoadStream(bytes, image, 0, int64_t(bytes.size()))) << c.file;
        EXPECT_EQ(image.ImageType(), 9) << c.file;
        EXPECT_EQ(image.Alpha(), c.alpha) << c.file;
        EXPECT_EQ(CountDifferences(image, Sample(std::string(c.file) + ".rgba")), 0) << c.file;
    }
}

TEST_F(CodecSamples, IconEntriesAreChosenBySizeAndMatchTheReference) {
    std::vector<uint8_t> bytes = Sample("ico_multi.ico");
    struct Case { int wanted; const char* reference; };
    for (Case c : {Case{32, "ico_multi_32.rgba"}, Case{48, "ico_multi_48.rgba"}}) {
        c32bppDIB image;
        int64_t offset = 0, length = 0;
        int32_t depth = 32;
        ASSERT_TRUE(cICOparser().LoadStream(bytes, c.wanted, c.wanted, &image, offset, length, depth));
        ASSERT_EQ(image.Width(), c.wanted);
        EXPECT_EQ(image.ImageType(), 3);
        EXPECT_EQ(CountDifferences(image, Sample(c.reference), 1), 0) << c.reference;
    }
    std::vector<uint8_t> cursor = Sample("cur_one.cur");
    // ImageMagick writes its .cur files with the icon type in the header: make it a cursor.
    ASSERT_GE(cursor.size(), 6u);
    cursor[2] = 2;
    c32bppDIB image;
    int64_t offset = 0, length = 0;
    int32_t depth = 0;
    ASSERT_TRUE(cICOparser().LoadStream(cursor, 0, 0, &image, offset, length, depth));
    EXPECT_EQ(image.ImageType(), 5);
    EXPECT_EQ(CountDifferences(image, Sample("cur_one.cur.rgba")), 0);
}

TEST_F(CodecSamples, WrittenFilesReadBackThroughTheReference) {
    std::vector<uint8_t> bytes = Sample("gif_transparent.gif");
    c32bppDIB image;
    ASSERT_TRUE(cGIFparser().LoadStream(bytes, image, 0, int64_t(bytes.size())));
    const std::string gifPath = folder_ + "written.gif";
    const std::string bmpPath = folder_ + "written.bmp";
    std::vector<uint8_t> unused;
    bool reduce = true;
    uint8_t threshold = 128;
    ASSERT_TRUE(cGIFparser().SaveAsGIF(image, std::wstring(gifPath.begin(), gifPath.end()), unused, reduce, threshold));
    EXPECT_FALSE(reduce);
    ASSERT_TRUE(cBMPparser().SaveAsBMP(image, std::wstring(bmpPath.begin(), bmpPath.end()), unused, true, 0xFFFFFF));
    // Our own readers and ImageMagick must both see the same pixels in what we wrote.
    std::vector<uint8_t> gif = ReadAll(gifPath), bmp = ReadAll(bmpPath);
    c32bppDIB gifBack, bmpBack;
    ASSERT_TRUE(cGIFparser().LoadStream(gif, gifBack, 0, int64_t(gif.size())));
    ASSERT_TRUE(cBMPparser().LoadStream(bmp, bmpBack, 0, int64_t(bmp.size())));
    EXPECT_EQ(bmpBack.ImageType(), 7);
    const std::vector<uint8_t> reference = Sample("gif_transparent.gif.rgba");
    EXPECT_EQ(CountDifferences(gifBack, reference), 0);
    EXPECT_EQ(CountDifferences(bmpBack, reference), 0);

    // The independent reader on the same files: the GIF as it was, the 24-bit BMP composed over
    // its fill colour.
    const std::string flatPath = folder_ + "written24.bmp";
    ASSERT_TRUE(cBMPparser().SaveAsBMP(image, std::wstring(flatPath.begin(), flatPath.end()), unused, false, 0x00FF8040));
    const std::vector<uint8_t> gifByReference = DecodeByReference("written.gif");
    if (gifByReference.empty()) GTEST_SKIP() << "ImageMagick cannot be run from here";
    EXPECT_EQ(CountRgbaDifferences(gifByReference, reference), 0);
    EXPECT_EQ(CountRgbaDifferences(DecodeByReference("written24.bmp"), ComposedOver(reference, 0x00FF8040), 1), 0);
}

TEST_F(CodecSamples, WrittenPartialAlphaBmpReadsBackThroughTheReference) {
    // A 32-bit file carries premultiplied colours; the reference sees them flattened when saved at 24 bits.
    std::vector<uint8_t> bytes = Sample("ico_multi.ico");
    c32bppDIB image;
    int64_t offset = 0, length = 0;
    int32_t depth = 32;
    ASSERT_TRUE(cICOparser().LoadStream(bytes, 48, 48, &image, offset, length, depth));
    ASSERT_EQ(image.Alpha(), 2);
    const std::string path = folder_ + "written_partial24.bmp";
    std::vector<uint8_t> unused;
    ASSERT_TRUE(cBMPparser().SaveAsBMP(image, std::wstring(path.begin(), path.end()), unused, false, 0x00FFFFFF));
    const std::vector<uint8_t> byReference = DecodeByReference("written_partial24.bmp");
    if (byReference.empty()) GTEST_SKIP() << "ImageMagick cannot be run from here";
    EXPECT_EQ(CountRgbaDifferences(byReference, ComposedOver(Sample("ico_multi_48.rgba"), 0x00FFFFFF), 2), 0);
}
