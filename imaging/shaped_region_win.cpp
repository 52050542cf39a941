// Regions from an image's alpha channel: one ExtCreateRegion call, or blocks of 2000 rectangles
// joined when the system refuses the whole list.
#include <algorithm>
#include <cstring>
#include <vector>

#include "bas32bppDIBParsers_win.h"
#include "c32bppDIB.h"
#include "pixels/alpha_runs.h"

namespace quorallion::bas32bppDIBParsers {
namespace {

constexpr size_t kBlockRects = 2000;

HRGN RegionFromRects(const imaging::RegionRect* rects, size_t count, int32_t width) {
    if (count == 0) return nullptr;
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(count);
    header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    header.rcBound = {0, rects[0].top, width, rects[count - 1].bottom};
    std::memcpy(data.data(), &header, sizeof(header));
    RECT* out = reinterpret_cast<RECT*>(data.data() + sizeof(header));
    for (size_t i = 0; i < count; ++i) out[i] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

HRGN RegionInBlocks(const std::vector<imaging::RegionRect>& rects, int32_t width) {
    HRGN result = nullptr;
    for (size_t start = 0; start < rects.size(); start += kBlockRects) {
        const size_t count = std::min(kBlockRects, rects.size() - start);
        HRGN block = RegionFromRects(rects.data() + start, count, width);
        if (!block) {
            if (result) ::DeleteObject(result);
            return nullptr;
        }
        if (!result) {
            result = block;
            continue;
        }
        const int combined = ::CombineRgn(result, result, block, RGN_OR);
        ::DeleteObject(block);
        if (combined == ERROR) {
            ::DeleteObject(result);
            return nullptr;
        }
    }
    return result;
}

}  // namespace

HRGN CreateShapedRegion(const c32bppDIB& image, int32_t style) {
    if (style < 0 || style > 2 || !image.Handle()) return nullptr;
    if (image.Alpha() == 0) return ::CreateRectRgn(0, 0, image.Width(), image.Height());
    const std::vector<imaging::RegionRect> rects = imaging::AlphaRegionRects(image.Pixels(), style);
    if (rects.empty()) return nullptr;
    if (style == 0) return ::CreateRectRgn(rects[0].left, rects[0].top, rects[0].right, rects[0].bottom);
    HRGN region = RegionFromRects(rects.data(), rects.size(), image.Width());
    if (!region && rects.size() > kBlockRects) region = RegionInBlocks(rects, image.Width());
    return region;
}

}  // namespace quorallion::bas32bppDIBParsers
