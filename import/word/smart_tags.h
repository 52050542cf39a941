#pragma once
// Step 32 of Word's HTML clean-up: smart-tag elements ("<st1:City ...>Paris</st1:City>") give
// way to their content, one level per pass. Gives exactly what the case-insensitive replacement
//   <(st[0-9]+:\w+)[^>]*?>([\s\S]*?)</\1>  ->  $2
// gives on the platform's engine, in one pass over the text (the pattern's back-reference makes
// a backtracking engine search to the end of the text from every unclosed opener).
#include <string>
#include <string_view>

namespace quorallion::word {

// The text with every such element replaced by its content, into `out` (not the storage of
// `text`); false, with `out` left alone, when there is none.
bool UnwrapSmartTags(std::wstring_view text, std::wstring& out);

}  // namespace quorallion::word
