#include "pixels/pixel_copy.h"

namespace quorallion::imaging {

int64_t PixelByteCount(int64_t width, int64_t height) {
    if (width < 1 || height < 1) return -1;
    if (width > kMaxPixels || height > kMaxPixels / width) return -1;
    return width * height * 4;
}

bool PixelCopy::Allocate(int32_t width, int32_t height) {
    Free();
    int64_t bytes = PixelByteCount(width, height);
    if (bytes < 0) return false;
    bytes_.assign(static_cast<size_t>(bytes), 0);
    width_ = width;
    height_ = height;
    return true;
}

}  // namespace quorallion::imaging
