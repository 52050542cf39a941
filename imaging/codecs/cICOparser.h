#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ico_format.h"

namespace quorallion {

class c32bppDIB;

// The ICO/CUR reader: validates the directory, chooses an entry by size and depth and loads it.
class cICOparser {
public:
    // cHost nullptr: only the directory is read, for the accessors. A PNG-compressed entry is
    // loaded by the PNG reader (ImageType 11) and answers what that reader answers.
    bool LoadStream(const std::vector<uint8_t>& inStream, int32_t desiredWidth, int32_t desiredHeight,
                    c32bppDIB* cHost, int64_t& streamOffset, int64_t& streamLength, int32_t& icoBitDepth);
    // An icon or cursor handle as a one-entry directory: image type 8 (icon) or 12 (cursor) when
    // its colour bitmap carries alpha, else 3 or 5 with the AND mask applied.
    bool ConvertstdPicTo32bpp(HICON Handle, c32bppDIB& cHost);

    int32_t Width(int32_t entry) const { return Valid(entry) ? directory_.entries[entry - 1].width : 0; }
    int32_t Height(int32_t entry) const { return Valid(entry) ? directory_.entries[entry - 1].height : 0; }
    int16_t bitDepth(int32_t entry) const {
        return Valid(entry) ? static_cast<int16_t>(directory_.entries[entry - 1].bitCount) : 0;
    }
    bool IsIconPNG(int32_t entry) const { return Valid(entry) && directory_.entries[entry - 1].isPng; }
    int16_t IconCount() const { return static_cast<int16_t>(directory_.entries.size()); }
    // Palette entries a bitmap entry stores (0 above 8 bits) and the offset of its colour bits,
    // from the entry's sizes and the header size read with the directory.
    int32_t ColorCount(int32_t entry) const {
        return Valid(entry) ? static_cast<int32_t>(codecs::IcoColorCount(directory_.entries[entry - 1])) : 0;
    }
    int32_t ColorByteOffset(int32_t entry) const {
        return Valid(entry) ? static_cast<int32_t>(codecs::IcoColorByteOffset(directory_.entries[entry - 1])) : 0;
    }

    // After LoadStream answered True: the chosen entry is a bitmap entry that could not be decoded
    // (or none could be chosen). The load chain then asks no platform loader, which would read
    // the same broken entry.
    bool Broken() const { return broken_; }

private:
    bool broken_ = false;
    bool Valid(int32_t entry) const { return entry >= 1 && entry <= static_cast<int32_t>(directory_.entries.size()); }
    codecs::IcoDirectory directory_;
};

}  // namespace quorallion
