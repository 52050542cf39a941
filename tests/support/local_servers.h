#pragma once
// Local servers a test started, directly or through the core (stand-in copies of Office programs,
// the core itself), ended before the test returns: Wine has no ping time-out, so a server whose
// client went away keeps running, and a process left running keeps CTest waiting on the test's
// output pipe. Processes are found by program name among those of this Wine prefix.
#include <windows.h>
#include <tlhelp32.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace quorallion::testing {

inline std::vector<DWORD> ProcessIdsNamed(const wchar_t* name) {
    std::vector<DWORD> ids;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry))
        if (::lstrcmpiW(entry.szExeFile, name) == 0) ids.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return ids;
}

// Waits, serving this thread's messages, until no process of that name runs; false after the time.
inline bool WaitUntilNoProcessNamed(const wchar_t* name, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (ProcessIdsNamed(name).empty()) return true;
        if (::GetTickCount() - start > milliseconds) return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// Gives the processes of each name the time to end by themselves, then terminates those left.
// Returns the names that had to be terminated (empty when everything ended in time).
inline std::vector<std::wstring> EndLocalServers(std::initializer_list<const wchar_t*> names,
                                                 DWORD graceMilliseconds = 15000) {
    std::vector<std::wstring> terminated;
    const DWORD start = ::GetTickCount();
    for (const wchar_t* name : names) {
        const DWORD spent = ::GetTickCount() - start;
        if (WaitUntilNoProcessNamed(name, spent < graceMilliseconds ? graceMilliseconds - spent : 0)) continue;
        terminated.push_back(name);
        for (DWORD id : ProcessIdsNamed(name)) {
            HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (!process) continue;
            ::TerminateProcess(process, 1);
            ::WaitForSingleObject(process, 5000);
            ::CloseHandle(process);
        }
    }
    return terminated;
}

}  // namespace quorallion::testing
