#include "clsCapture.h"

#include <windows.h>

#include "capture_services.h"
#include "frmCapture.h"
#include "process_state.h"
#include "win/message_pump.h"

namespace quorallion {

clsCapture::clsCapture(ReturnValueHandler returnValue) : returnValue_(std::move(returnValue)) {}

clsCapture::~clsCapture() {
    *alive_ = false;
    captureHiddenForm_.reset();
    // A refused job closes nothing: the panel that is open belongs to another job.
    frmCapture& panel = frmCapture::Instance();
    if (panelGeneration_ != 0 && panel.Loaded() && panel.Generation() == panelGeneration_)
        panel.Unload();
}

void clsCapture::Capture() {
    std::shared_ptr<bool> alive = alive_;
    win::DoEvents();
    if (!*alive) return;  // released while messages ran

    // A panel of this process or another one, shown or hidden during a grab.
    if (HWND open = ::FindWindowW(nullptr, frmCapture::kCaption)) {
        ::SetForegroundWindow(open);
        ReturnValueHandler returnValue = returnValue_;  // may release this object
        returnValue(L"cancel");
        return;
    }

    frmCapture& panel = frmCapture::Instance();
    panel.Load();  // lets messages run
    if (!*alive) {
        panel.Unload();  // released meanwhile: the panel it loaded belongs to no job
        return;
    }
    if (!panel.Loaded()) {
        ReturnValueHandler returnValue = returnValue_;
        returnValue(L"cancel");
        return;
    }
    HWND window = panel.Window();
    const unsigned generation = panel.Generation();
    panelGeneration_ = generation;
    // The result text is emptied and watched before the panel shows: showing it lets messages
    // run, and a panel closed in between leaves "cancel", which must stay and be reported.
    Process().captureResult.clear();
    captureHiddenForm_ = std::make_unique<frmHidden>();
    captureHiddenForm_->CaptureReturn = [this] { CaptureHiddenForm_CaptureReturn(); };
    captureHiddenForm_->SetCaptureTimerEnabled(true);

    RECT rect;
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    ::SetWindowPos(window, nullptr, (ScreenWidthPixels() - width) / 2,
                   (ScreenHeightPixels() - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(window, SW_SHOW);
    // This object may be released, and the panel closed, while the window was shown.
    if (!*alive || !panel.Loaded() || panel.Generation() != generation) return;
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void clsCapture::CaptureHiddenForm_CaptureReturn() {
    // The text stays as it is; the next Capture clears it. The handler may release this object.
    ReturnValueHandler returnValue = returnValue_;
    const std::wstring result = Process().captureResult;
    returnValue(result);
}

std::unique_ptr<CaptureSession> MakeCaptureSession(ReturnValueHandler returnValue) {
    return std::make_unique<clsCapture>(std::move(returnValue));
}

void UnloadCaptureForms() {
    frmCapture::Instance().Unload();
}

}  // namespace quorallion
