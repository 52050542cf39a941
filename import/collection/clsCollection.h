#pragma once
// An ordered list of (item, key) records with look-up by item or by key; the CSS inliner keeps
// its rules in one, keyed by selector. Items and keys are small values: nothing, text or a
// number. Errors are LibraryError with the run-time's numbers: 9 (index outside the records),
// 13 (type mismatch), 475 (key taken), 53/75 (file not found / not writable), 321 (bad file).
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "error/LibraryError.h"
#include "error/runtime_errors.h"

namespace quorallion {

using CollectionValue = std::variant<std::monostate, std::wstring, double>;

class clsCollection {
public:
    static constexpr long kSubscriptOutOfRange = runtime::kSubscriptOutOfRange;
    static constexpr long kTypeMismatch = runtime::kTypeMismatch;
    static constexpr long kBadFileFormat = runtime::kBadFileFormat;
    static constexpr long kFileNotFound = runtime::kFileNotFound;
    static constexpr long kPathFileAccess = runtime::kPathFileAccess;
    static constexpr long kKeyTaken = runtime::kKeyTaken;

    clsCollection() = default;

    // Ascending by the first character of each item when order is 1, descending otherwise.
    void sort(int32_t order);
    // A key already held by another record raises 475 and adds nothing; records without a key
    // (nothing or the empty text) are accepted in any number.
    void Add(const CollectionValue& item, const CollectionValue& key = CollectionValue{});
    int32_t Count() const { return static_cast<int32_t>(records_.size()); }
    const CollectionValue& item(int32_t index) const;
    void item(int32_t index, const CollectionValue& value);
    const CollectionValue& key(int32_t index) const;
    // A key that another record holds raises 475; the empty key is always accepted.
    void key(int32_t index, const CollectionValue& value);
    void RemoveAll() { records_.clear(); }
    bool ItemExists(const CollectionValue& value) const { return ItemIndex(value) != -1; }
    bool KeyExists(const CollectionValue& value) const { return KeyIndex(value) != -1; }
    // 1-based index of the first match, -1 when none; ItemIndex on an empty collection raises 9.
    int32_t ItemIndex(const CollectionValue& value) const;
    int32_t KeyIndex(const CollectionValue& value) const;
    // The file holds a 4-byte count and the records; an empty collection raises 9.
    void SaveToFile(const std::filesystem::path& path) const;
    // A missing file raises 53, a short or inconsistent one 321; either keeps the records.
    void LoadFromFile(const std::filesystem::path& path);
    // Outside 1 to Count raises 9 and changes nothing.
    void RemoveItem(int32_t index);
    int32_t Lower() const { return 1; }
    void MoveTo(int32_t a, int32_t b);
    // Each named index (a number, or text that reads as one) once, highest first. An index
    // outside 1 to Count raises 9; the records removed before it stay removed.
    void RemoveItemEx(const std::vector<CollectionValue>& indexes);
    int32_t Compare() const { return compare_; }
    void Compare(int32_t mode) { compare_ = mode; }

    // The file image that SaveToFile writes and LoadFromFile reads.
    std::vector<uint8_t> SaveToBytes() const;
    void LoadFromBytes(std::span<const uint8_t> bytes);

    // A value as text, the way the look-ups compare them (numbers as the run-time prints them).
    static std::wstring ValueText(const CollectionValue& value);

private:
    struct Record {
        CollectionValue item;
        CollectionValue key;
    };
    bool Matches(const CollectionValue& stored, const CollectionValue& wanted) const;
    int32_t KeyIndexExcept(const CollectionValue& value, int32_t skip) const;
    void CheckIndex(int32_t index, const wchar_t* source) const;

    std::vector<Record> records_;
    int32_t compare_ = 0;
};

}  // namespace quorallion
