#pragma once
#include <cstddef>
#include <cstdint>

namespace quorallion::codecs {

// The CRC-32 of PNG chunks and zlib (polynomial 0xEDB88320, reflected), from a table built once.
// `crc` continues an earlier value; 0 starts a new one.
uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace quorallion::codecs
