#pragma once
// Screenshots compared with golden PNG files kept beside the tests. Run a test with
// QUORALLION_UPDATE_GOLDEN=1 in its environment to (re)write its goldens, then look at them.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "converters/picture_file.h"

namespace quorallion::testing {

struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // top-down 0x00RRGGBB
};

// The screen's pixels as they are now, from the desktop DC.
inline Screenshot ScreenCrop(int left, int top, int width, int height) {
    Screenshot shot{width, height, std::vector<uint32_t>(size_t(width) * height)};
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(screen, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, section);
    ::BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    ::GdiFlush();
    for (size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = static_cast<uint32_t*>(bits)[i] & 0xFFFFFF;
    ::SelectObject(memory, previous);
    ::DeleteObject(section);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

inline bool SavePng(const Screenshot& shot, const std::wstring& path) {
    using namespace Gdiplus::DllExports;
    GdiPlusSession session;
    std::vector<uint32_t> argb(shot.pixels);
    for (uint32_t& p : argb) p |= 0xFF000000u;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromScan0(shot.width, shot.height, shot.width * 4, PixelFormat32bppARGB,
                                  reinterpret_cast<BYTE*>(argb.data()), &bitmap) != Gdiplus::Ok)
        return false;
    static const CLSID kPng = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const bool ok = GdipSaveImageToFile(bitmap, path.c_str(), &kPng, nullptr) == Gdiplus::Ok;
    GdipDisposeImage(bitmap);
    return ok;
}

// Empty when the shot equals the golden file exactly, else what differs. Writes the golden
// instead when QUORALLION_UPDATE_GOLDEN is set.
inline std::string CompareWithGolden(const Screenshot& shot, const std::wstring& goldenPath) {
    wchar_t update[8] = {};
    if (::GetEnvironmentVariableW(L"QUORALLION_UPDATE_GOLDEN", update, 8) > 0)
        return SavePng(shot, goldenPath) ? std::string() : "could not write the golden";
    std::optional<Picture> golden = ReadPicture(goldenPath);
    if (!golden) return "no golden file (run with QUORALLION_UPDATE_GOLDEN=1 to make it)";
    if (golden->width != shot.width || golden->height != shot.height) return "size differs";
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (Rgb(golden->At(x, y)) != shot.pixels[size_t(y) * shot.width + x] && differing++ == 0)
                firstX = x, firstY = y;
    if (differing == 0) return {};
    SavePng(shot, goldenPath + L".actual.png");
    return std::to_string(differing) + " pixels differ, the first at " + std::to_string(firstX) + "," +
           std::to_string(firstY) + " (the shot is saved beside the golden as .actual.png)";
}

}  // namespace quorallion::testing
