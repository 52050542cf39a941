#pragma once
// The capture job object: shows the start panel, watches the capture result text through its
// own hand-back form, and raises ReturnValue once per job.
#include <memory>

#include "frmHidden.h"
#include "services.h"

namespace quorallion {

class clsCapture : public CaptureSession {
public:
    explicit clsCapture(ReturnValueHandler returnValue);
    // Unloads its hand-back form, and the panel only when this object opened it.
    ~clsCapture() override;
    clsCapture(const clsCapture&) = delete;
    clsCapture& operator=(const clsCapture&) = delete;

    void Capture() override;

private:
    void CaptureHiddenForm_CaptureReturn();

    ReturnValueHandler returnValue_;
    std::unique_ptr<frmHidden> captureHiddenForm_;
    unsigned panelGeneration_ = 0;  // the panel this object showed; 0 when it showed none
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quorallion
