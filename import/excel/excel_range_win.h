#pragma once
// The part of a worksheet that the spreadsheet worker publishes or copies: from the first cell of
// the used range to the last row and the last column that hold a value. Formatted empty cells
// below or right of the values stretch the used range but are left out.
#include "office/late_binding_win.h"

namespace quorallion::excel {

// The range object, or an empty one with the error recorded in the sheet's error state.
office::AutoObject ValueRange(const office::AutoObject& sheet);

}  // namespace quorallion::excel
