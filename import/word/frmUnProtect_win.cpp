#include "word/frmUnProtect_win.h"

#include "import_services.h"

#include "process_state.h"
#include "word/unprotect_prompt.h"
#include "word/unprotect_texts.h"

namespace quorallion {

namespace {
constexpr wchar_t kClass[] = L"QuorallionUnProtect";
constexpr UINT_PTR kTopmostTimer = 1;
constexpr int kWidth = 420, kHeight = 210;
constexpr int kIdMessage = 101, kIdPasswordLabel = 102, kIdPassword = 103;

// Window positions in pixels; the controls measure in twips.
double X(int pixels) { return pixels * controls::TwipsPerPixelX(); }
double Y(int pixels) { return pixels * controls::TwipsPerPixelY(); }
}  // namespace

frmUnProtect& frmUnProtect::Instance() {
    static frmUnProtect form;
    return form;
}

void frmUnProtect::Install() {
    SetUnprotectPrompt([] { Instance().ShowModal(); });
}

void frmUnProtect::UnloadIfShown() {
    if (window_ && !unloading_) Unload();  // the state stays ""
}

void UnloadUnprotectForm() {
    frmUnProtect::Instance().UnloadIfShown();
}

bool frmUnProtect::Load() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &frmUnProtect::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClass;
        return ::RegisterClassW(&wc) != 0;
    }();
    if (!registered) return false;

    // 1
    UnprotectTexts() = UnprotectResult{};
    const UnprotectFormTexts& texts = UnprotectFormTextsFor(Process().language);

    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    window_ = ::CreateWindowExW(0, kClass, kTitle, WS_POPUP | WS_CLIPCHILDREN, left, top, kWidth, kHeight, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    container_ = std::make_unique<controls::Container>(window_);

    // The frame lies under the other controls.
    ucSkinForm1_ = std::make_unique<controls::ucSkinForm>();
    ucSkinForm1_->Create(*container_, L"ucSkinForm1", 0, 0, X(kWidth), Y(kHeight));
    ucSkinForm1_->BtnCloseClick = [this] { Unload(); };  // the state stays ""

    const bool chinese = Process().language == L"zh-cn" || Process().language == L"zh-tw";
    font_ = chinese ? ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"SimSun")
                    : nullptr;
    HFONT font = font_ ? font_ : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    auto child = [&](const wchar_t* cls, DWORD style, int x, int y, int w, int h, int id) {
        HWND made = ::CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w, h, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                      nullptr);
        if (made) ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return made;
    };
    lblMsg_ = child(L"STATIC", SS_LEFT, 24, 44, kWidth - 48, 48, kIdMessage);
    lblPassword_ = child(L"STATIC", SS_LEFT, 24, 112, 70, 20, kIdPasswordLabel);
    txtPassword_ = child(L"EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 96, 109, kWidth - 120, 22,
                         kIdPassword);
    cmdOK_ = std::make_unique<controls::ucButton>();
    cmdOK_->Create(*container_, L"cmdOK", X(kWidth - 200), Y(156), X(81), Y(25));
    cmdOK_->SetStyle(5);
    cmdOK_->Click = [this] { OkClick(); };
    cmdCancel_ = std::make_unique<controls::ucButton>();
    cmdCancel_->Create(*container_, L"cmdCancel", X(kWidth - 105), Y(156), X(81), Y(25));
    cmdCancel_->SetStyle(5);
    cmdCancel_->Click = [this] {
        UnprotectTexts().state = L"cancel";
        Unload();
    };

    // 2, 3
    ucSkinForm1_->TransForm();
    ucSkinForm1_->SetCaption(texts.caption);
    cmdOK_->SetCaption(texts.ok);
    cmdCancel_->SetCaption(texts.cancel);
    ::SetWindowTextW(lblPassword_, texts.password);
    ::SetWindowTextW(lblMsg_, texts.message);
    emptyInputMessage_ = texts.emptyInput;

    // The frame's set-up moves it to the top of the controls: back under them.
    ::SetWindowPos(ucSkinForm1_->hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // 4
    ::SetTimer(window_, kTopmostTimer, 100, nullptr);
    return true;
}

void frmUnProtect::ShowModal() {
    if (window_ || !Load()) return;  // not re-entered while shown
    unloading_ = false;
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    MSG msg;
    while (!unloading_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (::IsDialogMessageW(window_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    Destroy();
}

// Unloading is asked for from the controls' own event handlers: the window goes away once they
// have returned, after the modal loop.
void frmUnProtect::Unload() {
    unloading_ = true;
    if (window_) ::ShowWindow(window_, SW_HIDE);
    ::PostMessageW(window_, WM_NULL, 0, 0);
}

void frmUnProtect::Destroy() {
    if (!window_) return;
    HWND window = window_;
    ::KillTimer(window, kTopmostTimer);
    cmdOK_.reset();
    cmdCancel_.reset();
    ucSkinForm1_.reset();
    container_.reset();
    window_ = nullptr;
    ::DestroyWindow(window);
    lblMsg_ = lblPassword_ = txtPassword_ = nullptr;
    if (font_) ::DeleteObject(font_);
    font_ = nullptr;
}

// Once, shortly after loading: topmost and in front even when another program has the
// foreground, then the focus in the password box. Failures are ignored.
void frmUnProtect::BringToFront() {
    ::KillTimer(window_, kTopmostTimer);
    if (unloading_) return;
    if (!(::GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        HWND foreground = ::GetForegroundWindow();
        if (foreground != window_) {
            const DWORD theirs = ::GetWindowThreadProcessId(foreground, nullptr), ours = ::GetCurrentThreadId();
            const bool attached = theirs && theirs != ours && ::AttachThreadInput(ours, theirs, TRUE);
            ::ShowWindow(window_, SW_SHOW);
            ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            ::SetForegroundWindow(window_);
            if (attached) ::AttachThreadInput(ours, theirs, FALSE);
        } else {
            ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    ::SetFocus(txtPassword_);
}

void frmUnProtect::OkClick() {
    const int length = ::GetWindowTextLengthW(txtPassword_);
    std::wstring typed(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    typed.resize(static_cast<size_t>(::GetWindowTextW(txtPassword_, typed.data(), length + 1)));
    const std::wstring password = TrimBlanks(typed);
    if (password.empty()) {
        ::MessageBoxW(window_, emptyInputMessage_.c_str(), L"Quorallion", MB_OK);
        if (!unloading_) ::SetFocus(txtPassword_);
        return;
    }
    UnprotectTexts().password = password;
    UnprotectTexts().state = L"ok";
    Unload();
}

LRESULT CALLBACK frmUnProtect::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    frmUnProtect& form = Instance();
    if (form.window_ == window) return form.Handle(message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT frmUnProtect::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTopmostTimer) {
            BringToFront();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    case WM_CLOSE:  // Alt+F4: as the frame's close button
        Unload();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quorallion
