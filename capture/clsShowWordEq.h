#pragma once
// The equation job object: opens the equation window (or refuses when one is open), watches the
// Word-equation result text through its own hand-back form, and raises ReturnValue once per job.
#include <memory>
#include <string>

#include "frmHidden.h"
#include "services.h"

namespace quorallion {

class clsShowWordEq : public EquationSession {
public:
    // context: the job whose folder and key the window's OK uses, whatever jobs come later.
    clsShowWordEq(JobContext context, ReturnValueHandler returnValue);
    // Unloads its hand-back form, and the window only when this object opened it (quietly:
    // a job released by its core raises nothing).
    ~clsShowWordEq() override;
    clsShowWordEq(const clsShowWordEq&) = delete;
    clsShowWordEq& operator=(const clsShowWordEq&) = delete;

    void ShowEQ(const std::wstring& eqCode, const std::wstring& config) override;

private:
    void ShowWordEqHiddenForm_CaptureReturn();
    void StartHandBack();

    JobContext context_;
    ReturnValueHandler returnValue_;
    std::unique_ptr<frmHidden> showWordEqHiddenForm_;
    unsigned windowGeneration_ = 0;  // the window this object opened; 0 when it opened none
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quorallion
