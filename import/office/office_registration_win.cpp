#include "office/office_registration.h"

#include <windows.h>

#include "file/basFile.h"
#include "office/office_family.h"
#include "process_state.h"
#include "registry/clsRegistry.h"

namespace quorallion::basPublic {

namespace {

constexpr REGSAM kViews[] = {0, KEY_WOW64_32KEY};

// The default value of a key as text; nothing when the key or the value is missing.
bool ReadDefault(HKEY root, const std::wstring& path, REGSAM view, std::wstring& value) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, bytes = 0;
    LONG status = ::RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes);
    value.clear();
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && bytes > 0) {
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) ==
            ERROR_SUCCESS) {
            text.resize(size / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0') text.pop_back();
            value = text;
        }
    }
    ::RegCloseKey(key);
    return true;
}

void WriteDefault(HKEY root, const std::wstring& path, REGSAM view, const std::wstring& value) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_SET_VALUE | view, &key);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS)
        throw RegistryError(RegistryError::kSetValueFailed, L"Could not set the value of " + path);
}

// The Office program App Paths names, in the first view that names an existing file; "" when none.
std::wstring OfficeProgramPath(const office::OfficeFamily& family) {
    const std::wstring path =
        std::wstring(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") + family.officeProgram;
    for (REGSAM view : kViews) {
        std::wstring value;
        if (ReadDefault(HKEY_LOCAL_MACHINE, path, view, value) && !value.empty() && basFile::FileExists(value))
            return value;
    }
    return L"";
}

}  // namespace

bool IsMsOfficeInstalled(const std::wstring& typeWord) {
    return !OfficeProgramPath(office::FamilyOf(typeWord)).empty();
}

bool RepairOfficeLocalServer32(const std::wstring& typeWord) {
    const office::OfficeFamily& family = office::FamilyOf(typeWord);
    const std::wstring program = OfficeProgramPath(family);
    if (program.empty()) return false;
    const std::wstring newValue = office::AutomationServerValue(program);
    const std::wstring tail = std::wstring(L"CLSID\\") + family.classId + L"\\LocalServer32";
    const struct {
        HKEY root;
        std::wstring path;
    } keys[] = {{HKEY_CLASSES_ROOT, tail},
                {HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + tail},
                {HKEY_CURRENT_USER, L"Software\\Classes\\" + tail}};
    bool repaired = false;
    for (const auto& key : keys)
        for (REGSAM view : kViews) {
            std::wstring value;
            if (!ReadDefault(key.root, key.path, view, value)) continue;
            if (!office::NamesWpsProgram(value, family)) continue;
            WriteDefault(key.root, key.path, view, newValue);
            repaired = true;
        }
    return repaired;
}

bool RepairOfficeServerOnce(const std::wstring& typeWord) {
    ProcessState& process = Process();
    if (process.officeRepairDone) return true;
    const bool repaired = RepairOfficeLocalServer32(typeWord);  // a write failure passes through
    if (repaired) {
        const office::OtherFamilies others = office::OtherFamiliesAfter(typeWord);
        for (const wchar_t* other : {others.first, others.second}) {
            if (!*other) continue;
            try {
                RepairOfficeLocalServer32(other);
            } catch (const RegistryError&) {
            }
        }
    }
    process.officeRepairDone = repaired;
    return repaired;
}

}  // namespace quorallion::basPublic

namespace quorallion::office {

std::wstring NormalizedApi(const std::wstring& api) {
    return api == L"1" || api == L"2" ? api : L"0";
}

std::wstring ChooseWordApplication(const std::wstring& api) {
    const std::wstring choice = NormalizedApi(api);
    if (choice == L"2") return L"wps";
    if (choice == L"0" && !basPublic::IsMsOfficeInstalled(L"doc")) return L"wps";
    try {
        return basPublic::RepairOfficeLocalServer32(L"doc") ? L"" : L"doc";
    } catch (const RegistryError&) {
        return L"";  // a failed write counts as a repair
    }
}

std::wstring ChooseWordPasteApplication(const std::wstring& sourceApp) {
    if (sourceApp != L"word") return L"wps";
    try {
        return basPublic::RepairOfficeServerOnce(L"doc") ? L"" : L"doc";
    } catch (const RegistryError&) {
        return L"";
    }
}

}  // namespace quorallion::office
