#include "clsJson.h"

namespace quorallion::icore {

void clsJson::SetItem(const std::wstring& s_Key, const std::wstring& s_Value) {
    for (auto& item : items_) {
        if (item.first == s_Key) {
            item.second = s_Value;
            return;
        }
    }
    items_.emplace_back(s_Key, s_Value);
}

std::wstring clsJson::GetJsonObjectString() const {
    std::wstring out = L"{";
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out += L',';
        out += L'"';
        out += items_[i].first;
        out += L"\":\"";
        out += EscapeJson(items_[i].second);
        out += L'"';
    }
    out += L'}';
    return out;
}

// Only backslash, double quote, CR and LF; TAB and the rest pass raw, as the page expects.
std::wstring clsJson::EscapeJson(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
            case L'\\': out += L"\\\\"; break;
            case L'"': out += L"\\\""; break;
            case L'\r': out += L"\\r"; break;
            case L'\n': out += L"\\n"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace quorallion::icore
