#pragma once
// The reply builder: one flat JSON object text, items in the order they were added.
#include <string>

namespace quorallion {

class clsJSON {
public:
    // quoted: the value is escaped and put in double quotes; otherwise it is written as it stands
    // (used for filesize, a bare number).
    void AddItemString(const std::wstring& key, const std::wstring& value, bool quoted = true);
    void AddItemBool(const std::wstring& key, bool flag);
    std::wstring GetJsonString() const;
    // Takes a text that already holds items; one leading "{" and one trailing "}" are dropped.
    void SetJsonString(const std::wstring& text);
    void Reset();

    static std::wstring EncodeJS(const std::wstring& text);

private:
    void StartItem(const std::wstring& key);
    std::wstring items_;
};

}  // namespace quorallion
