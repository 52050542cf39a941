// Random small premultiplied pictures through the TGA writer with random options, read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tga_decode.h"
#include "tga_encode.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int width = data[0] % 40 + 1, height = data[1] % 40 + 1;
    const uint8_t flags = data[2];
    data += 3;
    size -= 3;
    // Pixels from the input (repeated when short), few distinct values so palettes and runs occur.
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    for (size_t i = 0; i < bgra.size(); i += 4) {
        const uint8_t seed = size ? data[(i / 4) % size] : 0;
        uint8_t alpha = (flags & 8) ? 255 : (flags & 16) ? uint8_t(seed & 1 ? 255 : 0) : uint8_t(seed * 37);
        for (int c = 0; c < 3; ++c) bgra[i + c] = uint8_t((seed * (c + 3)) % (alpha + 1));
        bgra[i + 3] = alpha;
    }
    const TgaWriteOptions options{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0};
    std::vector<uint8_t> file;
    if (EncodeTga(quorallion::imaging::PixelView{bgra.data(), width, height}, options, {}, file) != CodecResult::Ok)
        std::abort();
    PixelBuffer back;
    int32_t kind = -1;
    if (DecodeTga(ByteSpan(file.data(), file.size()), back, kind) != CodecResult::Ok) std::abort();
    if (back.width != width || back.height != height) std::abort();
    bool opaque = true;
    for (size_t i = 3; i < bgra.size(); i += 4) opaque = opaque && bgra[i] == 255;
    // Opaque pictures and the premultiplied form come back byte for byte.
    if ((opaque || (options.savePremultiplied && kind > 0)) && back.bgra != bgra) std::abort();
    return 0;
}
