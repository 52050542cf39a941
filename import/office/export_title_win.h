#pragma once
// The title an Office PDF export writes into the document's built-in properties.
#include <string>

#include "office/late_binding_win.h"

namespace quorallion::office {

// With a title: the document's "Title" property becomes it and, unless docprop asks to keep them,
// the other properties a PDF reader shows (subject, author, keywords, comments, last author,
// manager, company) are emptied. Without a title nothing is written. Failures stay with the
// caller's ErrorState, as for any late-bound call.
void PutExportTitle(const AutoObject& document, const std::wstring& title, bool docprop);

}  // namespace quorallion::office
