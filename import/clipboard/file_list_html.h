#pragma once
// The pieces of the file list's HTML that need no file system.
#include <cstdint>
#include <string>

namespace quorallion::clipboard {

// size / 1024 is at most maxKB (a negative limit accepts nothing).
bool FitsSizeLimit(int64_t sizeInBytes, long maxKB);
// <img src="path" border=0><br>, the path as it stands.
std::wstring ImageTag(const std::wstring& path);

}  // namespace quorallion::clipboard
