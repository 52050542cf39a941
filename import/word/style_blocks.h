#pragma once
// The style elements of a text, whole and in order, as Word's HTML clean-up collects them.
#include <string>
#include <vector>

namespace quorallion::word {

// Each "<style" start tag (not "<styles..."), through its ">", through the first "</style>" (any
// case) that follows at least one character of content. An element without its end tag is not
// taken.
std::vector<std::wstring> CollectStyleElements(const std::wstring& text);

}  // namespace quorallion::word
