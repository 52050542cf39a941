#pragma once
// ucTransForm: placed on a top-level window, gives it the shape of the window's own background
// picture (Container::Picture): frame and title bar cut away, and every pixel of MaskColor a
// hole. A left press anywhere on the window's own surface drags it (AutoDrag). At most one works
// per window; a second shows the container's message and stays inert.
//
//     quorallion::controls::Container panel(hwnd);   // a top-level window
//     panel.SetPicture(picture);                     // its background; paint it with PaintPicture
//     quorallion::controls::ucTransForm shape;
//     PropertyBag bag; bag.Set(L"MaskColor", int64_t{0xFF});   // red is see-through
//     shape.Create(panel, L"ucTransForm1", 0, 0, 480, 480, &bag);
// After a drag the window gets a WM_LBUTTONUP with the mouse captured by it (the move loop took
// the real one): hosts release the capture there.
#include <windows.h>

#include <optional>

#include "colour_math.h"
#include "form/control_win.h"

namespace quorallion::controls {

class ucTransForm : public Control {
public:
    ucTransForm();
    ~ucTransForm() override;

    Colour MaskColor() const { return maskColor_; }
    void SetMaskColor(Colour value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    int AutoDrag() const { return autoDrag_; }
    void SetAutoDrag(int value);
    // Builds the window's shape again.
    void Refresh();
    // Shows the window's system menu at (x, y) in the window's client pixels (a missing one counts
    // 0), or at the cursor when neither is given; a chosen command is posted as WM_SYSCOMMAND.
    void PopupSysMenu(UINT flags, std::optional<double> x = std::nullopt, std::optional<double> y = std::nullopt);

    bool Inert() const { return inert_; }

protected:
    const wchar_t* TypeName() const override { return L"ucTransForm"; }
    bool TakesFocus() const override { return false; }
    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    void OnTerminate() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static LRESULT CALLBACK ParentHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
    void Rebuild();
    void Drag(int x, int y);
    HRGN RegionFromPicture() const;

    int autoDrag_ = 2;
    bool transparent_ = true;
    Colour maskColor_ = 0xC0C0C0;
    bool inert_ = false;
    HWND parent_ = nullptr;  // mParent
    bool hooked_ = false;
};

// The region of the picture's pixels whose colour is not mask, one rectangle per run, offset by
// (dx, dy); nullptr when every pixel has the mask colour (or there is no bitmap).
HRGN MaskRegionOf(const Picture& picture, Colour mask, int dx = 0, int dy = 0);

}  // namespace quorallion::controls
