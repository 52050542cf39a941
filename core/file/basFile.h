#pragma once
// File and folder helpers over the wide-character file calls.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace quorallion {

// A file call that failed the way the classic runtime reports it: 53 file not found, 51 and up
// for other failures.
class FileError : public std::runtime_error {
public:
    FileError(int number, const char* what) : std::runtime_error(what), number_(number) {}
    int Number() const { return number_; }

private:
    int number_;
};

namespace basFileSystemW {
// GetFileAttributesW; raises FileError 53 when the path cannot be read.
uint32_t GetAttrW(const std::wstring& path);
// The path in the form that lifts the 260-character limit for an absolute path.
std::wstring LongPath(const std::wstring& path);
}  // namespace basFileSystemW

namespace basFile {
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Deletes the folder's contents (read-only, hidden and system files too) and, unless keepRoot,
// the folder itself. Links inside are removed as links: their targets are never entered.
// Errors are ignored: what cannot be deleted stays.
void DeleteFolder(const std::wstring& path, bool keepRoot = false);
}  // namespace basFile

}  // namespace quorallion
