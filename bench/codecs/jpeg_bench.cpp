// The JPEG writer's speed beside libjpeg-turbo's library with the same settings (our tables, the
// float DCT, 4:4:4, optimised Huffman tables), once with its SIMD code switched off
// (JSIMD_FORCENONE=1, the like-for-like figure) and once with its defaults (the upper bound); then
// file size and PSNR beside cjpeg at qualities 75 and 100, all on a 12 MP photo-like picture.
// Build without the sanitizers: bench/codecs/run_jpeg_bench.sh.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "jpeg_encode.h"

using namespace quorallion::codecs;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kFolder = "/tmp/quorallion_jpeg_bench";
constexpr int kWidth = 4000, kHeight = 3000;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// RGB rows top-down from the PPM ImageMagick made.
std::vector<uint8_t> LoadRgb() {
    const std::vector<uint8_t> ppm = ReadAll(kFolder + "/photo.ppm");
    const size_t pixels = size_t(kWidth) * kHeight * 3;
    if (ppm.size() < pixels) return {};
    return std::vector<uint8_t>(ppm.end() - static_cast<std::ptrdiff_t>(pixels), ppm.end());
}

std::vector<uint8_t> ToBgra(const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> bgra(size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* s = &rgb[(size_t(y) * kWidth + x) * 3];
            uint8_t* d = &bgra[(size_t(kHeight - 1 - y) * kWidth + x) * 4];
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 255;
        }
    return bgra;
}

std::vector<uint8_t> LibjpegEncode(const std::vector<uint8_t>& rgb, uint8_t quality) {
    std::array<jpeg::QuantSlot, 4> slots{};
    jpeg::SetQuality(quality, 8, slots);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = kWidth;
    info.image_height = kHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    for (int t = 0; t < 2; ++t) {
        unsigned int natural[64];
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u) natural[v * 8 + u] = slots[t].values[jpeg::Zigzag()[v][u]];
        jpeg_add_quant_table(&info, t, natural, 100, TRUE);
    }
    for (int c = 0; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    info.dct_method = JDCT_FLOAT;
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(info.next_scanline) * kWidth * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

// Decoded RGB of a JPEG file's bytes.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& jpegBytes) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpegBytes.data(), static_cast<unsigned long>(jpegBytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<uint8_t> rgb(size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &rgb[size_t(info.output_scanline) * info.output_width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return rgb;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    double squares = 0;
    for (size_t i = 0; i < a.size(); ++i) squares += std::pow(double(a[i]) - b[i], 2);
    return 10 * std::log10(255.0 * 255.0 * double(a.size()) / squares);
}

double LibjpegRate(const std::vector<uint8_t>& rgb, int rounds) {
    LibjpegEncode(rgb, 75);
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) LibjpegEncode(rgb, 75);
    return kWidth * double(kHeight) / 1e6 * rounds / Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = 3;
    // The child run with JSIMD_FORCENONE set: prints libjpeg-turbo's scalar rate only.
    if (argc > 1 && std::strcmp(argv[1], "--libjpeg-rate") == 0) {
        std::printf("%.2f\n", LibjpegRate(LoadRgb(), rounds));
        return 0;
    }
    const std::string make = "mkdir -p " + kFolder + " && convert -seed 5 -size 800x600 plasma:fractal -resize " +
                             std::to_string(kWidth) + "x" + std::to_string(kHeight) + "! -depth 8 " + kFolder +
                             "/photo.ppm";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ImageMagick could not make the picture\n");
        return 1;
    }
    const std::vector<uint8_t> rgb = LoadRgb();
    if (rgb.empty()) return 1;
    std::vector<uint8_t> bgra = ToBgra(rgb);
    const quorallion::imaging::PixelView view{bgra.data(), kWidth, kHeight};
    const double megapixels = kWidth * double(kHeight) / 1e6;

    std::vector<uint8_t> ours;
    jpeg::JpegEncoder().Encode(view, 75, 0, ours);
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) jpeg::JpegEncoder().Encode(view, 75, 0, ours);
    const double ourRate = megapixels * rounds / Seconds(start);

    double scalarRate = 0;
    const std::string child = "JSIMD_FORCENONE=1 '" + std::string(argv[0]) + "' --libjpeg-rate > " + kFolder + "/rate.txt";
    if (std::system(child.c_str()) == 0) std::ifstream(kFolder + "/rate.txt") >> scalarRate;
    const double simdRate = LibjpegRate(rgb, rounds);

    std::printf("JPEG encode of %dx%d (%.0f MP), quality 75, float DCT, 4:4:4, optimised tables\n", kWidth, kHeight,
                megapixels);
    std::printf("%-34s %8.2f MP/s\n", "ours", ourRate);
    std::printf("%-34s %8.2f MP/s\n", "libjpeg-turbo, JSIMD_FORCENONE=1", scalarRate);
    std::printf("%-34s %8.2f MP/s\n", "libjpeg-turbo, SIMD (upper bound)", simdRate);

    std::printf("\n%-8s %14s %10s %14s %10s\n", "quality", "ours bytes", "ours dB", "cjpeg bytes", "cjpeg dB");
    for (int quality : {75, 100}) {
        jpeg::JpegEncoder().Encode(view, uint8_t(quality), 0, ours);
        std::array<jpeg::QuantSlot, 4> slots{};
        jpeg::SetQuality(uint8_t(quality), 8, slots);
        {
            std::ofstream tables(kFolder + "/tables.txt");
            for (int t = 0; t < 2; ++t)
                for (int v = 0; v < 8; ++v) {
                    for (int u = 0; u < 8; ++u) tables << slots[t].values[jpeg::Zigzag()[v][u]] << ' ';
                    tables << '\n';
                }
        }
        const std::string cjpeg = "cjpeg -sample 1x1 -dct float -optimize -qtables " + kFolder +
                                  "/tables.txt -quality 50 -outfile " + kFolder + "/cjpeg.jpg " + kFolder + "/photo.ppm";
        if (std::system(cjpeg.c_str()) != 0) return 1;
        const std::vector<uint8_t> theirs = ReadAll(kFolder + "/cjpeg.jpg");
        std::printf("%-8d %14zu %10.2f %14zu %10.2f\n", quality, ours.size(), Psnr(rgb, Decode(ours)), theirs.size(),
                    Psnr(rgb, Decode(theirs)));
    }
    return 0;
}
