#pragma once
// The Windows half of bas32bppDIBParsers: picture objects, files, DLL exports, shaped regions.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "bas32bppDIBParsers.h"
#include "com/com_ptr.h"
#include "pixels/alpha_runs.h"

namespace quorallion {
class c32bppDIB;
}

namespace quorallion::bas32bppDIBParsers {

// A picture object loaded from bytes[firstIndex .. firstIndex + byteCount); none when the range
// lies outside the array, the memory cannot be had or the loader refuses the bytes.
com::ComPtr<IPicture> ArrayToPicture(const std::vector<uint8_t>& bytes, int64_t firstIndex,
                                     int64_t byteCount);
// A picture object that owns handle (PICTYPE_BITMAP, PICTYPE_ICON, ...); none on failure, and then
// the handle stays the caller's.
com::ComPtr<IPicture> HandleToPicture(HANDLE handle, int32_t pictureType);

bool IsDllExportAvailable(const std::wstring& libraryName, const char* exportName);

// Reading: existing file, read access, shared reading. Writing: created or replaced, no sharing,
// an existing file's attributes kept. INVALID_HANDLE_VALUE on failure; the caller closes it.
// The wide calls are always used (UTF-16 names); wide is kept for callers written to the contract.
HANDLE OpenFileHandle(const std::wstring& fileName, bool forReading, bool wide = true);
bool DeleteFileAny(const std::wstring& fileName, bool wide = true);
bool PathExists(const std::wstring& path, bool wide = true);

// The image's pixels as a view; empty without an image.
imaging::PixelView OverlayDIBPixels(const c32bppDIB& image);

// The image flattened onto backgroundColor (see FlattenToColor above).
void FlattenToColor(const c32bppDIB& image, uint32_t backgroundColor, std::vector<uint8_t>& out,
                    bool bmpLayout);

// A region from the alpha channel (style 0 bounding box, 1 one span a row, 2 every run);
// the caller owns it. nullptr for a style outside 0..2 or no region pixel.
HRGN CreateShapedRegion(const c32bppDIB& image, int32_t style);

// One region of rectangles first to last (both included, top-down) in one ExtCreateRegion call,
// bounded by (left, top of first, left + width, bottom of last); nullptr when the system refuses.
HRGN CreateRegionFromRects(const std::vector<imaging::RegionRect>& rects, size_t first, size_t last, int32_t left,
                           int32_t width);
// The union of rectangles 0 to last built in blocks of 2000 joined with CombineRgn; nullptr when
// a block fails.
HRGN CreateRegionInBlocks(const std::vector<imaging::RegionRect>& rects, size_t last, int32_t left, int32_t width);

}  // namespace quorallion::bas32bppDIBParsers
