#pragma once
#include <cstdint>
#include <vector>

#include "byte_span.h"
#include "codec_result.h"

namespace quorallion::codecs {

// GIF's variable-width LZW. `codes` is the image data with its sub-block framing removed.
// Decodes exactly `pixelCount` indices into `indices`; a stream that ends early leaves the rest 0.
CodecResult GifLzwDecode(int minCodeSize, ByteSpan codes, size_t pixelCount, std::vector<uint8_t>& indices);

// Encodes `indices` (each below 2^bits) as sub-blocks of 254 data bytes, without the terminator.
// Uses the 5003-slot double-hashing table of the classic encoders.
void GifLzwEncode(int bits, const std::vector<uint8_t>& indices, std::vector<uint8_t>& out);

}  // namespace quorallion::codecs
