#pragma once
// Binary file access with 64-bit positions: one file at a time through a system handle, its own
// copy of the position, byte spans and typed values read and written at the position or at a
// given one. Every failure is a LibraryError with source "HugeBinaryFile" and a number from
// 45600 to 45610; each of them except 45607 closes the open file first.
#include <windows.h>
#include <wtypes.h>

#include <cstdint>
#include <span>
#include <string>

#include "error/LibraryError.h"
#include "win/handles.h"

namespace quorallion {

class clsHugeBinaryFile {
public:
    static constexpr long kUnknownError = 45600;
    static constexpr long kAlreadyOpen = 45601;
    static constexpr long kOpenFailed = 45602;
    static constexpr long kSeekError = 45603;
    static constexpr long kFileSizeError = 45604;
    static constexpr long kReadFailure = 45605;
    static constexpr long kWriteFailure = 45606;
    static constexpr long kNotOpen = 45607;
    static constexpr long kReadTooMany = 45608;
    static constexpr long kWriteTooMany = 45609;
    static constexpr long kIndexOutOfBounds = 45610;

    clsHugeBinaryFile() = default;
    clsHugeBinaryFile(const clsHugeBinaryFile&) = delete;
    clsHugeBinaryFile& operator=(const clsHugeBinaryFile&) = delete;

    bool AutoFlush() const;
    void AutoFlush(bool flush);
    HANDLE FileHandle() const;
    const std::wstring& FileName() const;
    bool IsOpen() const { return static_cast<bool>(handle_); }
    // Asked of the system at each call.
    int64_t FileSize();
    // The file's EOF property (the C library owns the name EOF): the position at or past the
    // size the file had when it was opened.
    bool EndOfFile() const;
    void CloseFile();
    void Flush();
    // False, with no error, when a file that is not to be created cannot be opened.
    bool OpenFile(const std::wstring& fileName, bool create, bool readOnly);

    void SeekAbsolute(int64_t position);
    // Returns the new position.
    int64_t SeekRelative(int64_t offset);
    int64_t SeekEOF();
    int64_t SetFileSize(int64_t size);

    // Byte spans are indexed from 0; start must lie inside the span and count fit after it.
    int32_t GetData(std::span<uint8_t> buffer, int32_t start, int32_t count);
    int32_t GetDataToFillBuffer(std::span<uint8_t> buffer);
    int32_t GetDataFromPosition(int64_t position, std::span<uint8_t> buffer, int32_t start, int32_t count);

    // Typed readers raise 45605 when fewer bytes than the value's width arrive.
    void GetDataWord(int16_t& value);
    void GetDataWordFromPosition(int64_t position, int16_t& value);
    void GetDataLongWord(int32_t& value);
    void GetDataLongWordFromPosition(int64_t position, int32_t& value);
    // Four bytes per element, low word first.
    void GetDataQuadWord(std::span<int32_t> value);
    void GetDataQuadWordFromPosition(int64_t position, std::span<int32_t> value);
    void GetDataSingle(float& value);
    void GetDataSingleFromPosition(int64_t position, float& value);
    void GetDataDouble(double& value);
    void GetDataDoubleFromPosition(int64_t position, double& value);
    void GetDataCurrency(CY& value);
    void GetDataCurrencyFromPosition(int64_t position, CY& value);
    void GetDataDate(DATE& value);
    void GetDataDateFromPosition(int64_t position, DATE& value);
    // Reads as many bytes as the text has characters and decodes them from the ANSI code page.
    int32_t GetDataString(std::wstring& text);
    int32_t GetDataStringFromPosition(int64_t position, std::wstring& text);

    int32_t PutData(std::span<const uint8_t> buffer, int32_t start, int32_t count);
    int32_t PutDataAllOfBuffer(std::span<const uint8_t> buffer);
    int32_t PutDataAtPosition(std::span<const uint8_t> buffer, int32_t start, int32_t count, int64_t position);
    void PutDataWord(int16_t value);
    void PutDataLongWord(int32_t value);
    // The first two elements: low word, high word.
    void PutDataQuadWord(std::span<const int32_t> value);
    void PutDataSingle(float value);
    void PutDataDouble(double value);
    void PutDataCurrency(CY value);
    void PutDataDate(DATE value);
    // Writes the whole ANSI form of the text and returns its length in bytes.
    int32_t PutDataString(const std::wstring& text);

    // True when the path names a file (not a folder) whose read-only bit is set; false when its
    // attributes cannot be read.
    static bool IsReadOnlyFile(const std::wstring& path);

private:
    void EnsureOpen() const;
    [[noreturn]] void RaiseError(long number);
    int32_t ReadInto(void* target, DWORD width, bool exact);
    void WriteFrom(const void* source, DWORD width);

    win::UniqueFile handle_;
    std::wstring fileName_;
    bool autoFlush_ = false;
    int64_t recordedSize_ = -1;
    int64_t position_ = -1;
};

}  // namespace quorallion
