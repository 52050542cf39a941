// The entries of the icon or cursor file an image was loaded from.
#include "c32bppDIB.h"
#include "codecs/cICOparser.h"

namespace quorallion {
namespace {

// The colour count shown for a bit depth. Depths between 8 and 24 show 0xFFFF00 and 24 shows
// 0xFF000000 as a signed value: the counts are reported as they always were; nothing reads them.
int32_t ColourCount(int32_t bitDepth) {
    switch (bitDepth) {
    case 1: return 2;
    case 2: return 4;
    case 4: return 16;
    case 8: return 256;
    case 24: return static_cast<int32_t>(0xFF000000u);
    default: return bitDepth < 24 ? 0xFFFF00 : -1;
    }
}

}  // namespace

int32_t c32bppDIB::SourceIconSizes(std::vector<std::array<int32_t, 4>>& sizeArray) const {
    if (!dib_) return 0;
    switch (imageType_) {
    case 3: case 5: case 8: case 11: case 12: break;
    default: return 0;
    }
    if (originalFormat_.empty()) {
        sizeArray.assign(1, {width_, height_, 32, -1});
        return 1;
    }
    cICOparser reader;
    int64_t offset = 0, length = static_cast<int64_t>(originalFormat_.size());
    int32_t depth = 32;
    if (!reader.LoadStream(originalFormat_, 32, 32, nullptr, offset, length, depth)) return 0;
    const int32_t count = reader.IconCount();
    sizeArray.clear();
    for (int32_t entry = 1; entry <= count; ++entry) {
        const int32_t bits = reader.bitDepth(entry);
        sizeArray.push_back({reader.Width(entry), reader.Height(entry), bits, ColourCount(bits)});
    }
    return count;
}

}  // namespace quorallion
