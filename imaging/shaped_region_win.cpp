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

}  // namespace

HRGN CreateRegionFromRects(const std::vector<imaging::RegionRect>& rects, size_t first, size_t last, int32_t left,
                           int32_t width) {
    if (first > last || last >= rects.size()) return nullptr;
    const size_t count = last - first + 1;
    std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(count);
    header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    header.rcBound = {left, rects[first].top, left + width, rects[last].bottom};
    std::memcpy(data.data(), &header, sizeof(header));
    RECT* out = reinterpret_cast<RECT*>(data.data() + sizeof(header));
    for (size_t i = 0; i < count; ++i) {
        const imaging::RegionRect& r = rects[first + i];
        out[i] = {r.left, r.top, r.right, r.bottom};
    }
    return ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
}

HRGN CreateRegionInBlocks(const std::vector<imaging::RegionRect>& rects, size_t last, int32_t left, int32_t width) {
    if (rects.empty()) return nullptr;
    last = std::min(last, rects.size() - 1);
    HRGN result = nullptr;
    for (size_t start = 0; start <= last; start += kBlockRects) {
        const size_t end = std::min(start + kBlockRects - 1, last);
        HRGN block = CreateRegionFromRects(rects, start, end, left, width);
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

HRGN CreateShapedRegion(const c32bppDIB& image, int32_t style) {
    if (style < 0 || style > 2 || !image.Handle()) return nullptr;
    if (image.Alpha() == 0) return ::CreateRectRgn(0, 0, image.Width(), image.Height());
    const std::vector<imaging::RegionRect> rects = imaging::AlphaRegionRects(image.Pixels(), style);
    if (rects.empty()) return nullptr;
    if (style == 0) return ::CreateRectRgn(rects[0].left, rects[0].top, rects[0].right, rects[0].bottom);
    HRGN region = CreateRegionFromRects(rects, 0, rects.size() - 1, 0, image.Width());
    if (!region && rects.size() > kBlockRects) region = CreateRegionInBlocks(rects, rects.size() - 1, 0, image.Width());
    return region;
}

}  // namespace quorallion::bas32bppDIBParsers
