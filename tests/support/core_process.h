#pragma once
// The local server's process as a test sees it: whether one is running, and waiting for it to
// end after the last client let go, so that no server outlives the test that started it.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace quorallion::testing {

// Process ids of the running programs of that file name (compared without regard to case).
inline std::vector<DWORD> ProcessesNamed(const wchar_t* exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (::lstrcmpiW(entry.szExeFile, exeName) == 0) ids.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return ids;
}

// Waits up to the time given for every process of that name to end. When one is still there it
// is ended by force (so the next test starts clean) and the answer is false.
inline bool AwaitProcessesEnded(const wchar_t* exeName, DWORD milliseconds = 10000) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (!ProcessesNamed(exeName).empty()) {
        if (::GetTickCount64() >= end) {
            for (DWORD id : ProcessesNamed(exeName))
                if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                    ::TerminateProcess(process, 1);
                    ::WaitForSingleObject(process, 5000);
                    ::CloseHandle(process);
                }
            return false;
        }
        ::Sleep(50);
    }
    return true;
}

}  // namespace quorallion::testing
