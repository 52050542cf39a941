#include "drawing_win.h"

#include <algorithm>
#include <vector>

#include "win/handles.h"

namespace quorallion::controls {

using win::SelectGuard;
using win::UniqueGdiObject;
using win::UniqueMemoryDC;

void FaceSurface::SetBackground(Colour c) {
    background = c;
    FillBoxWithColor(dc, 0, 0, w, h, c);
}

Colour TranslateColor(Colour c) {
    if (!IsSystemColour(c)) return c & 0xFFFFFF;
    int index = static_cast<int>(c & 0xFF);
    if ((c & 0x00FFFF00u) != 0 || index > COLOR_MENUBAR) return static_cast<Colour>(-1);
    return static_cast<Colour>(::GetSysColor(index));
}

void SetPixelOn(HDC dc, int x, int y, Colour c) { ::SetPixelV(dc, x, y, c & 0xFFFFFF); }

void DrawLineOnDC(HDC dc, int x1, int y1, int x2, int y2, Colour c) {
    UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, c & 0xFFFFFF));
    if (!pen) return;
    SelectGuard select(dc, pen.get());
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void FillRectWithColor(HDC dc, const RECT& r, Colour c) {
    UniqueGdiObject brush(::CreateSolidBrush(c & 0xFFFFFF));
    if (brush) ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

void FillBoxWithColor(HDC dc, int x, int y, int width, int height, Colour c) {
    RECT r{x, y, x + width, y + height};
    FillRectWithColor(dc, r, c);
}

void DrawFrame(HDC dc, int x, int y, int width, int height, Colour c) {
    UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, c & 0xFFFFFF));
    if (!pen) return;
    SelectGuard select(dc, pen.get());
    ::MoveToEx(dc, x, y, nullptr);
    ::LineTo(dc, x + width, y);
    ::LineTo(dc, x + width, y + height);
    ::LineTo(dc, x, y + height);
    ::LineTo(dc, x, y);
}

void DrawEdgeBox(HDC dc, double x, double y, double width, double height, UINT edge, UINT flags) {
    RECT r{NearestEven(x), NearestEven(y), NearestEven(x + width), NearestEven(y + height)};
    ::DrawEdge(dc, &r, edge, flags);
}

namespace {
// Colour i of n steps from `from` to `to`, per channel in single precision.
Colour Step(Colour from, Colour to, int i, int n) {
    auto channel = [&](int a, int b) {
        float step = static_cast<float>(b - a) / static_cast<float>(n);
        return std::clamp(NearestEven(a + static_cast<double>(step * static_cast<float>(i))), 0, 255);
    };
    return Rgb(channel(Red(from), Red(to)), channel(Green(from), Green(to)), channel(Blue(from), Blue(to)));
}
}  // namespace

void DrawVGradient(HDC dc, Colour from, Colour to, int x1, int y, int x2, int n) {
    if (n <= 0) return;
    for (int i = 0; i <= n; ++i) DrawLineOnDC(dc, x1, y + i, x2, y + i, Step(from, to, i, n));
}

void DrawHGradient(HDC dc, Colour from, Colour to, int x1, int y1, int x2, int y2) {
    const int n = x2 - x1;
    if (n <= 0) return;
    for (int i = 0; i <= n; ++i) DrawLineOnDC(dc, x1 + i, y1, x1 + i, y2, Step(from, to, i, n));
}

void DrawEtchedFrame(HDC dc, int x, int y, int width, int height, Colour shadow, Colour light, Colour corner) {
    DrawFrame(dc, x, y, width - 1, height - 1, shadow);
    DrawFrame(dc, x + 1, y + 1, width - 1, height - 1, light);
    SetPixelOn(dc, x, y + height, corner);
    SetPixelOn(dc, x + width, y, corner);
    const Colour mixed = MixColors(light, shadow);
    SetPixelOn(dc, x + 1, y + height - 1, mixed);
    SetPixelOn(dc, x + width - 1, y + 1, mixed);
}

namespace {
struct Bits24 {
    BITMAPINFO info{};
    std::vector<uint8_t> bytes;
    int stride = 0;
    Bits24(int w, int h) {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = h;  // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        stride = ((w * 3) + 3) & ~3;
        bytes.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    }
};
}  // namespace

void PaintPictureMasked(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, HICON icon,
                        const MaskedPaint& how) {
    if (width <= 0 || height <= 0 || !dc || (!bitmap && !icon)) return;
    if (static_cast<int64_t>(width) * height > 4096 * 4096) return;
    UniqueMemoryDC source(::CreateCompatibleDC(dc));
    if (!source) return;
    UniqueGdiObject iconCanvas;
    HGDIOBJ sourceBitmap = bitmap;
    if (!bitmap) {
        iconCanvas.reset(::CreateCompatibleBitmap(dc, width, height));
        sourceBitmap = iconCanvas.get();
    }
    if (!sourceBitmap) return;
    SelectGuard selectSource(source.get(), sourceBitmap);
    if (!bitmap) {
        FillBoxWithColor(source.get(), 0, 0, width, height, how.key);
        UniqueGdiObject brush(::CreateSolidBrush(how.key & 0xFFFFFF));
        ::DrawIconEx(source.get(), 0, 0, icon, 0, 0, 0, static_cast<HBRUSH>(brush.get()), DI_NORMAL);
    }
    UniqueMemoryDC destCopy(::CreateCompatibleDC(dc)), pictureCopy(::CreateCompatibleDC(dc));
    UniqueGdiObject destBitmap(::CreateCompatibleBitmap(dc, width, height));
    UniqueGdiObject pictureBitmap(::CreateCompatibleBitmap(dc, width, height));
    if (!destCopy || !pictureCopy || !destBitmap || !pictureBitmap) return;
    Bits24 d(width, height), p(width, height);
    {
        SelectGuard a(destCopy.get(), destBitmap.get());
        SelectGuard b(pictureCopy.get(), pictureBitmap.get());
        ::BitBlt(destCopy.get(), 0, 0, width, height, dc, x, y, SRCCOPY);
        ::BitBlt(pictureCopy.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }
    ::GetDIBits(destCopy.get(), static_cast<HBITMAP>(destBitmap.get()), 0, static_cast<UINT>(height), d.bytes.data(),
                &d.info, DIB_RGB_COLORS);
    ::GetDIBits(pictureCopy.get(), static_cast<HBITMAP>(pictureBitmap.get()), 0, static_cast<UINT>(height),
                p.bytes.data(), &p.info, DIB_RGB_COLORS);
    const int64_t key = how.useMask ? static_cast<int64_t>(how.key & 0xFFFFFF) : -1;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const size_t at = static_cast<size_t>(row) * static_cast<size_t>(p.stride) + static_cast<size_t>(col) * 3;
            uint8_t* dp = &d.bytes[at];
            const uint8_t* pp = &p.bytes[at];
            const Colour pixel = Rgb(pp[2], pp[1], pp[0]);
            if (static_cast<int64_t>(::GetNearestColor(dc, pixel) & 0xFFFFFF) == key) continue;
            if (how.solid >= 0) {
                if (how.darkOnly && pp[0] + pp[1] + pp[2] > 384) continue;
                const Colour s = static_cast<Colour>(how.solid);
                dp[0] = static_cast<uint8_t>(Blue(s));
                dp[1] = static_cast<uint8_t>(Green(s));
                dp[2] = static_cast<uint8_t>(Red(s));
            } else if (how.grey) {
                const uint8_t g = static_cast<uint8_t>(std::clamp(MaskedGrey(pixel), 0, 255));
                dp[0] = dp[1] = dp[2] = g;
            } else if (how.blend) {
                for (int k = 0; k < 3; ++k) dp[k] = static_cast<uint8_t>((2 * pp[k] + dp[k]) / 3);
            } else {
                dp[0] = pp[0];
                dp[1] = pp[1];
                dp[2] = pp[2];
            }
        }
    }
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                        static_cast<UINT>(height), d.bytes.data(), &d.info, DIB_RGB_COLORS);
}

bool GrayscaleBitmap(HDC dest, HBITMAP bitmap, int destX, int destY, int srcX, int srcY) {
    if (!dest || !bitmap) return false;
    win::WindowDC screen(nullptr);
    if (!screen) return false;
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth < 1 || info.bmHeight < 1) return false;
    UniqueMemoryDC memory(::CreateCompatibleDC(screen.get()));
    if (!memory) return false;
    SelectGuard select(memory.get(), bitmap);
    for (int col = 0; col < info.bmWidth; ++col) {
        for (int row = 0; row < info.bmHeight; ++row) {
            COLORREF c = ::GetPixel(memory.get(), col, row);
            if (c == CLR_INVALID) continue;
            Colour g = GrayscalePixel(c);
            if (g != (c & 0xFFFFFF)) ::SetPixelV(memory.get(), col, row, g);
        }
    }
    ::BitBlt(dest, destX, destY, info.bmWidth, info.bmHeight, memory.get(), srcX, srcY, SRCCOPY);
    return true;
}

HICON CreateIconFromBitmaps(HBITMAP mask, HBITMAP colour) {
    if (!mask || !colour) return nullptr;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = colour;
    return ::CreateIconIndirect(&info);
}

bool PaintIconGrayscale(HDC dc, HICON icon, int x, int y, int height, int width) {
    if (!dc || !icon) return false;
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    UniqueGdiObject mask(info.hbmMask), colour(info.hbmColor);
    win::WindowDC screen(nullptr);
    UniqueMemoryDC memory(::CreateCompatibleDC(screen.get()));
    bool drawn = false;
    if (memory && GrayscaleBitmap(memory.get(), static_cast<HBITMAP>(colour.get()), 0, 0, 0, 0)) {
        HICON grey = CreateIconFromBitmaps(static_cast<HBITMAP>(mask.get()), static_cast<HBITMAP>(colour.get()));
        if (grey) {
            drawn = ::DrawIconEx(dc, x, y, grey, width, height, 0, nullptr, DI_NORMAL) != FALSE;
            ::DestroyIcon(grey);
        }
    }
    return drawn;
}

namespace {
HRGN Polygon(const POINT* points, int count) { return ::CreatePolygonRgn(points, count, ALTERNATE); }
}  // namespace

HRGN CreateCutCornerRegion(int w, int h) {
    const POINT p[] = {{0, 1}, {1, 0}, {w - 1, 0}, {w, 1}, {w, h - 2}, {w - 2, h}, {2, h}, {0, h - 2}};
    return Polygon(p, 8);
}

HRGN CreateBevelCornerRegion(int w, int h) {
    const POINT p[] = {{0, 2}, {2, 0}, {w - 3, 0}, {w, 3}, {w, h - 3}, {w - 3, h}, {4, h}, {0, h - 4}};
    return Polygon(p, 8);
}

HRGN CreateRoundRegion(int w, int h) { return ::CreateRoundRectRgn(0, 0, w + 1, h + 1, 18, 18); }

}  // namespace quorallion::controls
