#pragma once
// LibreOffice headless, run from an Office stand-in (tests only). Wine starts the Linux program
// but gives no handle to wait on, so it runs inside a shell script that writes a done marker,
// polled with a bound (support/unix_shell.h); the output file is checked, never the exit code.
// Each stand-in process has its own LibreOffice profile under /tmp (an ASCII path), so parallel
// stand-ins do not share one.
#include <windows.h>

#include <optional>
#include <string>

#include "support/unix_shell.h"
#include "support/utf8.h"

namespace quorallion::standin {

// soffice --convert-to <filter> of the source into the folder (both Windows paths). True when the
// expected output file (Windows path) exists afterwards.
inline bool LibreOfficeConvert(const std::wstring& source, const std::wstring& filter, const std::wstring& outFolder,
                               const std::wstring& expectedOutput, DWORD timeoutMilliseconds = 180000) {
    std::optional<std::string> unixSource = testing::UnixPath(source), unixFolder = testing::UnixPath(outFolder);
    if (!unixSource || !unixFolder) return false;
    ::DeleteFileW(expectedOutput.c_str());
    const std::string profile = "/tmp/quorallion-lo-" + std::to_string(::GetCurrentProcessId());
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
