#include "error/program_name.h"

#include <windows.h>

#include <vector>

namespace quorallion {

std::wstring ProgramName() {
    std::vector<wchar_t> path(MAX_PATH + 1);
    DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    while (length == path.size() && path.size() < 32768) {  // cut short: a longer buffer
        path.resize(path.size() * 2);
        length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    }
    std::wstring name(path.data(), length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

}  // namespace quorallion
