#pragma once
// Runs a Linux shell script from a Wine process and waits for it: Wine starts the Linux program
// but gives no process handle, so the script writes its exit status to a marker file, which is
// polled. For the stand-ins, tests and benchmarks only (Linux tools such as Ghostscript and
// Poppler stand where the user's machine has Windows programs).
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>

namespace quorallion::testing {

// The Linux path of a Windows path, through Wine's own kernel32 export; nothing outside Wine.
// The last component need not exist.
inline std::optional<std::string> UnixPath(const std::wstring& windowsPath) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    static const ToUnix toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::nullopt;
    char* unix = toUnix(windowsPath.c_str());
    if (!unix) return std::nullopt;
    std::string out = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return out;
}

// One shell word: single quotes, a quote inside written '\''.
inline std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

inline std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) out.append(buffer, read);
    ::CloseHandle(file);
    return out;
}

// Runs the script's text (UTF-8) with sh, in a subshell so that it may "exit", and returns its
// exit status; nothing when it could not
// start or did not finish within the time. The caller's message queue is not served meanwhile,
// as a blocking library call would not serve it.
inline std::optional<int> RunUnixScript(const std::string& script, DWORD timeoutMilliseconds = 300000) {
    wchar_t folder[MAX_PATH + 1] = {}, base[MAX_PATH + 1] = {};
    if (!::GetTempPathW(MAX_PATH + 1, folder) || !::GetTempFileNameW(folder, L"qsh", 0, base)) return std::nullopt;
    const std::wstring scriptPath = std::wstring(base) + L".sh", marker = std::wstring(base) + L".done";
    std::optional<std::string> unixScript = UnixPath(scriptPath), unixMarker = UnixPath(marker);
    std::optional<int> status;
    if (unixScript && unixMarker &&
        WriteBytes(scriptPath, "PATH=/usr/local/bin:/usr/bin:/bin; export PATH\n(\n" + script +
                                   "\n)\necho $? > " + ShellQuote(*unixMarker + ".tmp") + " && mv " +
                                   ShellQuote(*unixMarker + ".tmp") + " " + ShellQuote(*unixMarker) + "\n")) {
        const int units = ::MultiByteToWideChar(CP_UTF8, 0, unixScript->c_str(), -1, nullptr, 0);
        std::wstring wideScript(static_cast<size_t>(units > 0 ? units : 1), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, unixScript->c_str(), -1, wideScript.data(), units);
        wideScript.resize(wcslen(wideScript.c_str()));
        std::wstring command = L"Z:\\bin\\sh \"" + wideScript + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)) {
            if (process.hProcess) ::CloseHandle(process.hProcess);
            if (process.hThread) ::CloseHandle(process.hThread);
            const DWORD start = ::GetTickCount();
            while (::GetTickCount() - start < timeoutMilliseconds) {
                if (std::optional<std::string> text = ReadBytes(marker)) {
                    status = std::atoi(text->c_str());
                    break;
                }
                ::Sleep(5);
            }
        }
    }
    ::DeleteFileW(scriptPath.c_str());
    ::DeleteFileW(marker.c_str());
    ::DeleteFileW(base);
    return status;
}

}  // namespace quorallion::testing
