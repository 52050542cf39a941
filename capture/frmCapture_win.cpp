#include "frmCapture.h"

#include <windowsx.h>

#include "clsCapturePublic.h"
#include "form/control_win.h"
#include "load_pump_probe_win.h"
#include "property_bag.h"
#include "ucButton_win.h"
#include "ucTransForm_win.h"
#include "process_state.h"
#include "win/message_pump.h"

namespace quorallion {
namespace {

constexpr wchar_t kClassName[] = L"QuorallionCapturePanel";
constexpr wchar_t kCloseClassName[] = L"QuorallionCaptureCloseMark";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 100;
constexpr int64_t kMaskColor = 0xFF;  // pure red: the panel's cut-away colour
constexpr COLORREF kHintColor = RGB(43, 97, 186);
constexpr RECT kCloseMark{224, 4, 224 + 19, 4 + 19};

struct PanelTexts {
    const wchar_t* title;
    const wchar_t* hint;
    const wchar_t* caption;
};

PanelTexts TextsFor(const std::wstring& language) {
    if (language == L"zh-cn") return {L"截屏", L"请将您要截取的窗口调到最前", L"开始截屏"};
    if (language == L"zh-tw") return {L"截屏", L"請將您要截取的視窗調到最前", L"開始截屏"};
    return {L"Capture", L"Bring the window you want to capture to the front.", L"Capture"};
}

HFONT SimSun(bool bold) {
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    ::ReleaseDC(nullptr, screen);
    return ::CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, L"SimSun");
}

// The panel's container: its pump (the shaping control runs one while the panel loads) lets a
// test time a request into that moment.
class PanelContainer : public controls::Container {
public:
    using Container::Container;
    void DoEvents() override {
        Container::DoEvents();
        PanelLoadPumpProbe();  // may unload the panel and delete this container; touches nothing after
    }
};

HBITMAP ArtBitmap(const wchar_t* name) {
    return static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0,
                                             LR_CREATEDIBSECTION));
}

}  // namespace

frmCapture& frmCapture::Instance() {
    static frmCapture panel;
    return panel;
}

void frmCapture::Load() {
    if (window_) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &frmCapture::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        registered = ::RegisterClassW(&windowClass) != 0;
        // imgClose: a window of its own, so that presses on it are not presses on the panel.
        windowClass.lpfnWndProc = &frmCapture::CloseMarkProc;
        windowClass.lpszClassName = kCloseClassName;
        ::RegisterClassW(&windowClass);
    }
    if (!close_[0]) close_[0].reset(ArtBitmap(L"FRMCAPTURE_CLOSE0"));
    if (!close_[1]) close_[1].reset(ArtBitmap(L"FRMCAPTURE_CLOSE1"));
    if (!titleFont_) titleFont_.reset(SimSun(true));
    if (!textFont_) textFont_.reset(SimSun(false));

    // No frame and no title bar: the window is the background picture, shaped by its mask.
    window_ = ::CreateWindowExW(0, kClassName, kCaption, WS_POPUP | WS_CLIPCHILDREN, 0, 0, kWidth,
                                kHeight, nullptr, nullptr, instance, this);
    if (!window_) return;
    ++generation_;

    // Load: the texts by the language, compared exactly.
    const PanelTexts texts = TextsFor(Process().language);
    title_ = texts.title;
    hint_ = texts.hint;
    caption_ = texts.caption;
    const bool english = Process().language != L"zh-cn" && Process().language != L"zh-tw";
    if (english) {
        hintBox_ = RECT{16, 32, 16 + 222, 32 + 28};  // a fixed box: the English hint wraps
    } else {
        HDC dc = ::GetDC(window_);
        HGDIOBJ previous = ::SelectObject(dc, textFont_.get());
        RECT measured{0, 0, 0, 0};
        ::DrawTextW(dc, hint_.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, previous);
        ::ReleaseDC(window_, dc);
        hintBox_ = RECT{48, 40, 48 + measured.right, 40 + measured.bottom};
    }
    closePicture_ = 0;
    closePressed_ = false;

    // The panel's controls: the background as the form's picture, shaped by ucTransForm1 with
    // red see-through, and the style-5 button cmdOk. The controls are placed in twips: a button
    // enlarges itself to 300 container units at least, which is 20 pixels in twips but would be
    // 300 pixels in a pixel container.
    container_ = std::make_unique<PanelContainer>(window_, controls::Container::Units::Twips);
    const double tx = controls::TwipsPerPixelX(), ty = controls::TwipsPerPixelY();
    container_->SetPicture(controls::Picture::LoadBitmapResource(instance, L"FRMCAPTURE_BACKGROUND"));
    ucTransForm1_ = std::make_unique<controls::ucTransForm>();
    controls::PropertyBag shape;
    shape.Set(L"MaskColor", kMaskColor);
    // Never shown at run time: made hidden, as showing a child of a window that is still hidden
    // sets its visible style without asking it.
    const unsigned generation = generation_;
    ucTransForm1_->Create(*container_, L"ucTransForm1", 0, 0, kWidth * tx, kHeight * ty, &shape,
                          /*visible=*/false);
    if (generation != generation_) return;  // shaping lets messages run: unloaded meanwhile
    cmdOk_ = std::make_unique<controls::ucButton>();
    cmdOk_->Create(*container_, L"cmdOk", 72 * tx, 64 * ty, 97 * tx, 28 * ty);
    cmdOk_->SetStyle(5);
    cmdOk_->SetButtonFont(static_cast<HFONT>(textFont_.get()));
    cmdOk_->SetCaption(caption_);
    cmdOk_->Click = [this] { OnOkClick(); };
    imgClose_ = ::CreateWindowExW(0, kCloseClassName, nullptr, WS_CHILD | WS_VISIBLE, kCloseMark.left,
                                  kCloseMark.top, 19, 19, window_, nullptr, instance, nullptr);
}

void frmCapture::Unload() {
    if (!window_) return;
    ++generation_;
    HWND window = window_;
    window_ = nullptr;
    imgClose_ = nullptr;
    std::shared_ptr<frmCaptureRectangle> region = std::move(region_);
    if (region) region->Unload();
    // Closed before any outcome was written: every job still ends with a reply.
    if (Process().captureResult.empty()) Process().captureResult = L"cancel";
    ::KillTimer(window, kTimer1);
    // The controls go before their window; the button may be the one whose click runs here.
    std::unique_ptr<controls::ucButton> button = std::move(cmdOk_);
    std::unique_ptr<controls::ucTransForm> shape = std::move(ucTransForm1_);
    std::unique_ptr<controls::Container> container = std::move(container_);
    if (button) button->Destroy();
    if (shape) shape->Destroy();
    ::DestroyWindow(window);
    // Kept until no click of the button is running: Unload may run inside its Click.
    retired_.push_back(Retired{std::move(container), std::move(shape), std::move(button)});
    if (clicksRunning_ == 0) retired_.clear();
}

void frmCapture::ShowClosePicture(int index) {
    if (closePicture_ == index) return;
    closePicture_ = index;
    if (imgClose_) ::InvalidateRect(imgClose_, nullptr, FALSE);
}

void frmCapture::Paint(HDC dc) {
    if (container_) container_->PaintPicture(dc);
    const int mode = ::SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previousFont = ::SelectObject(dc, titleFont_.get());
    ::SetTextColor(dc, RGB(255, 255, 255));
    RECT title{8, 8, kWidth, 28};
    ::DrawTextW(dc, title_.c_str(), -1, &title, DT_SINGLELINE | DT_NOPREFIX);
    ::SelectObject(dc, textFont_.get());
    ::SetTextColor(dc, kHintColor);
    RECT hint = hintBox_;
    ::DrawTextW(dc, hint_.c_str(), -1, &hint, DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previousFont);
    ::SetBkMode(dc, mode);
}

void frmCapture::OnCloseClick() {
    Process().captureResult = L"cancel";
    Unload();
}

void frmCapture::OnOkClick() {
    struct ClickScope {
        int& count;
        explicit ClickScope(int& c) : count(c) { ++count; }
        ~ClickScope() { --count; }
    } scope(clicksRunning_);
    const unsigned generation = generation_;
    // Off the screen first, then hidden, then the windows below get time to repaint.
    RECT rect;
    ::GetWindowRect(window_, &rect);
    ::SetWindowPos(window_, nullptr, rect.left + ScreenWidthPixels(), rect.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    win::DoEvents();
    if (generation != generation_) return;
    ::ShowWindow(window_, SW_HIDE);
    for (int i = 0; i < 50; ++i) {
        win::DoEvents();
        if (generation != generation_) return;
    }
    ::SetTimer(window_, kTimer1, kTimer1Interval, nullptr);
}

void frmCapture::DoCapture() {
    const unsigned generation = generation_;
    std::shared_ptr<frmCaptureRectangle> region = frmCaptureRectangle::Load();
    if (!region) {
        Unload();  // no region window: the job ends with "cancel"
        return;
    }
    region_ = region;
    region->SetScreenPicture(clsCapturePublic().CaptureWindow(
        ::GetDesktopWindow(), false, 0, 0, ScreenWidthPixels(), ScreenHeightPixels()));
    win::DoEvents();
    if (generation != generation_) return;  // unloaded meanwhile; its Unload wrote the result
    region->ShowModal();
    if (generation != generation_) return;
    Process().captureResult = region->Tag().empty() ? L"cancel" : region->Tag();
    region->Unload();
    region_.reset();
    Unload();
}

LRESULT frmCapture::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        Paint(dc);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        ShowClosePicture(0);  // over the panel's own background
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() == window) ::ReleaseCapture();  // the release after a drag
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1) {
            ::KillTimer(window, kTimer1);
            DoCapture();
        }
        return 0;
    case WM_CLOSE:
        Unload();  // Alt+F4: closed without an outcome
        return 0;
    case WM_DESTROY:
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK frmCapture::CloseMarkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    frmCapture& panel = Instance();
    if (window != panel.imgClose_) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        if (const win::UniqueGdiObject& picture = panel.close_[panel.closePicture_]) {
            HDC memory = ::CreateCompatibleDC(dc);
            HGDIOBJ previous = ::SelectObject(memory, picture.get());
            ::BitBlt(dc, 0, 0, 19, 19, memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, previous);
            ::DeleteDC(memory);
        }
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        panel.ShowClosePicture(1);
        return 0;
    case WM_LBUTTONDOWN:
        panel.closePressed_ = true;
        ::SetCapture(window);
        return 0;
    case WM_LBUTTONUP: {
        // A click: pressed and released over the mark.
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT mark{0, 0, 19, 19};
        const bool click = panel.closePressed_ && ::PtInRect(&mark, point);
        panel.closePressed_ = false;
        if (::GetCapture() == window) ::ReleaseCapture();
        if (click) panel.OnCloseClick();
        return 0;
    }
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK frmCapture::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    frmCapture& panel = Instance();
    if (window != panel.window_) {
        if (message == WM_TIMER) ::KillTimer(window, wParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return panel.OnMessage(message, wParam, lParam);
}

}  // namespace quorallion
