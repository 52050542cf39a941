#include <windows.h>

#include "file/basFile.h"

namespace quorallion {

std::wstring basFileSystemW::LongPath(const std::wstring& path) {
    // Plain drive paths (C:\...) and UNC paths (\\server\share) get the \\?\ form when long.
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

uint32_t basFileSystemW::GetAttrW(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw FileError(53, "File not found");
    return attributes;
}

bool basFile::FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    try {
        return (basFileSystemW::GetAttrW(path) & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } catch (const FileError&) {
        return false;
    }
}

bool basFile::FolderExists(const std::wstring& path) {
    if (path.empty()) return false;
    try {
        return (basFileSystemW::GetAttrW(path) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    } catch (const FileError&) {
        return false;
    }
}

}  // namespace quorallion
