#include "basMain.h"

#include <cwctype>

#include "public/basPublic.h"

namespace quorallion::basMain {
namespace {

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

void RemoveAll(std::wstring& text, wchar_t c) { std::erase(text, c); }

}  // namespace

std::wstring CleanCommandText(const std::wstring& commandText) {
    std::wstring text = commandText;
    size_t colon = text.find(L':');
    if (colon != std::wstring::npos) text.erase(0, colon + 1);
    size_t question = text.find(L'?');
    if (question != std::wstring::npos) text.erase(question);
    RemoveAll(text, L'/');
    RemoveAll(text, L'"');
    RemoveAll(text, L'?');
    return text;
}

std::wstring GetUrlParam(const std::wstring& text, const std::wstring& key,
                         const std::wstring& defaultValue, const std::wstring& itemSeparator,
                         const std::wstring& keySeparator) {
    // The same option-list reading as the core's; with "&" and "=" nothing is unescaped.
    return basPublic::GetParamValue(text, key, defaultValue, itemSeparator, keySeparator);
}

bool IsQuitRequest(const std::wstring& cleanedText) {
    return Lower(GetUrlParam(cleanedText, L"quit", L"", L"&", L"=")) == L"1";
}

}  // namespace quorallion::basMain
