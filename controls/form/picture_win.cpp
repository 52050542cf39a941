#include "form/picture_win.h"

#include <cstring>
#include <string>

#include "drawing_win.h"
#include "win/handles.h"

namespace quorallion::controls {

std::shared_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    std::shared_ptr<Picture> p(new Picture());
    p->bitmap_ = bitmap;
    BITMAP info{};
    if (::GetObjectW(bitmap, sizeof(info), &info)) {
        p->width_ = info.bmWidth;
        p->height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
    return p;
}

std::shared_ptr<Picture> Picture::FromIcon(HICON icon) {
    if (!icon) return nullptr;
    std::shared_ptr<Picture> p(new Picture());
    p->icon_ = icon;
    ICONINFO info{};
    if (::GetIconInfo(icon, &info)) {
        BITMAP bm{};
        HBITMAP measure = info.hbmColor ? info.hbmColor : info.hbmMask;
        if (::GetObjectW(measure, sizeof(bm), &bm)) {
            p->width_ = bm.bmWidth;
            p->height_ = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        }
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
    }
    return p;
}

std::shared_ptr<Picture> Picture::LoadBitmapResource(HINSTANCE module, std::wstring_view name) {
    std::wstring key(name);
    HANDLE image = ::LoadImageW(module, key.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    return FromBitmap(static_cast<HBITMAP>(image));
}

Picture::~Picture() {
    if (bitmap_) ::DeleteObject(bitmap_);
    if (icon_) ::DestroyIcon(icon_);
}

COLORREF Picture::PixelAt(int x, int y) const {
    if (!bitmap_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc) return CLR_INVALID;
    win::SelectGuard select(dc.get(), bitmap_);
    return ::GetPixel(dc.get(), x, y);
}

}  // namespace quorallion::controls

namespace quorallion::controls {

namespace {
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(in[at + static_cast<size_t>(i)]) << (8 * i);
    return v;
}
constexpr uint32_t kMaxSide = 4096;

// An icon's AND mask, one byte a pixel (1 see-through), rows top-down; empty when unreadable.
std::vector<uint8_t> IconMask(HICON icon, int w, int h) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return {};
    win::UniqueGdiObject mask(info.hbmMask), colour(info.hbmColor);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = w;
    header.bmiHeader.biHeight = -h;  // a monochrome icon's colour half lies below: not read
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!mask || !dc ||
        ::GetDIBits(dc.get(), static_cast<HBITMAP>(mask.get()), 0, static_cast<UINT>(h), pixels.data(), &header,
                    DIB_RGB_COLORS) != h)
        return {};
    std::vector<uint8_t> out(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) out[i] = (pixels[i] & 0xFFFFFF) != 0 ? 1 : 0;
    return out;
}
}  // namespace

std::vector<uint8_t> SavePictureBytes(const PicturePtr& picture) {
    std::vector<uint8_t> out;
    if (!picture || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0) return out;
    const int w = picture->Width(), h = picture->Height();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::UniqueGdiObject section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!section || !dc) return out;
    {
        win::SelectGuard select(dc.get(), section.get());
        if (picture->Bitmap()) {
            win::UniqueMemoryDC source(::CreateCompatibleDC(nullptr));
            win::SelectGuard s2(source.get(), picture->Bitmap());
            ::BitBlt(dc.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
        } else {
            ::DrawIconEx(dc.get(), 0, 0, picture->Icon(), w, h, 0, nullptr, DI_IMAGE);
        }
    }
    Put32(out, static_cast<uint32_t>(w));
    Put32(out, static_cast<uint32_t>(h));
    const auto* p = static_cast<const uint8_t*>(bits);
    out.insert(out.end(), p, p + static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    if (!picture->Bitmap()) {
        const std::vector<uint8_t> mask = IconMask(picture->Icon(), w, h);
        if (mask.empty()) return {};
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

PicturePtr LoadPictureBytes(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 8) return nullptr;
    const uint32_t w = Get32(bytes, 0), h = Get32(bytes, 4);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return nullptr;
    const size_t pixels = static_cast<size_t>(w) * h, need = 8 + pixels * 4;
    if (bytes.size() < need) return nullptr;
    const bool isIcon = bytes.size() == need + pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -static_cast<LONG>(h);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section) return nullptr;
    std::memcpy(bits, bytes.data() + 8, need - 8);
    if (!isIcon) return Picture::FromBitmap(section);
    win::UniqueGdiObject colour(section);
    // The mask plane as a monochrome bitmap: rows of whole 16-bit words, a set bit see-through.
    const size_t stride = (w + 15) / 16 * 2;
    std::vector<uint8_t> maskBits(stride * h, 0);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            if (bytes[need + static_cast<size_t>(y) * w + x])
                maskBits[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    win::UniqueGdiObject mask(::CreateBitmap(static_cast<int>(w), static_cast<int>(h), 1, 1, maskBits.data()));
    if (!mask) return nullptr;
    return Picture::FromIcon(
        CreateIconFromBitmaps(static_cast<HBITMAP>(mask.get()), static_cast<HBITMAP>(colour.get())));
}

std::wstring FontToText(HFONT font) {
    LOGFONTW lf{};
    if (!font || !::GetObjectW(font, sizeof(lf), &lf)) return L"";
    return std::wstring(lf.lfFaceName) + L"," + std::to_wstring(lf.lfHeight) + L"," + std::to_wstring(lf.lfWeight) +
           L"," + std::to_wstring(lf.lfItalic ? 1 : 0) + L"," + std::to_wstring(lf.lfUnderline ? 1 : 0) + L"," +
           std::to_wstring(lf.lfCharSet);
}

HFONT FontFromText(std::wstring_view text) {
    std::vector<std::wstring> parts;
    std::wstring current;
    for (wchar_t c : text) {
        if (c == L',') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    if (parts.size() != 6 || parts[0].empty() || parts[0].size() >= LF_FACESIZE) return nullptr;
    LOGFONTW lf{};
    try {
        lf.lfHeight = std::stol(parts[1]);
        lf.lfWeight = std::stol(parts[2]);
        lf.lfItalic = static_cast<BYTE>(std::stol(parts[3]) != 0);
        lf.lfUnderline = static_cast<BYTE>(std::stol(parts[4]) != 0);
        lf.lfCharSet = static_cast<BYTE>(std::stol(parts[5]));
    } catch (...) {
        return nullptr;
    }
    if (lf.lfHeight < -1000 || lf.lfHeight > 1000 || lf.lfWeight < 0 || lf.lfWeight > 1000) return nullptr;
    parts[0].copy(lf.lfFaceName, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&lf);
}

}  // namespace quorallion::controls
