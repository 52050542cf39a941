// Stand-in for Ghostscript's gsdll64.dll (tests only, never shipped): the five calls QuorallionPdf
// makes, carried out by Debian's Linux `gs`. gsapi_init_with_args decodes the arguments as the
// Windows library would (encoding 0 the ANSI code page, 1 UTF-8, 2 UTF-16LE), logs them one per
// line to "gs-args.log" beside the output files, maps the Windows paths to Linux ones and runs gs
// through sh, blocking until it ends (bounded), as the real call blocks.
// QUORALLION_GS_FAIL_NEW set to anything makes gsapi_new_instance fail.
#include <windows.h>

#include <string>
#include <vector>

#include "support/unix_shell.h"

namespace {

using quorallion::testing::ShellQuote;
using quorallion::testing::UnixPath;

constexpr int kFatal = -100;
constexpr int kRangeCheck = -15;
constexpr DWORD kLongestRun = 600000;

struct Instance {
    int encoding = 0;
};

std::wstring Decode(const char* text, UINT codePage) {
    const int units = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (units <= 0) return L"";
    std::wstring out(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(codePage, 0, text, -1, out.data(), units);
    out.resize(static_cast<size_t>(units - 1));
    return out;
}

std::string Utf8(const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return "";
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), bytes, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes - 1));
    return out;
}

std::wstring Argument(const Instance& instance, char** argv, int i) {
    if (instance.encoding == 2) return reinterpret_cast<wchar_t**>(argv)[i];
    return Decode(argv[i], instance.encoding == 1 ? CP_UTF8 : CP_ACP);
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A Linux path for a Windows one; the text itself when Wine cannot map it (gs then finds nothing
// there, as Ghostscript on Windows would not).
std::string MappedPath(const std::wstring& path) {
    std::optional<std::string> unix = UnixPath(path);
    return unix ? *unix : Utf8(path);
}

// "%%" is Ghostscript's written "%" in an output pattern. A folder whose every "%" is so written
// is looked up with single ones and written back doubled; a folder with a lone "%" is mapped as it
// stands, and gs reads that "%" as a placeholder, as the real one does.
struct OutputFolder {
    std::wstring windows;  // the folder as it exists, with "\" at the end
    std::string pattern;   // the Linux pattern handed to gs
};

OutputFolder MapOutputPattern(const std::wstring& pattern) {
    const size_t cut = pattern.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? L"" : pattern.substr(0, cut + 1);
    const std::wstring name = pattern.substr(folder.size());
    std::wstring single;
    bool allDoubled = true;
    for (size_t i = 0; i < folder.size(); ++i) {
        if (folder[i] != L'%') {
            single += folder[i];
        } else if (i + 1 < folder.size() && folder[i + 1] == L'%') {
            single += L'%';
            ++i;
        } else {
            allDoubled = false;
        }
    }
    OutputFolder out;
    out.windows = allDoubled ? single : folder;
    if (out.windows.empty()) return out;
    std::string unixFolder = MappedPath(out.windows.substr(0, out.windows.size() - 1));
    if (allDoubled) {
        std::string doubled;
        for (char c : unixFolder) doubled += c == '%' ? std::string("%%") : std::string(1, c);
        unixFolder = doubled;
    }
    out.pattern = unixFolder + "/" + Utf8(name);
    return out;
}

}  // namespace

extern "C" {

int WINAPI gsapi_new_instance(void** instance, void*) {
    if (!instance) return kFatal;
    *instance = nullptr;
    if (::GetEnvironmentVariableW(L"QUORALLION_GS_FAIL_NEW", nullptr, 0) > 0) return kFatal;
    *instance = new Instance;
    return 0;
}

void WINAPI gsapi_delete_instance(void* instance) { delete static_cast<Instance*>(instance); }

int WINAPI gsapi_set_arg_encoding(void* instance, int encoding) {
    if (!instance || encoding < 0 || encoding > 2) return kRangeCheck;
    static_cast<Instance*>(instance)->encoding = encoding;
    return 0;
}

int WINAPI gsapi_init_with_args(void* handle, int argc, char** argv) {
    if (!handle || argc < 1 || !argv) return kFatal;
    const Instance& instance = *static_cast<Instance*>(handle);
    std::string log, command = "gs";
    std::wstring logFolder;
    for (int i = 0; i < argc; ++i) {
        const std::wstring argument = Argument(instance, argv, i);
        log += Utf8(argument) + "\n";
        if (i == 0) continue;  // the program's name
        std::string word;
        if (StartsWith(argument, L"-sOutputFile=")) {
            OutputFolder output = MapOutputPattern(argument.substr(13));
            logFolder = output.windows;
            word = "-sOutputFile=" + output.pattern;
        } else if (StartsWith(argument, L"-sFONTPATH=")) {
            word = "-sFONTPATH=" + MappedPath(argument.substr(11));
        } else if (StartsWith(argument, L"-")) {
            word = Utf8(argument);
        } else {
            word = MappedPath(argument);
        }
        command.append(1, ' ').append(ShellQuote(word));
    }
    std::string output = "/dev/null";
    if (!logFolder.empty()) {
        quorallion::testing::WriteBytes(logFolder + L"gs-args.log", log);
        output = MappedPath(logFolder + L"gs-output.log");
    }
    std::optional<int> status =
        quorallion::testing::RunUnixScript(command + " > " + ShellQuote(output) + " 2>&1", kLongestRun);
    return status && *status == 0 ? 0 : kFatal;
}

int WINAPI gsapi_exit(void* instance) { return instance ? 0 : kFatal; }

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
