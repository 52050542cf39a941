#include <windows.h>

#include "encoding/basTextUTF.h"
#include "file/basFile.h"
#include "win/handles.h"

namespace quorallion {

int64_t basFileSystemW::FileLenW(const std::wstring& path) {
    win::UniqueFile file(::CreateFileW(LongPath(path).c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) throw FileError(53, "File not found");
    return size.QuadPart;
}

void basFileSystemW::KillW(const std::wstring& path) {
    if (!::DeleteFileW(LongPath(path).c_str())) throw FileError(51, "Delete failed");
}

std::wstring basFile::ReadTextFileAuto(const std::wstring& path) {
    int32_t encoding = basTextUTF::kDetect;
    return basTextUTF::ReadTextFile(path, encoding);
}

void basFile::DeleteFileIfExists(const std::wstring& path) {
    if (path.empty() || !FileExists(path)) return;
    try {
        basFileSystemW::KillW(path);
    } catch (const FileError&) {
    }
}

bool basFile::FileExistsWithExt(const std::wstring& path, const std::wstring& extensionList) {
    return HasExtInList(path, extensionList) && FileExists(path);
}

}  // namespace quorallion
