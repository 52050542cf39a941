#pragma once
#include <algorithm>
#include <cstdint>
#include <span>

namespace quorallion::codecs {

// The suite's alpha scan over BGRA pixels: kind 0 none (all 0 or all 255), 1 only 0 and 255,
// 2 partial; code 1 no alpha, 6 straight colours, 7 premultiplied. With `modify`: kind 0 makes
// every pixel opaque, straight colours are premultiplied (truncating) and alpha-0 pixels cleared.
struct AlphaScan {
    int kind = 0;
    int code = 1;
};
AlphaScan ScanAlpha(std::span<uint8_t> bgra, bool modify);

}  // namespace quorallion::codecs
