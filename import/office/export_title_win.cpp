#include "office/export_title_win.h"

namespace quorallion::office {

void PutExportTitle(const AutoObject& document, const std::wstring& title, bool docprop) {
    if (title.empty()) return;
    document.Object(L"BuiltInDocumentProperties", {L"Title"}).Put(L"Value", title);
    if (docprop) return;
    for (const wchar_t* property :
         {L"Subject", L"Author", L"Keywords", L"Comments", L"Last author", L"Manager", L"Company"})
        document.Object(L"BuiltInDocumentProperties", {property}).Put(L"Value", L"");
}

}  // namespace quorallion::office
