#include "colour_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quorallion::controls {

int32_t NearestEven(double v) {
    if (!(v > -2147483648.0 && v < 2147483647.0)) return v > 0 ? INT32_MAX : INT32_MIN;
    double whole = std::floor(v);
    double fraction = v - whole;
    if (fraction > 0.5) whole += 1;
    else if (fraction == 0.5 && std::fmod(whole, 2.0) != 0) whole += 1;
    return static_cast<int32_t>(whole);
}

Colour MixColors(Colour a, Colour b) {
    return Rgb(NearestEven((Red(a) + Red(b)) / 2.0), NearestEven((Green(a) + Green(b)) / 2.0),
               NearestEven((Blue(a) + Blue(b)) / 2.0));
}

Colour LightenColor(Colour c, int amount) {
    auto channel = [amount](int v) { return std::min(255, ((255 - amount) * v) / 255 + amount); };
    return Rgb(channel(Red(c)), channel(Green(c)), channel(Blue(c)));
}

Colour ShiftColor(Colour c, int delta) {
    auto channel = [delta](int v) { return std::clamp(v + delta, 0, 255); };
    return Rgb(channel(Red(c)), channel(Green(c)), channel(Blue(c)));
}

int MaskedGrey(Colour c) {
    return NearestEven(NearestEven(0.3 * Red(c)) + 0.59 * Green(c) + 0.11 * Blue(c));
}

Colour GrayscalePixel(Colour c) {
    static constexpr Colour kKept[] = {0x000000, 0x101010, 0x202020, 0x303030, 0x404040, 0x505050,
                                       0x606060, 0x707070, 0x808080, 0xA0A0A0, 0xB0B0B0, 0xC0C0C0,
                                       0xD0D0D0, 0xE0E0E0, 0xF0F0F0, 0xFFFFFF};
    c &= 0xFFFFFF;
    for (Colour kept : kKept)
        if (c == kept) return c;
    int g = std::min(255, NearestEven(0.59 * Green(c) + 0.33 * Red(c) + 0.11 * Blue(c)));
    return Rgb(g, g, g);
}

Colour GrayOf(Colour c) {
    int g = NearestEven(Red(c) / 3.0 + Green(c) / 3.0 + Blue(c) / 3.0);
    return Rgb(g, g, g);
}

MaskChannels SplitMask(Colour mask) {
    const int64_t m = static_cast<int32_t>(mask);  // the stored value is a signed 32-bit number
    MaskChannels out{};
    out.red = static_cast<int>(m % 256);  // negative for a system colour code
    out.green = static_cast<int>((((m & ~int64_t{255}) / 256) % 256));
    out.blue = static_cast<int>((m & 0xFF0000) / 65536);
    return out;
}

int ColourDistance(int r, int g, int b, Colour mask) {
    MaskChannels m = SplitMask(mask);
    return std::abs(r - m.red) + std::abs(g - m.green) + std::abs(b - m.blue);
}

}  // namespace quorallion::controls
