#pragma once
// LibreOffice headless, run from an Office stand-in (tests only). Wine starts the Linux program
// but gives no handle to wait on, so it runs inside a shell script that writes a done marker,
// polled with a bound (support/unix_shell.h); the output file is checked, never the exit code.
// Each stand-in process has its own LibreOffice profile under /tmp (an ASCII path), named by a
// fresh GUID: process ids repeat across Wine prefixes and runs, so two stand-ins running at once
// never share one. The profile is removed when the stand-in ends.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <optional>
#include <string>

#include "office/standin_server.h"
#include "support/unix_shell.h"
#include "support/utf8.h"

namespace quorallion::standin {

// This process's profile folder (a Unix path), named at the first use.
inline const std::string& LibreOfficeProfile() {
    static const std::string profile = [] {
        GUID guid{};
        ::CoCreateGuid(&guid);
        char name[64];
        snprintf(name, sizeof(name), "/tmp/quorallion-lo-%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x",
                 static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                 guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
        const std::string path = name;
        RunAtEnd([path] { testing::RunUnixScript("rm -rf " + testing::ShellQuote(path), 30000); });
        return path;
    }();
    return profile;
}

// soffice --convert-to <filter> of the source into the folder (both Windows paths). True when the
// expected output file (Windows path) exists afterwards.
inline bool LibreOfficeConvert(const std::wstring& source, const std::wstring& filter, const std::wstring& outFolder,
                               const std::wstring& expectedOutput, DWORD timeoutMilliseconds = 180000) {
    std::optional<std::string> unixSource = testing::UnixPath(source), unixFolder = testing::UnixPath(outFolder);
    if (!unixSource || !unixFolder) return false;
    ::DeleteFileW(expectedOutput.c_str());
    const std::string& profile = LibreOfficeProfile();
    // timeout ends LibreOffice's whole process group a little before the wait gives up, so no
    // soffice outlives the call.
    const DWORD seconds = timeoutMilliseconds / 1000 > 10 ? timeoutMilliseconds / 1000 - 5 : 5;
    const std::string script = "export HOME=/tmp; timeout -k 3 " + std::to_string(seconds) + " soffice --headless --norestore --nolockcheck --nodefault "
                               "-env:UserInstallation=file://" + profile + " --convert-to " +
                               testing::ShellQuote(testing::Utf8(filter)) + " --outdir " + testing::ShellQuote(*unixFolder) +
                               " " + testing::ShellQuote(*unixSource) + " >/dev/null 2>&1 </dev/null";
    testing::RunUnixScript(script, timeoutMilliseconds);
    return ::GetFileAttributesW(expectedOutput.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace quorallion::standin
