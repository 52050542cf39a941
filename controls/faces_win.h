#pragma once
// Face painters of the owner-drawn button: functions of the surface (DC, W, H), the button state,
// the focus and the colours, so tests render them into a DIB section.
#include "drawing_win.h"

namespace quorallion::controls {

// Button states.
constexpr int kStateNone = 0, kStateNormal = 1, kStateHot = 2, kStatePressed = 3, kStateDisabled = 4;

struct FaceState {
    int state = kStateNormal;
    bool focus = false;
    bool showFocus = false;
    bool displayAsDefault = false;
    // RGB values (system colour references already translated).
    Colour back = 0;
    Colour highlight = 0;
};

void PaintFaceStyle5(FaceSurface& s, const FaceState& f);
void PaintFaceStyle5Custom(FaceSurface& s, const FaceState& f);
void PaintFaceStyle7(FaceSurface& s, const FaceState& f, bool useCustomColors);
void PaintFaceStyle8(FaceSurface& s, const FaceState& f, bool useCustomColors);
void PaintFaceStyle9(FaceSurface& s, const FaceState& f, bool useCustomColors);
void PaintFaceStyle10(FaceSurface& s, const FaceState& f);

}  // namespace quorallion::controls
