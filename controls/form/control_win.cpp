#include "form/control_win.h"

#include <windowsx.h>

#include <algorithm>

namespace quorallion::controls {

namespace {
constexpr wchar_t kControlClass[] = L"QuorallionUserControl";

double LogPixels(int index) {
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, index) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HCURSOR CursorOf(int pointer) {
    const wchar_t* id = nullptr;
    switch (pointer) {
    case 1: id = IDC_ARROW; break;
    case 2: id = IDC_CROSS; break;
    case 3: id = IDC_IBEAM; break;
    case 5: id = IDC_SIZEALL; break;
    case 6: id = IDC_SIZENESW; break;
    case 7: id = IDC_SIZENS; break;
    case 8: id = IDC_SIZENWSE; break;
    case 9: id = IDC_SIZEWE; break;
    case 10: id = IDC_UPARROW; break;
    case 11: id = IDC_WAIT; break;
    case 12: id = IDC_NO; break;
    case 13: id = IDC_APPSTARTING; break;
    case 14: id = IDC_HELP; break;
    case 15: id = IDC_SIZEALL; break;
    default: return nullptr;
    }
    return ::LoadCursorW(nullptr, id);
}
}  // namespace

double TwipsPerPixelX() { return 1440.0 / LogPixels(LOGPIXELSX); }
double TwipsPerPixelY() { return 1440.0 / LogPixels(LOGPIXELSY); }

Container::Container(HWND window, Units units) : window_(window), units_(units) {}

Container::~Container() {
    for (Control* c : std::vector<Control*>(controls_)) c->Destroy();
}

double Container::UnitsPerPixelX() const { return units_ == Units::Twips ? TwipsPerPixelX() : 1.0; }
double Container::UnitsPerPixelY() const { return units_ == Units::Twips ? TwipsPerPixelY() : 1.0; }

HFONT Container::Font() const { return font_ ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

void Container::SetDefaultControl(Control* control) {
    Control* before = defaultControl_;
    defaultControl_ = control;
    if (before && before != control) before->AmbientChanged(L"DisplayAsDefault");
    if (control && control != before) control->AmbientChanged(L"DisplayAsDefault");
}

int Container::ShowMessage(std::wstring_view text, std::wstring_view title, UINT style) {
    return ::MessageBoxW(window_, std::wstring(text).c_str(), std::wstring(title).c_str(), style);
}

void Container::SendKeys(std::wstring_view keys) {
    const bool shift = !keys.empty() && keys.front() == L'+';
    std::vector<INPUT> inputs;
    auto key = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    if (shift) key(VK_SHIFT, false);
    key(VK_TAB, false);
    key(VK_TAB, true);
    if (shift) key(VK_SHIFT, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Container::DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Container::SetPicture(PicturePtr picture) {
    picture_ = std::move(picture);
    if (window_) ::InvalidateRect(window_, nullptr, TRUE);
}

void Container::PaintPicture(HDC dc) const {
    if (!picture_ || !picture_->Bitmap() || !dc) return;
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, picture_->Bitmap());
    ::BitBlt(dc, 0, 0, picture_->Width(), picture_->Height(), source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
}

void Container::Add(Control* control) { controls_.push_back(control); }

void Container::Remove(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (defaultControl_ == control) defaultControl_ = nullptr;
}

bool RegisterControlClass() {
    static ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS | CS_OWNDC;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kControlClass;
        return ::RegisterClassExW(&wc);
    }();
    return atom != 0;
}

Control::Control() = default;

Control::~Control() { Destroy(); }

bool Control::Create(Container& container, std::wstring_view name, double left, double top, double width,
                     double height, const PropertyBag* bag, bool visible) {
    if (window_ || !RegisterControlClass()) return false;
    container_ = &container;
    name_ = std::wstring(name);
    font_ = container.Font();
    const double ux = container.UnitsPerPixelX(), uy = container.UnitsPerPixelY();
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (TakesFocus() ? WS_TABSTOP : 0);
    window_ = ::CreateWindowExW(0, kControlClass, name_.c_str(), style,
                                static_cast<int>(left / ux), static_cast<int>(top / uy),
                                std::max(0, static_cast<int>(width / ux)), std::max(0, static_cast<int>(height / uy)),
                                container.Window(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!window_) {
        container_ = nullptr;
        return false;
    }
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::WindowProc));
    dc_ = ::GetDC(window_);
    container.Add(this);
    // Reading the properties may let messages run (a control that shapes its window does), and a
    // pending one may unload the form: this control is then destroyed, or deleted, and its
    // creation stops here without touching it.
    const std::weak_ptr<const char> alive = lifetime_;
    const HWND made = window_;
    if (bag) {
        ReadProperties(*bag);
    } else {
        // A new control: its starting values, stored and loaded as a placed control would be.
        InitProperties();
        PropertyBag placed;
        WriteProperties(placed);
        ReadProperties(placed);
    }
    if (alive.expired() || window_ != made) return false;
    OnResize();
    if (visible) SetVisible(true);
    return true;
}

void Control::Destroy() {
    if (!window_) return;
    if (!terminated_) {
        terminated_ = true;
        OnTerminate();
    }
    if (container_) container_->Remove(this);
    HWND window = window_;
    window_ = nullptr;
    if (dc_) ::ReleaseDC(window, dc_);
    dc_ = nullptr;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    ::DestroyWindow(window);
}

HDC Control::hDC() { return dc_; }

double Control::Left() const {
    RECT r{};
    ::GetWindowRect(window_, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(::GetParent(window_), &p);
    return p.x * (container_ ? container_->UnitsPerPixelX() : 1.0);
}

double Control::Top() const {
    RECT r{};
    ::GetWindowRect(window_, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(::GetParent(window_), &p);
    return p.y * (container_ ? container_->UnitsPerPixelY() : 1.0);
}

double Control::Width() const {
    RECT r{};
    ::GetWindowRect(window_, &r);
    return (r.right - r.left) * (container_ ? container_->UnitsPerPixelX() : 1.0);
}

double Control::Height() const {
    RECT r{};
    ::GetWindowRect(window_, &r);
    return (r.bottom - r.top) * (container_ ? container_->UnitsPerPixelY() : 1.0);
}

void Control::Move(double left, double top, double width, double height) {
    const double ux = container_ ? container_->UnitsPerPixelX() : 1.0;
    const double uy = container_ ? container_->UnitsPerPixelY() : 1.0;
    ::MoveWindow(window_, static_cast<int>(left / ux), static_cast<int>(top / uy),
                 std::max(0, static_cast<int>(width / ux)), std::max(0, static_cast<int>(height / uy)), TRUE);
}

void Control::SetSize(double width, double height) { Move(Left(), Top(), width, height); }
void Control::SetPosition(double left, double top) { Move(left, top, Width(), Height()); }

int Control::ScaleWidth() const {
    RECT r{};
    ::GetClientRect(window_, &r);
    return r.right - r.left;
}

int Control::ScaleHeight() const {
    RECT r{};
    ::GetClientRect(window_, &r);
    return r.bottom - r.top;
}

bool Control::Visible() const { return window_ && (::GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE); }

void Control::SetVisible(bool visible) {
    if (!window_) return;
    ::ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
    if (visible != shown_) {
        shown_ = visible;
        if (visible) OnShow();
        else OnHide();
    }
}

bool Control::WindowEnabled() const { return window_ && ::IsWindowEnabled(window_); }
void Control::SetWindowEnabled(bool enabled) {
    if (window_) ::EnableWindow(window_, enabled);
}

void Control::SetFont(HFONT font) { font_ = font ? font : (container_ ? container_->Font() : nullptr); }

void Control::SetMousePointer(int pointer) { mousePointer_ = pointer; }

void Control::NotifyChanged(std::wstring_view property) {
    if (container_) container_->PropertyChanged(*this, property);
}

int Control::ShiftState() {
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
    if (::GetKeyState(VK_MENU) < 0) shift |= kAltMask;
    return shift;
}

LRESULT CALLBACK Control::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Control*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->window_ != window) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    auto buttonOf = [](UINT m) {
        switch (m) {
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return kLeftButton;
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return kRightButton;
        default: return kMiddleButton;
        }
    };
    auto heldButtons = [](WPARAM w) {
        int b = 0;
        if (w & MK_LBUTTON) b |= kLeftButton;
        if (w & MK_RBUTTON) b |= kRightButton;
        if (w & MK_MBUTTON) b |= kMiddleButton;
        return b;
    };
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window_, &ps);
        OnPaint(dc);
        ::EndPaint(window_, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        OnResize();
        return 0;
    case WM_SHOWWINDOW:
        if ((wParam != 0) != shown_ && lParam == 0) {
            shown_ = wParam != 0;
            if (shown_) OnShow();
            else OnHide();
        }
        break;
    case WM_SETFOCUS:
        OnGotFocus();
        return 0;
    case WM_KILLFOCUS:
        OnLostFocus();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<int>(wParam), ShiftState());
        return 0;
    case WM_KEYUP:
        OnKeyUp(static_cast<int>(wParam), ShiftState());
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (::GetFocus() != window_ && (::GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP)) ::SetFocus(window_);
        if (buttonsDown_++ == 0) ::SetCapture(window_);
        OnMouseDown(buttonOf(message), ShiftState(), x, y);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        if (buttonsDown_++ == 0) ::SetCapture(window_);
        if (message == WM_LBUTTONDBLCLK) OnDblClick();
        else OnMouseDown(buttonOf(message), ShiftState(), x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        if (buttonsDown_ > 0 && --buttonsDown_ == 0 && ::GetCapture() == window_) ::ReleaseCapture();
        HWND self = window_;
        OnMouseUp(buttonOf(message), ShiftState(), x, y);
        if (message == WM_LBUTTONUP && ::IsWindow(self) && window_ == self) {
            RECT r{};
            ::GetClientRect(window_, &r);
            POINT p{x, y};
            if (::PtInRect(&r, p)) OnClick();
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        buttonsDown_ = 0;
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(heldButtons(wParam), ShiftState(), x, y);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            if (HCURSOR cursor = CursorOf(mousePointer_)) {
                ::SetCursor(cursor);
                return TRUE;
            }
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quorallion::controls
