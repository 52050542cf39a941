#pragma once
#include <cstdint>
#include <vector>

#include "byte_span.h"
#include "codec_result.h"

namespace quorallion::codecs {

struct IcoEntry {
    int width = 0;   // the directory byte, 0 read as 256
    int height = 0;
    int bitCount = 0;  // the real bit count; 0 marks an unusable entry
    bool isPng = false;
    uint32_t bytesInResource = 0;
    uint32_t imageOffset = 0;
};

struct IcoDirectory {
    int type = 0;  // 1 icon, 2 cursor
    std::vector<IcoEntry> entries;
};

// Validates the directory and reads each entry's real bit count from its data. NotThisFormat
// for a header that is not an icon or cursor directory; Corrupt when an entry is unusable or
// the entries' data does not fit.
CodecResult ReadIcoDirectory(ByteSpan bytes, IcoDirectory& directory);

// 1-based number of the entry that best fits the wanted size and depth; 0 when none is usable.
int ChooseIcoEntry(const IcoDirectory& directory, int wantedWidth, int wantedHeight, int wantedDepth);

// Decodes a bitmap entry: colour bits to BGRA, then its own alpha (32 bits) or the AND mask.
// Pixels are premultiplied, bottom-up.
CodecResult DecodeIcoBitmapEntry(ByteSpan bytes, const IcoEntry& entry, PixelBuffer& pixels);

// The AND mask over bottom-up BGRA pixels: a set bit clears the pixel, a clear bit makes it
// opaque. The mask holds pixels.height rows of maskStride bytes (at least width / 8 rounded up).
void ApplyAndMask(PixelBuffer& pixels, const uint8_t* mask, int64_t maskStride);

}  // namespace quorallion::codecs
