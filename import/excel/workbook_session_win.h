#pragma once
// A workbook the spreadsheet worker opens for itself: read-only, and at the end closed without
// saving in an application that is then quit.
#include <string>

#include "office/late_binding_win.h"

namespace quorallion::excel {

// Workbooks.Open(path, , ReadOnly:=True); an empty object when it failed.
office::AutoObject OpenReadOnly(const office::AutoObject& app, const std::wstring& path);

// Close(SaveChanges:=False) and Quit, each object released after its call; a failure of either is
// of no interest any more.
void CloseAndQuit(office::AutoObject& workbook, office::AutoObject& app);

}  // namespace quorallion::excel
