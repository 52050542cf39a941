#pragma once
// Describes one file on disk: set FullPathName and the object reads, in one pass, its names
// (exact spelling, 8.3, display and type name), sizes as two 32-bit halves, times as OLE dates
// to the second, attribute bits and shell icon, and holds them until the next Refresh.
// Attributes and times also write back. Raises nothing: failures show as values.
#include <windows.h>
#include <wtypes.h>

#include <cstdint>
#include <string>

#include "win/handles.h"

namespace quorallion {

class clsFileInfo {
public:
    // Expands the path against the current folder and refreshes; a path the system refuses to
    // expand changes nothing.
    void FullPathName(const std::wstring& path);
    const std::wstring& FullPathName() const { return fullPathName_; }
    const std::wstring& FileName() const { return fileName_; }
    // The folder, spelt as the file system spells it, ending in "\".
    const std::wstring& FilePath() const { return filePath_; }
    const std::wstring& FileExtension() const { return fileExtension_; }
    const std::wstring& ShortPathName() const { return shortPathName_; }
    const std::wstring& ShortName() const { return shortName_; }
    const std::wstring& ShortPath() const { return shortPath_; }
    const std::wstring& DisplayName() const { return displayName_; }
    const std::wstring& TypeName() const { return typeName_; }
    bool FileExists() const { return fileExists_; }
    // Whether the file's folder existed at the last refresh.
    bool PathExists() const { return pathExists_; }
    int32_t FileSize() const { return fileSize_; }
    int32_t FileSizeHigh() const { return fileSizeHigh_; }
    int32_t CompressedFileSize() const { return compressedFileSize_; }
    int32_t CompressedFileSizeHigh() const { return compressedFileSizeHigh_; }
    void CreationTime(DATE value);
    DATE CreationTime() const { return creationTime_; }
    void LastAccessTime(DATE value);
    DATE LastAccessTime() const { return lastAccessTime_; }
    void ModifyTime(DATE value);
    DATE ModifyTime() const { return modifyTime_; }
    void Attributes(int32_t value);
    int32_t Attributes() const { return attributes_; }
    void attrReadOnly(bool value) { SetBit(FILE_ATTRIBUTE_READONLY, value); }
    bool attrReadOnly() const { return HasBit(FILE_ATTRIBUTE_READONLY); }
    void attrHidden(bool value) { SetBit(FILE_ATTRIBUTE_HIDDEN, value); }
    bool attrHidden() const { return HasBit(FILE_ATTRIBUTE_HIDDEN); }
    void attrSystem(bool value) { SetBit(FILE_ATTRIBUTE_SYSTEM, value); }
    bool attrSystem() const { return HasBit(FILE_ATTRIBUTE_SYSTEM); }
    void attrArchive(bool value) { SetBit(FILE_ATTRIBUTE_ARCHIVE, value); }
    bool attrArchive() const { return HasBit(FILE_ATTRIBUTE_ARCHIVE); }
    // The system sets these two itself: setting them does nothing.
    void attrTemporary(bool) {}
    bool attrTemporary() const { return HasBit(FILE_ATTRIBUTE_TEMPORARY); }
    void attrCompressed(bool) {}
    bool attrCompressed() const { return HasBit(FILE_ATTRIBUTE_COMPRESSED); }
    // Stays owned by the object.
    HICON hIcon() const { return icon_.get(); }
    void Refresh();
    // Long date, a blank, long time, in the user's locale.
    std::wstring FormatFileDate(DATE value) const;
    // "1.50KB (1,536 bytes)", with the user's locale's separators.
    std::wstring FormatFileSize(int32_t size) const;

private:
    void SetBit(DWORD bit, bool on);
    bool HasBit(DWORD bit) const { return (static_cast<DWORD>(attributes_) & bit) != 0; }
    bool ApplyFileTime(DATE value, int kind) const;

    std::wstring fullPathName_, fileName_, filePath_, fileExtension_, displayName_, typeName_;
    win::UniqueIcon icon_;
    std::wstring shortPathName_, shortName_, shortPath_;
    bool fileExists_ = false;
    bool pathExists_ = false;
    int32_t fileSize_ = 0, fileSizeHigh_ = 0, compressedFileSize_ = 0, compressedFileSizeHigh_ = 0;
    int32_t attributes_ = 0;
    DATE creationTime_ = 0, lastAccessTime_ = 0, modifyTime_ = 0;
};

namespace fileinfo {
// Each folder of the path spelt as the file system has it; a drive root in capitals, a share
// root unchanged; empty when a folder is missing.
std::wstring GetProperPath(const std::wstring& folder);
// The text before the first NUL; a text without NUL trimmed of blanks.
std::wstring TrimNull(const std::wstring& text);
}  // namespace fileinfo

}  // namespace quorallion
