#include <windows.h>

#include <vector>

#include "file/basFile.h"
#include "win/handles.h"

namespace quorallion {
namespace {

struct Entry {
    std::wstring path;
    DWORD attributes;
};

// The listing is finished before anything is deleted.
std::vector<Entry> ListFolder(const std::wstring& folder) {
    std::vector<Entry> entries;
    WIN32_FIND_DATAW data;
    win::UniqueFind find(::FindFirstFileW(basFileSystemW::LongPath(folder + L"\\*").c_str(), &data));
    if (!find) return entries;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({folder + L"\\" + name, data.dwFileAttributes});
    } while (::FindNextFileW(find.get(), &data));
    return entries;
}

void RemoveFile(const std::wstring& path) {
    const std::wstring longPath = basFileSystemW::LongPath(path);
    ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(longPath.c_str());
}

void RemoveEmptyFolder(const std::wstring& path) {
    const std::wstring longPath = basFileSystemW::LongPath(path);
    ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(longPath.c_str());
}

void DeleteTree(const std::wstring& folder, bool keepRoot, int depth) {
    // Deeper than any real job folder: stop rather than exhaust the stack.
    if (depth > 200) return;
    for (const Entry& entry : ListFolder(folder)) {
        const bool isFolder = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool isLink = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isFolder && isLink) {
            RemoveEmptyFolder(entry.path);  // removes the junction, not what it points at
        } else if (isFolder) {
            DeleteTree(entry.path, false, depth + 1);
        } else {
            RemoveFile(entry.path);
        }
    }
    if (!keepRoot) RemoveEmptyFolder(folder);
}

}  // namespace

void basFile::DeleteFolder(const std::wstring& path, bool keepRoot) {
    std::wstring folder = path;
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (!FolderExists(folder)) return;
    DWORD attributes = ::GetFileAttributesW(basFileSystemW::LongPath(folder).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // The folder itself is a link: only the link goes.
        if (!keepRoot) RemoveEmptyFolder(folder);
        return;
    }
    DeleteTree(folder, keepRoot, 0);
}

}  // namespace quorallion
