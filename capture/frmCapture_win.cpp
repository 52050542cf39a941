#include "frmCapture.h"

#include <windowsx.h>

#include "clsCapturePublic.h"
#include "process_state.h"
#include "win/message_pump.h"

namespace quorallion {
namespace {

constexpr wchar_t kClassName[] = L"QuorallionCapturePanel";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 100;
constexpr int kOkId = 1;
constexpr COLORREF kMaskColor = RGB(255, 0, 0);
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
    }
    if (!background_) background_.reset(ArtBitmap(L"FRMCAPTURE_BACKGROUND"));
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

    cmdOk_ = ::CreateWindowExW(0, L"BUTTON", caption_.c_str(),
                               WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 72, 64, 97, 28, window_,
                               reinterpret_cast<HMENU>(INT_PTR(kOkId)), instance, nullptr);
    ::SendMessageW(cmdOk_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.get()), FALSE);
    ShapeToBackground();
}

void frmCapture::ShapeToBackground() {
    // The picture's pixels that are not the mask colour make the window's region.
    HRGN shape = ::CreateRectRgn(0, 0, kWidth, kHeight);
    if (background_) {
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HGDIOBJ previous = ::SelectObject(memory, background_.get());
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (::GetPixel(memory, x, y) == kMaskColor) {
                    HRGN hole = ::CreateRectRgn(x, y, x + 1, y + 1);
                    ::CombineRgn(shape, shape, hole, RGN_DIFF);
                    ::DeleteObject(hole);
                }
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    }
    if (!::SetWindowRgn(window_, shape, TRUE)) ::DeleteObject(shape);  // else the window owns it
}

void frmCapture::Unload() {
    if (!window_) return;
    ++generation_;
    HWND window = window_;
    window_ = nullptr;
    cmdOk_ = nullptr;
    std::shared_ptr<frmCaptureRectangle> region = std::move(region_);
    if (region) region->Unload();
    // Closed before any outcome was written: every job still ends with a reply.
    if (Process().captureResult.empty()) Process().captureResult = L"cancel";
    ::KillTimer(window, kTimer1);
    ::DestroyWindow(window);
}

void frmCapture::ShowClosePicture(int index) {
    if (closePicture_ == index) return;
    closePicture_ = index;
    ::InvalidateRect(window_, &kCloseMark, FALSE);
}

void frmCapture::Paint(HDC dc) {
    HDC memory = ::CreateCompatibleDC(dc);
    if (background_) {
        HGDIOBJ previous = ::SelectObject(memory, background_.get());
        ::BitBlt(dc, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
    }
    if (close_[closePicture_]) {
        HGDIOBJ previous = ::SelectObject(memory, close_[closePicture_].get());
        ::BitBlt(dc, kCloseMark.left, kCloseMark.top, 19, 19, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
    }
    ::DeleteDC(memory);
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
    case WM_MOUSEMOVE: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowClosePicture(::PtInRect(&kCloseMark, point) ? 1 : 0);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        closePressed_ = ::PtInRect(&kCloseMark, point) != FALSE;
        if (closePressed_) ::SetCapture(window);
        return 0;
    }
    case WM_LBUTTONUP: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool click = closePressed_ && ::PtInRect(&kCloseMark, point);
        closePressed_ = false;
        if (::GetCapture() == window) ::ReleaseCapture();
        if (click) OnCloseClick();
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kOkId && HIWORD(wParam) == BN_CLICKED) OnOkClick();
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

LRESULT CALLBACK frmCapture::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    frmCapture& panel = Instance();
    if (window != panel.window_) {
        if (message == WM_TIMER) ::KillTimer(window, wParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return panel.OnMessage(message, wParam, lParam);
}

}  // namespace quorallion
