#pragma once
// An image object's pixels against ImageMagick's decoding of the same picture.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "c32bppDIB.h"
#include "support/imagemagick.h"

namespace quorallion::testing {

// The largest difference of a channel between the image (premultiplied) and ImageMagick's straight
// pixels once premultiplied the same way; -1 when the sizes differ.
inline int LargestDifference(const c32bppDIB& image, const RgbaImage& reference) {
    if (image.Width() != reference.width || image.Height() != reference.height) return -1;
    int largest = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint8_t* ours = image.BitsPointer() + size_t(image.Height() - 1 - y) * image.scanWidth() + x * 4;
            const uint8_t* theirs = &reference.rgba[(size_t(y) * reference.width + x) * 4];
            const int alpha = theirs[3];
            largest = std::max(largest, std::abs(ours[3] - alpha));
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(ours[2 - c] - theirs[c] * alpha / 255));
        }
    return largest;
}

// Peak signal-to-noise ratio of the colour channels of an opaque image against the reference.
inline double Psnr(const c32bppDIB& image, const RgbaImage& reference) {
    double squares = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const uint8_t* ours = image.BitsPointer() + size_t(image.Height() - 1 - y) * image.scanWidth() + x * 4;
            const uint8_t* theirs = &reference.rgba[(size_t(y) * reference.width + x) * 4];
            for (int c = 0; c < 3; ++c) squares += std::pow(double(ours[2 - c]) - theirs[c], 2);
        }
    const double mse = squares / (double(image.Width()) * image.Height() * 3);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace quorallion::testing
