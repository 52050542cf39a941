#pragma once
// The small form framework the skinned controls stand on: a Container (the window that holds
// controls, with its services: units, ambient properties, change notices, message box, keys,
// pending messages) and a Control base over a child window, which turns the window's messages
// into the notifications a control handles (properties, resize, paint, show, focus, keys, mouse).
//
// A host that is a plain window:
//     quorallion::controls::Container form(hwnd);            // twips, like a form
//     auto ok = std::make_unique<quorallion::controls::ucButton>();
//     ok->Create(form, L"cmdOk", 120 * 15, 40 * 15, 81 * 15, 25 * 15);   // new control
//     ok->Click = [] { ... };
// The Container must outlive its controls.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "form/picture_win.h"
#include "property_bag.h"

namespace quorallion::controls {

class Control;

// Twips per pixel of the screen, one factor per axis (15 at 96 dots per inch).
double TwipsPerPixelX();
double TwipsPerPixelY();

class Container {
public:
    enum class Units { Twips, Pixels };

    explicit Container(HWND window = nullptr, Units units = Units::Twips);
    virtual ~Container();
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    HWND Window() const { return window_; }
    void Attach(HWND window) { window_ = window; }
    Units ScaleUnits() const { return units_; }
    // Container units per pixel on each axis.
    double UnitsPerPixelX() const;
    double UnitsPerPixelY() const;

    // Ambient properties. UserMode is always true in the product (no design time).
    virtual bool UserMode() const { return true; }
    virtual bool DisplayAsDefault(const Control& control) const { return defaultControl_ == &control; }
    // The control shown as the default button; its controls hear the ambient change.
    void SetDefaultControl(Control* control);
    // The font new controls start with (DEFAULT_GUI_FONT unless set; the container keeps ownership).
    HFONT Font() const;
    void SetFont(HFONT font) { font_ = font; }

    // Change notice of a control's persisted property, under the property's name.
    virtual void PropertyChanged(Control& control, std::wstring_view name) {}
    // The one message box a control may show; tests replace it.
    virtual int ShowMessage(std::wstring_view text, std::wstring_view title, UINT style);
    // Keystrokes to the active window: "{TAB}" or "+{TAB}".
    virtual void SendKeys(std::wstring_view keys);
    // Lets pending messages of this thread run once.
    virtual void DoEvents();

    // The container's background picture (a form's Picture), drawn at its natural size at the
    // client origin by PaintPicture, which a host calls from its paint handler.
    const PicturePtr& Picture() const { return picture_; }
    void SetPicture(PicturePtr picture);
    void PaintPicture(HDC dc) const;

    const std::vector<Control*>& Controls() const { return controls_; }
    void Add(Control* control);
    void Remove(Control* control);

private:
    HWND window_;
    Units units_;
    HFONT font_ = nullptr;
    Control* defaultControl_ = nullptr;
    PicturePtr picture_;
    std::vector<Control*> controls_;
};

// Mouse buttons and shift bits as the notifications give them.
constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

class Control {
public:
    Control();
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Makes the control's child window on the container at (left, top), width x height in the
    // container's units. A new control (no bag) gets InitProperties, a stored one ReadProperties.
    bool Create(Container& container, std::wstring_view name, double left, double top, double width, double height,
                const PropertyBag* bag = nullptr, bool visible = true);
    // Writes the control's persisted properties.
    void Save(PropertyBag& bag) const { WriteProperties(bag); }
    // Destroys the window after the terminate notification.
    void Destroy();

    HWND hWnd() const { return window_; }
    HDC hDC();  // the control's device context (kept for the control's life)
    Container* Parent() const { return container_; }
    const std::wstring& Name() const { return name_; }
    // Extender properties the container holds for the control.
    std::wstring ExtenderToolTipText;

    // Position and size in the container's units.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void Move(double left, double top, double width, double height);
    void SetSize(double width, double height);
    void SetPosition(double left, double top);
    // Inner size in pixels.
    int ScaleWidth() const;
    int ScaleHeight() const;
    bool Visible() const;
    void SetVisible(bool visible);
    bool WindowEnabled() const;
    void SetWindowEnabled(bool enabled);
    HFONT Font() const { return font_; }
    void SetFont(HFONT font);
    int MousePointer() const { return mousePointer_; }
    void SetMousePointer(int pointer);

    // The kind of control ("ucButton", ...).
    const wchar_t* TypeNameOf() const { return TypeName(); }
    // The container's ambient property changed.
    void AmbientChanged(std::wstring_view name) { OnAmbientChanged(name); }

protected:
    virtual const wchar_t* TypeName() const = 0;
    // Whether a press gives the control the input focus (and Tab stops at it).
    virtual bool TakesFocus() const { return true; }
    virtual void InitProperties() {}
    virtual void ReadProperties(const PropertyBag& bag) {}
    virtual void WriteProperties(PropertyBag& bag) const {}
    virtual void OnResize() {}
    virtual void OnPaint(HDC dc) {}
    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual void OnGotFocus() {}
    virtual void OnLostFocus() {}
    virtual void OnKeyDown(int key, int shift) {}
    virtual void OnKeyUp(int key, int shift) {}
    virtual void OnMouseDown(int button, int shift, int x, int y) {}
    virtual void OnMouseUp(int button, int shift, int x, int y) {}
    virtual void OnMouseMove(int button, int shift, int x, int y) {}
    virtual void OnClick() {}
    virtual void OnDblClick() {}
    virtual void OnAmbientChanged(std::wstring_view name) {}
    virtual void OnTerminate() {}
    // Messages the notifications do not cover; return true when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) { return false; }

    void NotifyChanged(std::wstring_view property);
    // Expires when the object is deleted. Code that lets messages run (a pending message may
    // unload the form and delete its controls) takes it first and tests it afterwards.
    std::weak_ptr<const char> Lifetime() const { return lifetime_; }
    bool UserMode() const { return !container_ || container_->UserMode(); }
    bool DisplayAsDefault() const { return container_ && container_->DisplayAsDefault(*this); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static int ShiftState();

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    Container* container_ = nullptr;
    std::wstring name_;
    HFONT font_ = nullptr;
    int mousePointer_ = 0;
    bool shown_ = false;
    int buttonsDown_ = 0;
    bool terminated_ = false;
    std::shared_ptr<const char> lifetime_ = std::make_shared<const char>('\0');
};

// Registers the window class of controls once; false when it cannot be registered.
bool RegisterControlClass();

}  // namespace quorallion::controls
