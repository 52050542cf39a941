// Any text against any pattern: no reads out of bounds, no endless loops.
#include <cstddef>
#include <cstdint>
#include <string>

#include "like_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t half = size / 2;
    std::wstring text(data, data + half);
    std::wstring pattern(data + half, data + size);
    quorallion::basFindWindowLike::IsLike(text, pattern);
    return 0;
}
