// Mutated BMP, GIF, ICO and CUR files through the image object's load entries, each loaded in a
// child process (image_load_child): a child that dies names the file it was loading, and the test
// fails with that file. Seeds are small real files ImageMagick makes here; the mutations are
// drawn from a fixed seed, so a failure comes back at the next run.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/imagemagick.h"
#include "support/temp_root.h"
#include "support/utf8.h"

using namespace quorallion::testing;

namespace {

struct Seed {
    const char* file;
    std::vector<std::string> arguments;
    std::string prefix;
};

const std::string kPicture = "gradient:red-blue";
const Seed kSeeds[] = {
    {"rgb24.bmp", {"-size", "13x7", kPicture, "-type", "truecolor"}, "bmp3:"},
    {"pal8.bmp", {"-size", "13x7", kPicture, "-colors", "20", "-type", "palette", "-compress", "none"}, "bmp3:"},
    {"pal4.bmp", {"-size", "9x5", kPicture, "-colors", "12", "-type", "palette", "-compress", "none"}, "bmp3:"},
    {"mono.bmp", {"-size", "17x3", kPicture, "-monochrome", "-type", "bilevel"}, "bmp3:"},
    {"rle8.bmp", {"-size", "13x7", kPicture, "-colors", "20", "-type", "palette", "-compress", "rle"}, "bmp3:"},
    {"argb32.bmp", {"-size", "11x6", kPicture, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel",
                    "-define", "bmp:format=bmp4"}, ""},
    {"rgb565.bmp", {"-size", "7x4", kPicture, "-define", "bmp:subtype=RGB565"}, ""},
    {"plain.gif", {"-size", "13x7", kPicture, "-colors", "30"}, ""},
    {"transparent.gif", {"-size", "13x7", kPicture, "-transparent", "blue", "-colors", "16"}, ""},
    {"interlaced.gif", {"-size", "16x9", kPicture, "-colors", "64", "-interlace", "GIF"}, ""},
    {"frames.gif", {"(", "-size", "8x8", "xc:red", ")", "(", "-size", "8x8", "xc:green", ")", "-loop", "0"}, ""},
    {"sizes.ico", {"(", "-size", "16x16", kPicture, "-colors", "16", ")", "(", "-size", "24x24", kPicture, ")",
                   "(", "-size", "32x32", kPicture, "-alpha", "set", "-channel", "A", "-fx", "j/h", "+channel", ")"},
     ""},
    {"big.ico", {"-size", "256x256", "xc:navy"}, ""},
    {"one.cur", {"-size", "32x32", kPicture, "-colors", "8"}, ""},
    {"alpha.cur", {"-size", "16x16", kPicture, "-alpha", "set", "-channel", "A", "-fx", "i/w", "+channel"}, ""},
};

// Variants drawn per seed; about 250 per format.
int VariantsOf(const std::string& seed) {
    if (seed.find(".bmp") != std::string::npos) return 45;
    if (seed.find(".gif") != std::string::npos) return 65;
    if (seed.find(".ico") != std::string::npos) return 120;
    return 90;  // cursors
}

// Values that break size arithmetic and range checks.
const uint32_t kInteresting[] = {0, 1, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF, 0x10000,
                                 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF0};

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random, std::string& how) {
    auto below = [&](size_t n) { return n ? size_t(random() % n) : 0; };
    // Headers and directories sit at the front: most changes go there.
    auto position = [&] { return (random() % 4 != 0) ? below(std::min<size_t>(bytes.size(), 64)) : below(bytes.size()); };
    const int changes = 1 + int(random() % 4);
    std::ostringstream text;
    for (int c = 0; c < changes && !bytes.empty(); ++c) {
        switch (random() % 6) {
        case 0: {
            const size_t at = position();
            bytes[at] ^= uint8_t(1u << (random() % 8));
            text << "flip@" << at << " ";
            break;
        }
        case 1: {
            const size_t at = position();
            bytes[at] = uint8_t(kInteresting[random() % std::size(kInteresting)]);
            text << "byte@" << at << " ";
            break;
        }
        case 2:
        case 3: {
            const size_t at = position();
            uint32_t value = kInteresting[random() % std::size(kInteresting)];
            if (random() % 3 == 0) value = uint32_t(bytes.size() + (random() % 3) - 1);
            const int width = (random() % 2) ? 4 : 2;
            for (int i = 0; i < width && at + i < bytes.size(); ++i) bytes[at + i] = uint8_t(value >> (8 * i));
            text << "word" << width * 8 << "@" << at << "=" << value << " ";
            break;
        }
        case 4: {
            const size_t keep = 1 + below(bytes.size());
            bytes.resize(keep);
            text << "cut@" << keep << " ";
            break;
        }
        default: {
            const size_t from = below(bytes.size()), length = 1 + below(std::min<size_t>(64, bytes.size() - from));
            const size_t to = below(bytes.size());
            std::vector<uint8_t> chunk(bytes.begin() + from, bytes.begin() + from + length);
            bytes.insert(bytes.begin() + to, chunk.begin(), chunk.end());
            text << "copy" << length << "@" << to << " ";
        }
        }
    }
    how = text.str();
    return bytes;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring ReadText(const std::wstring& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    return std::wstring(bytes.begin(), bytes.end());
}

const char* const kSteps[] = {"LoadPicture_File", "LoadPicture_Stream", "cBMPparser.LoadStream"};

struct Death {
    std::wstring file;
    std::string how;
    const char* step;
    DWORD exitCode;
};

}  // namespace

TEST(ImageMutation, MutatedFilesNeverEndTheLoadingProcess) {
    if (!UnixProgramsAvailable()) GTEST_SKIP() << "ImageMagick cannot be run from here: no seeds";
    const std::wstring folder = TempFileName(L"_mutations\\");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));

    std::vector<std::wstring> files;
    std::vector<std::string> hows;
    std::mt19937 random(20261211);
    int seeds = 0;
    for (const Seed& seed : kSeeds) {
        const std::wstring seedPath = folder + Wide(seed.file);
        if (!MakeWithImageMagick(seed.arguments, seedPath, seed.prefix)) {
            ADD_FAILURE() << "ImageMagick did not make " << seed.file;
            continue;
        }
        const std::vector<uint8_t> original = ReadFileBytes(seedPath);
        ASSERT_FALSE(original.empty()) << seed.file;
        ++seeds;
        files.push_back(seedPath);
        hows.push_back("seed");
        for (int n = 0; n < VariantsOf(seed.file); ++n) {
            std::string how;
            const std::vector<uint8_t> variant = Mutate(original, random, how);
            const std::wstring path = folder + std::to_wstring(n) + L"_" + Wide(seed.file);
            ASSERT_TRUE(WriteFileBytes(path, variant));
            files.push_back(path);
            hows.push_back(how);
        }
    }
    ASSERT_GT(seeds, 0);

    const std::wstring list = folder + L"list.txt", progress = folder + L"progress.txt";
    {
        std::wofstream out(Utf8(list));
        for (const std::wstring& file : files) out << file << L"\n";
    }
    const std::wstring child = ProgramFolder() + L"image_load_child.exe";
    std::vector<Death> deaths;
    size_t next = 0;
    while (next < files.size()) {
        std::wstring command = L"\"" + child + L"\" \"" + list + L"\" \"" + progress + L"\" " + std::to_wstring(next);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessW(child.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &process))
            << "cannot start image_load_child.exe: " << ::GetLastError();
        const DWORD waited = ::WaitForSingleObject(process.hProcess, 120000);
        if (waited == WAIT_TIMEOUT) ::TerminateProcess(process.hProcess, 0xDEAD);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        size_t reached = 0;
        int step = 0;
        std::wistringstream(ReadText(progress)) >> reached >> step;
        if (exitCode == 0 && reached >= files.size()) break;
        ASSERT_GE(reached, next) << "the child made no progress";
        if (reached >= files.size()) {
            ADD_FAILURE() << "the child ended with " << std::hex << exitCode << " after the last file";
            break;
        }
        deaths.push_back({files[reached], hows[reached], kSteps[step % 3], waited == WAIT_TIMEOUT ? 0xDEAD : exitCode});
        next = reached + 1;
    }

    for (const Death& death : deaths)
        ADD_FAILURE() << death.step << " ended the process (exit code " << std::hex << death.exitCode << std::dec
                      << "): " << Utf8(death.file) << " (" << death.how << ")";
    std::printf("mutation pass: %zu files from %d seeds, %zu ended their process\n", files.size(), seeds,
                deaths.size());
    // Keep the folder when something died: the files are the evidence.
    if (deaths.empty()) {
        for (const std::wstring& name : ListNames(folder)) ::DeleteFileW((folder + name).c_str());
        ::RemoveDirectoryW(folder.c_str());
    }
}
