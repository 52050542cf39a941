#pragma once
// The property store of a placed control: keys matched without regard to letter case, a read
// names the default used when the key is absent (or holds a value of the wrong kind), a write
// leaves the key out when the value equals the write default. Pictures and fonts are kept as
// their serialised bytes and description text. No Windows API here.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorallion::controls {

using PropertyValue = std::variant<int64_t, bool, std::wstring, std::vector<uint8_t>>;

class PropertyBag {
public:
    // Integers (colours too) and Booleans convert into each other (True is -1); a text or a
    // byte block where a number is asked for gives the default.
    int64_t ReadInt(std::wstring_view key, int64_t readDefault) const;
    bool ReadBool(std::wstring_view key, bool readDefault) const;
    std::wstring ReadText(std::wstring_view key, std::wstring_view readDefault) const;
    std::optional<std::vector<uint8_t>> ReadBytes(std::wstring_view key) const;

    void WriteInt(std::wstring_view key, int64_t value, std::optional<int64_t> writeDefault);
    void WriteBool(std::wstring_view key, bool value, std::optional<bool> writeDefault);
    void WriteText(std::wstring_view key, std::wstring_view value, std::optional<std::wstring_view> writeDefault);
    // Written always; an empty block stands for "no picture".
    void WriteBytes(std::wstring_view key, std::vector<uint8_t> value);

    // Raw access for tests and hosts that fill a bag by hand.
    void Set(std::wstring_view key, PropertyValue value);
    bool Has(std::wstring_view key) const;
    const PropertyValue* Find(std::wstring_view key) const;
    void Remove(std::wstring_view key);
    size_t Size() const { return values_.size(); }
    // Keys in the order they were first written.
    const std::vector<std::wstring>& Order() const { return order_; }

private:
    static std::wstring Fold(std::wstring_view key);
    std::map<std::wstring, PropertyValue> values_;
    std::vector<std::wstring> order_;  // as written, first spelling kept
};

}  // namespace quorallion::controls
