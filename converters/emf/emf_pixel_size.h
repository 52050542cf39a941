#pragma once
// The size at which a metafile is drawn: its frame at the screen's resolution, bounded by its
// reference device. Every product and sum is formed in 64 bits, so frames at the ends of the
// 32-bit range give a size (or a refusal), never a wrapped number.
#include <cstdint>
#include <optional>

namespace quorallion::emf {

// The header fields the size comes from (rclFrame in hundredths of a millimetre, szlDevice in
// pixels, szlMillimeters in millimetres).
struct EmfHeaderSizes {
    int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
    int32_t deviceWidth = 0, deviceHeight = 0;
    int32_t millimetersWidth = 0, millimetersHeight = 0;
};

struct Resolution {
    int64_t x = 0, y = 0;
};

struct PixelSize {
    int64_t width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// a × b / c to the nearest whole number, halves away from zero (the platform's MulDiv, without
// its 32-bit limits); nothing when c is 0.
std::optional<int64_t> MulDiv64(int64_t a, int64_t b, int64_t c);

// Pixels per inch of the reference device: szlDevice × 254 / (szlMillimeters × 10) per axis.
// Nothing when the header gives no positive resolution.
std::optional<Resolution> GetEmfReferenceDpi(const EmfHeaderSizes& header);

// x and y taken from one resolution to the screen's; false, changing nothing, when either
// resolution has a zero or negative axis.
bool ScaleToScreenDpi(const Resolution& screen, const Resolution& from, int64_t& x, int64_t& y);

enum class SizeOutcome { Ok, NoHeader, NoScreen };

struct SizeResult {
    SizeOutcome outcome = SizeOutcome::NoHeader;
    PixelSize size;
};

// The frame (its extents counted one unit more) at the screen's resolution, each side at least 1.
// When it is larger than the reference device on either axis, it is bounded on one axis only:
// the height when the device is at least as wide as it is high, else the width, keeping the
// picture's proportions; so a picture that is only too wide on a landscape device keeps its size.
SizeResult CalcEmfPixelSize(const EmfHeaderSizes& header, const Resolution& screen);

// True when a drawing surface of that size fits the platform's bitmaps: 24-bit rows padded to
// 4 bytes and the 32-bit copy each under 2 GB.
bool FitsInBitmap(const PixelSize& size);

}  // namespace quorallion::emf
