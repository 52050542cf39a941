#include "button_layout.h"

#include "colour_math.h"

namespace quorallion::controls {

CaptionLayout LayoutCaption(int32_t w, int32_t h, IntRect m, int32_t align, int32_t margin, uint32_t previousFlags,
                            bool rightToLeft) {
    const double W = w, H = h, l = m.left, t = m.top, r = m.right, b = m.bottom, mm = margin;
    CaptionLayout out;
    switch (align) {
    case 0:
        out.rect = {NearestEven((W - r - l) / 2 + 4), NearestEven((H - b - t) / 2 + 4), NearestEven((W + r - l) / 2),
                    NearestEven((H + b - t) / 2)};
        out.flags = 21;
        break;
    case 1:
        out.rect = {margin, NearestEven((H - b - t) / 2 + 3), m.right + margin, NearestEven((H + b - t) / 2)};
        out.flags = 20;
        break;
    case 2:
        out.rect = {w - m.right - m.left - margin, NearestEven((H - b - t) / 2 + 3), w - m.left - margin,
                    NearestEven((H + b - t) / 2)};
        out.flags = 22;
        break;
    case 3:
        out.rect = {NearestEven((W - r - l) / 2), NearestEven(mm / 2), NearestEven((W + r - l) / 2),
                    NearestEven(mm / 2 + (b - t))};
        out.flags = 17;
        break;
    case 4:
        out.rect = {NearestEven((W - r - l) / 2), NearestEven(H - (b - t) - mm / 2), NearestEven((W + r - l) / 2),
                    NearestEven(H - mm / 2)};
        out.flags = 25;
        break;
    default:
        out.rect = {4, 4, w - 4, h - 4};
        out.flags = previousFlags;
        break;
    }
    if (rightToLeft) out.flags |= kDtRtlReading;
    return out;
}

int32_t HalfRow(int32_t h, double k) { return NearestEven(h / 2.0 + k); }

}  // namespace quorallion::controls
