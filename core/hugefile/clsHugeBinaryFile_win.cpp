#include "hugefile/clsHugeBinaryFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace quorallion {
namespace {

constexpr wchar_t kSource[] = L"HugeBinaryFile";

// The system's text for an error code, or "Unknown Error.".
std::wstring SystemErrorText(DWORD code) {
    wchar_t buffer[256] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                    code, 0, buffer, 256, nullptr);
    if (length >= 1) return std::wstring(buffer, length);
    return L"Unknown Error.";
}

std::wstring Description(long number) {
    switch (number) {
    case clsHugeBinaryFile::kAlreadyOpen: return L"File already open.";
    case clsHugeBinaryFile::kOpenFailed: return L"Error opening file.";
    case clsHugeBinaryFile::kSeekError: return L"Seek Error.";
    case clsHugeBinaryFile::kFileSizeError: return L"GetFileSize Error.";
    case clsHugeBinaryFile::kReadFailure: return L"Read failure.";
    case clsHugeBinaryFile::kWriteFailure: return L"Write failure.";
    case clsHugeBinaryFile::kNotOpen: return L"File must be open for this operation.";
    case clsHugeBinaryFile::kReadTooMany:
        return L"Attempt to read more bytes than the size of the buffer you provided to read into";
    case clsHugeBinaryFile::kWriteTooMany:
        return L"Attempt to write more bytes than the size of the buffer you provided to write from";
    case clsHugeBinaryFile::kIndexOutOfBounds:
        return L"Attempt to read or write with a buffer-Index out of bounds";
    default: return L"Unknown error.";
    }
}

bool TakesSuffix(long number) {
    switch (number) {
    case clsHugeBinaryFile::kOpenFailed:
    case clsHugeBinaryFile::kSeekError:
    case clsHugeBinaryFile::kFileSizeError:
    case clsHugeBinaryFile::kReadFailure:
    case clsHugeBinaryFile::kWriteFailure: return true;
    case clsHugeBinaryFile::kAlreadyOpen:
    case clsHugeBinaryFile::kNotOpen:
    case clsHugeBinaryFile::kReadTooMany:
    case clsHugeBinaryFile::kWriteTooMany:
    case clsHugeBinaryFile::kIndexOutOfBounds: return false;
    default: return true;
    }
}

}  // namespace

void clsHugeBinaryFile::RaiseError(long number) {
    const DWORD code = ::GetLastError();  // before anything else can change it
    std::wstring text = Description(number);
    if (code != 0 && TakesSuffix(number))
        text += L"\r\nError " + std::to_wstring(code) + L"\r\n" + SystemErrorText(code);
    if (IsOpen()) CloseFile();
    throw LibraryError(number, kSource, text);
}

bool clsHugeBinaryFile::IsReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void clsHugeBinaryFile::EnsureOpen() const {
    if (!IsOpen()) throw LibraryError(kNotOpen, kSource, Description(kNotOpen));
}

bool clsHugeBinaryFile::AutoFlush() const {
    EnsureOpen();
    return autoFlush_;
}

void clsHugeBinaryFile::AutoFlush(bool flush) {
    EnsureOpen();
    autoFlush_ = flush;
}

HANDLE clsHugeBinaryFile::FileHandle() const {
    EnsureOpen();
    return handle_.get();
}

const std::wstring& clsHugeBinaryFile::FileName() const {
    EnsureOpen();
    return fileName_;
}

int64_t clsHugeBinaryFile::FileSize() {
    EnsureOpen();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size)) RaiseError(kFileSizeError);
    return size.QuadPart;
}

bool clsHugeBinaryFile::EndOfFile() const {
    EnsureOpen();
    return position_ >= recordedSize_;
}

void clsHugeBinaryFile::CloseFile() {
    EnsureOpen();
    handle_.reset();
    fileName_.clear();
    autoFlush_ = false;
    recordedSize_ = -1;
    position_ = -1;
}

void clsHugeBinaryFile::Flush() {
    EnsureOpen();
    ::FlushFileBuffers(handle_.get());
}

bool clsHugeBinaryFile::OpenFile(const std::wstring& fileName, bool create, bool readOnly) {
    if (IsOpen()) RaiseError(kAlreadyOpen);
    const DWORD access = readOnly ? GENERIC_READ : (GENERIC_READ | GENERIC_WRITE);
    const DWORD sharing = readOnly ? FILE_SHARE_READ : (FILE_SHARE_READ | FILE_SHARE_WRITE);
    handle_.reset(::CreateFileW(fileName.c_str(), access, sharing, nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!IsOpen()) {
        if (create) RaiseError(kOpenFailed);
        return false;
    }
    fileName_ = fileName;
    autoFlush_ = false;
    recordedSize_ = FileSize();
    SeekAbsolute(0);
    return true;
}

void clsHugeBinaryFile::SeekAbsolute(int64_t position) {
    EnsureOpen();
    LARGE_INTEGER to{}, now{};
    to.QuadPart = position;
    if (!::SetFilePointerEx(handle_.get(), to, &now, FILE_BEGIN)) RaiseError(kSeekError);
    position_ = now.QuadPart;
    if (position_ != position) RaiseError(kSeekError);
}

int64_t clsHugeBinaryFile::SeekRelative(int64_t offset) {
    EnsureOpen();
    LARGE_INTEGER by{}, now{};
    by.QuadPart = offset;
    if (!::SetFilePointerEx(handle_.get(), by, &now, FILE_CURRENT)) RaiseError(kSeekError);
    position_ = now.QuadPart;
    return position_;
}

int64_t clsHugeBinaryFile::SeekEOF() {
    EnsureOpen();
    LARGE_INTEGER none{}, now{};
    if (!::SetFilePointerEx(handle_.get(), none, &now, FILE_END)) RaiseError(kSeekError);
    position_ = now.QuadPart;
    if (FileSize() != position_) {
        ::SetLastError(0);
        RaiseError(kSeekError);
    }
    return position_;
}

int64_t clsHugeBinaryFile::SetFileSize(int64_t size) {
    SeekAbsolute(size);
    if (!::SetEndOfFile(handle_.get())) RaiseError(kSeekError);
    const int64_t remembered = position_;
    SeekEOF();
    if (remembered != size || position_ != remembered) {
        ::SetLastError(0);
        RaiseError(kSeekError);
    }
    return position_;
}

int32_t clsHugeBinaryFile::ReadInto(void* target, DWORD width, bool exact) {
    DWORD read = 0;
    if (!::ReadFile(handle_.get(), target, width, &read, nullptr)) RaiseError(kReadFailure);
    if (exact && read < width) {
        ::SetLastError(ERROR_HANDLE_EOF);
        RaiseError(kReadFailure);
    }
    position_ += read;
    return static_cast<int32_t>(read);
}

void clsHugeBinaryFile::WriteFrom(const void* source, DWORD width) {
    DWORD written = 0;
    if (!::WriteFile(handle_.get(), source, width, &written, nullptr)) RaiseError(kWriteFailure);
    if (autoFlush_) ::FlushFileBuffers(handle_.get());
    position_ += written;
}

int32_t clsHugeBinaryFile::GetData(std::span<uint8_t> buffer, int32_t start, int32_t count) {
    EnsureOpen();
    if (start < 0 || static_cast<size_t>(start) >= buffer.size()) RaiseError(kIndexOutOfBounds);
    // A negative count would read past the span as surely as a large one.
    if (count < 0 || static_cast<size_t>(count) > buffer.size() - static_cast<size_t>(start))
        RaiseError(kReadTooMany);
    return ReadInto(buffer.data() + start, static_cast<DWORD>(count), false);
}

int32_t clsHugeBinaryFile::GetDataToFillBuffer(std::span<uint8_t> buffer) {
    return GetData(buffer, 0, static_cast<int32_t>(std::min<size_t>(buffer.size(), INT32_MAX)));
}

int32_t clsHugeBinaryFile::GetDataFromPosition(int64_t position, std::span<uint8_t> buffer, int32_t start,
                                               int32_t count) {
    SeekAbsolute(position);
    return GetData(buffer, start, count);
}

#define QUORALLION_TYPED_READER(Name, Type)                                        \
    void clsHugeBinaryFile::Name(Type& value) {                                    \
        EnsureOpen();                                                              \
        std::memset(&value, 0, sizeof value);                                      \
        ReadInto(&value, sizeof value, true);                                      \
    }                                                                              \
    void clsHugeBinaryFile::Name##FromPosition(int64_t position, Type& value) {    \
        SeekAbsolute(position);                                                    \
        Name(value);                                                               \
    }

QUORALLION_TYPED_READER(GetDataWord, int16_t)
QUORALLION_TYPED_READER(GetDataLongWord, int32_t)
QUORALLION_TYPED_READER(GetDataSingle, float)
QUORALLION_TYPED_READER(GetDataDouble, double)
QUORALLION_TYPED_READER(GetDataCurrency, CY)
QUORALLION_TYPED_READER(GetDataDate, DATE)
#undef QUORALLION_TYPED_READER

void clsHugeBinaryFile::GetDataQuadWord(std::span<int32_t> value) {
    EnsureOpen();
    for (int32_t& element : value) element = 0;
    ReadInto(value.data(), static_cast<DWORD>(value.size_bytes()), true);
}

void clsHugeBinaryFile::GetDataQuadWordFromPosition(int64_t position, std::span<int32_t> value) {
    SeekAbsolute(position);
    GetDataQuadWord(value);
}

int32_t clsHugeBinaryFile::GetDataString(std::wstring& text) {
    EnsureOpen();
    if (text.empty()) RaiseError(kReadTooMany);
    std::vector<char> bytes(text.size());
    const int32_t read = ReadInto(bytes.data(), static_cast<DWORD>(bytes.size()), false);
    std::wstring decoded;
    if (read > 0) {
        int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), read, nullptr, 0);
        decoded.resize(static_cast<size_t>(length));
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), read, decoded.data(), length);
    }
    text = std::move(decoded);
    return read;
}

int32_t clsHugeBinaryFile::GetDataStringFromPosition(int64_t position, std::wstring& text) {
    SeekAbsolute(position);
    return GetDataString(text);
}

int32_t clsHugeBinaryFile::PutData(std::span<const uint8_t> buffer, int32_t start, int32_t count) {
    EnsureOpen();
    if (count <= 0) return 0;
    if (start < 0 || static_cast<size_t>(start) >= buffer.size()) RaiseError(kIndexOutOfBounds);
    if (static_cast<size_t>(count) > buffer.size() - static_cast<size_t>(start)) RaiseError(kWriteTooMany);
    const int64_t before = position_;
    WriteFrom(buffer.data() + start, static_cast<DWORD>(count));
    return static_cast<int32_t>(position_ - before);
}

int32_t clsHugeBinaryFile::PutDataAllOfBuffer(std::span<const uint8_t> buffer) {
    return PutData(buffer, 0, static_cast<int32_t>(std::min<size_t>(buffer.size(), INT32_MAX)));
}

int32_t clsHugeBinaryFile::PutDataAtPosition(std::span<const uint8_t> buffer, int32_t start, int32_t count,
                                             int64_t position) {
    SeekAbsolute(position);
    return PutData(buffer, start, count);
}

#define QUORALLION_TYPED_WRITER(Name, Type)       \
    void clsHugeBinaryFile::Name(Type value) {    \
        EnsureOpen();                             \
        WriteFrom(&value, sizeof value);          \
    }

QUORALLION_TYPED_WRITER(PutDataWord, int16_t)
QUORALLION_TYPED_WRITER(PutDataLongWord, int32_t)
QUORALLION_TYPED_WRITER(PutDataSingle, float)
QUORALLION_TYPED_WRITER(PutDataDouble, double)
QUORALLION_TYPED_WRITER(PutDataCurrency, CY)
QUORALLION_TYPED_WRITER(PutDataDate, DATE)
#undef QUORALLION_TYPED_WRITER

void clsHugeBinaryFile::PutDataQuadWord(std::span<const int32_t> value) {
    EnsureOpen();
    if (value.size() < 2) {
        ::SetLastError(0);
        RaiseError(kWriteTooMany);
    }
    WriteFrom(value.data(), 8);
}

int32_t clsHugeBinaryFile::PutDataString(const std::wstring& text) {
    EnsureOpen();
    if (text.empty()) {
        ::SetLastError(0);
        RaiseError(kWriteTooMany);
    }
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::vector<char> bytes(static_cast<size_t>(length));
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    const int64_t before = position_;
    WriteFrom(bytes.data(), static_cast<DWORD>(bytes.size()));
    return static_cast<int32_t>(position_ - before);
}

}  // namespace quorallion
