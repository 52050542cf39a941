#include "ucTransPicture_win.h"

#include <cstring>
#include <vector>

#include "ucTransForm_win.h"
#include "win/handles.h"

namespace quorallion::controls {

namespace {

BITMAPINFO TopDown32(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::vector<uint32_t> ReadPixels(const Picture& picture) {
    const int w = picture.Width(), h = picture.Height();
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    BITMAPINFO info = TopDown32(w, h);
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!dc || !::GetDIBits(dc.get(), picture.Bitmap(), 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS))
        pixels.clear();
    return pixels;
}

// A W x H 32-bit DIB section holding the source stretched with the given mode.
HBITMAP Stretch(const std::vector<uint32_t>& source, int pw, int ph, int w, int h, int mode, void** bitsOut) {
    BITMAPINFO out = TopDown32(w, h);
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section) return nullptr;
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    {
        win::SelectGuard select(dc.get(), section);
        ::SetStretchBltMode(dc.get(), mode);
        ::SetBrushOrgEx(dc.get(), 0, 0, nullptr);
        BITMAPINFO in = TopDown32(pw, ph);
        ::StretchDIBits(dc.get(), 0, 0, w, h, 0, 0, pw, ph, source.data(), &in, DIB_RGB_COLORS, SRCCOPY);
    }
    ::GdiFlush();
    *bitsOut = bits;
    return section;
}

}  // namespace

ucTransPicture::ucTransPicture() = default;
ucTransPicture::~ucTransPicture() { Destroy(); }

void ucTransPicture::InitProperties() {
    backStyle_ = 0;
    borderStyle_ = 1;
    stretchMode_ = 0;
    ApplyBorder();
}

void ucTransPicture::ReadProperties(const PropertyBag& bag) {
    backStyle_ = static_cast<int>(bag.ReadInt(L"BackStyle", 0));
    borderStyle_ = static_cast<int>(bag.ReadInt(L"BorderStyle", 1));
    stretchMode_ = static_cast<int>(bag.ReadInt(L"StretchMode", 1));
    maskColor_ = static_cast<Colour>(bag.ReadInt(L"MaskColor", 0xFFFFFF));
    if (auto bytes = bag.ReadBytes(L"MouseIcon")) SetMouseIcon(LoadPictureBytes(*bytes));
    SetMousePointer(static_cast<int>(bag.ReadInt(L"MousePointer", 0)));
    borderColor_ = static_cast<Colour>(bag.ReadInt(L"BorderColor", 0xFF00FF));
    if (auto bytes = bag.ReadBytes(L"Picture")) SetPicture(LoadPictureBytes(*bytes));
    ApplyBorder();
}

void ucTransPicture::WriteProperties(PropertyBag& bag) const {
    bag.WriteInt(L"BackStyle", backStyle_, 0);
    bag.WriteInt(L"BorderStyle", borderStyle_, 1);
    bag.WriteInt(L"StretchMode", stretchMode_, 1);
    bag.WriteInt(L"MaskColor", maskColor_, 0xFFFFFF);
    if (mouseIcon_) bag.WriteBytes(L"MouseIcon", SavePictureBytes(mouseIcon_));
    bag.WriteInt(L"MousePointer", MousePointer(), 0);
    bag.WriteInt(L"BorderColor", borderColor_, 0xFF00FF);
    if (shown_) bag.WriteBytes(L"Picture", SavePictureBytes(shown_));
}

void ucTransPicture::SetPicture(PicturePtr picture) {
    shown_ = picture;
    kept_ = std::move(picture);
    ApplyMask();
    RedrawPicture();
    NotifyChanged(L"Picture");
}

void ucTransPicture::SetMaskColor(Colour value) {
    maskColor_ = value;
    ApplyMask();
    NotifyChanged(L"MaskColor");
}

void ucTransPicture::SetBackStyle(int value) {
    backStyle_ = value;
    ApplyMask();
    NotifyChanged(L"BackStyle");
}

void ucTransPicture::SetBorderStyle(int value) {
    borderStyle_ = value;
    NotifyChanged(L"BorderStyle");
    ApplyBorder();
}

void ucTransPicture::SetBorderColor(Colour value) {
    borderColor_ = value;
    NotifyChanged(L"BorderColor");
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void ucTransPicture::SetStretchMode(int value) {
    stretchMode_ = value;
    NotifyChanged(L"StretchMode");
    RedrawPicture();
}

void ucTransPicture::SetPointer(int value) {
    SetMousePointer(value);
    NotifyChanged(L"MousePointer");
}

void ucTransPicture::SetMouseIcon(PicturePtr picture) {
    // The cursor on show may be the one about to be freed: the arrow takes its place first.
    const HCURSOR shown = ::GetCursor();
    if (shown && (shown == customCursor_.get() || (mouseIcon_ && shown == mouseIcon_->Icon())))
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    mouseIcon_ = std::move(picture);
    customCursor_.reset();
    if (mouseIcon_ && !mouseIcon_->Icon() && mouseIcon_->Bitmap()) {
        // A bitmap has no mask of its own: every pixel of it is drawn.
        const int w = mouseIcon_->Width(), h = mouseIcon_->Height();
        std::vector<uint8_t> opaque(static_cast<size_t>((w + 15) / 16 * 2) * static_cast<size_t>(h), 0);
        win::UniqueGdiObject mask(w > 0 && h > 0 ? ::CreateBitmap(w, h, 1, 1, opaque.data()) : nullptr);
        ICONINFO info{};
        info.fIcon = FALSE;
        info.hbmMask = static_cast<HBITMAP>(mask.get());
        info.hbmColor = mouseIcon_->Bitmap();
        if (mask) customCursor_.reset(::CreateIconIndirect(&info));
    }
    NotifyChanged(L"MouseIcon");
}

bool ucTransPicture::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_SETCURSOR || LOWORD(lParam) != HTCLIENT || MousePointer() != kCustomPointer) return false;
    HCURSOR cursor = customCursor_ ? customCursor_.get() : mouseIcon_ ? mouseIcon_->Icon() : nullptr;
    if (!cursor) return false;
    ::SetCursor(cursor);
    result = TRUE;
    return true;
}

void ucTransPicture::ApplyBorder() {
    if (borderStyle_ == 0) outline_ = false;
    else if (borderStyle_ == 1 || borderStyle_ == 2) {
        outline_ = true;
        outlineWidth_ = borderStyle_;
    }
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void ucTransPicture::ApplyMask() {
    if (!hWnd()) return;
    HRGN region = nullptr;
    if (backStyle_ == 0) {
        region = shown_ ? MaskRegionOf(*shown_, maskColor_) : nullptr;
        if (!region) region = ::CreateRectRgn(0, 0, 0, 0);  // nothing to show, nothing to hit
    }
    if (!::SetWindowRgn(hWnd(), region, TRUE) && region) ::DeleteObject(region);
}

void ucTransPicture::OnResize() {
    if (resizing_) return;
    resizing_ = true;
    RedrawPicture();
    resizing_ = false;
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void ucTransPicture::Finish(PicturePtr composed) {
    if (!composed) return;
    shown_ = std::move(composed);
    ApplyMask();
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void ucTransPicture::RedrawPicture() {
    if (!kept_ || !hWnd()) return;
    const int pw = kept_->Width(), ph = kept_->Height();
    const int W = ScaleWidth(), H = ScaleHeight();
    if (stretchMode_ == 0) {
        if (Parent()) SetSize(pw * Parent()->UnitsPerPixelX(), ph * Parent()->UnitsPerPixelY());
        Finish(kept_);
        return;
    }
    if (stretchMode_ < 1 || stretchMode_ > 4) return;
    if (W <= 0 || H <= 0 || pw <= 0 || ph <= 0 || !kept_->Bitmap()) return;
    if (static_cast<int64_t>(W) * H > 8192LL * 8192 || static_cast<int64_t>(pw) * ph > 8192LL * 8192) return;
    const std::vector<uint32_t> source = ReadPixels(*kept_);
    if (source.empty()) return;
    void* bits = nullptr;
    if (stretchMode_ == 1 || stretchMode_ == 2) {
        HBITMAP out = Stretch(source, pw, ph, W, H, stretchMode_ == 1 ? COLORONCOLOR : HALFTONE, &bits);
        Finish(Picture::FromBitmap(out));
        return;
    }
    const MaskChannels m = SplitMask(maskColor_);
    const bool maskIsColour = m.red >= 0 && m.red <= 255;
    const uint32_t maskPixel = maskIsColour ? (static_cast<uint32_t>(m.red) << 16) | (static_cast<uint32_t>(m.green) << 8) |
                                                  static_cast<uint32_t>(m.blue)
                                            : 0xFFFFFFFFu;
    HBITMAP picture = Stretch(source, pw, ph, W, H, HALFTONE, &bits);
    if (!picture) return;
    auto* out = static_cast<uint32_t*>(bits);
    const size_t count = static_cast<size_t>(W) * static_cast<size_t>(H);
    if (stretchMode_ == 3) {
        for (size_t i = 0; i < count; ++i) {
            const uint32_t p = out[i];
            const int r = static_cast<int>((p >> 16) & 255), g = static_cast<int>((p >> 8) & 255),
                      b = static_cast<int>(p & 255);
            if (ColourDistance(r, g, b, maskColor_) < 200) out[i] = (p & 0xFF000000u) | maskPixel;
        }
    } else {
        std::vector<uint32_t> maskSource(source.size(), 0);
        for (size_t i = 0; i < source.size(); ++i)
            if ((source[i] & 0xFFFFFF) == maskPixel) maskSource[i] = source[i];
        void* maskBits = nullptr;
        win::UniqueGdiObject mask(Stretch(maskSource, pw, ph, W, H, ph < H ? HALFTONE : STRETCH_ORSCANS, &maskBits));
        if (!mask) {
            ::DeleteObject(picture);
            return;
        }
        const auto* stretchedMask = static_cast<const uint32_t*>(maskBits);
        for (size_t i = 0; i < count; ++i)
            out[i] = (stretchedMask[i] & 0xFFFFFF) == maskPixel ? maskPixel : (out[i] & 0xFFFFFF);
    }
    Finish(Picture::FromBitmap(picture));
}

void ucTransPicture::OnPaint(HDC dc) {
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    if (shown_ && shown_->Bitmap()) {
        win::UniqueMemoryDC source(::CreateCompatibleDC(dc));
        win::SelectGuard select(source.get(), shown_->Bitmap());
        ::BitBlt(dc, 0, 0, shown_->Width(), shown_->Height(), source.get(), 0, 0, SRCCOPY);
    } else if (shown_ && shown_->Icon()) {
        ::DrawIconEx(dc, 0, 0, shown_->Icon(), 0, 0, 0, nullptr, DI_NORMAL);
    }
    if (outline_) {
        win::UniqueGdiObject pen(::CreatePen(PS_SOLID, outlineWidth_, borderColor_ & 0xFFFFFF));
        win::SelectGuard p(dc, pen.get());
        win::SelectGuard b(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, 0, 0, client.right, client.bottom);
    }
}

void ucTransPicture::OnMouseDown(int button, int shift, int x, int y) {
    if (MouseDown) MouseDown(button, shift, x, y);
}
void ucTransPicture::OnMouseUp(int button, int shift, int x, int y) {
    if (MouseUp) MouseUp(button, shift, x, y);
}
void ucTransPicture::OnMouseMove(int button, int shift, int x, int y) {
    if (MouseMove) MouseMove(button, shift, x, y);
}
void ucTransPicture::OnClick() {
    if (Click) Click();
}
void ucTransPicture::OnDblClick() {
    if (DblClick) DblClick();
}

}  // namespace quorallion::controls
