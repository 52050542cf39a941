#include "css/engine_chars_win.h"

#include <array>
#include <cwchar>
#include <vector>

#include "css/clsCSS.h"
#include "regex/basRegExp.h"

namespace quorallion::css {
namespace {

// Every UTF-16 unit but NUL once; the surrogates each stand alone, followed by U+0001, so that
// none of them pairs with its neighbour.
const std::wstring& ProbeText() {
    static const std::wstring text = [] {
        std::wstring t;
        t.reserve(0x10000 + 0x800);
        for (wchar_t c = 1; c < 0xD800; ++c) t += c;
        for (unsigned c = 0xE000; c <= 0xFFFF; ++c) t += static_cast<wchar_t>(c);
        for (unsigned c = 0xD800; c <= 0xDFFF; ++c) {
            t += static_cast<wchar_t>(c);
            t += L'\x01';
        }
        return t;
    }();
    return text;
}

// The units a one-character pattern matches, as the engine says; false when a match is not
// one unit long.
bool Members(const std::wstring& pattern, std::vector<wchar_t>& units) {
    units.clear();
    for (const RegExpMatch& match : basRegExp::RegExpExecute(ProbeText(), pattern)) {
        if (match.Value.size() != 1) return false;
        units.push_back(match.Value[0]);
    }
    return true;
}

// The characters whose meaning to the scans must be their own and nothing else's.
bool IsScanPunctuation(wchar_t c) { return std::wcschr(L"<>\"'=", c) != nullptr && c != L'\0'; }

struct Table {
    EngineChars chars;
    bool usable = false;
    bool asked = false;
    std::array<bool, 128> refused{};  // literals the scans cannot follow
};

Table& TableOfProcess() {
    static Table table;
    return table;
}

// Asks the engine for the literal's units; false when its answer is of no use to the scans.
bool Learn(EngineChars& chars, wchar_t literal) {
    std::vector<wchar_t> units;
    if (!Members(EscapePattern(std::wstring(1, literal)), units)) return false;
    // ASCII case must be the only case among ASCII characters: the scans look names up by their
    // lower-case form.
    const bool letter = (literal >= L'a' && literal <= L'z') || (literal >= L'A' && literal <= L'Z');
    const wchar_t otherCase = letter ? static_cast<wchar_t>(literal ^ 0x20) : literal;
    bool self = false, other = !letter;
    chars.literal[static_cast<size_t>(literal)].clear();
    for (wchar_t u : units) {
        if (u == literal) {
            self = true;
            continue;
        }
        if (IsScanPunctuation(u) || IsScanPunctuation(literal)) return false;
        if (u < 128 && u != otherCase) return false;
        if (u == otherCase) other = true;
        chars.literal[static_cast<size_t>(literal)].push_back(u);
    }
    if (!self || !other) return false;
    chars.literalKnown[static_cast<size_t>(literal)] = true;
    return true;
}

}  // namespace

const EngineChars* EngineCharsOfPlatform(const std::wstring& literals) {
    Table& table = TableOfProcess();
    try {
        if (!table.asked) {
            const struct {
                const wchar_t* pattern;
                uint8_t bit;
            } classes[] = {
                {L"\\s", EngineChars::kSpace},
                {L"[a-zA-Z]", EngineChars::kLetter},
                {L"[\\w]", EngineChars::kWord},
                {L"[a-zA-Z0-9\\_\\-]", EngineChars::kClassName},
                {L"[a-zA-Z0-9]", EngineChars::kAlnum},
            };
            std::vector<wchar_t> units;
            for (const auto& c : classes) {
                bool plain = Members(c.pattern, units);
                for (wchar_t u : units) plain = plain && !IsScanPunctuation(u);
                if (!plain) {
                    table.asked = true;  // the scans cannot stand in for this engine
                    return nullptr;
                }
                for (wchar_t u : units) table.chars.classes[static_cast<uint16_t>(u)] |= c.bit;
            }
            table.asked = table.usable = true;
        }
        if (!table.usable) return nullptr;
        for (wchar_t c : literals) {
            if (c >= 128) return nullptr;
            if (table.chars.literalKnown[static_cast<size_t>(c)]) continue;
            if (c < 0x20 || c == 0x7F || table.refused[static_cast<size_t>(c)]) return nullptr;
            if (!Learn(table.chars, c)) {
                table.refused[static_cast<size_t>(c)] = true;
                return nullptr;
            }
        }
    } catch (const RegExpError&) {
        // Asked again next time (COM may not have been ready); the engine paths report the error.
        if (!table.asked) table.chars = EngineChars{};
        return nullptr;
    }
    return &table.chars;
}

}  // namespace quorallion::css
