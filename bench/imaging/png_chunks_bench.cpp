// Prints how long a PNG of many small chunks holds the load chain: a 32 x 32 picture with 0,
// 100,000 and 200,000 empty ancillary chunks between IHDR and IDAT, through LoadPicture_Stream
// and LoadPicture_File, and the same with its image data broken (no image: no loader may hold
// the call either). Beside it, what GDI+ alone spends on 1,000 such chunks, the cost that the
// chain avoids. Run under Wine from the build's bin folder: wine64 png_chunks_bench.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "c32bppDIB.h"
#include "gdiplus/cGDIPlus.h"
#include "png_crc.h"

using quorallion::c32bppDIB;
using quorallion::cGDIPlus;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSide = 32;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// IHDR, `padding` empty "prVt" chunks, the rows in one stored deflate block, IEND.
std::vector<uint8_t> PaddedPng(int padding, bool brokenData) {
    std::vector<uint8_t> png = {137, 80, 78, 71, 13, 10, 26, 10};
    auto bigEndian = [&](std::vector<uint8_t>& out, uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        bigEndian(png, uint32_t(data.size()));
        const size_t start = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        bigEndian(png, quorallion::codecs::PngCrc32(png.data() + start, data.size() + 4));
    };
    std::vector<uint8_t> header;
    bigEndian(header, kSide);
    bigEndian(header, kSide);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    chunk("IHDR", header);
    for (int i = 0; i < padding; ++i) chunk("prVt", {});
    std::vector<uint8_t> rows;
    for (int y = 0; y < kSide; ++y) {
        rows.push_back(0);
        for (int x = 0; x < kSide; ++x) rows.insert(rows.end(), {uint8_t(x * 8), uint8_t(y * 8), 90, 200});
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : rows) a = (a + byte) % 65521, b = (b + a) % 65521;
    const uint16_t length = uint16_t(rows.size());
    std::vector<uint8_t> zlib = {0x78, 0x01, 0x01, uint8_t(length), uint8_t(length >> 8), uint8_t(~length),
                                 uint8_t(~length >> 8)};
    if (brokenData) zlib[2] = 0x07;  // a block type that does not exist
    zlib.insert(zlib.end(), rows.begin(), rows.end());
    bigEndian(zlib, (b << 16) | a);
    chunk("IDAT", zlib);
    chunk("IEND", {});
    return png;
}

bool WriteAll(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + name;
}

}  // namespace

int main() {
    ::CoInitialize(nullptr);
    const std::wstring file = TempPath(L"quorallion_png_chunks_bench.png");
    std::printf("%-34s %9s %22s %22s\n", "PNG", "size KB", "LoadPicture_Stream s", "LoadPicture_File s");
    struct Case {
        int padding;
        bool broken;
    };
    for (Case c : {Case{0, false}, Case{100000, false}, Case{200000, false}, Case{100000, true}}) {
        const std::vector<uint8_t> png = PaddedPng(c.padding, c.broken);
        if (!WriteAll(file, png)) {
            std::printf("cannot write %ls\n", file.c_str());
            return 1;
        }
        c32bppDIB fromBytes, fromFile;
        Clock::time_point start = Clock::now();
        const bool bytesLoaded = fromBytes.LoadPicture_Stream(png);
        const double bytesSeconds = Seconds(start);
        start = Clock::now();
        const bool fileLoaded = fromFile.LoadPicture_File(file);
        const double fileSeconds = Seconds(start);
        char name[64];
        std::snprintf(name, sizeof name, "%d empty chunks%s", c.padding, c.broken ? ", broken data" : "");
        std::printf("%-34s %9.1f %14.3f (%s) %14.3f (%s)\n", name, png.size() / 1024.0, bytesSeconds,
                    bytesLoaded ? "image" : "none", fileSeconds, fileLoaded ? "image" : "none");
    }

    // GDI+ alone, as the reader would give it every PNG.
    const std::vector<uint8_t> png = PaddedPng(1000, false);
    WriteAll(file, png);
    c32bppDIB image;
    Clock::time_point start = Clock::now();
    const bool fromBytes = cGDIPlus().LoadImageWithGDIplus(L"", png.data(), png.size(), image, 0);
    const double bytesSeconds = Seconds(start);
    start = Clock::now();
    const bool fromFile = cGDIPlus().LoadImageWithGDIplus(file, nullptr, 0, image, 0);
    const double fileSeconds = Seconds(start);
    std::printf("%-34s %9.1f %14.3f (%s) %14.3f (%s)\n", "GDI+ alone, 1000 empty chunks", png.size() / 1024.0,
                bytesSeconds, fromBytes ? "image" : "none", fileSeconds, fromFile ? "image" : "none");
    ::DeleteFileW(file.c_str());
    ::CoUninitialize();
    return 0;
}
