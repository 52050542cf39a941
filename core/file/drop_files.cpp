#include "file/drop_files.h"

namespace quorallion::clipboard {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<DropFilesList> ParseDropFiles(const uint8_t* data, size_t size) {
    if (!data || size < kDropFilesHeaderSize) return std::nullopt;
    const uint32_t listOffset = ReadLe32(data);
    if (listOffset < kDropFilesHeaderSize || listOffset > size) return std::nullopt;
    DropFilesList list;
    list.wide = ReadLe32(data + 16) != 0;
    const size_t unit = list.wide ? 2 : 1;
    size_t pos = listOffset;
    while (size - pos >= unit) {
        size_t end = pos;
        bool terminated = false;
        while (size - end >= unit) {
            bool isNul = data[end] == 0 && (unit == 1 || data[end + 1] == 0);
            if (isNul) {
                terminated = true;
                break;
            }
            end += unit;
        }
        if (end == pos) break;  // the empty entry ends the list
        list.paths.emplace_back(reinterpret_cast<const char*>(data + pos), end - pos);
        if (!terminated) break;
        pos = end + unit;
    }
    return list;
}

std::string BuildDropFilesAnsi(const std::vector<std::string>& ansiPaths) {
    std::string block;
    PutLe32(block, static_cast<uint32_t>(kDropFilesHeaderSize));
    PutLe32(block, 0);  // drop point x
    PutLe32(block, 0);  // drop point y
    PutLe32(block, 0);  // non-client flag
    PutLe32(block, 0);  // ANSI list
    for (const std::string& path : ansiPaths) {
        block += path;
        block += '\0';
    }
    block += '\0';
    return block;
}

}  // namespace quorallion::clipboard
