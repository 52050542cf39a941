#pragma once
// Colour arithmetic of the skinned controls: 0x00BBGGRR values, red in the low byte. No Windows
// API here, so the rules are tested natively.
#include <cstdint>

namespace quorallion::controls {

using Colour = uint32_t;

// v rounded to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int32_t NearestEven(double v);

constexpr int Red(Colour c) { return static_cast<int>(c & 255); }
constexpr int Green(Colour c) { return static_cast<int>((c >> 8) & 255); }
constexpr int Blue(Colour c) { return static_cast<int>((c >> 16) & 255); }
constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>(r & 255) | (static_cast<Colour>(g & 255) << 8) | (static_cast<Colour>(b & 255) << 16);
}

// A value 0x800000nn names system colour nn.
constexpr bool IsSystemColour(Colour c) { return (c & 0xFF000000u) == 0x80000000u; }
constexpr Colour SystemColour(int index) { return 0x80000000u | static_cast<Colour>(index); }

// Per channel nearest((a + b) / 2).
Colour MixColors(Colour a, Colour b);
// Per channel min(255, ((255 - amount) * c) \ 255 + amount).
Colour LightenColor(Colour c, int amount);
// Per channel c + delta, clamped to 0..255.
Colour ShiftColor(Colour c, int delta);
// The grey of the masked picture painter: nearest(nearest(0.3 r) + 0.59 g + 0.11 b).
int MaskedGrey(Colour c);
// The grey treatment of a bitmap: sixteen greys stay, every other colour becomes
// nearest(0.59 g + 0.33 r + 0.11 b) (the weights sum to 1.03), capped at 255.
Colour GrayscalePixel(Colour c);
// r / 3 + g / 3 + b / 3 as real numbers, to the nearest integer, in all three channels.
Colour GrayOf(Colour c);
// |r - mr| + |g - mg| + |b - mb| of two colours given as channels.
int ColourDistance(int r, int g, int b, Colour mask);
// The mask colour's channels as the masked picture control splits them; a system colour code
// keeps its high byte out of the blue channel only by this split, so it matches no pixel.
struct MaskChannels {
    int red, green, blue;
};
MaskChannels SplitMask(Colour mask);

}  // namespace quorallion::controls
