#include "property_bag.h"

#include <algorithm>
#include <cwctype>

namespace quorallion::controls {

std::wstring PropertyBag::Fold(std::wstring_view key) {
    std::wstring out(key);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

const PropertyValue* PropertyBag::Find(std::wstring_view key) const {
    auto it = values_.find(Fold(key));
    return it == values_.end() ? nullptr : &it->second;
}

bool PropertyBag::Has(std::wstring_view key) const { return Find(key) != nullptr; }

void PropertyBag::Set(std::wstring_view key, PropertyValue value) {
    std::wstring folded = Fold(key);
    if (values_.find(folded) == values_.end()) order_.emplace_back(key);
    values_[folded] = std::move(value);
}

void PropertyBag::Remove(std::wstring_view key) {
    std::wstring folded = Fold(key);
    if (values_.erase(folded) == 0) return;
    order_.erase(std::remove_if(order_.begin(), order_.end(),
                                [&](const std::wstring& k) { return Fold(k) == folded; }),
                 order_.end());
}

int64_t PropertyBag::ReadInt(std::wstring_view key, int64_t readDefault) const {
    const PropertyValue* v = Find(key);
    if (!v) return readDefault;
    if (auto* i = std::get_if<int64_t>(v)) return *i;
    if (auto* b = std::get_if<bool>(v)) return *b ? -1 : 0;
    return readDefault;
}

bool PropertyBag::ReadBool(std::wstring_view key, bool readDefault) const {
    const PropertyValue* v = Find(key);
    if (!v) return readDefault;
    if (auto* b = std::get_if<bool>(v)) return *b;
    if (auto* i = std::get_if<int64_t>(v)) return *i != 0;
    return readDefault;
}

std::wstring PropertyBag::ReadText(std::wstring_view key, std::wstring_view readDefault) const {
    const PropertyValue* v = Find(key);
    if (!v) return std::wstring(readDefault);
    if (auto* s = std::get_if<std::wstring>(v)) return *s;
    if (auto* i = std::get_if<int64_t>(v)) return std::to_wstring(*i);
    if (auto* b = std::get_if<bool>(v)) return *b ? L"True" : L"False";
    return std::wstring(readDefault);
}

std::optional<std::vector<uint8_t>> PropertyBag::ReadBytes(std::wstring_view key) const {
    const PropertyValue* v = Find(key);
    if (!v) return std::nullopt;
    if (auto* bytes = std::get_if<std::vector<uint8_t>>(v)) return *bytes;
    return std::nullopt;
}

void PropertyBag::WriteInt(std::wstring_view key, int64_t value, std::optional<int64_t> writeDefault) {
    if (writeDefault && *writeDefault == value) return Remove(key);
    Set(key, value);
}

void PropertyBag::WriteBool(std::wstring_view key, bool value, std::optional<bool> writeDefault) {
    if (writeDefault && *writeDefault == value) return Remove(key);
    Set(key, value);
}

void PropertyBag::WriteText(std::wstring_view key, std::wstring_view value,
                            std::optional<std::wstring_view> writeDefault) {
    if (writeDefault && *writeDefault == value) return Remove(key);
    Set(key, std::wstring(value));
}

void PropertyBag::WriteBytes(std::wstring_view key, std::vector<uint8_t> value) { Set(key, std::move(value)); }

}  // namespace quorallion::controls
