#include "word/unprotect_texts.h"

namespace quorallion {

const UnprotectFormTexts& UnprotectFormTextsFor(const std::wstring& language) {
    static const UnprotectFormTexts simplified{
        L"\u89e3\u9501\u6587\u6863", L"  \u786e \u5b9a", L"  \u53d6 \u6d88", L"\u5bc6\u7801\uff1a",
        L"\u6b64\u6587\u6863\u53d7\u5bc6\u7801\u4fdd\u62a4\uff01\u8f93\u5165\u5bc6\u7801\uff0c\u7136\u540e\u70b9"
        L"\u3010\u786e\u5b9a\u3011\u89e3\u9501\u6b64\u6587\u6863\uff0c\u4ee5\u8fbe\u5230\u66f4\u597d\u7684\u8f6c"
        L"\u6362\u6548\u679c\u3002\u6216\u76f4\u63a5\u70b9\u3010\u53d6\u6d88\u3011\uff0c\u4ee5\u53ea\u8bfb\u65b9"
        L"\u5f0f\u8f6c\u6362\u3002",
        L"\u8bf7\u8f93\u5165\u5bc6\u7801\uff01"};
    static const UnprotectFormTexts traditional{
        L"\u89e3\u9396\u6587\u6a94", L"  \u78ba \u5b9a", L"  \u53d6 \u6d88", L"\u5bc6\u78bc\uff1a",
        L"\u6b64\u6587\u6a94\u53d7\u5bc6\u78bc\u4fdd\u8b77\uff01\u8f38\u5165\u5bc6\u78bc\uff0c\u7136\u5f8c\u9ede"
        L"\u3010\u78ba\u5b9a\u3011\u89e3\u9396\u6b64\u6587\u6a94\uff0c\u4ee5\u9054\u5230\u66f4\u597d\u7684\u8f49"
        L"\u63db\u6548\u679c\u3002\u6216\u76f4\u63a5\u9ede\u3010\u53d6\u6d88\u3011\uff0c\u4ee5\u552f\u8b80\u65b9"
        L"\u5f0f\u8f49\u63db\u3002",
        L"\u8acb\u8f38\u5165\u5bc6\u78bc\uff01"};
    static const UnprotectFormTexts english{
        L"Unprotect", L"OK", L"Cancel", L"Password:", L"This File is protected. Input password to unprotect.",
        L"Please enter password."};
    if (language == L"zh-cn") return simplified;
    if (language == L"zh-tw") return traditional;
    return english;
}

std::wstring TrimBlanks(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return L"";
    const size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace quorallion
