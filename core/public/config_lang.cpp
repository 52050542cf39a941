// Finds the "lang" key of the request's configuration object. The configuration comes from the
// page and may be anything; only a well-formed top-level "lang" string selects a language.
#include "public/basPublic.h"

namespace quorallion::basPublic {
namespace {

class ConfigScanner {
public:
    explicit ConfigScanner(const std::wstring& text) : s_(text) {}

    // The value of the last top-level "lang" string member, when the text is a JSON object.
    std::optional<std::wstring> FindLang() {
        SkipSpace();
        if (!Eat(L'{')) return std::nullopt;
        std::optional<std::wstring> lang;
        SkipSpace();
        if (Eat(L'}')) return lang;
        for (;;) {
            SkipSpace();
            std::optional<std::wstring> key = String();
            if (!key) return lang;
            SkipSpace();
            if (!Eat(L':')) return lang;
            SkipSpace();
            if (*key == L"lang" && Peek() == L'"') {
                std::optional<std::wstring> value = String();
                if (!value) return lang;
                lang = value;
            } else if (!SkipValue(0)) {
                return lang;
            }
            SkipSpace();
            if (Eat(L',')) continue;
            return lang;
        }
    }

private:
    static constexpr int kMaxDepth = 64;

    wchar_t Peek() const { return pos_ < s_.size() ? s_[pos_] : L'\0'; }
    bool Eat(wchar_t c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void SkipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == L' ' || s_[pos_] == L'\t' || s_[pos_] == L'\r' || s_[pos_] == L'\n'))
            ++pos_;
    }

    static int HexValue(wchar_t c) {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'a' && c <= L'f') return c - L'a' + 10;
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        return -1;
    }

    std::optional<std::wstring> String() {
        if (!Eat(L'"')) return std::nullopt;
        std::wstring out;
        while (pos_ < s_.size()) {
            wchar_t c = s_[pos_++];
            if (c == L'"') return out;
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
                int code = 0;
                for (int i = 0; i < 4; ++i) {
                    int h = HexValue(s_[pos_++]);
                    if (h < 0) return std::nullopt;
                    code = code * 16 + h;
                }
                out += static_cast<wchar_t>(code);
                break;
            }
            default: return std::nullopt;
            }
        }
        return std::nullopt;
    }

    bool SkipValue(int depth) {
        if (depth > kMaxDepth) return false;
        wchar_t c = Peek();
        if (c == L'"') return String().has_value();
        if (c == L'{' || c == L'[') {
            const wchar_t close = c == L'{' ? L'}' : L']';
            ++pos_;
            SkipSpace();
            if (Eat(close)) return true;
            for (;;) {
                SkipSpace();
                if (c == L'{') {
                    if (!String()) return false;
                    SkipSpace();
                    if (!Eat(L':')) return false;
                    SkipSpace();
                }
                if (!SkipValue(depth + 1)) return false;
                SkipSpace();
                if (Eat(L',')) continue;
                return Eat(close);
            }
        }
        // Numbers, true, false, null: a run of their characters.
        size_t start = pos_;
        while (pos_ < s_.size()) {
            wchar_t d = s_[pos_];
            bool word = (d >= L'0' && d <= L'9') || (d >= L'a' && d <= L'z') || d == L'-' ||
                        d == L'+' || d == L'.' || d == L'E';
            if (!word) break;
            ++pos_;
        }
        return pos_ > start;
    }

    const std::wstring& s_;
    size_t pos_ = 0;
};

}  // namespace

std::wstring LanguageFromConfig(const std::wstring& config) {
    std::optional<std::wstring> lang = ConfigScanner(config).FindLang();
    if (lang && (*lang == L"en" || *lang == L"zh-tw")) return *lang;
    return L"zh-cn";
}

}  // namespace quorallion::basPublic
