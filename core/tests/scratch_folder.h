#pragma once
// A fresh folder under the temp folder for one test, deleted with its contents afterwards.
#include <windows.h>

#include <string>
#include <vector>

#include "file/basFile.h"

namespace quorallion::testing {

class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t buffer[MAX_PATH + 1] = {};
        DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
        path_ = std::wstring(buffer, length) + L"quorallion-foundation-" +
                std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(::GetTickCount64()) + L"\\";
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { basFile::DeleteFolder(path_); }

    const std::wstring& path() const { return path_; }

    // Writes the bytes to a file of the folder and returns its full path.
    std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const {
        std::wstring file = path_ + name;
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (h != INVALID_HANDLE_VALUE) {
            if (!bytes.empty()) ::WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
            ::CloseHandle(h);
        }
        return file;
    }

private:
    std::wstring path_;
};

}  // namespace quorallion::testing
