#pragma once
// Truevision TGA reading: colour-mapped, true-colour and grey images, raw or run-length, at 8, 15,
// 16, 24 and 32 bits, either row and column order, the 2.0 footer and the extension area's
// attributes type. TGA has no signature: the header checks alone tell it from other bytes.
#include <array>
#include <cstdint>

#include "byte_span.h"
#include "codec_result.h"

namespace quorallion::codecs {

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colorMapType = 0;
    uint8_t imageType = 0;
    uint16_t firstEntry = 0;
    uint16_t colorMapLength = 0;
    uint8_t entrySize = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t depth = 0;
    uint8_t descriptor = 0;
    bool isTGA2 = false;         // a footer signature in the last 22 bytes
    int64_t colorMapBytes = 0;   // colour-map area (colour map type 1 only)
    int64_t pixelStart = 0;      // from the start of the bytes
};

// NotThisFormat for every header the reader does not take (type, size 0, depth, colour-map fields,
// data shorter than the header promises); TooLarge above the readers' pixel cap.
CodecResult ValidateTgaHeader(ByteSpan bytes, TgaHeader& header);

// False only when a 2.0 footer points at a 495-byte extension area whose attributes type is 0, 1 or
// 2 (no alpha, undefined, ignore); True otherwise.
bool TgaHasUsefulAlpha(ByteSpan bytes);

// 5-bit colour levels to 8 bits: v * 8 + v mod 8 (16 gives 128, 31 gives 255).
const std::array<uint8_t, 32>& TgaFiveBitTable();

// The image into bottom-up premultiplied BGRA; alphaKind 0 (opaque), 1 (only 0 and 255) or 2.
// Corrupt for run-length packets past their row or past the data; pixels untouched unless Ok.
CodecResult DecodeTga(ByteSpan bytes, PixelBuffer& pixels, int32_t& alphaKind);

}  // namespace quorallion::codecs
