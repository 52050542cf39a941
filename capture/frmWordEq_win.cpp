#include "frmWordEq.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "file/basFile.h"
#include "form/control_win.h"
#include "form/picture_win.h"
#include "process_state.h"
#include "public/basPublic_win.h"
#include "ucButton_win.h"
#include "ucSkinForm_win.h"
#include "win/message_pump.h"
#include "wordeq_texts.h"

namespace quorallion {
namespace {

constexpr wchar_t kClassName[] = L"QuorallionWordEq";
constexpr UINT_PTR kTmrStart = 1;
constexpr UINT kTmrStartInterval = 100;
constexpr UINT kCommandMessage = WM_APP + 1;
constexpr double kButtonWidthTwips = 1215, kButtonHeightTwips = 375;
constexpr int kDefaultControlWidth = 800, kDefaultControlHeight = 500;

int ButtonWidthPixels() { return static_cast<int>(kButtonWidthTwips / controls::TwipsPerPixelX()); }
int ButtonHeightPixels() { return static_cast<int>(kButtonHeightTwips / controls::TwipsPerPixelY()); }

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0, 1.0);
    const double ex = ax + t * dx - px, ey = ay + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

// The buttons' 16 x 16 marks: a green tick for OK, a red cross for Cancel, each made of thick
// strokes with a soft edge on a transparent ground.
HICON MakeMarkIcon(bool tick) {
    struct Stroke {
        double ax, ay, bx, by;
    };
    const std::vector<Stroke> strokes =
        tick ? std::vector<Stroke>{{2.5, 8.5, 6.0, 12.0}, {6.0, 12.0, 13.5, 3.5}}
             : std::vector<Stroke>{{3.5, 3.5, 12.5, 12.5}, {12.5, 3.5, 3.5, 12.5}};
    const uint32_t colour = tick ? 0x0020A030u : 0x00D03020u;  // 0x00RRGGBB
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP colourBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!colourBitmap) return nullptr;
    auto* pixels = static_cast<uint32_t*>(bits);
    std::vector<uint8_t> maskBits(16 * 2, 0);  // 1 bit a pixel, rows of 2 bytes
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            double distance = 99;
            for (const Stroke& s : strokes)
                distance = std::min(distance, DistanceToSegment(x + 0.5, y + 0.5, s.ax, s.ay, s.bx, s.by));
            const double coverage = std::clamp(2.2 - distance, 0.0, 1.0);
            const uint32_t alpha = static_cast<uint32_t>(coverage * 255 + 0.5);
            if (alpha == 0) {
                pixels[y * 16 + x] = 0;
                maskBits[y * 2 + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                continue;
            }
            // Premultiplied, as the system blends 32-bit icons.
            const uint32_t r = ((colour >> 16) & 255) * alpha / 255, g = ((colour >> 8) & 255) * alpha / 255,
                           b = (colour & 255) * alpha / 255;
            pixels[y * 16 + x] = (alpha << 24) | (r << 16) | (g << 8) | b;
        }
    HBITMAP maskBitmap = ::CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmColor = colourBitmap;
    iconInfo.hbmMask = maskBitmap;
    HICON icon = maskBitmap ? ::CreateIconIndirect(&iconInfo) : nullptr;
    ::DeleteObject(colourBitmap);
    if (maskBitmap) ::DeleteObject(maskBitmap);
    return icon;
}

VARIANT BstrVariant(const std::wstring& text) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

void ClearAll(std::vector<VARIANT>& args) {
    for (VARIANT& v : args) ::VariantClear(&v);
}

}  // namespace

frmWordEq::frmWordEq() = default;
frmWordEq::~frmWordEq() = default;

frmWordEq& frmWordEq::Instance() {
    static frmWordEq* window = new frmWordEq();  // lives as long as the process
    return *window;
}

bool frmWordEq::Load(const std::wstring& jobFolder, const std::wstring& actKey) {
    if (window_) return true;
    basFile::DebugTrace(L"frmWordEq:Load");
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    static const bool registered = [instance] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &frmWordEq::WindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassW(&windowClass) != 0;
    }();
    if (!registered) return false;
    controlWidth_ = kDefaultControlWidth;
    const int width = wordeq::WindowWidthFor(controlWidth_, ButtonWidthPixels());
    const int height = kDefaultControlHeight + wordeq::kFrameExtraHeight;
    // No border of its own: the frame draws the title bar and the edges.
    window_ = ::CreateWindowExW(0, kClassName, kCaption, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0, width,
                                height, nullptr, nullptr, instance, this);
    if (!window_) return false;
    ++generation_;
    jobFolder_ = jobFolder;
    actKey_ = actKey;

    const wordeq::Captions captions = wordeq::CaptionsFor(Process().language);
    const double tx = controls::TwipsPerPixelX(), ty = controls::TwipsPerPixelY();
    form_ = std::make_unique<controls::Container>(window_);
    ucSkinForm1_ = std::make_unique<controls::ucSkinForm>();
    bool made = ucSkinForm1_->Create(*form_, L"ucSkinForm1", 0, 0, width * tx, height * ty);
    if (made) {
        ucSkinForm1_->SetCaption(captions.title);
        ucSkinForm1_->BtnCloseClick = [this] { Post(kCancel); };
        frame_ = std::make_unique<controls::Container>(ucSkinForm1_->hWnd());
        struct ButtonMade {
            std::unique_ptr<controls::ucButton>& button;
            const wchar_t* name;
            const wchar_t* caption;
            Command command;
            int icon;  // 0 none, 1 tick, 2 cross
        } buttons[] = {
            {cmdReset_, L"cmdReset", captions.reset, kReset, 0},
            {cmdClear_, L"cmdClear", captions.clear, kClear, 0},
            {cmdOK_, L"cmdOK", captions.ok, kOk, 1},
            {cmdCancel_, L"cmdCancel", captions.cancel, kCancel, 2},
        };
        for (ButtonMade& b : buttons) {
            b.button = std::make_unique<controls::ucButton>();
            made = made && b.button->Create(*frame_, b.name, 0, 0, kButtonWidthTwips, kButtonHeightTwips);
            if (!made) break;
            b.button->SetStyle(5);
            b.button->SetCaption(b.caption);
            if (b.icon) b.button->SetIcon(controls::Picture::FromIcon(MakeMarkIcon(b.icon == 1)));
            // Posted: the handler may destroy the button, which must not happen inside its own click.
            const Command command = b.command;
            b.button->Click = [this, command] { Post(command); };
        }
    }
    if (!made) {
        Unload(true);
        return false;
    }
    EnableEditing(false);

    const wordeq::Layout layout =
        wordeq::LayoutFor(width, height, controlWidth_, ButtonWidthPixels(), ButtonHeightPixels());
    const RECT rect{layout.control.left, layout.control.top, layout.control.left + layout.control.width,
                    layout.control.top + layout.control.height};
    const HRESULT hr = moWordEQ_.Create(
        ucSkinForm1_->hWnd(), wordeq::ProgIdFor(Process().equationVersion), rect,
        [this](const std::wstring& name, DISPPARAMS* params) {
            if (name != L"OnMyAction" || !params || params->cArgs < 1) return;
            const VARIANT& first = params->rgvarg[params->cArgs - 1];  // arguments come last first
            std::wstring command;
            if (first.vt == VT_BSTR && first.bstrVal)
                command.assign(first.bstrVal, ::SysStringLen(first.bstrVal));
            else if (first.vt == (VT_BYREF | VT_BSTR) && first.pbstrVal && *first.pbstrVal)
                command.assign(*first.pbstrVal, ::SysStringLen(*first.pbstrVal));
            MoWordEQ_OnMyAction(command);
        });
    if (FAILED(hr)) {
        Unload(true);
        return false;
    }
    VARIANT lang = BstrVariant(Process().language);
    moWordEQ_.PutProperty(L"Lang", lang);
    ::VariantClear(&lang);
    Arrange();
    return window_ != nullptr;
}

void frmWordEq::SizeFor(int width, int height) {
    if (!window_ || !ucSkinForm1_) return;
    // A narrow control still gets a window wide enough for its four buttons side by side.
    controlWidth_ = width;
    ucSkinForm1_->SetSize(wordeq::WindowWidthFor(width, ButtonWidthPixels()) * controls::TwipsPerPixelX(),
                          (height + wordeq::kFrameExtraHeight) * controls::TwipsPerPixelY());
    ucSkinForm1_->TransForm();
    Arrange();
}

void frmWordEq::Show() {
    if (!window_) return;
    RECT rect;
    ::GetWindowRect(window_, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    ::SetWindowPos(window_, nullptr, std::max(0, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2),
                   std::max(0, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(window_, SW_SHOW);
}

void frmWordEq::StartTimer() {
    if (window_) ::SetTimer(window_, kTmrStart, kTmrStartInterval, nullptr);
}

void frmWordEq::SetTopMost() {
    if (!window_) return;
    if (!(::GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        basFile::DebugTrace(L"frmWordEq:SetTopMost");
        HWND foreground = ::GetForegroundWindow();
        if (foreground != window_) {
            const DWORD self = ::GetCurrentThreadId();
            const DWORD other = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
            const bool attached = other && other != self && ::AttachThreadInput(self, other, TRUE);
            ::ShowWindow(window_, SW_SHOW);
            ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            ::SetForegroundWindow(window_);
            if (attached) ::AttachThreadInput(self, other, FALSE);
        } else {
            ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    // In front of the others, but not above them for good.
    ::SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void frmWordEq::EnableEditing(bool enabled) {
    for (auto* button : {cmdReset_.get(), cmdClear_.get(), cmdOK_.get()})
        if (button) button->SetEnabled(enabled);
}

void frmWordEq::Arrange() {
    if (!window_ || !frame_) return;
    RECT client;
    ::GetClientRect(window_, &client);
    const double tx = controls::TwipsPerPixelX(), ty = controls::TwipsPerPixelY();
    const wordeq::Layout layout =
        wordeq::LayoutFor(client.right, client.bottom, controlWidth_, ButtonWidthPixels(), ButtonHeightPixels());
    if (moWordEQ_.IsCreated()) {
        const RECT rect{layout.control.left, layout.control.top, layout.control.left + layout.control.width,
                        layout.control.top + layout.control.height};
        moWordEQ_.SetRect(rect);
    }
    const std::pair<controls::ucButton*, wordeq::Box> places[] = {
        {cmdOK_.get(), layout.ok}, {cmdCancel_.get(), layout.cancel},
        {cmdReset_.get(), layout.reset}, {cmdClear_.get(), layout.clear}};
    for (const auto& [button, box] : places)
        if (button) button->SetPosition(box.left * tx, box.top * ty);
}

void frmWordEq::TmrStartTick() {
    ::KillTimer(window_, kTmrStart);
    const unsigned generation = generation_;
    SetTopMost();
    std::vector<VARIANT> none;
    VARIANT ready;
    ::VariantInit(&ready);
    const HRESULT hr = moWordEQ_.CallMethod(L"WebNew", none, &ready);
    if (generation != generation_) return;  // closed while the control worked
    bool isReady = false;
    if (SUCCEEDED(hr) && SUCCEEDED(::VariantChangeType(&ready, &ready, 0, VT_BOOL)))
        isReady = ready.boolVal != VARIANT_FALSE;
    ::VariantClear(&ready);
    if (!isReady) return;
    CmdReset_Click();
    if (generation != generation_) return;
    EnableEditing(true);
}

void frmWordEq::CmdReset_Click() {
    std::vector<VARIANT> args{BstrVariant(Process().equationCode), BstrVariant(Process().equationType)};
    moWordEQ_.CallMethod(L"SetEQ", args);
    ClearAll(args);
}

void frmWordEq::CmdClear_Click() {
    std::vector<VARIANT> args{BstrVariant(L""), BstrVariant(L"")};
    moWordEQ_.CallMethod(L"SetEQ", args);
    ClearAll(args);
}

void frmWordEq::CmdOK_Click() {
    const unsigned generation = generation_;
    const std::wstring fileName = basPublic::GetTimeStamp() + L".png";
    const std::wstring filePath = jobFolder_ + fileName;
    BSTR code = ::SysAllocString(L"");
    BSTR type = ::SysAllocString(L"");
    std::vector<VARIANT> args(3);
    args[0].vt = VT_BYREF | VT_BSTR;
    args[0].pbstrVal = &code;
    args[1].vt = VT_BYREF | VT_BSTR;
    args[1].pbstrVal = &type;
    args[2] = BstrVariant(filePath);
    VARIANT error;
    ::VariantInit(&error);
    const HRESULT hr = moWordEQ_.CallMethod(L"GetEQ", args, &error);
    ::VariantClear(&args[2]);
    const std::wstring codeText(code ? code : L"", code ? ::SysStringLen(code) : 0);
    const std::wstring typeText(type ? type : L"", type ? ::SysStringLen(type) : 0);
    ::SysFreeString(code);
    ::SysFreeString(type);
    bool failed = FAILED(hr);
    if (!failed && error.vt != VT_EMPTY && SUCCEEDED(::VariantChangeType(&error, &error, 0, VT_BSTR)))
        failed = error.bstrVal && ::SysStringLen(error.bstrVal) > 0;
    ::VariantClear(&error);
    if (failed || generation != generation_) return;  // the window stays, nothing is shown

    if (!basFile::FileExists(filePath)) {
        ShowMessage(L"Error: MakeFile");
        return;
    }
    // The html text first: the hand-back never sees "ok" without it.
    Process().equationHtmlResult = wordeq::ImgTag(actKey_, fileName, codeText, typeText);
    Process().wordEqResult = L"ok";
    CloseControl();
    Unload(true);
}

void frmWordEq::CmdCancel_Click() {
    Process().wordEqResult = L"cancel";
    CloseControl();
    Unload(true);
}

void frmWordEq::CloseControl() {
    if (!moWordEQ_.IsCreated()) return;
    std::vector<VARIANT> none;
    moWordEQ_.CallMethod(L"Quit", none);
    moWordEQ_.Destroy();
}

void frmWordEq::MoWordEQ_OnMyAction(const std::wstring& command) {
    // Run once the control's event call has returned: the control is never released inside it.
    if (command == L"backstage_ok") Post(kOk);
    else if (command == L"backstage_cancel") Post(kCancel);
}

void frmWordEq::Post(Command command) {
    if (window_) ::PostMessageW(window_, kCommandMessage, command, generation_);
}

void frmWordEq::Run(Command command) {
    switch (command) {
    case kOk: CmdOK_Click(); break;
    case kCancel: CmdCancel_Click(); break;
    case kReset: CmdReset_Click(); break;
    case kClear: CmdClear_Click(); break;
    }
}

int frmWordEq::ShowMessage(const std::wstring& text) {
    return ::MessageBoxW(window_, text.c_str(), kMessageTitle, MB_OK | MB_ICONINFORMATION);
}

void frmWordEq::Unload(bool quietly) {
    if (!window_) return;
    ++generation_;
    HWND window = window_;
    ::KillTimer(window, kTmrStart);
    // Closed before any outcome was written (Alt+F4, the core closing every window): the job
    // that opened it still gets its answer.
    if (!quietly && Process().wordEqResult.empty()) Process().wordEqResult = L"cancel";
    moWordEQ_.Destroy();
    cmdReset_.reset();
    cmdClear_.reset();
    cmdOK_.reset();
    cmdCancel_.reset();
    frame_.reset();
    ucSkinForm1_.reset();
    form_.reset();
    window_ = nullptr;
    ::DestroyWindow(window);
}

LRESULT CALLBACK frmWordEq::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<frmWordEq*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && window == self->window_) return self->OnMessage(message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT frmWordEq::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
    case WM_SIZE:
        Arrange();
        return 0;
    case WM_TIMER:
        if (wParam == kTmrStart) TmrStartTick();
        return 0;
    case kCommandMessage:
        if (static_cast<unsigned>(lParam) == generation_) Run(static_cast<Command>(wParam));
        return 0;
    case WM_CLOSE:
        // Alt+F4 and the system's close: the same as Cancel.
        CmdCancel_Click();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorallion
