// Any bytes through the GIF reader, and what it decodes back through the writer.
#include <cstddef>
#include <cstdint>

#include "gif_decode.h"
#include "gif_encode.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GifImage image;
    if (DecodeGifFirstImage(ByteSpan(data, size), image) != CodecResult::Ok) return 0;
    if (int64_t{image.width} * image.height > (1 << 20)) return 0;
    PixelBuffer pixels;
    GifToPixels(image, pixels);
    GifEncodeOptions options;
    options.reduceColors = (size & 1) != 0;
    std::vector<uint8_t> out;
    EncodeGif(pixels, options, out);
    return 0;
}
