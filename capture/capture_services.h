#pragma once
// The capture neighbour that the core's seam is wired to.
#include <memory>

#include "services.h"

namespace quorallion {

// clsCapture: its Capture shows the start panel (or refuses when one is open) and its
// ReturnValue arrives through the handler.
std::unique_ptr<CaptureSession> MakeCaptureSession(ReturnValueHandler returnValue);

// Unloads the capture panel and its region window, whoever opened them.
void UnloadCaptureForms();

}  // namespace quorallion
