#pragma once
// The pieces of the file list's HTML that need no file system.
#include <optional>
#include <string>

namespace quorallion::clipboard {

// The path ends in "." and one of the "|"-separated extensions (trimmed, any case).
bool HasAcceptedExtension(const std::wstring& path, const std::wstring& extensions);
// size / 1024 is at most maxKB (a negative limit accepts nothing).
bool FitsSizeLimit(unsigned long long sizeInBytes, long maxKB);
// <img src="path" border=0><br>, the path as it stands.
std::wstring ImageTag(const std::wstring& path);

}  // namespace quorallion::clipboard
