// LoadFromFile on arbitrary file contents: a class error or records that save back to the same
// bytes, never a read outside the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "collection/clsCollection.h"

namespace {

const std::filesystem::path& ScratchFile() {
    // Memory-backed when the system has it: a file on disk costs milliseconds per run.
    std::error_code ignored;
    static const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", ignored)
                                                    ? std::filesystem::path("/dev/shm")
                                                    : std::filesystem::temp_directory_path();
    static const std::filesystem::path path =
        folder / ("quorallion-collection-fuzz-" + std::to_string(::getpid()) + ".bin");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream file(ScratchFile(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    quorallion::clsCollection collection;
    collection.Add(std::wstring(L"before"), std::wstring(L"k"));
    try {
        collection.LoadFromFile(ScratchFile());
    } catch (const quorallion::LibraryError& e) {
        if (e.Number() != quorallion::clsCollection::kBadFileFormat) abort();
        if (collection.Count() != 1) abort();  // a refused file keeps the records
        return 0;
    }
    // Accepted: the file is exactly the image of what was read.
    std::vector<uint8_t> again = collection.SaveToBytes();
    if (again.size() != size || (size && std::memcmp(again.data(), data, size) != 0)) abort();
    return 0;
}
