#include "excel/excel_range_win.h"

namespace quorallion::excel {

using office::Arg;
using office::AutoObject;

AutoObject ValueRange(const AutoObject& sheet) {
    const AutoObject used = sheet.Object(L"UsedRange");
    const AutoObject a1 = sheet.Object(L"Range", {L"A1"});
    // Find(What, After, LookIn, LookAt, SearchOrder, SearchDirection): any value after A1,
    // backwards (2), by rows (1) for the last row, by columns (2) for the last column.
    const long lastRow = sheet.Object(L"cells.Find", {L"*", a1.get(), Arg::Missing(), Arg::Missing(), 1, 2})
                             .Get(L"Row")
                             .Long();
    const long lastColumn = sheet.Object(L"cells.Find", {L"*", a1.get(), Arg::Missing(), Arg::Missing(), 2, 2})
                                .Get(L"Column")
                                .Long();
    // The end is the sheet's cell of the last row and column with a value, so values in A5:A20
    // reach row 20 even though the used range starts at row 5.
    const AutoObject first = used.Object(L"cells", {1, 1});
    const AutoObject last = sheet.Object(L"cells", {lastRow, lastColumn});
    return sheet.Object(L"Range", {first.get(), last.get()});
}

}  // namespace quorallion::excel
