#pragma once
// ucSkinForm: turns a borderless top-level window into a skinned one: blue title bar with icon,
// caption and up to three title buttons, thin borders with rounded top corners, grab strips for
// resizing, a stretched background, and the window shape cut from the corner bitmaps by magenta.
// The skin bitmaps are resources of the program ("ucSkinForm_Blue_*", controls/skin/, linked in
// through the quorallion_controls_skin target).
//
//     quorallion::controls::Container host(hwnd);           // a borderless top-level window
//     quorallion::controls::ucSkinForm frame;
//     frame.Create(host, L"ucSkinForm1", 0, 0, 400 * 15, 300 * 15);   // covers the client area
//     frame.SetCaption(L"...");
//     frame.TransForm();                                   // the set-up step, before showing
//     frame.BtnCloseClick = [&] { /* the host closes itself */ };
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "form/control_win.h"
#include "form/windowless_win.h"
#include "ucTransPicture_win.h"

namespace quorallion::controls {

class ucSkinForm : public Control {
public:
    ucSkinForm();
    ~ucSkinForm() override;

    std::function<void()> BtnCloseClick;

    void LoadSkin();
    // Sizes the host to the frame and gives it the frame's shape.
    void TransForm();
    bool BtnMaximize() const { return btnMaximize_; }
    void SetBtnMaximize(bool value);
    bool BtnMinimize() const { return btnMinimize_; }
    void SetBtnMinimize(bool value);
    bool BtnClose() const { return btnClose_; }
    void SetBtnClose(bool value);
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring_view value);
    const std::wstring& Skin() const { return skin_; }
    void SetSkin(std::wstring_view value);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool value);
    bool AllowResizing() const { return allowResizing_; }
    void SetAllowResizing(bool value) { allowResizing_ = value; }
    void SetIcon(PicturePtr picture);
    void ResetMax();
    bool isMax() const { return isMax_; }
    void DoMax() { ToggleMax(); }
    // Closes every top-level window of this thread.
    void DoUnloadAll();

    // For hosts and tests: the constituents.
    ucTransPicture& TitleButton(int index) { return *buttons_[static_cast<size_t>(index)]; }  // 0 max, 1 close, 2 restore, 3 min
    ucTransPicture& Corner(int index) { return *corners_[static_cast<size_t>(index)]; }  // 0 RB, 1 LB, 2 RT, 3 LT
    const WindowlessItem& Item(std::wstring_view name) const;
    const std::wstring& HotButton() const { return hot_; }

protected:
    const wchar_t* TypeName() const override { return L"ucSkinForm"; }
    bool TakesFocus() const override { return false; }
    void InitProperties() override;
    void ReadProperties(const PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    void OnResize() override;
    void OnPaint(HDC dc) override;
    void OnMouseDown(int button, int shift, int x, int y) override;
    void OnMouseMove(int button, int shift, int x, int y) override;
    void OnDblClick() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnTerminate() override;

private:
    enum Button { kMax = 0, kClose = 1, kRestore = 2, kMin = 3 };
    void MakeConstituents();
    void ArrangeSkin();
    void UpdateResizeCursors();
    void DragMove();
    void DragResize(int hitCode);
    void SetHotButton(int mouseButton, const std::wstring& name);
    void ClearHotButton();
    void ToggleMax();
    int ButtonIndex(const std::wstring& name) const;
    HWND HostWindow() const { return host_; }

    bool btnMaximize_ = false, btnMinimize_ = false, btnClose_ = true;
    std::wstring caption_ = L"Caption";
    std::wstring skin_ = L"Blue";
    bool iconVisible_ = true, allowResizing_ = false;

    bool isMax_ = false;
    std::wstring hot_;
    HWND host_ = nullptr;
    bool loading_ = false;
    struct Geometry {
        bool saved = false;
        double width = 0, height = 0;  // the frame, container units
        int left = 0, top = 0;         // the host, pixels
    } restore_;
    int captionHeight_ = 0, fullWidth_ = 0, fullHeight_ = 0;

    std::unique_ptr<Container> inner_;  // the frame as the container of its child constituents
    std::array<std::unique_ptr<ucTransPicture>, 4> buttons_;
    std::array<std::unique_ptr<ucTransPicture>, 4> corners_;
    std::array<std::array<PicturePtr, 3>, 4> images_;
    WindowlessItem resizeLeft_, resizeBottom_, resizeRight_, icon_, borderBottom_, borderLeft_, caption_label_,
        resizeTop_, borderRight_, borderTop_, background_;
    WindowlessLayer layer_;
    PicturePtr defaultIcon_;
    HFONT captionFont_ = nullptr;
    WindowlessItem* pressed_ = nullptr;
};

}  // namespace quorallion::controls
