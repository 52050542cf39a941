#pragma once
// Linux programs (ImageMagick, djpeg, cjpeg) run from native tests: the reference makers and
// decoders of the codec tests. Each test skips with a reason when one is missing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace quorallion::codecs::testing {

// The command's exit status (-1 when it could not be run).
inline int RunShell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

inline bool HaveProgram(const std::string& name) { return RunShell("command -v " + name + " >/dev/null 2>&1") == 0; }

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temp folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorallion_codecs_XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    bool ok() const { return !path_.empty(); }

private:
    std::filesystem::path path_;
};

// 8-bit pixels of a binary PPM (P6) or PAM (P7, RGB_ALPHA); channels 3 or 4, rows top-down.
struct Raster {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> samples;
};

inline std::optional<Raster> ReadNetpbm(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    const std::string text(bytes.begin(), bytes.end());
    Raster raster;
    size_t dataStart = 0;
    if (text.rfind("P6", 0) == 0) {
        int maxValue = 0, consumed = 0;
        if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &raster.width, &raster.height, &maxValue, &consumed) != 3 ||
            maxValue != 255)
            return std::nullopt;
        raster.channels = 3;
        dataStart = static_cast<size_t>(consumed) + 1;
    } else if (text.rfind("P7", 0) == 0) {
        const size_t end = text.find("ENDHDR\n");
        if (end == std::string::npos ||
            std::sscanf(text.c_str(), "P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d", &raster.width, &raster.height,
                        &raster.channels) != 3)
            return std::nullopt;
        dataStart = end + 7;
    } else {
        return std::nullopt;
    }
    const size_t need = size_t(raster.width) * raster.height * raster.channels;
    if (bytes.size() < dataStart + need) return std::nullopt;
    raster.samples.assign(bytes.begin() + static_cast<std::ptrdiff_t>(dataStart),
                          bytes.begin() + static_cast<std::ptrdiff_t>(dataStart + need));
    return raster;
}

inline void WritePpm(const std::filesystem::path& path, int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> bytes;
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    bytes.assign(header.begin(), header.end());
    bytes.insert(bytes.end(), rgb.begin(), rgb.end());
    WriteAll(path, bytes);
}

}  // namespace quorallion::codecs::testing
