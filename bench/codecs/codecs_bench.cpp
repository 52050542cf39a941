// Prints megapixels per second for our GIF and BMP decoders and for ImageMagick's `convert`
// decoding the same files (its process start-up included, so it is measured over one large file).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bmp_format.h"
#include "gif_decode.h"

using namespace quorallion::codecs;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

template <typename Decode>
double OurRate(const std::vector<uint8_t>& bytes, double megapixels, Decode decode) {
    const int rounds = 10;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) decode(ByteSpan(bytes.data(), bytes.size()));
    return megapixels * rounds / Seconds(start);
}

double MagickRate(const std::string& file, double megapixels) {
    const std::string command = "convert " + file + " RGBA:/dev/null";
    auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    return megapixels / Seconds(start);
}

}  // namespace

int main() {
    const std::string folder = "/tmp/quorallion_codecs_bench";
    const std::string make = "mkdir -p " + folder + " && cd " + folder +
                             " && convert -size 1920x1080 plasma:fractal -seed 1 -colors 256 photo.gif"
                             " && convert -size 1920x1080 plasma:fractal bmp3:photo24.bmp"
                             " && convert -size 1920x1080 plasma:fractal -alpha set photo32.bmp";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ImageMagick could not make the sample files\n");
        return 1;
    }
    const double megapixels = 1920.0 * 1080.0 / 1e6;
    std::printf("%-14s %12s %16s\n", "file", "ours MP/s", "ImageMagick MP/s");
    for (const char* name : {"photo.gif", "photo24.bmp", "photo32.bmp"}) {
        const std::string path = folder + "/" + name;
        const std::vector<uint8_t> bytes = ReadAll(path);
        const bool isGif = std::string(name).ends_with(".gif");
        const double ours = OurRate(bytes, megapixels, [&](ByteSpan span) {
            if (isGif) {
                GifImage image;
                DecodeGifFirstImage(span, image);
                PixelBuffer pixels;
                GifToPixels(image, pixels);
            } else {
                BmpImage image;
                DecodeBmp(span, image);
            }
        });
        std::printf("%-14s %12.1f %16.1f\n", name, ours, MagickRate(path, megapixels));
    }
    return 0;
}
