#pragma once
// The capture and equation neighbours that the core's seams are wired to.
#include <memory>

#include "services.h"

namespace quorallion {

// clsCapture: its Capture shows the start panel (or refuses when one is open) and its
// ReturnValue arrives through the handler.
std::unique_ptr<CaptureSession> MakeCaptureSession(ReturnValueHandler returnValue);

// Unloads the capture panel and its region window, whoever opened them.
void UnloadCaptureForms();

// clsShowWordEq: its ShowEQ opens the equation window (or refuses when one is open); OK places
// the picture in the folder of the job given here. ReturnValue arrives through the handler.
std::unique_ptr<EquationSession> MakeEquationSession(const JobContext& context, ReturnValueHandler returnValue);

// Unloads the equation window, whoever opened it; its job gets "cancel".
void UnloadEquationForm();

}  // namespace quorallion
