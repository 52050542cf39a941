#pragma once
// ucButton: the owner-drawn push or check button, faces 0 to 10, hot tracking through its window
// hook, tooltip, persisted properties.
//
// A host creates one on a Container (form/control_win.h), here a style-5 OK button of 81 x 25
// pixels on a form measured in twips:
//     quorallion::controls::Container form(hwnd);
//     quorallion::controls::ucButton ok;
//     ok.Create(form, L"cmdOk", 100 * 15, 40 * 15, 81 * 15, 25 * 15);  // a new control
//     ok.SetStyle(5);
//     ok.SetCaption(L"OK");
//     ok.Click = [] { /* ... */ };  // events: Click, MouseEnter, MouseLeave
// A stored control passes its PropertyBag to Create instead (ReadProperties); Save writes one.
#include <windows.h>

#include <functional>
#include <string>

#include "button_layout.h"
#include "colour_math.h"
#include "faces_win.h"
#include "form/control_win.h"
#include "form/picture_win.h"
#include "subclasser_win.h"
#include "win/handles.h"

namespace quorallion::controls {

class ucButton : public Control {
public:
    ucButton();
    ~ucButton() override;

    // Events.
    std::function<void()> Click;
    std::function<void()> MouseEnter;
    std::function<void()> MouseLeave;

    static const wchar_t* Version() { return L"3.7.2"; }

    int Style() const { return style_; }
    void SetStyle(int value);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring_view value);
    const PicturePtr& Icon() const { return icon_; }
    void SetIcon(PicturePtr value);
    int IconAlign() const { return iconAlign_; }
    void SetIconAlign(int value);
    int IconSize() const { return iconSize_; }
    void SetIconSize(int value);
    int CaptionAlign() const { return captionAlign_; }
    void SetCaptionAlign(int value);
    int NonThemeStyle() const { return nonThemeStyle_; }
    void SetNonThemeStyle(int value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool value);
    bool UseCustomColors() const { return useCustomColors_; }
    void SetUseCustomColors(bool value);
    Colour BackColor() const { return backColor_; }
    void SetBackColor(Colour value);
    Colour HighlightColor() const { return highlightColor_; }
    void SetHighlightColor(Colour value);
    Colour FontColor() const { return fontColor_; }
    void SetFontColor(Colour value);
    Colour FontHighlightColor() const { return fontHighlightColor_; }
    void SetFontHighlightColor(Colour value);
    const std::wstring& ToolTipText() const { return toolTipText_; }
    void SetToolTipText(std::wstring_view value);
    const std::wstring& ToolTipTitle() const { return toolTipTitle_; }
    void SetToolTipTitle(std::wstring_view value);
    int ToolTipIcon() const { return toolTipIcon_; }
    void SetToolTipIcon(int value);
    int ToolTipType() const { return toolTipType_; }
    void SetToolTipType(int value);
    Colour ToolTipBackColor() const { return toolTipBackColor_; }
    void SetToolTipBackColor(Colour value);
    Colour ToolTipForeColor() const { return toolTipForeColor_; }
    void SetToolTipForeColor(Colour value);
    HFONT ButtonFont() const { return Font(); }
    void SetButtonFont(HFONT value);
    int ButtonType() const { return buttonType_; }
    void SetButtonType(int value);
    int Pointer() const { return MousePointer(); }
    void SetPointer(int value);
    bool Value() const { return value_; }
    void SetValue(bool value);
    Colour MaskColor() const { return maskColor_; }
    void SetMaskColor(Colour value);
    bool UseMaskColor() const { return useMaskColor_; }
    void SetUseMaskColor(bool value);
    bool RoundedBordersByTheme() const { return roundedBordersByTheme_; }
    void SetRoundedBordersByTheme(bool value);
    bool RightToLeft() const { return rightToLeft_ != 0; }
    void SetRightToLeft(bool value);

    // Paints the whole control off-screen and copies it to the window once.
    void Refresh();
    // Opens a link with the shell's "open" verb; the shell's result (above 32 = success).
    intptr_t OpenLink(std::wstring_view link);
    // The container's access key for this control was used.
    void AccessKeyPress();

    // State, for hosts and tests.
    int ButtonState() const { return state_; }
    bool HasFocus() const { return focus_; }
    bool PointerOver() const { return pointerOver_; }
    HWND ToolTipWindow() const { return toolTip_; }
    const IntRect& CaptionRect() const { return captionRect_; }
    uint32_t CaptionFormat() const { return captionFormat_; }
    int FaceMargin() const { return faceMargin_; }
    Subclasser& Hook() { return hook_; }

protected:
    const wchar_t* TypeName() const override { return L"ucButton"; }
    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    void OnResize() override;
    void OnPaint(HDC dc) override;
    void OnShow() override;
    void OnHide() override;
    void OnGotFocus() override;
    void OnLostFocus() override;
    void OnKeyDown(int key, int shift) override;
    void OnKeyUp(int key, int shift) override;
    void OnMouseDown(int button, int shift, int x, int y) override;
    void OnMouseUp(int button, int shift, int x, int y) override;
    void OnClick() override;
    void OnDblClick() override;
    void OnAmbientChanged(std::wstring_view name) override;
    void OnTerminate() override;

private:
    static void HandleHookedMessage(void* owner, bool before, bool& handled, LRESULT& result, HWND window,
                                    UINT message, WPARAM wParam, LPARAM lParam, LONG_PTR& userValue);
    void Layout();
    void ApplyWindowRegion();
    void ClickStep();
    void TrackMouseLeave(HWND window);
    void CreateToolTip();
    void DestroyToolTip();
    void DestroyToolTipWindow();
    void Raise(const std::function<void()>& event);
    void RenderTo(HDC target);
    void DrawIcon(FaceSurface& s);
    void DrawCaption(FaceSurface& s);
    void PaintStyles0To4(FaceSurface& s);

    int style_ = 3;
    std::wstring caption_;
    PicturePtr icon_;
    int iconAlign_ = 1;
    int iconSize_ = 16;
    int captionAlign_ = 0;
    int nonThemeStyle_ = 5;
    bool enabled_ = true;
    bool showFocus_ = false;
    bool useCustomColors_ = false;
    Colour backColor_ = SystemColour(15);
    Colour highlightColor_ = SystemColour(13);
    Colour fontColor_ = SystemColour(18);
    Colour fontHighlightColor_ = SystemColour(18);
    std::wstring toolTipText_;
    std::wstring toolTipTitle_;
    int toolTipIcon_ = 0;
    int toolTipType_ = 1;
    Colour toolTipBackColor_ = SystemColour(23);
    Colour toolTipForeColor_ = SystemColour(24);
    int buttonType_ = 0;
    bool value_ = false;
    Colour maskColor_ = 0xC0C0C0;
    bool useMaskColor_ = false;
    bool roundedBordersByTheme_ = true;
    int32_t rightToLeft_ = 0;

    int state_ = kStateNone;
    bool focus_ = false;
    bool shown_ = false;
    bool pointerOver_ = false;
    int lastMouseButton_ = 0;
    bool leaveTracking_ = false;
    bool systemTrackEntry_ = false;
    IntRect captionRect_{};
    uint32_t captionFormat_ = 17;
    int faceMargin_ = 4;
    Colour background_ = 0;  // the control's own background colour
    HWND toolTip_ = nullptr;
    win::UniqueGdiObject ownedFont_;
    Subclasser hook_;
};

}  // namespace quorallion::controls
