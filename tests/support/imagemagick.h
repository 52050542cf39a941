#pragma once
// ImageMagick, djpeg and other Linux programs run from a test process under Wine: the reference
// decoders and makers of the image tests. Where this is not a Wine process they are not there, and
// the callers skip with a reason.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "utf8.h"

namespace quorallion::testing {

// Runs a Linux program and waits for it: its exit status, or -1 when it cannot be run from here.
inline int RunUnixProgram(const std::vector<std::string>& arguments) {
    using Spawn = LONG(__cdecl*)(char* const*, int);
    const auto spawn = reinterpret_cast<Spawn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    if (!spawn || arguments.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return static_cast<int>(spawn(argv.data(), 1));
}

inline bool UnixProgramsAvailable() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp") != nullptr;
}

// The Unix path of a Windows path, empty when there is none.
inline std::string UnixPath(const std::wstring& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return "";
    char* unix = toUnix(path.c_str());
    if (!unix) return "";
    std::string out(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return out;
}

inline std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::ifstream in(Utf8(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(Utf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A new file name in the temp folder (not created).
inline std::wstring TempFileName(const std::wstring& ending) {
    static std::atomic<unsigned> counter{0};
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + L"qimg" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(counter++) + ending;
}

// Pixels as ImageMagick decodes them: 8-bit straight red, green, blue, alpha, rows top-down.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// ImageMagick's decoding of one image of a file (an icon's entry, a GIF's frame); nothing when it
// cannot be had. Rows come in the picture's own order: ImageMagick keeps a TGA file's row order as
// an orientation tag, which -auto-orient applies.
inline std::optional<RgbaImage> DecodeWithImageMagick(const std::wstring& file, int frame = 0) {
    const std::wstring pam = TempFileName(L".pam");
    const std::string input = UnixPath(file), output = UnixPath(pam);
    if (input.empty() || output.empty() ||
        RunUnixProgram({"convert", input + "[" + std::to_string(frame) + "]", "-auto-orient", "-type", "TrueColorAlpha",
                        "-depth", "8", "pam:" + output}) != 0) {
        return std::nullopt;
    }
    const std::vector<uint8_t> bytes = ReadFileBytes(pam);
    ::DeleteFileW(pam.c_str());
    const std::string text(bytes.begin(), bytes.end());
    const size_t end = text.find("ENDHDR\n");
    RgbaImage image;
    if (end == std::string::npos ||
        std::sscanf(text.c_str(), "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4", &image.width, &image.height) != 2) {
        return std::nullopt;
    }
    image.rgba.assign(bytes.begin() + static_cast<std::ptrdiff_t>(end + 7), bytes.end());
    if (image.rgba.size() != size_t(image.width) * size_t(image.height) * 4) return std::nullopt;
    return image;
}

// A file made by ImageMagick: convert with the arguments, the output (a Windows path) last.
inline bool MakeWithImageMagick(std::vector<std::string> arguments, const std::wstring& output,
                                const std::string& formatPrefix = "") {
    const std::string target = UnixPath(output);
    if (target.empty()) return false;
    arguments.insert(arguments.begin(), "convert");
    arguments.push_back(formatPrefix + target);
    return RunUnixProgram(arguments) == 0;
}

}  // namespace quorallion::testing
