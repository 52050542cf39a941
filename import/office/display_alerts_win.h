#pragma once
// An application's alerts switched off for the length of a job, and put back as the application had
// them when the job leaves the application running (a Word the user started, a PowerPoint that
// serves the user too). The reads and writes of DisplayAlerts record into a state of their own: an
// application that refuses them still opens and converts, and no step of the worker reads that
// refusal as the failure of a later call.
#include "office/late_binding_win.h"

namespace quorallion::office {

class AlertsOff {
public:
    // Reads the application's DisplayAlerts and sets it to `off` (0 for Word, False for Excel,
    // 1 for PowerPoint).
    AlertsOff(const AutoObject& app, const Arg& off);
    // Puts the value back unless the job quit the application meanwhile.
    ~AlertsOff() { Restore(); }
    AlertsOff(const AlertsOff&) = delete;
    AlertsOff& operator=(const AlertsOff&) = delete;

    // Puts back the value read at the start, once; nothing when that read failed.
    void Restore();
    // The job is about to quit the application: its alerts end with it, nothing is put back.
    void Quitting() { app_.Reset(); }

private:
    ErrorState errors_;
    AutoObject app_;
    Value saved_;
};

// For an application the job always quits: alerts off, a refusal recorded nowhere.
void SwitchAlertsOff(const AutoObject& app, const Arg& off);

}  // namespace quorallion::office
