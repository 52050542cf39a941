#include "registry/clsRegistry.h"

namespace quorallion {
namespace {

std::wstring Quoted(const std::wstring& path) {
    size_t first = path.find_first_not_of(L' ');
    std::wstring out = first == std::wstring::npos
                           ? std::wstring()
                           : path.substr(first, path.find_last_not_of(L' ') - first + 1);
    if (out.empty() || out.front() != L'"') out.insert(out.begin(), L'"');
    if (out.size() < 2 || out.back() != L'"') out.push_back(L'"');
    return out;
}

}  // namespace

// The text as the default value of the section, under HKEY_CLASSES_ROOT and again below
// SOFTWARE\Classes of HKEY_LOCAL_MACHINE.
void clsRegistry::WriteBothClassRoots(const std::wstring& text) {
    classKey_ = HKEY_CLASSES_ROOT;
    Value(text);
    const std::wstring section = sectionKey_;
    classKey_ = HKEY_LOCAL_MACHINE;
    sectionKey_ = L"SOFTWARE\\Classes\\" + section;
    try {
        Value(text);
    } catch (...) {
        sectionKey_ = section;
        throw;
    }
    sectionKey_ = section;
}

void clsRegistry::CreateEXEAssociation(const std::wstring& programPath,
                                       const std::wstring& className,
                                       const std::wstring& description,
                                       const std::wstring& extension,
                                       const std::wstring& openText, bool print,
                                       const std::wstring& printText, bool newWanted,
                                       const std::wstring& newText, bool install,
                                       const std::wstring& installText, int32_t iconIndex) {
    const std::wstring program = Quoted(programPath);
    valueType_ = REG_SZ;
    valueKey_ = L"";
    auto write = [&](const std::wstring& section, const std::wstring& text) {
        sectionKey_ = section;
        WriteBothClassRoots(text);
    };
    auto verb = [&](const wchar_t* name, const std::wstring& text, const std::wstring& fallback,
                    const wchar_t* option) {
        const std::wstring section = className + L"\\shell\\" + name;
        write(section, text.empty() ? fallback : text);
        write(section + L"\\command", program + L" " + option + L"\"%1\"");
    };
    write(L"." + extension, className);
    write(className, description);
    verb(L"open", openText, L"&Open", L"");
    if (print) verb(L"print", printText, L"&Print", L"/p ");
    if (install) verb(L"add", installText, L"&Install " + extension, L"/a ");
    if (newWanted) verb(L"new", newText, L"&New", L"/n ");
    if (iconIndex >= 0)
        write(className + L"\\DefaultIcon", program + L"," + std::to_wstring(iconIndex));
}

void clsRegistry::CreateAdditionalEXEAssociations(const std::wstring& className,
                                                  const std::vector<std::wstring>& verbs) {
    if (verbs.empty() || verbs.size() % 3 != 0)
        throw RegistryError(RegistryError::kBadAssociationList,
                            L"Invalid parameter list passed to CreateAdditionalEXEAssociations - "
                            L"expected Name/Text/Command");
    sectionKey_ = className;
    if (!KeyExists())
        throw RegistryError(RegistryError::kAssociationClassMissing,
                            L"Error - attempt to create additional associations before class "
                            L"defined.");
    valueType_ = REG_SZ;
    valueKey_ = L"";
    for (size_t i = 0; i < verbs.size(); i += 3) {
        const std::wstring section = className + L"\\shell\\" + verbs[i];
        // A failed write does not stop the others.
        try {
            sectionKey_ = section;
            WriteBothClassRoots(verbs[i + 1]);
        } catch (const RegistryError&) {
        }
        try {
            sectionKey_ = section + L"\\command";
            WriteBothClassRoots(verbs[i + 2]);
        } catch (const RegistryError&) {
        }
    }
}

}  // namespace quorallion
