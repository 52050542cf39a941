#include "office/office_choice.h"

#include <cwchar>

#include "office/office_registration.h"
#include "registry/clsRegistry.h"

namespace quorallion::office {

namespace {

// True when the registration had to be rewritten (or the write failed).
bool RepairChangedSomething(const std::wstring& officeWord) {
    try {
        return basPublic::RepairOfficeLocalServer32(officeWord);
    } catch (const RegistryError&) {
        return true;
    }
}

}  // namespace

std::wstring ChooseDocumentApplication(const std::wstring& api, const std::wstring& officeWord,
                                       const std::wstring& wpsWord) {
    const std::wstring choice = NormalizedApi(api);
    if (choice == L"2") return wpsWord;
    if (choice == L"0" && !basPublic::IsMsOfficeInstalled(officeWord)) return wpsWord;
    return RepairChangedSomething(officeWord) ? L"" : officeWord;
}

std::wstring ChooseSheetNameApplication(const std::wstring& api) {
    if (NormalizedApi(api) == L"1") return L"xls";
    return ChooseDocumentApplication(api, L"xls", L"et");
}

std::wstring EscapeOptionValue(const std::wstring& value) {
    std::wstring out;
    for (wchar_t c : value) {
        if (c == L'&') out += L"&amp#";
        else if (c == L':') out += L"&maohao#";
        else if (c == L';') out += L"&fenhao#";
        else out += c;
    }
    return out;
}

double VersionNumber(const std::wstring& version) {
    if (version.empty()) return -1;
    wchar_t* end = nullptr;
    const double value = std::wcstod(version.c_str(), &end);
    return end == version.c_str() ? -1 : value;
}

}  // namespace quorallion::office
