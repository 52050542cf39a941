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
    uint32_t headerSize = 0;  // the 4-byte size at the start of a bitmap entry's data
};

struct IcoDirectory {
    int type = 0;  // 1 icon, 2 cursor
    std::vector<IcoEntry> entries;
};

// True when the bytes begin as an icon (00 00 01 00) or cursor (00 00 02 00) directory does.
bool HasIconDirectoryHeader(ByteSpan bytes);

// Validates the directory and reads each entry's real bit count from its data. NotThisFormat
// for a header that is not an icon or cursor directory; Corrupt when an entry is unusable or
// the entries' data does not fit.
CodecResult ReadIcoDirectory(ByteSpan bytes, IcoDirectory& directory);

// 1-based number of the entry that best fits the wanted size and depth; 0 when none is usable.
int ChooseIcoEntry(const IcoDirectory& directory, int wantedWidth, int wantedHeight, int wantedDepth);

// Palette entries a bitmap entry stores: for 8 bits and fewer, (bytes in resource - colour bits -
// AND mask - the low byte of the header size) / 4; 0 for more bits.
int64_t IcoColorCount(const IcoEntry& entry);
// Offset of a bitmap entry's colour bits from the start of the file: image offset + header size
// + a full table (2^bits entries of 4 bytes) below 16 bits.
int64_t IcoColorByteOffset(const IcoEntry& entry);

// Decodes a bitmap entry: colour bits to BGRA, then its own alpha (32 bits) or the AND mask.
// Pixels are premultiplied, bottom-up.
CodecResult DecodeIcoBitmapEntry(ByteSpan bytes, const IcoEntry& entry, PixelBuffer& pixels);

// The AND mask over bottom-up BGRA pixels: a set bit clears the pixel, a clear bit makes it
// opaque. The mask holds pixels.height rows of maskStride bytes (at least width / 8 rounded up).
void ApplyAndMask(PixelBuffer& pixels, const uint8_t* mask, int64_t maskStride);

}  // namespace quorallion::codecs
