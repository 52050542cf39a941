#include "json/clsJSON.h"

namespace quorallion {

void clsJSON::StartItem(const std::wstring& key) {
    if (!items_.empty()) items_ += L',';
    items_ += L'"';
    items_ += key;
    items_ += L"\":";
}

void clsJSON::AddItemString(const std::wstring& key, const std::wstring& value, bool quoted) {
    StartItem(key);
    if (quoted) {
        items_ += L'"';
        items_ += EncodeJS(value);
        items_ += L'"';
    } else {
        // A raw value stands as a number; an empty one would leave the reply unparsable.
        items_ += value.empty() ? std::wstring(L"0") : value;
    }
}

void clsJSON::AddItemBool(const std::wstring& key, bool flag) {
    StartItem(key);
    items_ += flag ? L"true" : L"false";
}

std::wstring clsJSON::GetJsonString() const { return L"{" + items_ + L"}"; }

void clsJSON::SetJsonString(const std::wstring& text) {
    std::wstring rest = text;
    if (!rest.empty() && rest.front() == L'{') rest.erase(0, 1);
    if (!rest.empty() && rest.back() == L'}') rest.pop_back();
    items_ = std::move(rest);
}

void clsJSON::Reset() { items_.clear(); }

std::wstring clsJSON::EncodeJS(const std::wstring& text) {
    // Backslash, double quote, TAB, CR and LF get their short escapes; every other control
    // character becomes \u00XX so that a reply carrying clipboard text stays valid JSON.
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(text.size() + text.size() / 16 + 8);
    for (wchar_t c : text) {
        switch (c) {
        case L'\\': out += L"\\\\"; break;
        case L'"': out += L"\\\""; break;
        case L'\t': out += L"\\t"; break;
        case L'\r': out += L"\\r"; break;
        case L'\n': out += L"\\n"; break;
        default:
            if (static_cast<unsigned>(c) < 0x20) {
                out += L"\\u00";
                out += kHex[(c >> 4) & 0xF];
                out += kHex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out;
}

}  // namespace quorallion
