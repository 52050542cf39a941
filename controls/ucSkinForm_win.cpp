#include "ucSkinForm_win.h"

#include <cmath>
#include <vector>

#include "ucTransForm_win.h"

namespace quorallion::controls {

namespace {
constexpr Colour kMask = 0xFF00FF;
constexpr int kCaptionLeft = 25, kCaptionTop = 8, kIconLeft = 2, kIconTop = 6, kButtonTop = 5, kRightMargin = 4,
              kButtonGap = 1, kGrab = 3;
const wchar_t* const kButtonNames[4] = {L"Max", L"Close", L"Restore", L"Min"};

PicturePtr SkinBitmap(const std::wstring& name) {
    return Picture::LoadBitmapResource(::GetModuleHandleW(nullptr), L"ucSkinForm_Blue_" + name);
}

// The default icon: a bitmap whose magenta pixels become the icon's transparent part.
PicturePtr IconFromMaskedBitmap(const PicturePtr& bitmap) {
    if (!bitmap || !bitmap->Bitmap()) return bitmap;
    const int w = bitmap->Width(), h = bitmap->Height();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
    HDC screen = ::GetDC(nullptr);
    const bool read = ::GetDIBits(screen, bitmap->Bitmap(), 0, static_cast<UINT>(h), pixels.data(), &info,
                                  DIB_RGB_COLORS) != 0;
    std::vector<uint8_t> mask(static_cast<size_t>((w + 15) / 16 * 2) * static_cast<size_t>(h), 0);
    for (int y = 0; y < h && read; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t& p = pixels[static_cast<size_t>(y) * w + x];
            if ((p & 0xFFFFFF) == 0xFF00FF) {
                p = 0;
                mask[static_cast<size_t>(y) * ((w + 15) / 16 * 2) + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    PicturePtr result = bitmap;
    if (read) {
        HBITMAP maskBitmap = ::CreateBitmap(w, h, 1, 1, mask.data());
        HBITMAP colour = ::CreateCompatibleBitmap(screen, w, h);
        ::SetDIBits(screen, colour, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
        ICONINFO icon{};
        icon.fIcon = TRUE;
        icon.hbmMask = maskBitmap;
        icon.hbmColor = colour;
        if (HICON made = ::CreateIconIndirect(&icon)) result = Picture::FromIcon(made);
        ::DeleteObject(maskBitmap);
        ::DeleteObject(colour);
    }
    ::ReleaseDC(nullptr, screen);
    return result;
}

bool IsTopLevel(HWND window) { return window && !(::GetWindowLongW(window, GWL_STYLE) & WS_CHILD); }
}  // namespace

ucSkinForm::ucSkinForm() = default;

ucSkinForm::~ucSkinForm() {
    Destroy();
    if (captionFont_) ::DeleteObject(captionFont_);
}

const WindowlessItem& ucSkinForm::Item(std::wstring_view name) const {
    for (const WindowlessItem* item : {&resizeLeft_, &resizeBottom_, &resizeRight_, &icon_, &borderBottom_,
                                       &borderLeft_, &caption_label_, &resizeTop_, &borderRight_, &borderTop_})
        if (item->name == name) return *item;
    return background_;
}

// ---- properties -------------------------------------------------------------------------------

void ucSkinForm::InitProperties() {
    btnMaximize_ = false;
    btnMinimize_ = false;
    btnClose_ = true;
    caption_ = L"Caption";
    skin_ = L"Blue";
    iconVisible_ = true;
    allowResizing_ = false;
}

void ucSkinForm::ReadProperties(const PropertyBag& bag) {
    btnMaximize_ = bag.ReadBool(L"BtnMaximize", false);
    btnMinimize_ = bag.ReadBool(L"BtnMinimize", false);
    btnClose_ = bag.ReadBool(L"BtnClose", true);
    caption_ = bag.ReadText(L"Caption", L"Caption");
    skin_ = bag.ReadText(L"Skin", L"Blue");
    iconVisible_ = bag.ReadBool(L"IconVisible", true);
    allowResizing_ = bag.ReadBool(L"AllowResizing", false);
    MakeConstituents();
}

void ucSkinForm::WriteProperties(PropertyBag& bag) const {
    bag.WriteBool(L"BtnMaximize", btnMaximize_, false);
    bag.WriteBool(L"BtnMinimize", btnMinimize_, false);
    bag.WriteBool(L"BtnClose", btnClose_, true);
    bag.WriteText(L"Caption", caption_, std::wstring_view(L"Caption"));
    bag.WriteText(L"Skin", skin_, std::wstring_view(L"Blue"));
    bag.WriteBool(L"IconVisible", iconVisible_, true);
    bag.WriteBool(L"AllowResizing", allowResizing_, false);
}

void ucSkinForm::SetBtnMaximize(bool value) {
    btnMaximize_ = value;
    LoadSkin();
}
void ucSkinForm::SetBtnMinimize(bool value) {
    btnMinimize_ = value;
    LoadSkin();
}
void ucSkinForm::SetBtnClose(bool value) {
    btnClose_ = value;
    LoadSkin();
}
void ucSkinForm::SetSkin(std::wstring_view value) {
    skin_ = std::wstring(value);
    LoadSkin();  // only the blue set exists
}
void ucSkinForm::SetCaption(std::wstring_view value) {
    caption_ = std::wstring(value);
    caption_label_.text = caption_;
    if (HDC dc = hDC()) caption_label_.AutoSize(dc);
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}
void ucSkinForm::SetIconVisible(bool value) {
    iconVisible_ = value;
    icon_.visible = value;
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}
void ucSkinForm::SetIcon(PicturePtr picture) {
    icon_.picture = std::move(picture);
    if (icon_.picture) icon_.SetSize(icon_.picture->Width(), icon_.picture->Height());
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

// ---- constituents -----------------------------------------------------------------------------

void ucSkinForm::MakeConstituents() {
    if (inner_) return;
    inner_ = std::make_unique<Container>(hWnd(), Container::Units::Pixels);
    PropertyBag picture;
    picture.Set(L"BorderStyle", int64_t{0});
    picture.Set(L"StretchMode", int64_t{0});
    picture.Set(L"MaskColor", int64_t{kMask});
    for (int i = 0; i < 4; ++i) {
        buttons_[static_cast<size_t>(i)] = std::make_unique<ucTransPicture>();
        buttons_[static_cast<size_t>(i)]->Create(*inner_, std::wstring(L"img_Btn") + kButtonNames[i], 0, 0, 19, 19,
                                                 &picture);
        const std::wstring name = kButtonNames[i];
        ucTransPicture& b = *buttons_[static_cast<size_t>(i)];
        b.MouseDown = [this, i](int, int, double, double) {
            buttons_[static_cast<size_t>(i)]->SetPicture(images_[static_cast<size_t>(i)][2]);
        };
        b.MouseMove = [this, name](int button, int, double, double) { SetHotButton(button, name); };
        b.Click = [this, i] {
            switch (i) {
            case kMin: if (host_) ::ShowWindow(host_, SW_HIDE); break;
            case kMax:
            case kRestore: ToggleMax(); break;
            case kClose: if (BtnCloseClick) BtnCloseClick(); break;
            default: break;
            }
        };
    }
    PropertyBag box = picture;
    box.Set(L"BackStyle", int64_t{1});  // the corners are opaque child windows
    const wchar_t* cornerNames[4] = {L"pic_CornerRightBottom", L"pic_CornerLeftBottom", L"pic_CornerRightTop",
                                     L"pic_CornerLeftTop"};
    const int cornerCodes[4] = {HTBOTTOMRIGHT, HTBOTTOMLEFT, HTTOPRIGHT, HTTOPLEFT};
    for (int i = 0; i < 4; ++i) {
        auto& c = corners_[static_cast<size_t>(i)];
        c = std::make_unique<ucTransPicture>();
        c->Create(*inner_, cornerNames[i], 0, 0, 6, 30, &box);
        const int code = cornerCodes[i];
        c->MouseDown = [this, code](int, int, double, double) { DragResize(code); };
        if (i == 2) c->MouseMove = [this](int, int, double, double) { ClearHotButton(); };
    }
    // Windowless constituents, top of the stacking order first.
    struct Named {
        WindowlessItem* item;
        const wchar_t* name;
    } items[] = {{&resizeLeft_, L"img_ResizeLeft"},   {&resizeBottom_, L"img_ResizeBottom"},
                 {&resizeRight_, L"img_ResizeRight"}, {&icon_, L"img_Icon"},
                 {&borderBottom_, L"img_BorderBottom"}, {&borderLeft_, L"img_BorderLeft"},
                 {&caption_label_, L"lbl_Caption"},   {&resizeTop_, L"img_ResizeTop"},
                 {&borderRight_, L"img_BorderRight"}, {&borderTop_, L"img_BorderTop"},
                 {&background_, L"img_Background"}};
    for (auto& n : items) {
        n.item->name = n.name;
        layer_.Add(n.item);
    }
    borderTop_.mouseDown = [this](int, int, int, int) { DragMove(); };
    borderTop_.mouseMove = [this](int, int, int, int) { ClearHotButton(); };
    borderTop_.dblClick = [this] { ToggleMax(); };
    icon_.mouseDown = caption_label_.mouseDown = [this](int, int, int, int) { DragMove(); };
    icon_.dblClick = caption_label_.dblClick = [this] { ToggleMax(); };
    resizeTop_.mouseDown = [this](int, int, int, int) { DragResize(HTTOP); };
    resizeTop_.mouseMove = [this](int, int, int, int) { ClearHotButton(); };
    resizeBottom_.mouseDown = [this](int, int, int, int) { DragResize(HTBOTTOM); };
    resizeLeft_.mouseDown = [this](int, int, int, int) { DragResize(HTLEFT); };
    resizeRight_.mouseDown = [this](int, int, int, int) { DragResize(HTRIGHT); };
    background_.mouseMove = [this](int, int, int, int) { ClearHotButton(); };
    caption_label_.isLabel = true;
    const int height = -::MulDiv(9, static_cast<int>(std::lround(1440.0 / TwipsPerPixelY())), 72);
    captionFont_ = ::CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
    caption_label_.font = captionFont_;
    defaultIcon_ = IconFromMaskedBitmap(Picture::LoadBitmapResource(::GetModuleHandleW(nullptr), L"ucSkinForm_DefaultIcon"));
    icon_.picture = defaultIcon_;
}

void ucSkinForm::OnTerminate() {
    for (auto& b : buttons_) b.reset();
    for (auto& c : corners_) c.reset();
    inner_.reset();
    for (auto& set : images_)
        for (auto& image : set) image.reset();
}

// ---- skin load and layout ---------------------------------------------------------------------

void ucSkinForm::OnResize() { LoadSkin(); }

void ucSkinForm::LoadSkin() {
    if (loading_ || !inner_) return;
    loading_ = true;
    hot_.clear();
    captionHeight_ = ::GetSystemMetrics(SM_CYCAPTION);
    fullWidth_ = ::GetSystemMetrics(SM_CXFULLSCREEN);
    fullHeight_ = ::GetSystemMetrics(SM_CYFULLSCREEN);
    HWND container = Parent() ? Parent()->Window() : nullptr;
    if (!IsTopLevel(container)) {
        loading_ = false;
        return;
    }
    host_ = container;
    UpdateResizeCursors();
    const wchar_t* cornerBitmaps[4] = {L"CornerRightBottom", L"CornerLeftBottom", L"CornerRightTop", L"CornerLeftTop"};
    for (int i = 0; i < 4; ++i) corners_[static_cast<size_t>(i)]->SetPicture(SkinBitmap(cornerBitmaps[i]));
    ucTransPicture &lt = *corners_[3], &rt = *corners_[2], &lb = *corners_[1];
    lt.SetPosition(0, 0);
    rt.SetPosition(rt.Left(), 0);
    lb.SetPosition(0, lb.Top());
    borderTop_.picture = SkinBitmap(L"BorderTop");
    borderLeft_.picture = SkinBitmap(L"BorderLeft");
    borderRight_.picture = SkinBitmap(L"BorderRight");
    borderBottom_.picture = SkinBitmap(L"BorderBottom");
    for (WindowlessItem* b : {&borderTop_, &borderLeft_, &borderRight_, &borderBottom_}) {
        b->stretch = false;
        if (b->picture) b->SetSize(b->picture->Width(), b->picture->Height());
    }
    const int ltW = static_cast<int>(lt.Width()), ltH = static_cast<int>(lt.Height());
    borderTop_.Move(ltW, 0);
    borderLeft_.Move(0, ltH);
    borderRight_.Move(borderRight_.rect.left, static_cast<int>(rt.Height()));
    borderBottom_.Move(static_cast<int>(lb.Width()), borderBottom_.rect.top);
    for (WindowlessItem* b : {&borderTop_, &borderLeft_, &borderRight_, &borderBottom_}) b->stretch = true;
    resizeTop_.SetSize(resizeTop_.Width(), kGrab);
    resizeLeft_.SetSize(kGrab, resizeLeft_.Height());
    resizeRight_.SetSize(kGrab, resizeRight_.Height());
    resizeBottom_.SetSize(resizeBottom_.Width(), kGrab);
    resizeTop_.Move(borderTop_.rect.left, 0);
    resizeLeft_.Move(0, borderLeft_.rect.top);
    resizeRight_.Move(resizeRight_.rect.left, borderRight_.rect.top);
    resizeBottom_.Move(borderBottom_.rect.left, resizeBottom_.rect.top);
    const wchar_t* buttonBitmaps[4] = {L"BtnMax", L"BtnClose", L"BtnRestore", L"BtnMin"};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k)
            images_[static_cast<size_t>(i)][static_cast<size_t>(k)] =
                SkinBitmap(std::wstring(buttonBitmaps[i]) + std::to_wstring(k + 1));
        buttons_[static_cast<size_t>(i)]->SetPicture(images_[static_cast<size_t>(i)][0]);
        buttons_[static_cast<size_t>(i)]->SetPosition(buttons_[static_cast<size_t>(i)]->Left(), kButtonTop);
    }
    icon_.visible = iconVisible_;
    if (icon_.picture) icon_.SetSize(icon_.picture->Width(), icon_.picture->Height());
    icon_.Move(ltW + kIconLeft, kIconTop);
    caption_label_.text = caption_;
    caption_label_.textColour = 0xFFFFFF;
    if (HDC dc = hDC()) caption_label_.AutoSize(dc);
    caption_label_.Move(ltW + kCaptionLeft, kCaptionTop);
    background_.Move(0, 0);
    background_.picture = SkinBitmap(L"bg");
    background_.stretch = true;
    background_.visible = true;
    ArrangeSkin();
    loading_ = false;
}

void ucSkinForm::ArrangeSkin() {
    if (!inner_) return;
    const int W = ScaleWidth(), H = ScaleHeight();
    ucTransPicture &lt = *corners_[3], &rt = *corners_[2], &lb = *corners_[1], &rb = *corners_[0];
    rt.SetPosition(W - rt.Width(), rt.Top());
    lb.SetPosition(lb.Left(), H - lb.Height());
    rb.SetPosition(W - rb.Width(), H - rb.Height());
    const int ltW = static_cast<int>(lt.Width()), ltH = static_cast<int>(lt.Height());
    const int rtW = static_cast<int>(rt.Width()), rtH = static_cast<int>(rt.Height());
    const int lbW = static_cast<int>(lb.Width()), lbH = static_cast<int>(lb.Height());
    const int rbW = static_cast<int>(rb.Width()), rbH = static_cast<int>(rb.Height());
    borderTop_.SetSize(W - ltW - rtW, borderTop_.Height());
    borderLeft_.SetSize(borderLeft_.Width(), H - ltH - lbH);
    borderRight_.Move(W - borderRight_.Width(), borderRight_.rect.top);
    borderRight_.SetSize(borderRight_.Width(), H - rtH - rbH);
    borderBottom_.Move(borderBottom_.rect.left, H - borderBottom_.Height());
    borderBottom_.SetSize(W - lbW - rbW, borderBottom_.Height());
    resizeTop_.SetSize(borderTop_.Width(), resizeTop_.Height());
    resizeLeft_.SetSize(resizeLeft_.Width(), borderLeft_.Height());
    resizeRight_.Move(W - resizeRight_.Width(), resizeRight_.rect.top);
    resizeRight_.SetSize(resizeRight_.Width(), borderRight_.Height());
    resizeBottom_.Move(resizeBottom_.rect.left, H - resizeBottom_.Height());
    resizeBottom_.SetSize(borderBottom_.Width(), resizeBottom_.Height());
    int x = static_cast<int>(rt.Left()) - kRightMargin;
    auto place = [&](ucTransPicture& b) {
        const int w = static_cast<int>(b.Width());
        b.SetPosition(x - w, b.Top());
        b.SetVisible(true);
        x = x - w - kButtonGap;
    };
    if (!btnClose_) buttons_[kClose]->SetVisible(false);
    else place(*buttons_[kClose]);
    if (!btnMaximize_) {
        buttons_[kMax]->SetVisible(false);
        buttons_[kRestore]->SetVisible(false);
    } else if (!isMax_) {
        place(*buttons_[kMax]);
        buttons_[kRestore]->SetVisible(false);
    } else {
        place(*buttons_[kRestore]);
        buttons_[kMax]->SetVisible(false);
    }
    if (btnMinimize_) {
        buttons_[kMin]->SetPosition(x - buttons_[kMin]->Width(), buttons_[kMin]->Top());
        buttons_[kMin]->SetVisible(true);
    } else {
        buttons_[kMin]->SetVisible(false);
    }
    background_.SetSize(W, H);
    if (hWnd()) ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void ucSkinForm::UpdateResizeCursors() {
    if (!inner_) return;
    const bool on = allowResizing_ && !isMax_;
    auto cursor = [&](const wchar_t* id) { return on ? ::LoadCursorW(nullptr, id) : nullptr; };
    resizeTop_.cursor = resizeBottom_.cursor = cursor(IDC_SIZENS);
    resizeLeft_.cursor = resizeRight_.cursor = cursor(IDC_SIZEWE);
    const int nwse = on ? 8 : 0, nesw = on ? 6 : 0;
    corners_[3]->SetMousePointer(nwse);
    corners_[0]->SetMousePointer(nwse);
    corners_[2]->SetMousePointer(nesw);
    corners_[1]->SetMousePointer(nesw);
}

// ---- window shape -----------------------------------------------------------------------------

void ucSkinForm::TransForm() {
    HWND host = host_;
    if (!host || !inner_) return;
    // The host measures in twips: it takes the frame's size as it stands.
    RECT frame{};
    ::GetWindowRect(hWnd(), &frame);
    ::SetWindowPos(host, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetPosition(0, 0);
    const int W = ScaleWidth(), H = ScaleHeight();
    HRGN full = ::CreateRectRgn(0, 0, W, H);
    HRGN shape = ::CreateRectRgn(0, 0, W, H);
    for (auto& c : corners_) {
        const int l = static_cast<int>(c->Left()), t = static_cast<int>(c->Top());
        HRGN corner = ::CreateRectRgn(l, t, l + static_cast<int>(c->Width()), t + static_cast<int>(c->Height()));
        HRGN without = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(without, full, corner, RGN_XOR);
        ::CombineRgn(shape, shape, without, RGN_AND);
        ::DeleteObject(without);
        ::DeleteObject(corner);
    }
    for (int i : {3, 2, 1, 0}) {  // top-left, top-right, bottom-left, bottom-right
        ucTransPicture& c = *corners_[static_cast<size_t>(i)];
        if (!c.GetPicture()) continue;
        if (HRGN mask = MaskRegionOf(*c.GetPicture(), kMask, static_cast<int>(c.Left()), static_cast<int>(c.Top()))) {
            ::CombineRgn(shape, shape, mask, RGN_OR);
            ::DeleteObject(mask);
        }
    }
    ::DeleteObject(full);
    if (!::SetWindowRgn(host, shape, TRUE)) ::DeleteObject(shape);
}

// ---- moving, sizing, maximising ---------------------------------------------------------------

void ucSkinForm::DragMove() {
    if (isMax_ || !host_) return;
    ::ReleaseCapture();
    ::SendMessageW(host_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void ucSkinForm::DragResize(int hitCode) {
    if (!allowResizing_ || isMax_ || !host_) return;
    HWND host = host_;
    ::ReleaseCapture();
    ::SendMessageW(host, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hitCode), 0);
    if (!::IsWindow(host) || !hWnd()) return;
    // The frame follows the host's new client size, which lays the skin out again.
    RECT client{};
    ::GetClientRect(host, &client);
    const double ux = Parent()->UnitsPerPixelX(), uy = Parent()->UnitsPerPixelY();
    SetSize(client.right * ux, client.bottom * uy);
    ArrangeSkin();
    TransForm();
}

void ucSkinForm::ToggleMax() {
    if (!btnMaximize_ || !host_) return;
    const double ux = Parent()->UnitsPerPixelX(), uy = Parent()->UnitsPerPixelY();
    if (!isMax_) {
        isMax_ = true;
        RECT window{};
        ::GetWindowRect(host_, &window);
        restore_ = {true, Width(), Height(), window.left, window.top};
        ::SetWindowPos(host_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetSize(ux * fullWidth_, uy * (captionHeight_ + fullHeight_));
    } else {
        isMax_ = false;
        if (restore_.saved) {
            ::SetWindowPos(host_, nullptr, restore_.left, restore_.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetSize(restore_.width, restore_.height);
        } else {
            LoadSkin();  // no saved geometry: size and place stay; only the state changes
        }
    }
    UpdateResizeCursors();
    TransForm();
}

void ucSkinForm::ResetMax() {
    if (!host_) return;
    ::SetWindowPos(host_, nullptr, 0, 0, fullWidth_, captionHeight_ + fullHeight_, SWP_NOZORDER | SWP_NOACTIVATE);
    isMax_ = true;
    UpdateResizeCursors();
    ArrangeSkin();
}

void ucSkinForm::DoUnloadAll() {
    const DWORD thread = ::GetCurrentThreadId();
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM) -> BOOL {
            ::DestroyWindow(window);
            return TRUE;
        },
        0);
}

// ---- hover and press of the title buttons ------------------------------------------------------

int ucSkinForm::ButtonIndex(const std::wstring& name) const {
    for (int i = 0; i < 4; ++i)
        if (name == kButtonNames[i]) return i;
    return -1;
}

void ucSkinForm::SetHotButton(int mouseButton, const std::wstring& name) {
    if (name == hot_) return;
    ClearHotButton();
    hot_ = name;
    const int i = ButtonIndex(name);
    if (i >= 0) buttons_[static_cast<size_t>(i)]->SetPicture(images_[static_cast<size_t>(i)][mouseButton == kLeftButton ? 2 : 1]);
}

void ucSkinForm::ClearHotButton() {
    const int i = ButtonIndex(hot_);
    if (i >= 0) buttons_[static_cast<size_t>(i)]->SetPicture(images_[static_cast<size_t>(i)][0]);
    hot_.clear();
}

// ---- the frame's own surface ------------------------------------------------------------------

void ucSkinForm::OnPaint(HDC dc) {
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    HBRUSH brush = ::CreateSolidBrush(0xF0F0F0);
    ::FillRect(dc, &client, brush);
    ::DeleteObject(brush);
    layer_.Paint(dc);
}

void ucSkinForm::OnMouseDown(int button, int shift, int x, int y) {
    pressed_ = layer_.HitTest(x, y);
    if (pressed_ && pressed_->mouseDown) pressed_->mouseDown(button, shift, x, y);
}

void ucSkinForm::OnMouseMove(int button, int shift, int x, int y) {
    WindowlessItem* item = layer_.HitTest(x, y);
    if (item && item->mouseMove) item->mouseMove(button, shift, x, y);
    else if (!item) ClearHotButton();  // the frame's own surface
}

void ucSkinForm::OnDblClick() {
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(hWnd(), &p);
    WindowlessItem* item = layer_.HitTest(p.x, p.y);
    if (item && item->dblClick) item->dblClick();
}

bool ucSkinForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        POINT p{};
        ::GetCursorPos(&p);
        ::ScreenToClient(hWnd(), &p);
        WindowlessItem* item = layer_.HitTest(p.x, p.y);
        ::SetCursor(item && item->cursor ? item->cursor : ::LoadCursorW(nullptr, IDC_ARROW));
        result = TRUE;
        return true;
    }
    return false;
}

}  // namespace quorallion::controls
