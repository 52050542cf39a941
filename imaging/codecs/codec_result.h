#pragma once
#include <cstdint>
#include <vector>

namespace quorallion::codecs {

// What a pure codec step answers. NotThisFormat lets the load chain try the next reader.
enum class CodecResult { Ok, NotThisFormat, Corrupt, TooLarge, Internal };

// Decoded pixels: premultiplied blue, green, red, alpha, rows bottom-up, stride width * 4.
struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;
};

// Largest image any reader will allocate for: keeps a forged header from asking for gigabytes.
constexpr int64_t kMaxPixels = int64_t{1} << 26;

// Bytes of one row at `bits` per pixel padded to 4 bytes; -1 when it does not fit in 32 bits.
inline int64_t ScanLineBytes(int64_t bits, int64_t width) {
    if (bits < 0 || width < 0 || width > (int64_t{1} << 31) || bits > 64) return -1;
    int64_t bytes = ((bits * width + 31) & ~int64_t{31}) / 8;
    return bytes > INT32_MAX ? -1 : bytes;
}

}  // namespace quorallion::codecs
