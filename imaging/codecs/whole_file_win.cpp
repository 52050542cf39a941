#include "whole_file_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>

#include "win/handles.h"

namespace quorallion::codecs {
namespace {

constexpr DWORD kSpecialAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A new, empty file beside fileName that no one else has: its name and handle.
win::UniqueFile CreateTemporaryBeside(const std::wstring& fileName, std::wstring& temporaryName) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        wchar_t suffix[48];
        std::swprintf(suffix, 48, L".~%lx%x.tmp", ::GetCurrentProcessId(), counter.fetch_add(1));
        temporaryName = fileName + suffix;
        win::UniqueFile file(::CreateFileW(temporaryName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return win::UniqueFile();
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    for (size_t written = 0; written < size;) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - written, 1u << 26));
        DWORD count = 0;
        if (!::WriteFile(file, data + written, chunk, &count, nullptr) || count != chunk) return false;
        written += count;
    }
    return ::FlushFileBuffers(file) != FALSE;
}

}  // namespace

bool WriteWholeFile(const std::wstring& fileName, const uint8_t* data, size_t size) {
    if (fileName.empty() || (size > 0 && !data)) return false;
    std::wstring temporaryName;
    {
        win::UniqueFile file = CreateTemporaryBeside(fileName, temporaryName);
        if (!file) return false;
        if (!WriteAll(file.get(), data, size)) {
            file.reset();
            ::DeleteFileW(temporaryName.c_str());
            return false;
        }
    }
    const DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    const bool madeNormal = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                            (attributes & kSpecialAttributes) &&
                            ::SetFileAttributesW(fileName.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileExW(temporaryName.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (madeNormal) ::SetFileAttributesW(fileName.c_str(), attributes);
    ::DeleteFileW(temporaryName.c_str());
    return false;
}

bool WriteWholeFile(const std::wstring& fileName, const std::vector<uint8_t>& data) {
    return WriteWholeFile(fileName, data.data(), data.size());
}

}  // namespace quorallion::codecs
