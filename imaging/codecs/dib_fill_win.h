#pragma once
// Hands decoded pixels to the image object by the readers' contract.
#include <cstring>

#include "c32bppDIB.h"
#include "byte_span.h"
#include "codec_result.h"
#include "whole_file_win.h"

namespace quorallion::codecs {

inline bool FillImage(c32bppDIB& image, const PixelBuffer& pixels, int32_t imageType, int32_t alphaKind) {
    if (!image.InitializeDIB(pixels.width, pixels.height) || !image.BitsPointer()) return false;
    const size_t rowBytes = size_t(pixels.width) * 4;
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(image.BitsPointer() + size_t(y) * image.scanWidth(), pixels.bgra.data() + y * rowBytes, rowBytes);
    image.ImageType(imageType);
    image.Alpha(alphaKind);
    return true;
}

// The caller's byte range, checked against the array.
inline ByteSpan RangeOf(const std::vector<uint8_t>& bytes, int64_t offset, int64_t length) {
    return ByteSpan(bytes.data(), bytes.size()).Sub(offset, length);
}

}  // namespace quorallion::codecs
