#include "clsShowWordEq.h"

#include <windows.h>

#include "capture_services.h"
#include "file/basFile.h"
#include "frmWordEq.h"
#include "process_state.h"
#include "win/message_pump.h"
#include "wordeq_texts.h"

namespace quorallion {

clsShowWordEq::clsShowWordEq(JobContext context, ReturnValueHandler returnValue)
    : context_(std::move(context)), returnValue_(std::move(returnValue)) {}

clsShowWordEq::~clsShowWordEq() {
    *alive_ = false;
    showWordEqHiddenForm_.reset();
    // A refused job closes nothing: the window that is open belongs to another job.
    frmWordEq& window = frmWordEq::Instance();
    if (windowGeneration_ != 0 && window.Loaded() && window.Generation() == windowGeneration_)
        window.Unload(true);
}

void clsShowWordEq::ShowEQ(const std::wstring& eqCode, const std::wstring& config) {
    std::shared_ptr<bool> alive = alive_;
    win::DoEvents();
    if (!*alive) return;  // released while messages ran

    // A window of this process or another one.
    if (HWND open = ::FindWindowW(nullptr, frmWordEq::kCaption)) {
        basFile::DebugTrace(L"ShowEQ:OneCancel");
        ::SetForegroundWindow(open);
        ReturnValueHandler returnValue = returnValue_;  // may release this object
        returnValue(L"cancel");
        return;
    }

    const wordeq::Options options = wordeq::ReadOptions(config);
    ProcessState& process = Process();
    process.wordEqResult.clear();
    process.equationCode = eqCode;
    process.equationType = options.eqType;
    process.equationVersion = options.version;

    // A size that is no whole number, or a control that cannot be created: no window stays, and
    // the job ends with an error through the hand-back instead of waiting for nobody.
    frmWordEq& window = frmWordEq::Instance();
    if (!options.width || !options.height || !window.Load(context_.jobFolder, context_.actKey)) {
        process.wordEqResult = L"err";
        StartHandBack();
        return;
    }
    windowGeneration_ = window.Generation();
    window.SizeFor(*options.width, *options.height);
    window.Show();
    win::DoEvents();
    if (!*alive) return;
    StartHandBack();
    if (window.Loaded() && window.Generation() == windowGeneration_) window.StartTimer();
}

void clsShowWordEq::StartHandBack() {
    showWordEqHiddenForm_ = std::make_unique<frmHidden>();
    showWordEqHiddenForm_->CaptureReturn = [this] { ShowWordEqHiddenForm_CaptureReturn(); };
    showWordEqHiddenForm_->SetShowWordEqTimerEnabled(true);
}

void clsShowWordEq::ShowWordEqHiddenForm_CaptureReturn() {
    // The handler may release this object.
    ReturnValueHandler returnValue = returnValue_;
    const std::wstring state = Process().wordEqResult;
    returnValue(state);
}

std::unique_ptr<EquationSession> MakeEquationSession(const JobContext& context, ReturnValueHandler returnValue) {
    return std::make_unique<clsShowWordEq>(context, std::move(returnValue));
}

void UnloadEquationForm() {
    frmWordEq::Instance().Unload();
}

}  // namespace quorallion
