#pragma once
// ucTransPicture: one picture with its mask colour see-through (neither drawn nor hit), at its
// natural size (StretchMode 0) or stretched four ways (1 plain, 2 halftone, 3 halftone with the
// colours near the mask snapped to it, 4 halftone with an exact stretched mask), with an optional
// outline; mouse events go to the host.
#include <windows.h>

#include <functional>

#include "colour_math.h"
#include "form/control_win.h"
#include "form/picture_win.h"
#include "win/handles.h"

namespace quorallion::controls {

class ucTransPicture : public Control {
public:
    ucTransPicture();
    ~ucTransPicture() override;

    // Events: button (1 left, 2 right, 4 middle), shift, x, y in the control's pixels.
    std::function<void(int, int, double, double)> MouseMove;
    std::function<void(int, int, double, double)> MouseDown;
    std::function<void(int, int, double, double)> MouseUp;
    std::function<void()> Click;
    std::function<void()> DblClick;

    // The shown picture: after a redraw in modes 1 to 4 the composed image.
    const PicturePtr& GetPicture() const { return shown_; }
    void SetPicture(PicturePtr picture);
    int PictureWidth() const { return kept_ ? kept_->Width() : 0; }
    int PictureHeight() const { return kept_ ? kept_->Height() : 0; }
    Colour MaskColor() const { return maskColor_; }
    void SetMaskColor(Colour value);
    int BackStyle() const { return backStyle_; }
    void SetBackStyle(int value);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int value);
    Colour BorderColor() const { return borderColor_; }
    void SetBorderColor(Colour value);
    int StretchMode() const { return stretchMode_; }
    void SetStretchMode(int value);
    void SetPointer(int value);
    // The custom cursor picture, shown over the control while MousePointer is kCustomPointer; an
    // icon keeps its own hot spot, a bitmap points with its top-left pixel.
    static constexpr int kCustomPointer = 99;
    const PicturePtr& MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(PicturePtr picture);
    HDC GetDC() { return hDC(); }

protected:
    const wchar_t* TypeName() const override { return L"ucTransPicture"; }
    bool TakesFocus() const override { return false; }
    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    void OnResize() override;
    void OnPaint(HDC dc) override;
    void OnMouseDown(int button, int shift, int x, int y) override;
    void OnMouseUp(int button, int shift, int x, int y) override;
    void OnMouseMove(int button, int shift, int x, int y) override;
    void OnClick() override;
    void OnDblClick() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void RedrawPicture();
    void ApplyBorder();
    void ApplyMask();
    void Finish(PicturePtr composed);

    PicturePtr kept_;   // the assigned picture
    PicturePtr shown_;  // shown and used as the mask
    PicturePtr mouseIcon_;
    win::UniqueIcon customCursor_;  // made from a bitmap MouseIcon; an icon is used as it is
    Colour maskColor_ = 0xFFFFFF;
    int backStyle_ = 0;
    int borderStyle_ = 1;
    int stretchMode_ = 0;
    Colour borderColor_ = 0xFF00FF;
    bool outline_ = false;
    int outlineWidth_ = 1;
    bool resizing_ = false;
};

}  // namespace quorallion::controls
