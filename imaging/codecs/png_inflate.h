#pragma once
#include <cstddef>
#include <cstdint>

#include "byte_span.h"

namespace quorallion::codecs {

// The suite's own DEFLATE decoder for a zlib stream, used when no zlib library is present or when
// zlib's uncompress refuses the data. Lenient where the image reader wants it: the two header
// bytes are skipped unread, the Adler-32 trailer is not read, and distance symbols 30 and 31 mean
// 32769 and 49153 (14 extra bits), which only a long enough output can satisfy.
// Writes at most `limit` bytes to `output`; `produced` receives the count written. False on any
// fault: a block type of 3, LEN not matching NLEN, an over-subscribed code set, a bit pattern no
// code matches, a code or extra bits past the end of the input, literal/length symbols 286 and
// 287, a repeat running past HLIT + HDIST or with no length before it, a distance before the start
// of the output, or output past the limit. Output shorter than the limit is not a fault.
bool Inflate(ByteSpan input, uint8_t* output, size_t limit, size_t& produced);

}  // namespace quorallion::codecs
