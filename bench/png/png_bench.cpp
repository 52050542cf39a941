// Prints, per image: decode megapixels per second through zlib and through the own inflate beside
// libpng (with zlib); inflate megabytes per second beside zlib; encode megapixels per second and
// size beside libpng at level 9 (its default filters) and zlib level 9 of the unfiltered rows.
// Images: a 12 MP plasma made by ImageMagick, a screenshot-like picture drawn here, and the PNG
// icons of the Adwaita theme (summed). Usage: png_bench [icon folder]
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png_inflate.h"
#include "png_read.h"
#include "png_reference.h"
#include "png_write.h"

using namespace quorallion::codecs;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> JoinedIdat(const std::vector<uint8_t>& png) {
    std::vector<uint8_t> joined;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t length = (uint32_t(png[at]) << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT")
            joined.insert(joined.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += size_t(length) + 12;
    }
    return joined;
}

// libpng writing straight RGBA rows at level 9 with its default filter choice.
std::vector<uint8_t> LibpngEncode(const testing::LibpngImage& image) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, [](png_structp p, png_bytep data, png_size_t n) {
        auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
    }, nullptr);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) png_write_row(png, image.rgba.data() + size_t(y) * image.width * 4);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct Totals {
    double pixels = 0, inflated = 0;
    double tZlib = 0, tOwn = 0, tLibpng = 0, tInflateOwn = 0, tInflateZlib = 0, tEncode = 0, tLibpngEncode = 0;
    double sizeOurs = 0, sizeLibpng = 0, sizeZlibRaw = 0;
};

void Measure(const std::vector<uint8_t>& file, int rounds, Totals& t) {
    const ZlibFunctions zlib = testing::NativeZlib();
    PixelBuffer pixels;
    int32_t alphaKind = 0;
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) DecodePng(ByteSpan(file.data(), file.size()), zlib, pixels, alphaKind);
    t.tZlib += Seconds(start) / rounds;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) DecodePng(ByteSpan(file.data(), file.size()), ZlibFunctions{}, pixels, alphaKind);
    t.tOwn += Seconds(start) / rounds;
    testing::LibpngImage reference;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) reference = testing::LibpngDecode(file.data(), file.size());
    t.tLibpng += Seconds(start) / rounds;
    t.pixels += double(pixels.width) * pixels.height;

    const std::vector<uint8_t> idat = JoinedIdat(file);
    std::vector<uint8_t> out(size_t(pixels.width) * pixels.height * 8 + pixels.height + 1024);
    size_t produced = 0;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) Inflate(ByteSpan(idat.data(), idat.size()), out.data(), out.size(), produced);
    t.tInflateOwn += Seconds(start) / rounds;
    start = Clock::now();
    uLongf length = 0;
    for (int i = 0; i < rounds; ++i) {
        length = out.size();
        uncompress(out.data(), &length, idat.data(), idat.size());
    }
    t.tInflateZlib += Seconds(start) / rounds;
    t.inflated += double(length);

    std::vector<uint8_t> ours;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) EncodePng(pixels, alphaKind, {}, zlib, ours);
    t.tEncode += Seconds(start) / rounds;
    t.sizeOurs += double(ours.size());
    std::vector<uint8_t> theirs;
    start = Clock::now();
    for (int i = 0; i < rounds; ++i) theirs = LibpngEncode(reference);
    t.tLibpngEncode += Seconds(start) / rounds;
    t.sizeLibpng += double(theirs.size());
    // zlib level 9 over the RGBA rows with filter type 0.
    std::vector<uint8_t> raw;
    for (int y = 0; y < reference.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), reference.rgba.begin() + size_t(y) * reference.width * 4,
                   reference.rgba.begin() + size_t(y + 1) * reference.width * 4);
    }
    std::vector<uint8_t> z(compressBound(raw.size()));
    uLongf zSize = z.size();
    compress2(z.data(), &zSize, raw.data(), raw.size(), 9);
    t.sizeZlibRaw += double(zSize);
}

void Print(const char* name, const Totals& t) {
    const double mp = t.pixels / 1e6, mb = t.inflated / 1e6;
    std::printf("%-12s decode MP/s: zlib %7.1f  own inflate %7.1f  libpng %7.1f | inflate MB/s: own %7.1f  zlib %7.1f\n",
                name, mp / t.tZlib, mp / t.tOwn, mp / t.tLibpng, mb / t.tInflateOwn, mb / t.tInflateZlib);
    std::printf("%-12s encode MP/s: ours %7.1f  libpng-9 %7.1f | size KB: ours %9.1f  libpng-9 %9.1f  zlib-9 unfiltered %9.1f\n",
                name, mp / t.tEncode, mp / t.tLibpngEncode, t.sizeOurs / 1024, t.sizeLibpng / 1024, t.sizeZlibRaw / 1024);
}

// A desktop-like picture: flat panels, a title-bar gradient and rows of small dark glyphs.
std::vector<uint8_t> Screenshot() {
    testing::LibpngImage image;
    image.width = 1920;
    image.height = 1080;
    image.rgba.resize(size_t(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = &image.rgba[(size_t(y) * image.width + x) * 4];
            uint8_t r = 240, g = 240, b = 240;
            if (y < 32) r = g = static_cast<uint8_t>(60 + x / 16), b = 200;
            else if (x < 260) r = 45, g = 50, b = 60;
            else if (y % 18 < 12 && x % 9 < 6 && ((x * 7 + y * 3) / 9) % 5) r = g = b = static_cast<uint8_t>(30 + (x * y) % 40);
            p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
        }
    return LibpngEncode(image);
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__SANITIZE_ADDRESS__) || defined(__has_feature)
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
    std::printf("note: built with AddressSanitizer; configure with -DQUORALLION_SANITIZE=OFF for real figures\n");
#endif
#endif
#endif
    const fs::path work = fs::temp_directory_path() / "quorallion_png_bench";
    fs::create_directories(work);
    const fs::path plasma = work / "plasma.png";
    if (!fs::exists(plasma)) {
        const std::string command = "convert -seed 7 -size 4000x3000 plasma:fractal '" + plasma.string() + "'";
        if (std::system(command.c_str()) != 0) std::printf("ImageMagick could not make the plasma image\n");
    }
    if (fs::exists(plasma)) {
        Totals t;
        Measure(ReadAll(plasma), 2, t);
        Print("plasma 12MP", t);
    }
    {
        Totals t;
        Measure(Screenshot(), 5, t);
        Print("screenshot", t);
    }
    const fs::path icons = argc > 1 ? fs::path(argv[1]) : fs::path(QUORALLION_ICON_THEME);
    if (fs::exists(icons)) {
        Totals t;
        int count = 0;
        for (const auto& entry : fs::recursive_directory_iterator(icons)) {
            if (entry.path().extension() != ".png" || entry.is_symlink()) continue;
            Measure(ReadAll(entry.path()), 3, t);
            ++count;
        }
        char name[32];
        std::snprintf(name, sizeof name, "%d icons", count);
        Print(name, t);
    }
    fs::remove_all(work);
    return 0;
}
