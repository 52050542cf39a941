#include "frmCaptureRectangle.h"

#include <windowsx.h>

#include <algorithm>

#include "process_state.h"
#include "win/message_pump.h"

namespace quorallion {
namespace {

using capture::Box;
using capture::DragOwner;
using capture::FramePart;
using capture::Outcome;

constexpr wchar_t kFormClass[] = L"QuorallionCaptureRectangle";
constexpr wchar_t kScreenClass[] = L"QuorallionCaptureScreen";
constexpr wchar_t kFrameClass[] = L"QuorallionCaptureFrame";
constexpr COLORREF kFrameColor = RGB(10, 100, 130);
constexpr COLORREF kHintBack = RGB(255, 255, 225);
constexpr int kClipboardAttempts = 20;

FramePart PartOf(int id) { return id < 4 ? FramePart{false, id} : FramePart{true, id - 4}; }

LPCWSTR FrameCursor(int id) {
    static const LPCWSTR edges[4] = {IDC_SIZENS, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEWE};
    static const LPCWSTR handles[8] = {IDC_SIZENWSE, IDC_SIZEWE, IDC_SIZENESW, IDC_SIZENS,
                                       IDC_SIZENWSE, IDC_SIZEWE, IDC_SIZENESW, IDC_SIZENS};
    return id < 4 ? edges[id] : handles[id - 4];
}

int ButtonsOf(WPARAM keys) {
    int buttons = 0;
    if (keys & MK_LBUTTON) buttons |= capture::kLeftButton;
    if (keys & MK_RBUTTON) buttons |= capture::kRightButton;
    if (keys & MK_MBUTTON) buttons |= capture::kMiddleButton;
    return buttons;
}

// The button a press or release message names; 0 for other messages.
int ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: return capture::kLeftButton;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return capture::kRightButton;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return capture::kMiddleButton;
    default: return 0;
    }
}

bool IsPress(UINT m) {
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
           m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
}
bool IsRelease(UINT m) { return m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_MBUTTONUP; }

SIZE TextSize(HDC dc, const std::wstring& text) {
    RECT rect{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        return SIZE{0, metrics.tmHeight};
    }
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int LineHeight(HFONT font) {
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen, &metrics);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

bool operator!=(const RECT& a, const RECT& b) {
    return a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom;
}

}  // namespace

frmCaptureRectangle::frmCaptureRectangle(int screenWidth, int screenHeight, int labelHeight)
    : model_(screenWidth, screenHeight, labelHeight), screenWidth_(screenWidth),
      screenHeight_(screenHeight) {}

std::shared_ptr<frmCaptureRectangle> frmCaptureRectangle::Load() {
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    std::shared_ptr<frmCaptureRectangle> form(
        new frmCaptureRectangle(ScreenWidthPixels(), ScreenHeightPixels(), LineHeight(font)));
    form->font_ = font;
    if (!form->Create()) return nullptr;
    return form;
}

frmCaptureRectangle::~frmCaptureRectangle() {
    Unload();
}

bool frmCaptureRectangle::Create() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    static bool registered = false;
    if (!registered) {
        WNDCLASSW form{};
        form.style = CS_DBLCLKS;
        form.lpfnWndProc = &frmCaptureRectangle::FormProc;
        form.hInstance = instance;
        form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        form.lpszClassName = kFormClass;
        ::RegisterClassW(&form);
        WNDCLASSW screen = form;
        screen.lpfnWndProc = &frmCaptureRectangle::ScreenProc;
        screen.hCursor = nullptr;  // set per position in WM_SETCURSOR
        screen.lpszClassName = kScreenClass;
        ::RegisterClassW(&screen);
        WNDCLASSW frame = form;
        frame.lpfnWndProc = &frmCaptureRectangle::FrameProc;
        frame.hCursor = nullptr;
        frame.hbrBackground = ::CreateSolidBrush(kFrameColor);  // kept for the process's life
        frame.lpszClassName = kFrameClass;
        ::RegisterClassW(&frame);
        registered = true;
    }
    screenCursor_ = ::LoadCursorW(instance, L"CaptureScreen_Cur");
    if (!screenCursor_) screenCursor_ = ::LoadCursorW(nullptr, IDC_CROSS);

    // The whole primary screen, no frame, no title bar.
    window_ = ::CreateWindowExW(0, kFormClass, kCaption, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                                screenWidth_, screenHeight_, nullptr, nullptr, instance, this);
    if (!window_) return false;
    // The picture's sunken 2-pixel border lies outside the screen: its (0, 0) is the screen's.
    picScreen_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, kScreenClass, L"picScreen",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, -2, -2,
                                   screenWidth_ + 4, screenHeight_ + 4, window_, nullptr, instance,
                                   this);
    if (!picScreen_) return false;
    for (int id = 0; id < 12; ++id) {
        frame_[id] = ::CreateWindowExW(0, kFrameClass, nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                                       1, 1, picScreen_, reinterpret_cast<HMENU>(INT_PTR(id + 1)),
                                       instance, this);
        if (!frame_[id]) return false;
    }
    model_.ResetSelection();
    Sync();
    win::DoEvents();
    return window_ != nullptr;
}

void frmCaptureRectangle::SetScreenPicture(clsCapturePublic::Picture picture) {
    if (pictureDC_ && pictureDCPrevious_) ::SelectObject(pictureDC_.get(), pictureDCPrevious_);
    pictureDC_.reset();
    pictureDCPrevious_ = nullptr;
    pictureBitmap_ = nullptr;
    picture_ = std::move(picture);
    com::ComPtr<IPicture> ole;
    if (picture_ && SUCCEEDED(picture_.query(ole))) {
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(ole->get_Handle(&handle)))
            pictureBitmap_ = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    }
    if (pictureBitmap_) {
        win::WindowDC screen(nullptr);
        pictureDC_.reset(::CreateCompatibleDC(screen.get()));
        if (pictureDC_) pictureDCPrevious_ = ::SelectObject(pictureDC_.get(), pictureBitmap_);
    }
    if (picScreen_) ::InvalidateRect(picScreen_, nullptr, FALSE);
}

void frmCaptureRectangle::ShowModal() {
    if (!window_) return;
    std::shared_ptr<frmCaptureRectangle> self = shared_from_this();
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::SetFocus(window_);
    ::UpdateWindow(window_);
    while (window_ && ::IsWindowVisible(window_)) {
        MSG msg;
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void frmCaptureRectangle::Unload() {
    if (!window_) return;
    if (tag_.empty()) tag_ = L"cancel";  // closed without an outcome
    HWND window = window_;
    window_ = picScreen_ = nullptr;
    frame_.fill(nullptr);
    ::DestroyWindow(window);
    if (pictureDC_ && pictureDCPrevious_) ::SelectObject(pictureDC_.get(), pictureDCPrevious_);
    pictureDC_.reset();
    pictureDCPrevious_ = nullptr;
    pictureBitmap_ = nullptr;
    picture_.reset();
}

void frmCaptureRectangle::End(const std::wstring& tag) {
    tag_ = tag;
    if (window_) ::ShowWindow(window_, SW_HIDE);
    if (::GetCapture()) ::ReleaseCapture();
}

// ---- painting and mirroring ----

RECT frmCaptureRectangle::SizeLabelRect() const {
    if (!model_.sizeLabel.visible) return RECT{};
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    const SIZE size = TextSize(dc, model_.sizeText);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return RECT{model_.sizeLabel.left, model_.sizeLabel.top, model_.sizeLabel.left + size.cx,
                model_.sizeLabel.top + size.cy};
}

RECT frmCaptureRectangle::HintRect() const {
    if (!model_.hint.visible) return RECT{};
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    const SIZE size = TextSize(dc, model_.hintText);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    // A thin single border around the text, one pixel of room inside it.
    return RECT{model_.hint.left, model_.hint.top, model_.hint.left + size.cx + 4,
                model_.hint.top + size.cy + 4};
}

void frmCaptureRectangle::PaintScreen(HDC dc) {
    RECT clip;
    ::GetClipBox(dc, &clip);
    if (pictureDC_) {
        ::BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top,
                 pictureDC_.get(), clip.left, clip.top, SRCCOPY);
    } else {
        ::FillRect(dc, &clip, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    HGDIOBJ previousFont = ::SelectObject(dc, font_);
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    if (model_.sizeLabel.visible && !model_.sizeText.empty()) {
        RECT rect = SizeLabelRect();
        ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, model_.sizeText.c_str(), -1, &rect, DT_NOPREFIX);
    }
    if (model_.hint.visible) {
        RECT rect = HintRect();
        HBRUSH back = ::CreateSolidBrush(kHintBack);
        ::FillRect(dc, &rect, back);
        ::DeleteObject(back);
        ::FrameRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        RECT text{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
        ::DrawTextW(dc, model_.hintText.c_str(), -1, &text, DT_NOPREFIX);
    }
    ::SetBkMode(dc, previousMode);
    ::SelectObject(dc, previousFont);
}

void frmCaptureRectangle::Sync() {
    if (!picScreen_) return;
    for (int id = 0; id < 12; ++id) {
        const Box& box = id < 4 ? model_.line[id] : model_.corner[id - 4];
        if (box == shown_[id]) continue;
        // No copied bits: a handle moved before its first paint would carry the picture under
        // its old place and count as painted.
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS |
                     (box.visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
        ::SetWindowPos(frame_[id], nullptr, box.left, box.top, box.width, box.height, flags);
        shown_[id] = box;
    }
    const RECT sizeLabel = SizeLabelRect();
    const RECT hint = HintRect();
    if (sizeLabel != shownSizeLabel_ || model_.sizeText != shownSizeText_) {
        ::InvalidateRect(picScreen_, &shownSizeLabel_, FALSE);
        ::InvalidateRect(picScreen_, &sizeLabel, FALSE);
        shownSizeLabel_ = sizeLabel;
        shownSizeText_ = model_.sizeText;
    }
    if (hint != shownHint_ || model_.hintText != shownHintText_) {
        ::InvalidateRect(picScreen_, &shownHint_, FALSE);
        ::InvalidateRect(picScreen_, &hint, FALSE);
        shownHint_ = hint;
        shownHintText_ = model_.hintText;
    }
}

// ---- mouse ----

frmCaptureRectangle::Windowless frmCaptureRectangle::HitTest(int x, int y) const {
    const POINT point{x, y};
    const RECT hint = HintRect();
    if (model_.hint.visible && ::PtInRect(&hint, point)) return Windowless::Hint;
    const RECT size = SizeLabelRect();
    if (model_.sizeLabel.visible && ::PtInRect(&size, point)) return Windowless::SizeLabel;
    const Box& s = model_.selection;
    if (s.visible && x >= s.left && x < s.left + s.width && y >= s.top && y < s.top + s.height)
        return Windowless::Selection;
    return Windowless::Screen;
}

void frmCaptureRectangle::Apply(Outcome outcome) {
    if (outcome == Outcome::Finish)
        FinishCapture();
    else if (outcome == Outcome::Cancel)
        CancelCapture();
}

LRESULT frmCaptureRectangle::OnScreen(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(picScreen_, &paint);
        PaintScreen(dc);
        ::EndPaint(picScreen_, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR: {
        POINT point;
        ::GetCursorPos(&point);
        ::ScreenToClient(picScreen_, &point);
        ::SetCursor(HitTest(point.x, point.y) == Windowless::Selection
                        ? ::LoadCursorW(nullptr, IDC_SIZEALL)
                        : screenCursor_);
        return TRUE;
    }
    case WM_LBUTTONDBLCLK: {
        if (finishing_) return 0;
        const Windowless target = dragTarget_ != Windowless::None ? dragTarget_ : HitTest(x, y);
        if (target == Windowless::Selection)
            Apply(model_.SelectionDblClick());
        else if (target == Windowless::Screen)
            Apply(model_.ScreenDblClick());
        Sync();
        return 0;
    }
    default:
        break;
    }
    if (message != WM_MOUSEMOVE && !IsPress(message) && !IsRelease(message))
        return ::DefWindowProcW(picScreen_, message, wParam, lParam);
    if (finishing_) return 0;

    Windowless target = dragTarget_ != Windowless::None ? dragTarget_ : HitTest(x, y);
    const int button = ButtonOf(message);
    const Box& s = model_.selection;
    Outcome outcome = Outcome::None;
    if (IsPress(message)) {
        DragOwner owner = DragOwner::None;
        if (target == Windowless::Screen) owner = model_.ScreenDown(button, x, y);
        else if (target == Windowless::Selection) owner = model_.SelectionDown(button, x - s.left, y - s.top);
        (void)owner;
        if (dragTarget_ == Windowless::None) {
            dragTarget_ = target;  // the control pressed follows the mouse until release
            ::SetCapture(picScreen_);
        }
    } else if (message == WM_MOUSEMOVE) {
        const int buttons = ButtonsOf(wParam);
        if (target == Windowless::Screen) model_.ScreenMove(buttons, x, y, Process().language);
        else if (target == Windowless::Selection) model_.SelectionMove(buttons, x - s.left, y - s.top);
        else if (target == Windowless::SizeLabel) model_.SizeLabelMove();
    } else {
        if (target == Windowless::Screen) outcome = model_.ScreenUp(button, x, y);
        else if (target == Windowless::Selection) model_.SelectionUp(button);
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && dragTarget_ != Windowless::None) {
            dragTarget_ = Windowless::None;
            if (::GetCapture() == picScreen_) ::ReleaseCapture();
        }
    }
    Sync();
    Apply(outcome);
    return 0;
}

LRESULT frmCaptureRectangle::OnFrame(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = frame_[id];
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const FramePart part = PartOf(id);
    if (finishing_ && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) return 0;
    switch (message) {
    case WM_NCHITTEST:
        // With nothing selected the edges and handles are only a mark on the picture: presses
        // and double-clicks on it reach the picture (a new rectangle, or the end with cancel).
        return model_.isSelected ? HTCLIENT : HTTRANSPARENT;
    case WM_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, FrameCursor(id)));
        return TRUE;
    case WM_MOUSEMOVE:
        model_.FrameMove(part, ButtonsOf(wParam), x, y);
        Sync();
        return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: {
        if (model_.FrameDown(part, ButtonOf(message), x, y) == DragOwner::Screen) {
            // A press on the mark of a click without motion: a new rectangle follows the mouse.
            dragTarget_ = Windowless::Screen;
            ::SetCapture(picScreen_);
        } else {
            ::SetCapture(control);
        }
        Sync();
        return 0;
    }
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        model_.FrameUp(part, ButtonOf(message));
        if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == control)
            ::ReleaseCapture();
        Sync();
        return 0;
    case WM_LBUTTONDBLCLK:
        return 0;  // the edges and handles have no double-click
    default:
        return ::DefWindowProcW(control, message, wParam, lParam);
    }
}

LRESULT frmCaptureRectangle::OnForm(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        CancelCapture();  // Alt+F4 and other close requests end the window with "cancel"
        return 0;
    case WM_LBUTTONDBLCLK:
        CancelCapture();
        return 0;
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR:
        return 0;  // no key does anything, Escape included
    case WM_DESTROY:
        if (tag_.empty()) tag_ = L"cancel";
        window_ = picScreen_ = nullptr;
        return 0;
    default:
        return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

// ---- finishing ----

bool frmCaptureRectangle::PaintRegion(const capture::Region& region, win::UniqueGdiObject& bitmap) {
    if (!pictureDC_) return false;
    win::WindowDC screen(nullptr);
    win::UniqueMemoryDC memory(::CreateCompatibleDC(screen.get()));
    bitmap.reset(::CreateCompatibleBitmap(screen.get(), model_.line[0].width, model_.line[1].height));
    if (!memory || !bitmap) return false;
    win::DoEvents();
    if (!window_ || !pictureDC_) return false;  // unloaded meanwhile
    win::SelectGuard select(memory.get(), bitmap.get());
    // From the frozen picture, 1:1: the frame lines on the live screen are not in it.
    return ::BitBlt(memory.get(), 0, 0, region.Width(), region.Height(), pictureDC_.get(),
                    region.x1, region.y1, SRCCOPY) != FALSE;
}

bool frmCaptureRectangle::OfferToClipboard(win::UniqueGdiObject& bitmap) {
    for (int attempt = 0; attempt < kClipboardAttempts && bitmap; ++attempt) {
        win::DoEvents();
        bool emptied = false;
        if (::OpenClipboard(window_)) {
            emptied = ::EmptyClipboard() != FALSE;
            ::CloseClipboard();
        }
        win::DoEvents();
        bool placed = false;
        if (emptied && ::OpenClipboard(window_)) {
            placed = ::SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr;
            if (placed) bitmap.release();  // the clipboard owns it now
            ::CloseClipboard();
        }
        win::DoEvents();
        if (placed) return true;
    }
    return false;
}

void frmCaptureRectangle::FinishCapture() {
    std::shared_ptr<frmCaptureRectangle> self = shared_from_this();
    const std::optional<capture::Region> region = model_.FinishRegion();
    if (!region) {
        CancelCapture();
        return;
    }
    finishing_ = true;  // the mouse is not followed while messages run below
    win::UniqueGdiObject bitmap;
    const bool painted = PaintRegion(*region, bitmap);
    win::DoEvents();
    model_.isDragging = false;
    if (!window_) return;  // unloaded while messages ran: the Tag says "cancel"
    const bool placed = painted && OfferToClipboard(bitmap);
    if (!window_) return;
    End(placed ? L"ok" : L"nobitmap");
}

// ---- window procedures ----

LRESULT CALLBACK frmCaptureRectangle::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<frmCaptureRectangle*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form || form->window_ != window) return ::DefWindowProcW(window, message, wParam, lParam);
    return form->OnForm(message, wParam, lParam);
}

LRESULT CALLBACK frmCaptureRectangle::ScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<frmCaptureRectangle*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form || form->picScreen_ != window) return ::DefWindowProcW(window, message, wParam, lParam);
    return form->OnScreen(message, wParam, lParam);
}

LRESULT CALLBACK frmCaptureRectangle::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<frmCaptureRectangle*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    const int id = static_cast<int>(::GetWindowLongPtrW(window, GWLP_ID)) - 1;
    if (!form || id < 0 || id >= 12 || form->frame_[id] != window)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return form->OnFrame(id, message, wParam, lParam);
}

}  // namespace quorallion
