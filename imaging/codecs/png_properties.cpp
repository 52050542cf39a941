#include "png_properties.h"

#include <algorithm>

namespace quorallion::codecs {
namespace {

constexpr const wchar_t* kStandardKeywords[10] = {L"Title",     L"Author",     L"Description", L"Copyright",
                                                  L"Creation Time", L"Software", L"Disclaimer", L"Warning",
                                                  L"Source",    L"Comment"};
constexpr size_t kFirstCustomSlot = 11;
constexpr size_t kTimeSlot = 10;

// Keywords hold only characters of the single-byte range, where Latin-1's letter cases apply.
wchar_t Fold(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<wchar_t>(c - 32);
    return c;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

int SlotOf(int32_t id) {
    int slot = 0;
    while (id > 1) {
        id >>= 1;
        ++slot;
    }
    return slot;
}

std::wstring KeywordPart(const std::wstring& slot) { return slot.substr(0, slot.find(L'\0')); }

}  // namespace

PngPropertyStore::PngPropertyStore(AnsiCode ansiCode) : ansiCode_(std::move(ansiCode)) {}

bool PngPropertyStore::IsValidPropertyId(int32_t id) {
    return id >= 1 && id <= 8192 && (id & (id - 1)) == 0;
}

int32_t PngPropertyStore::KeywordToId(const std::wstring& keyword) {
    for (int i = 0; i < 10; ++i)
        if (EqualIgnoringCase(keyword, kStandardKeywords[i])) return 1 << i;
    return -1;
}

int32_t PngPropertyStore::ValidateKeyword(std::wstring& keyword) const {
    if (keyword.empty()) return 0;
    keyword.resize(std::min<size_t>(keyword.size(), 79));
    const size_t first = keyword.find_first_not_of(L' ');
    keyword = first == std::wstring::npos ? std::wstring() : keyword.substr(first, keyword.find_last_not_of(L' ') - first + 1);
    for (size_t at; (at = keyword.find(L"  ")) != std::wstring::npos;) keyword.erase(at, 1);
    for (wchar_t& c : keyword) {
        const int code = static_cast<int16_t>(ansiCode_(c));
        if (code == 160) {
            c = L' ';
        } else if (code < 32 || (code >= 127 && code <= 159) || code > 255) {
            keyword.clear();
            break;
        }
    }
    return keyword.empty() ? 0 : KeywordToId(keyword);
}

std::wstring PngPropertyStore::CleanText(const std::wstring& text) const {
    if (text.empty()) return text;
    std::wstring cleaned;
    const std::wstring kept = text.substr(0, 32700);
    cleaned.reserve(kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        if (kept[i] == L'\r') {
            cleaned.push_back(L'\n');
            if (i + 1 < kept.size() && kept[i + 1] == L'\n') ++i;
            continue;
        }
        cleaned.push_back(kept[i]);
    }
    for (wchar_t c : cleaned) {
        const int code = static_cast<int16_t>(ansiCode_(c));
        if (code < 32 && code != 9 && code != 10) return std::wstring();
    }
    return cleaned;
}

void PngPropertyStore::EnsureSlots() {
    if (slots_.empty()) slots_.resize(kFirstCustomSlot);
}

int PngPropertyStore::FindCustom(const std::wstring& keyword, bool ignoreCase) const {
    for (size_t i = kFirstCustomSlot; i < slots_.size(); ++i) {
        const std::wstring part = KeywordPart(slots_[i]);
        if (ignoreCase ? EqualIgnoringCase(part, keyword) : part == keyword) return static_cast<int>(i);
    }
    return -1;
}

bool PngPropertyStore::SetText(int32_t id, const std::wstring& text, const std::wstring& keyword) {
    if (!IsValidPropertyId(id) || id > kPngCustomKeyword) return false;
    EnsureSlots();
    if (id == kPngCustomKeyword) {
        std::wstring clean = keyword;
        const int32_t standard = ValidateKeyword(clean);
        if (standard == 0) return false;
        if (standard > 0) return SetText(standard, text, L"");
        std::wstring slot = clean;
        slot.push_back(L'\0');
        slot += CleanText(text);
        const int found = FindCustom(clean, true);
        if (found >= 0) {
            slots_[static_cast<size_t>(found)] = std::move(slot);
        } else {
            slots_.push_back(std::move(slot));
        }
    } else {
        slots_[static_cast<size_t>(SlotOf(id))] = CleanText(text);
    }
    flags_ |= static_cast<uint32_t>(id);
    return true;
}

void PngPropertyStore::SetTime(const std::wstring& dateText) {
    EnsureSlots();
    slots_[kTimeSlot] = dateText;
    flags_ |= kPngModificationTime;
}

void PngPropertyStore::SetBackground(int32_t colour) {
    EnsureSlots();
    background_ = colour & 0x00FFFFFF;
    flags_ |= kPngBackground;
}

void PngPropertyStore::SetFilterMode(int32_t mode) {
    EnsureSlots();
    filterMode_ = mode;
    flags_ |= kPngFilterMode;
}

bool PngPropertyStore::Remove(int32_t id, const std::wstring& keyword) {
    if (!IsValidPropertyId(id) || !IsSet(id)) return false;
    switch (id) {
    case kPngBackground:
        break;
    case kPngFilterMode:
        filterMode_ = 0;
        break;
    case kPngCustomKeyword: {
        std::wstring clean = keyword;
        const int32_t standard = ValidateKeyword(clean);
        if (standard == 0) return false;
        if (standard > 0) return Remove(standard, L"");
        const int found = FindCustom(clean, false);
        if (found < 0) return false;
        if (static_cast<size_t>(found) != slots_.size() - 1) slots_[static_cast<size_t>(found)] = std::move(slots_.back());
        slots_.pop_back();
        if (slots_.size() > kFirstCustomSlot) return true;
        break;
    }
    case kPngModificationTime:
        slots_[kTimeSlot].clear();
        break;
    default:
        slots_[static_cast<size_t>(SlotOf(id))].clear();
        break;
    }
    flags_ &= ~static_cast<uint32_t>(id);
    return true;
}

std::wstring PngPropertyStore::GetText(int32_t id, const std::wstring& keyword) const {
    if (!IsValidPropertyId(id) || id > kPngCustomKeyword || !IsSet(id)) return std::wstring();
    if (id != kPngCustomKeyword) return slots_[static_cast<size_t>(SlotOf(id))];
    std::wstring clean = keyword;
    const int32_t standard = ValidateKeyword(clean);
    if (standard == 0) return std::wstring();
    if (standard > 0) return GetText(standard, L"");
    const int found = FindCustom(clean, true);
    if (found < 0) return std::wstring();
    const std::wstring& slot = slots_[static_cast<size_t>(found)];
    return slot.substr(slot.find(L'\0') + 1);
}

const std::wstring& PngPropertyStore::TimeText() const {
    static const std::wstring empty;
    return slots_.size() > kTimeSlot ? slots_[kTimeSlot] : empty;
}

std::string PngPropertyStore::Bytes(const std::wstring& text) const {
    std::string bytes(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char>(ansiCode_(text[i]) & 0xFF);
    return bytes;
}

PngWriteOptions PngPropertyStore::WriteOptions(const uint8_t* time) const {
    PngWriteOptions options;
    options.filterMode = filterMode_;
    options.hasBackground = IsSet(kPngBackground);
    options.background = static_cast<uint32_t>(background_);
    for (int slot = 0; slot < 10; ++slot) {
        if (!IsSet(1 << slot)) continue;
        PngWriteOptions::Text text{Bytes(kStandardKeywords[slot]), Bytes(slots_[static_cast<size_t>(slot)])};
        (slot < 2 ? options.earlyTexts : options.lateTexts).push_back(std::move(text));
    }
    if (IsSet(kPngCustomKeyword))
        for (size_t i = kFirstCustomSlot; i < slots_.size(); ++i) {
            const size_t nul = slots_[i].find(L'\0');
            options.customTexts.push_back({Bytes(slots_[i].substr(0, nul)), Bytes(slots_[i].substr(nul + 1))});
        }
    if (IsSet(kPngModificationTime) && time) {
        options.hasTime = true;
        for (int i = 0; i < 7; ++i) options.time[i] = time[i];
    }
    return options;
}

}  // namespace quorallion::codecs
