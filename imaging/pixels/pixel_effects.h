#pragma once
// Colour effects worked in place on premultiplied pixels. Pixels with alpha 0 are left as they are
// unless an effect says otherwise.
#include <cstdint>

#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

// Grey = blue x wBlue + green x wGreen + red x wRed on the stored bytes, rounded halves to even,
// written to all three channels. A grey above 255 (colours above their alpha) leaves blue and gives
// green and red blue's value.
void MakeGrey(PixelView pixels, float wRed, float wGreen, float wBlue);

// Each channel becomes alpha - channel; a channel above its alpha is left as it is.
void InvertColours(PixelView pixels);

// Every opaque pixel of exactly `color` (0x00BBGGRR) becomes 0, 0, 0, 0. Answers how many changed.
int64_t ClearColour(PixelView pixels, uint32_t color);
// Every pixel that is 0, 0, 0, 0 becomes the opaque `color`.
void RestoreClearedColour(PixelView pixels, uint32_t color);

// Each channel c of a visible pixel with alpha a, toward the colour's channel C by opacity o
// percent (1..100, k = 100 - o): (c x k x 255 + C x o x a) div 25500. The pixel stays premultiplied.
void BlendTowardColour(PixelView pixels, uint32_t color, int32_t opacity);

// Text drawn white on black, its coverage in the blue byte, rebuilt as `color` (0x00BBGGRR)
// premultiplied by that coverage: channel x coverage div 255, alpha the coverage.
void CoverageToColour(PixelView pixels, uint32_t color);

}  // namespace quorallion::imaging
