#pragma once
// The record walk that every metafile block passes before GDI plays it: GDI's player trusts each
// record's size field (a size of 4 makes it loop for ever), so untrusted bytes are checked first.
#include <cstddef>
#include <cstdint>

namespace quorallion::emf {

// True when the block is an enhanced metafile whose records can be played safely:
// - it starts with a header record (type 1, at least 88 bytes) carrying the " EMF" signature;
// - the header's total size lies inside the block (extra bytes after it are ignored, as the
//   clipboard and files may carry them);
// - every record is at least 8 bytes, a multiple of 4 and lies inside that total size, the
//   records fill it exactly and the last one is the end-of-file record;
// - the end record's palette and its trailing size field agree with it and with the header.
// One pass over the block, no allocation.
bool IsWellFormedEmf(const uint8_t* bytes, size_t size);

}  // namespace quorallion::emf
