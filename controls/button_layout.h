#pragma once
// Caption placement of the owner-drawn button and the rounding of its style-9 rows: pure
// arithmetic over the measured text, so it is tested natively.
#include <cstdint>

namespace quorallion::controls {

struct IntRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const IntRect&) const = default;
};

// DrawText flags the layout uses.
constexpr uint32_t kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtBottom = 0x8, kDtWordBreak = 0x10,
                   kDtCalcRect = 0x400, kDtRtlReading = 0x20000;

struct CaptionLayout {
    IntRect rect;
    uint32_t flags = 0;
};

// W, H: the inner size in pixels; measured: the caption measured in (4, 4, W - 4, H - 4) (left and
// top stay 4); align: CaptionAlign 0..4; margin: the face margin; previousFlags: the flags kept
// by an unknown alignment.
CaptionLayout LayoutCaption(int32_t w, int32_t h, IntRect measured, int32_t align, int32_t margin,
                            uint32_t previousFlags, bool rightToLeft);

// Row nearest(H / 2 + k) of the style-9 face (halves to even: H 23, k -7 gives 4).
int32_t HalfRow(int32_t h, double k);

}  // namespace quorallion::controls
