#pragma once
// A strict JSON reader for tests: checks that a reply is one valid JSON value and reads the
// members of a flat object in order. Strings come back unescaped, other values as written.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorallion::testing {

using Members = std::vector<std::pair<std::wstring, std::wstring>>;

class StrictJson {
public:
    // The members of a flat JSON object, or nothing when the text is not strict JSON.
    static std::optional<Members> ParseFlatObject(const std::wstring& text) {
        StrictJson parser(text);
        Members members;
        parser.Space();
        if (!parser.Eat(L'{')) return std::nullopt;
        parser.Space();
        if (!parser.Eat(L'}')) {
            for (;;) {
                parser.Space();
                std::optional<std::wstring> key = parser.String();
                if (!key) return std::nullopt;
                parser.Space();
                if (!parser.Eat(L':')) return std::nullopt;
                parser.Space();
                std::optional<std::wstring> value = parser.Value();
                if (!value) return std::nullopt;
                members.emplace_back(*key, *value);
                parser.Space();
                if (parser.Eat(L',')) continue;
                if (parser.Eat(L'}')) break;
                return std::nullopt;
            }
        }
        parser.Space();
        if (parser.pos_ != text.size()) return std::nullopt;
        return members;
    }

    static bool IsValid(const std::wstring& text) { return ParseFlatObject(text).has_value(); }

private:
    explicit StrictJson(const std::wstring& text) : s_(text) {}

    bool Eat(wchar_t c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Space() {
        while (pos_ < s_.size() &&
               (s_[pos_] == L' ' || s_[pos_] == L'\t' || s_[pos_] == L'\n' || s_[pos_] == L'\r'))
            ++pos_;
    }
    std::optional<std::wstring> String() {
        if (!Eat(L'"')) return std::nullopt;
        std::wstring out;
        while (pos_ < s_.size()) {
            wchar_t c = s_[pos_++];
            if (c == L'"') return out;
            if (static_cast<unsigned>(c) < 0x20) return std::nullopt;  // raw control character
            if (c != L'\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) return std::nullopt;
            wchar_t e = s_[pos_++];
            switch (e) {
            case L'"': case L'\\': case L'/': out += e; break;
            case L'b': out += L'\b'; break;
            case L'f': out += L'\f'; break;
            case L'n': out += L'\n'; break;
            case L'r': out += L'\r'; break;
            case L't': out += L'\t'; break;
            case L'u': {
                if (s_.size() - pos_ < 4) return std::nullopt;
                unsigned code = 0;
                for (int i = 0; i < 4; ++i) {
                    wchar_t h = s_[pos_++];
                    code <<= 4;
                    if (h >= L'0' && h <= L'9') code |= h - L'0';
                    else if (h >= L'a' && h <= L'f') code |= h - L'a' + 10;
                    else if (h >= L'A' && h <= L'F') code |= h - L'A' + 10;
                    else return std::nullopt;
                }
                out += static_cast<wchar_t>(code);
                break;
            }
            default: return std::nullopt;
            }
        }
        return std::nullopt;
    }
    std::optional<std::wstring> Value() {
        if (pos_ < s_.size() && s_[pos_] == L'"') return String();
        for (const wchar_t* word : {L"true", L"false", L"null"}) {
            std::wstring w = word;
            if (s_.compare(pos_, w.size(), w) == 0) {
                pos_ += w.size();
                return w;
            }
        }
        // A number: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
        size_t start = pos_;
        Eat(L'-');
        auto digits = [&] {
            size_t from = pos_;
            while (pos_ < s_.size() && s_[pos_] >= L'0' && s_[pos_] <= L'9') ++pos_;
            return pos_ - from;
        };
        if (Eat(L'0')) {
        } else if (digits() == 0) {
            return std::nullopt;
        }
        if (Eat(L'.') && digits() == 0) return std::nullopt;
        if (Eat(L'e') || Eat(L'E')) {
            if (!Eat(L'+')) Eat(L'-');
            if (digits() == 0) return std::nullopt;
        }
        return s_.substr(start, pos_ - start);
    }

    const std::wstring& s_;
    size_t pos_ = 0;
};

// The value of a member, or nothing.
inline std::optional<std::wstring> Member(const Members& members, const std::wstring& key) {
    for (const auto& [k, v] : members)
        if (k == key) return v;
    return std::nullopt;
}

inline std::vector<std::wstring> Keys(const Members& members) {
    std::vector<std::wstring> keys;
    for (const auto& member : members) keys.push_back(member.first);
    return keys;
}

}  // namespace quorallion::testing
