// ucButton: properties, container notifications, keyboard and mouse rules, hot tracking through
// the window hook, tooltip, layout and window shape.
#include "ucButton_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "win/handles.h"

namespace quorallion::controls {

namespace {
constexpr int kKeySpace = 32, kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40, kKeyTab = 9;
constexpr UINT kMsgMouseMove = 512, kMsgMouseLeave = 675, kMsgThemeChanged = 794, kMsgSysColorChange = 21;

bool IsExported(const wchar_t* module, const char* name) {
    HMODULE loaded = ::GetModuleHandleW(module);
    win::UniqueModule own;
    if (!loaded) {
        own.reset(::LoadLibraryW(module));
        loaded = own.get();
    }
    return loaded && ::GetProcAddress(loaded, name) != nullptr;
}
}  // namespace

ucButton::ucButton() = default;

ucButton::~ucButton() {
    Destroy();
    DestroyToolTip();
}

void ucButton::Raise(const std::function<void()>& event) {
    if (event) event();
}

// ---- properties -------------------------------------------------------------------------------

void ucButton::SetStyle(int value) {
    style_ = value;
    NotifyChanged(L"Style");
    Layout();
    Refresh();
    Layout();
    Refresh();
}

#define QUORALLION_LR_SETTER(Name, field, key) \
    void ucButton::Set##Name(decltype(field) value) { \
        field = value;                             \
        NotifyChanged(key);                        \
        Layout();                                  \
        Refresh();                                 \
    }
QUORALLION_LR_SETTER(IconAlign, iconAlign_, L"IconAlign")
QUORALLION_LR_SETTER(IconSize, iconSize_, L"IconSize")
QUORALLION_LR_SETTER(CaptionAlign, captionAlign_, L"CaptionAlign")
QUORALLION_LR_SETTER(NonThemeStyle, nonThemeStyle_, L"NonThemeStyle")
#undef QUORALLION_LR_SETTER

void ucButton::SetCaption(std::wstring_view value) {
    caption_ = std::wstring(value);
    NotifyChanged(L"Caption");
    Layout();
    Refresh();
}

void ucButton::SetIcon(PicturePtr value) {
    icon_ = std::move(value);
    NotifyChanged(L"Icon");
    Layout();
    Refresh();
}

#define QUORALLION_R_SETTER(Name, field, key) \
    void ucButton::Set##Name(decltype(field) value) { \
        field = value;                            \
        NotifyChanged(key);                       \
        Refresh();                                \
    }
QUORALLION_R_SETTER(ShowFocus, showFocus_, L"ShowFocus")
QUORALLION_R_SETTER(UseCustomColors, useCustomColors_, L"UseCustomColors")
QUORALLION_R_SETTER(BackColor, backColor_, L"BackColor")
QUORALLION_R_SETTER(HighlightColor, highlightColor_, L"HighlightColor")
QUORALLION_R_SETTER(FontColor, fontColor_, L"FontColor")
QUORALLION_R_SETTER(FontHighlightColor, fontHighlightColor_, L"FontHighlightColor")
QUORALLION_R_SETTER(ToolTipIcon, toolTipIcon_, L"TooltipIcon")
QUORALLION_R_SETTER(ToolTipType, toolTipType_, L"ToolTipType")
QUORALLION_R_SETTER(ToolTipBackColor, toolTipBackColor_, L"ToolTipBackColor")
QUORALLION_R_SETTER(ToolTipForeColor, toolTipForeColor_, L"ToolTipForeColor")
QUORALLION_R_SETTER(ButtonType, buttonType_, L"ButtonType")
QUORALLION_R_SETTER(Value, value_, L"Value")
QUORALLION_R_SETTER(MaskColor, maskColor_, L"MaskColor")
QUORALLION_R_SETTER(UseMaskColor, useMaskColor_, L"UseMaskColor")
QUORALLION_R_SETTER(RoundedBordersByTheme, roundedBordersByTheme_, L"RoundedBordersByTheme")
#undef QUORALLION_R_SETTER

void ucButton::SetToolTipTitle(std::wstring_view value) {
    toolTipTitle_ = std::wstring(value);
    NotifyChanged(L"TooltipTitle");
    Refresh();
}

void ucButton::SetRightToLeft(bool value) {
    rightToLeft_ = value ? -1 : 0;
    NotifyChanged(L"bRTLText");
    Refresh();
}

void ucButton::SetToolTipText(std::wstring_view value) {
    toolTipText_ = std::wstring(value);
    ExtenderToolTipText = toolTipText_;  // the tooltip takes its text from the container's copy
    NotifyChanged(L"ToolTipText");
    CreateToolTip();
    Refresh();
}

void ucButton::SetButtonFont(HFONT value) {
    SetFont(value);
    NotifyChanged(L"Font");
    Refresh();
}

void ucButton::SetEnabled(bool value) {
    enabled_ = value;
    state_ = kStateNormal;
    Refresh();
    NotifyChanged(L"Enabled");
    SetWindowEnabled(value);
}

void ucButton::SetPointer(int value) {
    SetMousePointer(value);
    NotifyChanged(L"MousePointer");
}

// ---- persistence ------------------------------------------------------------------------------

void ucButton::InitProperties() {
    style_ = 0;
    caption_ = Name();
    icon_.reset();
    iconAlign_ = 1;
    iconSize_ = 16;
    captionAlign_ = 0;
    nonThemeStyle_ = 0;
    enabled_ = true;
    showFocus_ = false;
    useCustomColors_ = false;
    backColor_ = TranslateColor(SystemColour(15));
    highlightColor_ = TranslateColor(SystemColour(13));
    fontColor_ = TranslateColor(SystemColour(18));
    fontHighlightColor_ = TranslateColor(SystemColour(18));
    toolTipText_.clear();
    toolTipTitle_.clear();
    toolTipIcon_ = 0;
    toolTipType_ = 1;
    toolTipBackColor_ = 0;
    toolTipForeColor_ = 0;
    buttonType_ = 0;
    SetMousePointer(0);
    value_ = false;
    maskColor_ = 0;
    useMaskColor_ = false;
    roundedBordersByTheme_ = false;
    rightToLeft_ = 0;
    captionFormat_ = 17;
    faceMargin_ = 4;
}

void ucButton::ReadProperties(const PropertyBag& bag) {
    state_ = kStateNormal;
    if (auto bytes = bag.ReadBytes(L"Icon")) icon_ = LoadPictureBytes(*bytes);
    else icon_.reset();
    style_ = static_cast<int>(bag.ReadInt(L"Style", 3));
    caption_ = bag.ReadText(L"Caption", caption_);
    iconSize_ = static_cast<int>(bag.ReadInt(L"IconSize", 16));
    captionAlign_ = static_cast<int>(bag.ReadInt(L"CaptionAlign", 0));
    iconAlign_ = static_cast<int>(bag.ReadInt(L"IconAlign", 1));
    nonThemeStyle_ = static_cast<int>(bag.ReadInt(L"iNonThemeStyle", 5));
    enabled_ = bag.ReadBool(L"Enabled", true);
    showFocus_ = bag.ReadBool(L"ShowFocus", false);
    useCustomColors_ = bag.ReadBool(L"USeCustomColors", false);
    backColor_ = static_cast<Colour>(bag.ReadInt(L"BackColor", SystemColour(15)));
    highlightColor_ = static_cast<Colour>(bag.ReadInt(L"HighlightColor", SystemColour(13)));
    fontColor_ = static_cast<Colour>(bag.ReadInt(L"FontColor", SystemColour(18)));
    fontHighlightColor_ = static_cast<Colour>(bag.ReadInt(L"FontHighlightColor", SystemColour(18)));
    ExtenderToolTipText = bag.ReadText(L"ToolTipText", toolTipText_);
    toolTipText_ = bag.ReadText(L"ToolTipText", L"");
    toolTipTitle_ = bag.ReadText(L"Tooltiptitle", L"");
    toolTipIcon_ = static_cast<int>(bag.ReadInt(L"ToolTipIcon", 0));
    toolTipType_ = static_cast<int>(bag.ReadInt(L"ToolTipType", 1));
    toolTipBackColor_ = static_cast<Colour>(bag.ReadInt(L"ttBackColor", SystemColour(23)));
    toolTipForeColor_ = static_cast<Colour>(bag.ReadInt(L"ttForeColor", SystemColour(24)));
    if (bag.Has(L"Font")) {
        if (HFONT font = FontFromText(bag.ReadText(L"Font", L""))) {
            ownedFont_.reset(font);
            SetFont(font);
        }
    }
    buttonType_ = static_cast<int>(bag.ReadInt(L"ButtonType", 0));
    value_ = bag.ReadBool(L"Value", false);
    useMaskColor_ = bag.ReadBool(L"UseMaskColor", false);
    maskColor_ = static_cast<Colour>(bag.ReadInt(L"MaskColor", 0xC0C0C0));
    SetMousePointer(static_cast<int>(bag.ReadInt(L"MousePointer", 0)));
    roundedBordersByTheme_ = bag.ReadBool(L"RoundedBordersByTheme", true);
    rightToLeft_ = static_cast<int32_t>(bag.ReadInt(L"bRTLText", 0));

    if (UserMode()) {
        leaveTracking_ = true;
        systemTrackEntry_ = IsExported(L"user32", "TrackMouseEvent");
        if (!systemTrackEntry_ && !IsExported(L"comctl32", "_TrackMouseEvent")) leaveTracking_ = false;
        if (leaveTracking_ && hook_.sc_Subclass(hWnd(), 0, &ucButton::HandleHookedMessage, this)) {
            for (UINT message : {kMsgMouseMove, kMsgMouseLeave, kMsgThemeChanged, kMsgSysColorChange})
                hook_.sc_WatchMsg(hWnd(), message, kWhenAfter);
        }
    }
    Layout();
}

void ucButton::WriteProperties(PropertyBag& bag) const {
    bag.WriteBytes(L"Icon", SavePictureBytes(icon_));
    bag.WriteInt(L"Style", style_, 3);
    bag.WriteText(L"Caption", caption_, std::wstring_view());
    bag.WriteInt(L"IconSize", iconSize_, 16);
    bag.WriteInt(L"IconAlign", iconAlign_, 1);
    bag.WriteInt(L"CaptionAlign", captionAlign_, 0);
    bag.WriteInt(L"iNonThemeStyle", nonThemeStyle_, 5);
    bag.WriteBool(L"Enabled", enabled_, true);
    bag.WriteBool(L"ShowFocus", showFocus_, false);
    bag.WriteBool(L"USeCustomColors", useCustomColors_, false);
    bag.WriteInt(L"BackColor", backColor_, SystemColour(15));
    bag.WriteInt(L"HighlightColor", highlightColor_, SystemColour(13));
    bag.WriteInt(L"FontColor", fontColor_, SystemColour(18));
    bag.WriteInt(L"FontHighlightColor", fontHighlightColor_, SystemColour(18));
    // The container's copy, or the control's own while its tooltip holds the text.
    bag.WriteText(L"ToolTipText", ExtenderToolTipText.empty() ? toolTipText_ : ExtenderToolTipText, std::nullopt);
    bag.WriteText(L"ToolTipTitle", toolTipTitle_, std::nullopt);
    bag.WriteInt(L"ToolTipIcon", toolTipIcon_, std::nullopt);
    bag.WriteInt(L"ToolTipType", toolTipType_, std::nullopt);
    bag.WriteInt(L"ttBackColor", toolTipBackColor_, TranslateColor(SystemColour(23)));
    bag.WriteInt(L"ttForeColor", toolTipForeColor_, TranslateColor(SystemColour(24)));
    bag.WriteText(L"Font", FontToText(Font()), std::nullopt);
    bag.WriteInt(L"ButtonType", buttonType_, 0);
    bag.WriteBool(L"Value", value_, false);
    bag.WriteInt(L"MaskColor", maskColor_, 0xC0C0C0);
    bag.WriteBool(L"UseMaskColor", useMaskColor_, false);
    bag.WriteInt(L"MousePointer", MousePointer(), 0);
    bag.WriteBool(L"RoundedBordersByTheme", roundedBordersByTheme_, true);
    bag.WriteInt(L"bRTLText", rightToLeft_, 0);
}

// ---- layout and shape -------------------------------------------------------------------------

void ucButton::OnResize() { Layout(); }

void ucButton::Layout() {
    if (!hWnd()) return;
    const double minimum = 300;
    if (Width() < minimum || Height() < minimum) {
        SetSize(std::max(Width(), minimum), std::max(Height(), minimum));
        if (Width() < minimum - 1 || Height() < minimum - 1) return;  // the parent refused
    }
    const int W = ScaleWidth(), H = ScaleHeight();
    captionRect_ = {4, 4, W - 4, H - 4};
    RECT measured{4, 4, W - 4, H - 4};
    HDC dc = hDC();
    if (dc) {
        HGDIOBJ old = ::SelectObject(dc, Font());
        UINT flags = kDtCalcRect | kDtWordBreak | (rightToLeft_ ? kDtRtlReading : 0);
        ::DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &measured, flags);
        ::SelectObject(dc, old);
    }
    CaptionLayout layout = LayoutCaption(W, H, {measured.left, measured.top, measured.right, measured.bottom},
                                         captionAlign_, faceMargin_, captionFormat_, rightToLeft_ != 0);
    captionRect_ = layout.rect;
    captionFormat_ = layout.flags;
    ApplyWindowRegion();
    Refresh();
}

void ucButton::ApplyWindowRegion() {
    const int W = ScaleWidth(), H = ScaleHeight();
    HRGN region = nullptr;
    switch (style_) {
    case 5:
    case 7: region = CreateCutCornerRegion(W, H); break;
    case 8:
    case 9: region = CreateBevelCornerRegion(W, H); break;
    case 10: region = CreateRoundRegion(W, H); break;
    default: region = ::CreateRectRgn(0, 0, W, H); break;
    }
    if (region && !::SetWindowRgn(hWnd(), region, TRUE)) ::DeleteObject(region);
}

// ---- redraw -----------------------------------------------------------------------------------

void ucButton::OnPaint(HDC dc) { RenderTo(dc); }

void ucButton::Refresh() {
    if (hWnd() && hDC()) RenderTo(hDC());
}

void ucButton::RenderTo(HDC target) {
    const int W = ScaleWidth(), H = ScaleHeight();
    if (W <= 0 || H <= 0 || !target) return;
    win::UniqueMemoryDC memory(::CreateCompatibleDC(target));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win::UniqueGdiObject canvas(::CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !canvas) return;
    {
        win::SelectGuard selectCanvas(memory.get(), canvas.get());
        win::SelectGuard selectFont(memory.get(), Font());
        FaceSurface s{memory.get(), W, H, background_};
        s.SetBackground(background_);
        faceMargin_ = 3;
        if (shown_) {
            if (!UserMode() && style_ != 5) state_ = kStateHot;
            if (buttonType_ == 1 && value_) state_ = kStatePressed;
            if (!enabled_) {
                state_ = kStateDisabled;
                s.SetBackground(TranslateColor(SystemColour(15)));
            }
            FaceState f;
            f.state = state_;
            f.focus = focus_;
            f.showFocus = showFocus_;
            f.displayAsDefault = DisplayAsDefault();
            f.back = TranslateColor(backColor_) & 0xFFFFFF;
            f.highlight = TranslateColor(highlightColor_) & 0xFFFFFF;
            switch (style_) {
            case 0: case 1: case 2: case 3: case 4: PaintStyles0To4(s); break;
            case 5:
                if (useCustomColors_) PaintFaceStyle5Custom(s, f);
                else PaintFaceStyle5(s, f);
                faceMargin_ = 3;
                break;
            case 7: PaintFaceStyle7(s, f, useCustomColors_); faceMargin_ = 4; break;
            case 8: PaintFaceStyle8(s, f, useCustomColors_); faceMargin_ = 4; break;
            case 9: PaintFaceStyle9(s, f, useCustomColors_); faceMargin_ = 6; break;
            case 10: PaintFaceStyle10(s, f); faceMargin_ = 7; break;
            default: break;
            }
            DrawIcon(s);
            DrawCaption(s);
        }
        background_ = s.background;
        ::BitBlt(target, 0, 0, W, H, memory.get(), 0, 0, SRCCOPY);
    }
}

void ucButton::PaintStyles0To4(FaceSurface& s) {
    HDC dc = s.dc;
    const int W = s.w, H = s.h;
    auto custom = [&](Colour a, Colour b) { return TranslateColor(useCustomColors_ ? a : b) & 0xFFFFFF; };
    const Colour face = TranslateColor(SystemColour(15)), shadow = TranslateColor(SystemColour(16));
    const int st = state_;
    auto edge = [&](UINT kind) { DrawEdgeBox(dc, 0, 0, W, H, kind, BF_RECT); };
    switch (style_) {
    case 0:
        s.SetBackground(custom(st == kStateNormal ? backColor_ : highlightColor_, SystemColour(15)));
        edge(st == kStatePressed ? EDGE_SUNKEN : EDGE_RAISED);
        if ((focus_ && showFocus_) || (!focus_ && DisplayAsDefault())) DrawFrame(dc, 0, 0, W - 1, H - 1, 0);
        break;
    case 1:
    case 2: {
        const bool plain = st == kStateNormal || st == kStateDisabled;
        s.SetBackground(custom(plain ? backColor_ : highlightColor_, SystemColour(15)));
        const Colour back = s.background;
        if (st == kStateHot) edge(BDR_RAISEDINNER);
        else if (st == kStatePressed) edge(BDR_SUNKENOUTER);
        else if (st == kStateDisabled || (style_ == 2 && (st == kStateNormal || st == kStateNone)))
            DrawFrame(dc, 0, 0, W - 1, H - 1, back);
        else if (style_ == 1 && st == kStateNormal) edge(BDR_RAISEDINNER);
        break;
    }
    case 3: {
        s.SetBackground(custom(backColor_, SystemColour(15)));
        Colour F = custom(backColor_, SystemColour(15));
        if (st == kStateHot)
            F = useCustomColors_ ? MixColors(TranslateColor(highlightColor_), TranslateColor(backColor_))
                                 : MixColors(shadow, face);
        else if (st == kStatePressed) F = custom(highlightColor_, SystemColour(16));
        RECT all{0, 0, W, H};
        FillRectWithColor(dc, all, F);
        DrawEtchedFrame(dc, 0, 0, W - 1, H - 1, shadow, TranslateColor(SystemColour(5)), F);
        break;
    }
    case 4: {
        s.SetBackground(0);
        if (st == kStateHot || st == kStatePressed) {
            const Colour A = custom(highlightColor_, SystemColour(13));
            FillBoxWithColor(dc, 0, 0, W - 1, H - 1, LightenColor(A, st == kStateHot ? 176 : 128));
            DrawFrame(dc, 0, 0, W - 1, H - 1, A);
        } else {
            FillBoxWithColor(dc, 0, 0, W, H, LightenColor(custom(backColor_, SystemColour(15)), 32));
        }
        break;
    }
    default:
        break;
    }
}

void ucButton::DrawIcon(FaceSurface& s) {
    if (!icon_ || icon_->Empty()) return;
    const int W = s.w, H = s.h, S = iconSize_, m = faceMargin_;
    int x = 0, y = 0;
    const int cx = NearestEven((W - S) / 2.0), cy = NearestEven((H - S) / 2.0);
    switch (iconAlign_) {
    case 0: x = cx; y = cy; break;
    case 1: x = m; y = cy; break;
    case 2: x = NearestEven(W - S - m); y = cy; break;
    case 3: x = cx; y = m; break;
    case 4: x = cx; y = NearestEven(H - S - m); break;
    default: break;
    }
    if (state_ == kStatePressed) {
        ++x;
        ++y;
    }
    auto plainPaint = [&](int px, int py) {
        if (icon_->Icon()) {
            ::DrawIconEx(s.dc, px, py, icon_->Icon(), S, S, 0, nullptr, DI_NORMAL);
        } else {
            win::UniqueMemoryDC source(::CreateCompatibleDC(s.dc));
            win::SelectGuard select(source.get(), icon_->Bitmap());
            ::SetStretchBltMode(s.dc, COLORONCOLOR);
            ::StretchBlt(s.dc, px, py, S, S, source.get(), 0, 0, icon_->Width(), icon_->Height(), SRCCOPY);
        }
    };
    MaskedPaint how;
    how.useMask = useMaskColor_;
    how.key = TranslateColor(maskColor_) & 0xFFFFFF;
    if (state_ == kStateHot && style_ == 4) {
        if (useMaskColor_) {
            MaskedPaint shadow = how;
            shadow.solid = 0x808080;
            PaintPictureMasked(s.dc, x + 1, y + 1, S, S, icon_->Bitmap(), icon_->Icon(), shadow);
            PaintPictureMasked(s.dc, x - 1, y - 1, S, S, icon_->Bitmap(), icon_->Icon(), how);
        } else {
            plainPaint(x, y);
            const COLORREF sample = ::GetPixel(s.dc, 1, 1);
            for (int py = y; py <= y + S; ++py)
                for (int px = x; px <= x + S; ++px)
                    if (::GetPixel(s.dc, px, py) != sample) ::SetPixelV(s.dc, px, py, 0x808080);
        }
        x -= 2;
        y -= 2;
    }
    if (useMaskColor_) {
        MaskedPaint draw = how;
        draw.grey = !enabled_;
        PaintPictureMasked(s.dc, x, y, S, S, icon_->Bitmap(), icon_->Icon(), draw);
    } else if (enabled_) {
        plainPaint(x, y);
    } else if (icon_->Icon()) {
        PaintIconGrayscale(s.dc, icon_->Icon(), x, y, S, S);
    } else {
        MaskedPaint grey;
        grey.grey = true;
        PaintPictureMasked(s.dc, x, y, S, S, icon_->Bitmap(), nullptr, grey);
    }
}

void ucButton::DrawCaption(FaceSurface& s) {
    Colour colour;
    if (state_ == kStateDisabled) colour = TranslateColor(SystemColour(17));
    else if (!useCustomColors_) colour = TranslateColor(SystemColour(18));
    else if (state_ == kStateHot || state_ == kStatePressed) colour = TranslateColor(fontHighlightColor_);
    else colour = TranslateColor(fontColor_);
    ::SetBkMode(s.dc, TRANSPARENT);
    const COLORREF old = ::SetTextColor(s.dc, colour & 0xFFFFFF);
    RECT r{captionRect_.left, captionRect_.top, captionRect_.right, captionRect_.bottom};
    ::DrawTextW(s.dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, captionFormat_);
    ::SetTextColor(s.dc, old);
}

// ---- container notifications ------------------------------------------------------------------

void ucButton::OnShow() {
    shown_ = true;
    Layout();
    Refresh();
}

void ucButton::OnHide() {
    shown_ = false;
    ExtenderToolTipText = toolTipText_;
}

void ucButton::OnGotFocus() {
    focus_ = true;
    Refresh();
}

void ucButton::OnLostFocus() {
    focus_ = false;
    Refresh();
}

void ucButton::OnAmbientChanged(std::wstring_view name) {
    if (name == L"DisplayAsDefault") Refresh();
}

void ucButton::OnTerminate() {
    hook_.sc_UnSubclassAll();
    DestroyToolTip();
}

void ucButton::OnKeyDown(int key, int shift) {
    if (key == kKeySpace) {
        state_ = kStatePressed;
        Refresh();
    } else if (key == kKeyRight || key == kKeyDown) {
        if (Parent()) Parent()->SendKeys(L"{TAB}");
    } else if (key == kKeyLeft || key == kKeyUp) {
        if (Parent()) Parent()->SendKeys(L"+{TAB}");
    } else if (key == kKeyTab) {
        Raise(MouseLeave);
    }
}

void ucButton::OnKeyUp(int key, int shift) {
    if (key != kKeySpace) return;
    ClickStep();
    Raise(Click);
    state_ = kStateNormal;
    Refresh();
}

void ucButton::AccessKeyPress() {
    lastMouseButton_ = kLeftButton;
    ClickStep();
    state_ = kStateNormal;
    Raise(Click);
}

void ucButton::OnMouseDown(int button, int shift, int x, int y) {
    if (enabled_ && button == kLeftButton) {
        state_ = kStatePressed;
        Refresh();
    }
}

void ucButton::OnDblClick() {
    if (lastMouseButton_ == kLeftButton) OnMouseDown(kLeftButton, 0, 0, 0);
}

void ucButton::OnMouseUp(int button, int shift, int x, int y) {
    if (!enabled_) return;
    if (button == kLeftButton) {
        // Every completed left click raises Click, on a check button whether set or not.
        state_ = kStateHot;
        HWND self = hWnd();
        if (Parent()) Parent()->DoEvents();
        if (!::IsWindow(self) || hWnd() != self) return;
        TrackMouseLeave(hWnd());
        if (pointerOver_) Raise(Click);
        Refresh();
    }
    lastMouseButton_ = button;
}

void ucButton::OnClick() { ClickStep(); }

void ucButton::ClickStep() {
    if (lastMouseButton_ != kLeftButton) return;
    if (buttonType_ == 1) value_ = !value_;
    state_ = kStateHot;
    Refresh();
}

// ---- hot tracking and tooltip -----------------------------------------------------------------

void ucButton::HandleHookedMessage(void* owner, bool before, bool& handled, LRESULT& result, HWND window,
                                   UINT message, WPARAM wParam, LPARAM lParam, LONG_PTR& userValue) {
    auto* self = static_cast<ucButton*>(owner);
    switch (message) {
    case kMsgMouseMove: {
        if (self->pointerOver_) return;
        // A move reported under capture from outside the window is no entry.
        RECT r{};
        ::GetClientRect(window, &r);
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (!::PtInRect(&r, p)) return;
        self->pointerOver_ = true;
        self->TrackMouseLeave(window);
        self->state_ = kStateHot;
        self->Refresh();
        self->Raise(self->MouseEnter);
        self->CreateToolTip();
        break;
    }
    case kMsgMouseLeave:
        self->pointerOver_ = false;
        self->state_ = kStateNormal;
        self->DestroyToolTip();
        self->Refresh();
        self->Raise(self->MouseLeave);
        break;
    case kMsgSysColorChange:
    case kMsgThemeChanged:
        self->Refresh();
        break;
    default:
        break;
    }
}

void ucButton::TrackMouseLeave(HWND window) {
    if (!leaveTracking_) return;
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = window;
    request.dwHoverTime = 0;
    if (systemTrackEntry_) ::TrackMouseEvent(&request);
    else ::_TrackMouseEvent(&request);
}

void ucButton::CreateToolTip() {
    toolTipText_ = ExtenderToolTipText;
    ExtenderToolTipText.clear();
    DestroyToolTipWindow();  // never two tooltips for one button
    if (!enabled_ || !shown_) return;
    const DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX | (toolTipType_ == 1 ? TTS_BALLOON : 0);
    toolTip_ = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, hWnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!toolTip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hWnd();
    tool.uId = 0;
    ::GetClientRect(hWnd(), &tool.rect);
    tool.hinst = ::GetModuleHandleW(nullptr);
    tool.lpszText = const_cast<wchar_t*>(toolTipText_.c_str());
    ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!toolTipTitle_.empty() || toolTipIcon_ != 0)
        ::SendMessageW(toolTip_, TTM_SETTITLEW, static_cast<WPARAM>(toolTipIcon_),
                       reinterpret_cast<LPARAM>(toolTipTitle_.c_str()));
    if (toolTipForeColor_ != 0)
        ::SendMessageW(toolTip_, TTM_SETTIPTEXTCOLOR, TranslateColor(toolTipForeColor_) & 0xFFFFFF, 0);
    if (toolTipBackColor_ != 0)
        ::SendMessageW(toolTip_, TTM_SETTIPBKCOLOR, TranslateColor(toolTipBackColor_) & 0xFFFFFF, 0);
}

void ucButton::DestroyToolTipWindow() {
    if (toolTip_) {
        ::DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
}

void ucButton::DestroyToolTip() {
    ExtenderToolTipText = toolTipText_;
    DestroyToolTipWindow();
}

intptr_t ucButton::OpenLink(std::wstring_view link) {
    std::wstring target(link);
    return reinterpret_cast<intptr_t>(::ShellExecuteW(hWnd(), L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace quorallion::controls
