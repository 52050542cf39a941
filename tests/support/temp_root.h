#pragma once
// The core's temp root as a client sees it, and a look at its folders.
#include <windows.h>

#include <string>
#include <vector>

namespace quorallion::testing {

inline std::wstring ClientTempRoot() {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring temp(buffer, length);
    if (!temp.empty() && temp.back() == L'\\') temp.pop_back();
    return temp + L"\\Quorallion2\\";
}

inline std::vector<std::wstring> ListNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

inline bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace quorallion::testing
