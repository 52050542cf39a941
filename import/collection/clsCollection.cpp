#include "collection/clsCollection.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <iterator>

namespace quorallion {
namespace {

constexpr wchar_t kSource[] = L"clsCollection";

enum : uint8_t { kNothing = 0, kText = 1, kNumber = 2 };
// The smallest record on file: two type bytes.
constexpr size_t kSmallestRecord = 2;

[[noreturn]] void Raise(long number, const wchar_t* source) {
    throw LibraryError(number, source, runtime::ErrorText(number));
}

bool IsEmpty(const CollectionValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    const auto* text = std::get_if<std::wstring>(&value);
    return text && text->empty();
}

wchar_t Fold(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); }

// Texts travel in the file as UTF-16 code units whatever the width of wchar_t.
void AppendUtf16(std::vector<uint16_t>& units, const std::wstring& text) {
    for (wchar_t wc : text) {
        uint32_t c = static_cast<uint32_t>(wc);
        if constexpr (sizeof(wchar_t) == 4) {
            if (c > 0xFFFF && c <= 0x10FFFF) {
                c -= 0x10000;
                units.push_back(static_cast<uint16_t>(0xD800 + (c >> 10)));
                units.push_back(static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
                continue;
            }
        }
        units.push_back(static_cast<uint16_t>(c));
    }
}

std::wstring FromUtf16(const std::vector<uint16_t>& units) {
    std::wstring text;
    text.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if constexpr (sizeof(wchar_t) == 4) {
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            }
        }
        text.push_back(static_cast<wchar_t>(c));
    }
    return text;
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutValue(std::vector<uint8_t>& out, const CollectionValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        out.push_back(kText);
        std::vector<uint16_t> units;
        AppendUtf16(units, *text);
        PutU32(out, static_cast<uint32_t>(units.size()));
        for (uint16_t u : units) {
            out.push_back(static_cast<uint8_t>(u));
            out.push_back(static_cast<uint8_t>(u >> 8));
        }
    } else if (const auto* number = std::get_if<double>(&value)) {
        out.push_back(kNumber);
        uint64_t bits = 0;
        std::memcpy(&bits, number, sizeof bits);
        for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    } else {
        out.push_back(kNothing);
    }
}

// Reads the file image front to back; every read is checked against what is left.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t Left() const { return bytes_.size() - at_; }
    bool U8(uint8_t& value) {
        if (Left() < 1) return false;
        value = bytes_[at_++];
        return true;
    }
    bool U32(uint32_t& value) {
        if (Left() < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i) value |= uint32_t{bytes_[at_ + i]} << (8 * i);
        at_ += 4;
        return true;
    }
    bool Value(CollectionValue& value) {
        uint8_t type = 0;
        if (!U8(type)) return false;
        switch (type) {
        case kNothing: value = std::monostate{}; return true;
        case kText: {
            uint32_t length = 0;
            if (!U32(length) || length > Left() / 2) return false;
            std::vector<uint16_t> units(length);
            for (uint32_t i = 0; i < length; ++i, at_ += 2)
                units[i] = static_cast<uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
            value = FromUtf16(units);
            return true;
        }
        case kNumber: {
            if (Left() < 8) return false;
            uint64_t bits = 0;
            for (int i = 0; i < 8; ++i) bits |= uint64_t{bytes_[at_ + i]} << (8 * i);
            at_ += 8;
            double number = 0;
            std::memcpy(&number, &bits, sizeof number);
            value = number;
            return true;
        }
        default: return false;
        }
    }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// An index given as a value: a number, or text that reads as one; rounded half to even.
int64_t IndexOf(const CollectionValue& value) {
    double number = 0;
    if (const auto* n = std::get_if<double>(&value)) {
        number = *n;
    } else if (const auto* text = std::get_if<std::wstring>(&value)) {
        std::string narrow;
        for (wchar_t c : *text) {
            if (c > 127) Raise(clsCollection::kTypeMismatch, L"RemoveItemEx");
            narrow += static_cast<char>(c);
        }
        char* end = nullptr;
        number = std::strtod(narrow.c_str(), &end);
        while (end && (*end == ' ' || *end == '\t')) ++end;
        if (narrow.empty() || !end || *end != '\0') Raise(clsCollection::kTypeMismatch, L"RemoveItemEx");
    }  // nothing counts as 0
    if (!std::isfinite(number) || std::fabs(number) > 2147483647.0)
        Raise(clsCollection::kSubscriptOutOfRange, L"RemoveItemEx");
    return static_cast<int64_t>(std::nearbyint(number));
}

}  // namespace

std::wstring clsCollection::ValueText(const CollectionValue& value) {
    if (const auto* text = std::get_if<std::wstring>(&value)) return *text;
    const auto* number = std::get_if<double>(&value);
    if (!number) return L"";
    double v = *number;
    char buffer[64];
    if (std::isnan(v)) return L"NaN";
    if (std::isinf(v)) return v < 0 ? L"-Infinity" : L"Infinity";
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        std::snprintf(buffer, sizeof buffer, "%.0f", v == 0 ? 0.0 : v);
    else
        std::snprintf(buffer, sizeof buffer, "%.15G", v);
    return std::wstring(buffer, buffer + std::strlen(buffer));
}

bool clsCollection::Matches(const CollectionValue& stored, const CollectionValue& wanted) const {
    const std::wstring a = ValueText(stored), b = ValueText(wanted);
    if (a.size() != b.size()) return false;
    if (compare_ == 0) return a == b;
    if (compare_ == 1) {
        for (size_t i = 0; i < a.size(); ++i)
            if (Fold(a[i]) != Fold(b[i])) return false;
        return true;
    }
    return false;  // any other mode finds nothing
}

void clsCollection::CheckIndex(int32_t index, const wchar_t* source) const {
    if (index < 1 || index > Count()) Raise(kSubscriptOutOfRange, source);
}

void clsCollection::sort(int32_t order) {
    auto first = [](const CollectionValue& v) { return ValueText(v).substr(0, 1); };
    for (size_t i = 0; i < records_.size(); ++i)
        for (size_t j = i + 1; j < records_.size(); ++j) {
            std::wstring a = first(records_[i].item), b = first(records_[j].item);
            if (order == 1 ? a > b : a < b) std::swap(records_[i], records_[j]);
        }
}

void clsCollection::Add(const CollectionValue& item, const CollectionValue& key) {
    // Checked before anything is stored, against the records already there.
    if (!IsEmpty(key) && KeyIndex(key) != -1) Raise(kKeyTaken, L"Add");
    records_.push_back(Record{item, IsEmpty(key) ? CollectionValue{std::wstring()} : key});
}

const CollectionValue& clsCollection::item(int32_t index) const {
    CheckIndex(index, kSource);
    return records_[static_cast<size_t>(index - 1)].item;
}

void clsCollection::item(int32_t index, const CollectionValue& value) {
    CheckIndex(index, kSource);
    records_[static_cast<size_t>(index - 1)].item = value;
}

const CollectionValue& clsCollection::key(int32_t index) const {
    CheckIndex(index, kSource);
    return records_[static_cast<size_t>(index - 1)].key;
}

void clsCollection::key(int32_t index, const CollectionValue& value) {
    CheckIndex(index, kSource);
    if (!IsEmpty(value) && KeyIndex(value) != -1) Raise(kKeyTaken, L"Key");
    records_[static_cast<size_t>(index - 1)].key = IsEmpty(value) ? CollectionValue{std::wstring()} : value;
}

int32_t clsCollection::ItemIndex(const CollectionValue& value) const {
    if (records_.empty()) Raise(kSubscriptOutOfRange, kSource);
    for (size_t i = 0; i < records_.size(); ++i)
        if (Matches(records_[i].item, value)) return static_cast<int32_t>(i + 1);
    return -1;
}

int32_t clsCollection::KeyIndex(const CollectionValue& value) const {
    for (size_t i = 0; i < records_.size(); ++i)
        if (Matches(records_[i].key, value)) return static_cast<int32_t>(i + 1);
    return -1;
}

std::vector<uint8_t> clsCollection::SaveToBytes() const {
    std::vector<uint8_t> out;
    PutU32(out, static_cast<uint32_t>(records_.size()));
    for (const Record& record : records_) {
        PutValue(out, record.item);
        PutValue(out, record.key);
    }
    return out;
}

void clsCollection::LoadFromBytes(std::span<const uint8_t> bytes) {
    Reader reader(bytes);
    uint32_t count = 0;
    if (!reader.U32(count) || count > reader.Left() / kSmallestRecord)
        Raise(kBadFileFormat, L"LoadFromFile");
    std::vector<Record> loaded(count);
    for (Record& record : loaded)
        if (!reader.Value(record.item) || !reader.Value(record.key)) Raise(kBadFileFormat, L"LoadFromFile");
    if (reader.Left() != 0) Raise(kBadFileFormat, L"LoadFromFile");  // the count said less
    records_ = std::move(loaded);
}

void clsCollection::SaveToFile(const std::filesystem::path& path) const {
    if (records_.empty()) Raise(kSubscriptOutOfRange, L"SaveToFile");
    const std::vector<uint8_t> image = SaveToBytes();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) Raise(kPathFileAccess, L"SaveToFile");
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file) Raise(kPathFileAccess, L"SaveToFile");
}

void clsCollection::LoadFromFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) Raise(kFileNotFound, L"LoadFromFile");
    std::vector<uint8_t> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) Raise(kBadFileFormat, L"LoadFromFile");
    LoadFromBytes(image);
}

void clsCollection::RemoveItem(int32_t index) {
    CheckIndex(index, L"RemoveItem");
    records_.erase(records_.begin() + (index - 1));
}

void clsCollection::MoveTo(int32_t a, int32_t b) {
    CheckIndex(a, L"MoveTo");
    CheckIndex(b, L"MoveTo");
    if (a != b) std::swap(records_[static_cast<size_t>(a - 1)], records_[static_cast<size_t>(b - 1)]);
}

void clsCollection::RemoveItemEx(const std::vector<CollectionValue>& indexes) {
    if (indexes.empty()) Raise(kTypeMismatch, L"SortArray");  // no array
    std::vector<int64_t> order;
    order.reserve(indexes.size());
    for (const CollectionValue& value : indexes) order.push_back(IndexOf(value));
    // Highest first, so that a removal never shifts an index still to come; each index once.
    std::sort(order.begin(), order.end(), std::greater<int64_t>());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (int64_t index : order) {
        if (index < 1 || index > Count()) Raise(kSubscriptOutOfRange, L"RemoveItemEx");
        RemoveItem(static_cast<int32_t>(index));
    }
}

}  // namespace quorallion
