#pragma once
// What the Office benchmarks share: a folder of their own, LibreOffice runs (to make the input and
// to time its bare conversion), the stand-in's registration and one job through the core, timed.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "support/dispatch_client.h"
#include "support/local_servers.h"
#include "support/unix_shell.h"
#include "support/utf8.h"

namespace quorallion::bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline std::wstring ProgramFolder() {
    wchar_t module[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH * 2);
    std::wstring path = module;
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// "<temp>\<name>\", made when missing.
inline std::wstring BenchFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

inline bool RunAndWait(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return code == 0;
}

// soffice --convert-to of the source (a Windows path) into the output folder (a Unix path), with
// the profile kept in the bench folder (a Windows path). False when a path has no Unix name.
inline bool LibreOfficeConvert(const std::wstring& benchFolder, const std::string& filter,
                               const std::string& unixOutFolder, const std::wstring& source) {
    const auto unixSource = testing::UnixPath(source), unixFolder = testing::UnixPath(benchFolder);
    if (!unixSource || !unixFolder) return false;
    testing::RunUnixScript("export HOME=/tmp; soffice --headless --norestore -env:UserInstallation=file://" +
                           *unixFolder + "profile --convert-to " + filter + " --outdir " +
                           testing::ShellQuote(unixOutFolder) + " " + testing::ShellQuote(*unixSource) +
                           " >/dev/null 2>&1");
    return true;
}

// Writes a flat ODF file "<name>.<flatExtension>" into the bench folder and has LibreOffice make
// "<name>.<extension>" of it there; that file's Windows path, or "" when it was not made.
inline std::wstring MakeWithLibreOffice(const std::wstring& folder, const std::wstring& name, const std::wstring& flatExtension,
                                        const std::string& flatOdf, const std::wstring& extension) {
    const std::wstring source = folder + name + L"." + flatExtension;
    if (!testing::WriteBytes(source, flatOdf)) return L"";
    if (!LibreOfficeConvert(folder, testing::Utf8(extension), testing::UnixPath(folder).value_or(""), source))
        return L"";
    const std::wstring made = folder + name + L"." + extension;
    return ::GetFileAttributesW(made.c_str()) == INVALID_FILE_ATTRIBUTES ? L"" : made;
}

// The stand-in copy (as "excel") registered with no settings file left from a test.
inline bool RegisterStandin(const std::wstring& program) {
    const std::wstring office = ProgramFolder() + L"office\\";
    ::DeleteFileW((office + program + L".settings").c_str());
    return RunAndWait(L"\"" + office + program + L".exe\" /RegServer");
}

struct TimedJob {
    double seconds = 0;
    std::wstring reply;
    bool ok = false;  // state "ok"
};

// One job of the core from a new client, polled until it answers (ten minutes at the most); then
// the core and the stand-in are ended. Nothing when the core is not registered.
inline std::optional<TimedJob> RunJob(const std::wstring& action, const std::wstring& file,
                                      const wchar_t* standinProcess, const std::wstring& options = L"") {
    testing::ComApartment apartment;
    testing::DispatchClient core;
    if (FAILED(core.Create(L"QuorallionCore2.Core15200"))) return std::nullopt;
    TimedJob job;
    const Clock::time_point start = Clock::now();
    job.reply = core.Core(action, file, options);
    while (job.reply == L"{\"state\":\"wait\"}" && Seconds(start) < 600) {
        testing::PumpFor(50);
        job.reply = core.Core(L"asyncresult");
    }
    job.seconds = Seconds(start);
    core.Reset();
    testing::EndLocalServers({standinProcess, L"QuorallionCore2.exe"});
    job.ok = job.reply.rfind(L"{\"state\":\"ok\"", 0) == 0;
    return job;
}

}  // namespace quorallion::bench
