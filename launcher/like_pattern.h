#pragma once
// Case-sensitive wildcard match of the window searches: "*" any run, "?" one character,
// "#" one digit, "[list]" one character of the list (ranges a-z; "[!list]" one not in it).
#include <string_view>

namespace quorallion::basFindWindowLike {

bool IsLike(std::wstring_view text, std::wstring_view pattern);

}  // namespace quorallion::basFindWindowLike
