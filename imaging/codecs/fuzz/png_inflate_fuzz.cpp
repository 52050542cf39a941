// Any bytes through the own inflate; where zlib accepts them, the output must be identical.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "png_inflate.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kLimit = 1 << 16;
    static std::vector<uint8_t> own(kLimit), reference(kLimit);
    size_t produced = 0;
    const bool ownOk = Inflate(ByteSpan(data, size), own.data(), kLimit, produced);
    uLongf length = kLimit;
    if (::uncompress(reference.data(), &length, data, size) == Z_OK) {
        if (!ownOk || produced != length || std::memcmp(own.data(), reference.data(), length) != 0) std::abort();
    }
    return 0;
}
