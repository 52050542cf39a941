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
// The file's size in bytes; raises FileError 53 when it cannot be opened.
int64_t FileLenW(const std::wstring& path);
// DeleteFileW; raises FileError 51 when it fails.
void KillW(const std::wstring& path);
}  // namespace basFileSystemW

namespace basFile {
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Deletes the folder's contents (read-only, hidden and system files too) and, unless keepRoot,
// the folder itself. Links inside are removed as links: their targets are never entered.
// Errors are ignored: what cannot be deleted stays.
void DeleteFolder(const std::wstring& path, bool keepRoot = false);

// The whole text file, its encoding recognised from a byte-order mark or a UTF-8 check.
std::wstring ReadTextFileAuto(const std::wstring& path);
// Deletes the file when it exists; never fails towards the caller.
void DeleteFileIfExists(const std::wstring& path);

// Extension lists are "doc|docx|wps": extensions without dots, any case, blanks around allowed.
// The first entry of the list that the path ends with ("." + entry), lower case; with an empty
// list the path's own extension in lower case. The empty text when nothing matches.
std::wstring GetExtInList(const std::wstring& path, const std::wstring& extensionList);
bool HasExtInList(const std::wstring& path, const std::wstring& extensionList);
bool FileExistsWithExt(const std::wstring& path, const std::wstring& extensionList);
// The text after the last "." with its case kept; empty when there is none or it ends the path.
std::wstring GetFileExt(const std::wstring& path);

// The system keeps no log: trace texts are dropped.
void DebugTrace(const std::wstring& text);
}  // namespace basFile

}  // namespace quorallion
