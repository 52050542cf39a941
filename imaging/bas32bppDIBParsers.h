#pragma once
// Free helpers shared by the image classes: row sizes, byte order, alpha classification and
// premultiplying, grey weights, flattening onto a colour, sorted-table search. The Windows-only
// helpers (pictures, files, DLL exports, shaped regions) are in bas32bppDIBParsers_win.h.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "pixels/pixel_copy.h"

namespace quorallion::bas32bppDIBParsers {

// Bytes of one bitmap row padded to 4 bytes. Throws std::overflow_error when the row does not fit
// 32 bits (bits per pixel and width come from untrusted headers).
int32_t ScanLineBytes(int32_t bitsPerPixel, int32_t width);

int32_t ReverseLong(int32_t value);

// Alpha kinds of ValidateAlphaChannel.
enum AlphaUse : int32_t { kAlphaNone = 0, kAlphaSimple = 1, kAlphaPartial = 2 };
// Alpha forms: -1 in skips the scan; out 1 no alpha, 6 straight, 7 premultiplied.
enum AlphaForm : int32_t { kFormSkipScan = -1, kFormNoAlpha = 1, kFormStraight = 6, kFormPremultiplied = 7 };

// Classifies the alpha channel of 32-bit BGRA pixels (width x height, stride width x 4) and, when
// premultiply is set, makes them premultiplied (or opaque, when they carry no alpha).
// alphaUse gets the kind; alphaForm goes in (-1 skips the scan) and comes out 1, 6 or 7.
void ValidateAlphaChannel(imaging::PixelView pixels, bool premultiply, int32_t& alphaUse,
                          int32_t& alphaForm);

struct GreyWeights {
    float red;
    float green;
    float blue;
};
GreyWeights GetGrayScaleWeights(int32_t formula);

// Every pixel made opaque over the background (0x00BBGGRR). bmpLayout: rows of 3-byte pixels
// padded to 4 bytes, bottom row first; else 4-byte pixels with alpha 255, in storage order.
// out is resized to fit.
void FlattenToColor(imaging::PixelView pixels, uint32_t backgroundColor, std::vector<uint8_t>& out,
                    bool bmpLayout);

// values[1..count] sorted ascending (values[0] unused). Returns the 1-based position of value with
// notFound false, else the insertion position with notFound true. count beyond the array is cut.
int32_t BinarySearchLong(const std::vector<int32_t>& values, int32_t value, int32_t count,
                         bool& notFound);

}  // namespace quorallion::bas32bppDIBParsers
