#pragma once
// The dispatcher's own reply builder: an ordered list of unique keys with string values.
#include <string>
#include <utility>
#include <vector>

namespace quorallion::icore {

class clsJson {
public:
    // Replaces the value of an existing key, or appends the pair.
    void SetItem(const std::wstring& s_Key, const std::wstring& s_Value);
    // "{", the pairs as "key":"value" joined by ",", "}"; keys are written unescaped.
    std::wstring GetJsonObjectString() const;

private:
    static std::wstring EscapeJson(const std::wstring& text);

    std::vector<std::pair<std::wstring, std::wstring>> items_;
};

}  // namespace quorallion::icore
