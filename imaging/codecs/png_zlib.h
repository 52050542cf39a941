#pragma once
// The outside zlib library as the PNG codecs see it: plain functions with 32-bit lengths, each
// empty when the library (or that export) is missing. Natively they are zlib itself; on Windows
// they call zlib1.dll or zlib.dll found at run time.
#include <cstdint>
#include <functional>

namespace quorallion::codecs {

struct ZlibFunctions {
    // uncompress(dest, destLen, source, sourceLen) and compress(...): zlib's result code, 0 = Z_OK.
    std::function<int(uint8_t*, uint32_t&, const uint8_t*, uint32_t)> uncompress;
    std::function<int(uint8_t*, uint32_t&, const uint8_t*, uint32_t, int)> compress2;
    std::function<int(uint8_t*, uint32_t&, const uint8_t*, uint32_t)> compress;
};

// zlib's compressBound: the most a deflate of `sourceLength` bytes can take (zlib 1.2.x formula).
inline uint64_t ZlibCompressBound(uint64_t sourceLength) {
    return sourceLength + (sourceLength >> 12) + (sourceLength >> 14) + (sourceLength >> 25) + 13;
}

}  // namespace quorallion::codecs
