// A small image and a filter mode from the input, encoded by the writer: libpng must decode it to
// the source un-premultiplied (c × 255 \ a), and the own reader must read it back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "png_read.h"
#include "png_reference.h"
#include "png_write.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int width = data[0] % 24 + 1, height = data[1] % 24 + 1;
    const int32_t alphaKind = data[2] % 3;
    PngWriteOptions options;
    options.filterMode = static_cast<int8_t>(data[3]) % 9;  // -8 to 8: out-of-range modes count as 0
    PixelBuffer image;
    image.width = width;
    image.height = height;
    image.bgra.resize(size_t(width) * height * 4);
    // Pixels repeat the input so that palettes, greys and keys all come up; colours are kept at
    // or below alpha, as a premultiplied image has them.
    for (size_t i = 0; i < image.bgra.size(); i += 4) {
        const size_t at = 4 + (i / 4 * 2) % (size > 4 ? size - 4 : 1);
        const uint8_t a = alphaKind == 0 ? 255 : alphaKind == 1 ? (data[at % size] & 1 ? 255 : 0) : data[at % size];
        const uint8_t v = data[(at + 1) % size];
        image.bgra[i] = static_cast<uint8_t>(v * a / 255);
        image.bgra[i + 1] = static_cast<uint8_t>((v ^ 0x5A) * a / 255);
        image.bgra[i + 2] = static_cast<uint8_t>((data[at % size] & 0xF0) * a / 255);
        image.bgra[i + 3] = a;
    }
    std::vector<uint8_t> png;
    if (EncodePng(image, alphaKind, options, testing::NativeZlib(), png) != CodecResult::Ok) std::abort();
    const testing::LibpngImage decoded = testing::LibpngDecode(png.data(), png.size());
    if (!decoded.ok || decoded.width != width || decoded.height != height) std::abort();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* s = &image.bgra[(size_t(height - 1 - y) * width + x) * 4];
            const uint8_t* d = &decoded.rgba[(size_t(y) * width + x) * 4];
            const int a = alphaKind == 0 ? 255 : s[3];
            if (d[3] != a) std::abort();
            if (a == 0) continue;
            for (int c = 0; c < 3; ++c)
                if (d[c] != (a == 255 ? s[2 - c] : s[2 - c] * 255 / a)) std::abort();
        }
    PixelBuffer back;
    int32_t kind = -1;
    if (DecodePng(ByteSpan(png.data(), png.size()), testing::NativeZlib(), back, kind) != CodecResult::Ok) std::abort();
    return 0;
}
