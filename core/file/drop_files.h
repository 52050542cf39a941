#pragma once
// The file-drop block (the platform's DROPFILES header followed by a list of NUL-terminated paths
// ending with an empty one), read with every offset checked against the block and written. The
// clipboard's file list and the image object's dropped and pasted files read it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorallion::clipboard {

constexpr size_t kDropFilesHeaderSize = 20;

// One path of a drop list as it stands in the block: UTF-16LE units when the block is wide,
// bytes of the ANSI code page otherwise. The caller converts the ANSI ones.
struct DropFilesList {
    bool wide = false;
    std::vector<std::string> paths;  // raw bytes of each path, without its terminator
};

// Nothing when the header is cut short or its list offset lies outside the block. The list ends
// at its empty entry or at the end of the block; a last path without its NUL is taken as far as
// it goes.
std::optional<DropFilesList> ParseDropFiles(const uint8_t* data, size_t size);

// A block that lists paths given in the ANSI code page (fWide 0), list offset 20.
std::string BuildDropFilesAnsi(const std::vector<std::string>& ansiPaths);

}  // namespace quorallion::clipboard
