#include <windows.h>

#include <vector>

#include "file/basFile.h"
#include "process_state.h"
#include "public/basPublic_win.h"
#include "win/handles.h"
#include "win/message_pump.h"

namespace quorallion::basPublic {

std::wstring GetCacheRootPath() {
    // The wide call and a buffer of the size it asks for: user names outside the ANSI code page
    // and long profile paths come through intact.
    std::wstring temp(MAX_PATH + 1, L'\0');
    DWORD length = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (length > temp.size()) {
        temp.assign(length + 1, L'\0');
        length = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    }
    temp.resize(length <= temp.size() ? length : 0);
    if (size_t nul = temp.find(L'\0'); nul != std::wstring::npos) temp.resize(nul);
    if (!temp.empty() && temp.back() == L'\\') temp.pop_back();
    std::wstring root = temp + L"\\Quorallion2\\";
    if (!basFile::FolderExists(root))
        ::CreateDirectoryW(basFileSystemW::LongPath(root).c_str(), nullptr);
    return root;
}

std::wstring CreateInstanceFolder() {
    const std::wstring& root = Process().tempRoot;
    for (;;) {
        std::wstring key = GetTimeStamp() + RandomDigits(3);
        bool made = false;
        if (!basFile::FolderExists(root + key)) {
            if (::CreateDirectoryW(basFileSystemW::LongPath(root + key).c_str(), nullptr)) {
                made = true;
            } else if (DWORD error = ::GetLastError(); error != ERROR_ALREADY_EXISTS) {
                throw JobFolderError(error);
            }
        }
        // Requests and timer ticks queued meanwhile run here.
        win::DoEvents();
        if (made) return key;
    }
}

void InitInstanceCache() {
    std::wstring key = CreateInstanceFolder();
    ProcessState& process = Process();
    process.actKey = key;
    process.jobFolder = process.tempRoot + key + L"\\";
}

void CleanCacheRoot(const DateTime& now) {
    const std::wstring limit = FormatDateTime(AddMinutes(now, -120), 5);
    std::wstring root = Process().tempRoot;
    if (!root.empty() && root.back() == L'\\') root.pop_back();
    if (root.empty() || !basFile::FolderExists(root)) return;

    struct Stale {
        std::wstring path;
        DWORD attributes;
    };
    std::vector<Stale> stale;
    WIN32_FIND_DATAW data;
    win::UniqueFind find(::FindFirstFileW(basFileSystemW::LongPath(root + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || name.size() < 14) continue;
        if (name.compare(0, 14, limit) < 0) stale.push_back({root + L"\\" + name, data.dwFileAttributes});
    } while (::FindNextFileW(find.get(), &data));
    find.reset();  // the listing is finished before anything is deleted

    for (const Stale& entry : stale) {
        const std::wstring longPath = basFileSystemW::LongPath(entry.path);
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            basFile::DeleteFolder(entry.path, false);
        } else {
            ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(longPath.c_str());
        }
    }
}

void CleanCacheRoot() { CleanCacheRoot(LocalNow()); }

}  // namespace quorallion::basPublic
