#include "alpha_scan.h"

namespace quorallion::codecs {

AlphaScan ScanAlpha(std::span<uint8_t> bgra, bool modify) {
    bool seenZero = false, seenOpaque = false, seenPartial = false, straight = false;
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        const uint8_t alpha = bgra[i + 3];
        const uint8_t top = std::max({bgra[i], bgra[i + 1], bgra[i + 2]});
        if (alpha == 0) {
            seenZero = true;
            if (top != 0) straight = true;
        } else if (alpha == 255) {
            seenOpaque = true;
        } else {
            seenPartial = true;
            if (top > alpha) straight = true;
        }
    }
    AlphaScan result;
    if (!seenPartial && !(seenZero && seenOpaque)) {
        result.kind = 0;
        result.code = 1;
        if (modify)
            for (size_t i = 3; i < bgra.size(); i += 4) bgra[i] = 255;
        return result;
    }
    result.kind = seenPartial ? 2 : 1;
    result.code = straight ? 6 : 7;
    if (modify && straight) {
        for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
            const uint8_t alpha = bgra[i + 3];
            if (alpha == 0) {
                bgra[i] = bgra[i + 1] = bgra[i + 2] = 0;
            } else if (alpha != 255) {
                for (int c = 0; c < 3; ++c) bgra[i + c] = static_cast<uint8_t>(bgra[i + c] * alpha / 255);
            }
        }
    }
    return result;
}

}  // namespace quorallion::codecs
