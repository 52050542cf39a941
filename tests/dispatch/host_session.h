#pragma once
// A running quorallion_host in its line mode: each request is one line of TAB-separated UTF-8
// texts, each reply one line. Also small helpers to run and end the system's programs.
#include <windows.h>

#include <string>
#include <vector>

#include "win/handles.h"
#include "support/utf8.h"

namespace quorallion::testing {

inline std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// Runs a program of the bin folder with arguments and waits for its end; its exit code.
inline DWORD RunAndWait(const std::wstring& program, const std::wstring& arguments,
                        DWORD timeoutMs = 30000) {
    std::wstring commandLine = L"\"" + BinFolder() + L"\\" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return static_cast<DWORD>(-1);
    win::UniqueHandleNull process(info.hProcess), thread(info.hThread);
    if (::WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) return static_cast<DWORD>(-2);
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return code;
}

// The process that owns the first top-level window of that class and caption, or 0.
inline DWORD WindowProcess(const wchar_t* className, const wchar_t* caption) {
    HWND window = ::FindWindowW(className, caption);
    DWORD processId = 0;
    if (window) ::GetWindowThreadProcessId(window, &processId);
    return processId;
}

// Waits until no such window is left; false when one still exists after the time.
inline bool WaitWindowGone(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs = 15000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (!::FindWindowW(className, caption)) return true;
        ::Sleep(50);
    }
    return false;
}

inline bool KillProcess(DWORD processId) {
    win::UniqueHandleNull process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process || !::TerminateProcess(process.get(), 1)) return false;
    return ::WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0;
}

class HostSession {
public:
    HostSession() {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE childIn = nullptr, childOut = nullptr, in = nullptr, out = nullptr;
        if (!::CreatePipe(&childIn, &in, &inherit, 0) || !::CreatePipe(&out, &childOut, &inherit, 0))
            return;
        win::UniqueHandleNull childInOwner(childIn), childOutOwner(childOut);
        input_.reset(in);
        output_.reset(out);
        ::SetHandleInformation(in, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn;
        startup.hStdOutput = childOut;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        std::wstring commandLine = L"\"" + BinFolder() + L"\\quorallion_host.exe\"";
        PROCESS_INFORMATION info{};
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &startup, &info)) {
            process_.reset(info.hProcess);
            ::CloseHandle(info.hThread);
        }
    }
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;
    ~HostSession() {
        input_.reset();  // end of input ends the host, which lets go of its objects
        if (process_) ::WaitForSingleObject(process_.get(), 15000);
    }

    bool Started() const { return static_cast<bool>(process_); }

    // One line to the host and its one-line reply (UTF-8 both ways).
    std::string Send(const std::string& line) {
        std::string text = line + "\n";
        DWORD written = 0;
        if (!::WriteFile(input_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            return "<host gone>";
        std::string reply;
        char c = 0;
        DWORD read = 0;
        while (::ReadFile(output_.get(), &c, 1, &read, nullptr) && read == 1 && c != '\n') reply += c;
        if (!reply.empty() && reply.back() == '\r') reply.pop_back();
        return reply;
    }

    std::string Call(const std::vector<std::wstring>& texts) {
        std::string line;
        for (size_t i = 0; i < texts.size(); ++i) line += (i ? "\t" : "") + Utf8(texts[i]);
        return Send(line);
    }

private:
    win::UniqueHandleNull input_, output_, process_;
};

}  // namespace quorallion::testing
