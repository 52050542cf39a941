#pragma once
// A memory device context that owns the drawing surface selected into it: a 24-bit DIB section
// (or a gray-table one), the metafile's palette when it has one, filled with the background.
#include <windows.h>

#include <cstdint>

#include "win/handles.h"

namespace quorallion::emf {

class CSCMemDC {
public:
    // 0x00FFFFFE: red 254, green 255, blue 255; not white, so that callers can tell undrawn
    // parts from white ones.
    static constexpr COLORREF kBackground = 0x00FFFFFE;

    CSCMemDC() = default;
    explicit CSCMemDC(int32_t bitCount) : bitCount_(bitCount) {}
    ~CSCMemDC();
    CSCMemDC(const CSCMemDC&) = delete;
    CSCMemDC& operator=(const CSCMemDC&) = delete;

    bool Create(HENHMETAFILE metafile, int32_t width, int32_t height);
    void ReleaseGdiObjects();
    bool FillBackground();

    HDC GetSafeHdc() const { return dc_.get(); }
    // The surface taken out: the old bitmap goes back into the DC, the caller owns the section.
    win::UniqueGdiObject TakeBitmap();

private:
    win::UniqueMemoryDC dc_;
    HGDIOBJ oldBitmap_ = nullptr;
    win::UniqueGdiObject bitmap_;
    win::UniqueGdiObject palette_;
    int32_t width_ = 32;
    int32_t height_ = 32;
    COLORREF background_ = 0x00FFFFFF;
    int32_t bitCount_ = 0;
};

}  // namespace quorallion::emf
