#pragma once
// The order in which the clipboard's file list is reported.
#include <string>
#include <vector>

namespace quorallion::clipboard {

// Ascending by UTF-16 code unit ("B" before "a").
void SortFileList(std::vector<std::wstring>& files);

}  // namespace quorallion::clipboard
