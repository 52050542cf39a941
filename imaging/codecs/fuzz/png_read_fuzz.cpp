// Any bytes through the PNG reader, with zlib and with the own inflate (zlib present but refusing,
// so that chunk CRCs are tested on both roads); a decoded image must have the size its header gave
// and agree between the two. A third run without any zlib, and the chunk count that decides
// whether GDI+ is tried, must simply not fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "png_read.h"
#include "png_reference.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PixelBuffer withZlib, own;
    int32_t kindZlib = -1, kindOwn = -1;
    const CodecResult a = DecodePng(ByteSpan(data, size), testing::NativeZlib(), withZlib, kindZlib);
    ZlibFunctions refusing;
    refusing.uncompress = [](uint8_t*, uint32_t&, const uint8_t*, uint32_t) { return -3; };
    const CodecResult b = DecodePng(ByteSpan(data, size), refusing, own, kindOwn);
    PixelBuffer noZlib;
    int32_t kindNoZlib = -1;
    DecodePng(ByteSpan(data, size), ZlibFunctions{}, noZlib, kindNoZlib);
    PngMemorySource source(ByteSpan(data, size));
    HasFarMoreChunksThanRealFiles(source);
    if (a == CodecResult::Ok) {
        if (withZlib.bgra.size() != size_t(withZlib.width) * withZlib.height * 4) std::abort();
        // The own inflate decodes every stream zlib decodes, to the same pixels.
        if (b != CodecResult::Ok || own.bgra != withZlib.bgra || kindOwn != kindZlib) std::abort();
    }
    return 0;
}
