#include "office/office_family.h"

#include <cwctype>

namespace quorallion::office {

namespace {
constexpr OfficeFamily kWord{L"{000209FF-0000-0000-C000-000000000046}", L"wps.exe", L"Winword.exe"};
constexpr OfficeFamily kExcel{L"{00024500-0000-0000-C000-000000000046}", L"et.exe", L"excel.exe"};
constexpr OfficeFamily kPowerPoint{L"{91493441-5A91-11CF-8700-00AA0060263B}", L"wpp.exe", L"powerpnt.exe"};

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}
}  // namespace

const OfficeFamily& FamilyOf(const std::wstring& typeWord) {
    if (typeWord == L"xls" || typeWord == L"xlsx" || typeWord == L"et") return kExcel;
    if (typeWord == L"ppt" || typeWord == L"pptx" || typeWord == L"dps") return kPowerPoint;
    return kWord;
}

std::wstring AutomationServerValue(const std::wstring& programPath) {
    const bool blank = programPath.find(L' ') != std::wstring::npos;
    return (blank ? L"\"" + programPath + L"\"" : programPath) + L" /Automation";
}

bool NamesWpsProgram(const std::wstring& localServerValue, const OfficeFamily& family) {
    return Lower(localServerValue).find(std::wstring(L"\\") + family.wpsProgram) != std::wstring::npos;
}

OtherFamilies OtherFamiliesAfter(const std::wstring& typeWord) {
    if (typeWord == L"doc") return {L"xls", L"ppt"};
    if (typeWord == L"xls") return {L"doc", L"ppt"};
    if (typeWord == L"ppt") return {L"doc", L"xls"};
    return {L"", L""};
}

}  // namespace quorallion::office

namespace quorallion::basPublic {

std::wstring GetOfficeProgID(const std::wstring& typeWord) {
    std::wstring word;
    for (wchar_t c : typeWord) word += static_cast<wchar_t>(std::towlower(c));
    if (word == L"doc") return L"Word.Application";
    if (word == L"xls") return L"Excel.Application";
    if (word == L"ppt") return L"PowerPoint.Application";
    if (word == L"wps") return L"KWPS.Application";
    if (word == L"et") return L"KET.Application";
    if (word == L"dps") return L"KWPP.Application";
    if (word == L"vsd") return L"Visio.Application";
    return L"";
}

}  // namespace quorallion::basPublic
