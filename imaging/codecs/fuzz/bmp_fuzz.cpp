// Any bytes through the BMP reader.
#include <cstddef>
#include <cstdint>

#include "bmp_format.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BmpImage image;
    DecodeBmp(ByteSpan(data, size), image);
    return 0;
}
