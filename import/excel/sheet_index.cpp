#include "excel/sheet_index.h"

#include <cstdint>

namespace quorallion::excel {

long ParseSheetIndex(const std::wstring& value) {
    if (value.empty()) return 0;
    int64_t number = 0;
    for (wchar_t c : value) {
        if (c < L'0' || c > L'9') return 0;
        number = number * 10 + (c - L'0');
        if (number > INT32_MAX) return 0;
    }
    return static_cast<long>(number);
}

}  // namespace quorallion::excel
