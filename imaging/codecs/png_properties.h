#pragma once
// The PNG writer's property store: ten standard text keywords, custom keywords, a modification
// time (kept as its text), a background colour and a filter mode, each id a single bit.
// Conversions of automation values belong to the caller; this part cleans and keeps the texts.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "png_write.h"

namespace quorallion::codecs {

enum PngPropertyId : int32_t {
    kPngTitle = 1,
    kPngAuthor = 2,
    kPngDescription = 4,
    kPngCopyright = 8,
    kPngCreationTime = 16,
    kPngSoftware = 32,
    kPngDisclaimer = 64,
    kPngWarning = 128,
    kPngSource = 256,
    kPngComment = 512,
    kPngCustomKeyword = 1024,
    kPngModificationTime = 2048,
    kPngBackground = 4096,
    kPngFilterMode = 8192,
};

class PngPropertyStore {
public:
    // The code of a character in the system ANSI code page as a signed 16-bit value: one byte
    // gives 0 to 255, a character coded on two bytes a negative number (which empties a keyword
    // or a text).
    using AnsiCode = std::function<int(wchar_t)>;
    explicit PngPropertyStore(AnsiCode ansiCode);

    static bool IsValidPropertyId(int32_t id);
    // The standard id of a keyword equal to one of the ten names ignoring case, else -1.
    static int32_t KeywordToId(const std::wstring& keyword);
    // Cleans `keyword` in place: 79 characters, trimmed, single spaces, 160 as a space; a control
    // character or one outside the single-byte range empties it. 0 for empty, else KeywordToId.
    int32_t ValidateKeyword(std::wstring& keyword) const;
    // 32700 characters, CR LF and CR as LF; a control character other than TAB and LF empties it.
    std::wstring CleanText(const std::wstring& text) const;

    // Ids 1 to 512 and 1024 (`text` is the value as text). False when refused.
    bool SetText(int32_t id, const std::wstring& text, const std::wstring& keyword);
    void SetTime(const std::wstring& dateText);
    void SetBackground(int32_t colour);
    void SetFilterMode(int32_t mode);
    bool Remove(int32_t id, const std::wstring& keyword);

    bool IsSet(int32_t id) const { return (flags_ & id) != 0; }
    // Ids 1 to 512 and 1024: the stored text, or empty.
    std::wstring GetText(int32_t id, const std::wstring& keyword) const;
    const std::wstring& TimeText() const;
    int32_t Background() const { return background_; }
    int32_t FilterMode() const { return filterMode_; }
    // Slot by slot, for tests: 0 to 9 standard texts, 10 the time, 11 on "keyword\0text".
    const std::vector<std::wstring>& Slots() const { return slots_; }

    // The chunks' contents; `time` (7 bytes) when the time property is set and readable.
    PngWriteOptions WriteOptions(const uint8_t* time) const;

private:
    void EnsureSlots();
    int FindCustom(const std::wstring& keyword, bool ignoreCase) const;
    std::string Bytes(const std::wstring& text) const;

    AnsiCode ansiCode_;
    uint32_t flags_ = 0;
    int32_t background_ = 0;
    int32_t filterMode_ = 0;
    std::vector<std::wstring> slots_;
};

}  // namespace quorallion::codecs
