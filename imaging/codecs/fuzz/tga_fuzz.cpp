// Any bytes through the TGA reader; what it decodes goes back through the writer and the reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tga_decode.h"
#include "tga_encode.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PixelBuffer pixels;
    int32_t alphaKind = -1;
    if (DecodeTga(ByteSpan(data, size), pixels, alphaKind) != CodecResult::Ok) return 0;
    if (alphaKind < 0 || alphaKind > 2 || pixels.bgra.size() != size_t(pixels.width) * pixels.height * 4) std::abort();
    if (int64_t{pixels.width} * pixels.height > (1 << 18)) return 0;
    // The decoded pixels are premultiplied: every form writes and reads back at the same size.
    const TgaWriteOptions options{(size & 1) != 0, (size & 2) != 0, (size & 4) != 0};
    std::vector<uint8_t> file;
    if (EncodeTga(quorallion::imaging::PixelView{pixels.bgra.data(), pixels.width, pixels.height}, options, {}, file) !=
        CodecResult::Ok)
        std::abort();
    PixelBuffer back;
    int32_t backKind = -1;
    if (DecodeTga(ByteSpan(file.data(), file.size()), back, backKind) != CodecResult::Ok) std::abort();
    if (back.width != pixels.width || back.height != pixels.height) std::abort();
    if (alphaKind == 0 && back.bgra != pixels.bgra) std::abort();  // opaque pictures come back exactly
    return 0;
}
