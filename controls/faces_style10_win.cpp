// Style 10: the glassy round-cornered face in three colourings.
#include "faces_win.h"

namespace quorallion::controls {

// Not drawn yet: the pixel tables of the three faces come from their generator. Until then the
// face stays the cleared background, as for style 6.
void PaintFaceStyle10(FaceSurface& s, const FaceState& f) {}

}  // namespace quorallion::controls
