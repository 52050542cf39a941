#include "office/display_alerts_win.h"

namespace quorallion::office {

AlertsOff::AlertsOff(const AutoObject& app, const Arg& off) : app_(app.get(), errors_) {
    saved_ = app_.Get(L"DisplayAlerts");
    if (errors_.Pending()) saved_ = Value();
    errors_.Clear();
    app_.Put(L"DisplayAlerts", off);
    errors_.Clear();
}

void AlertsOff::Restore() {
    if (app_ && !saved_.IsEmpty()) app_.Put(L"DisplayAlerts", Arg(saved_.get()));
    errors_.Clear();
    app_.Reset();
}

void SwitchAlertsOff(const AutoObject& app, const Arg& off) {
    ErrorState errors;
    AutoObject(app.get(), errors).Put(L"DisplayAlerts", off);
}

}  // namespace quorallion::office
