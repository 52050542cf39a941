#include "clipboard/cf_html.h"

#include <cwctype>

namespace quorallion::basClipBoard {

namespace {

std::string Pad8(size_t number) {
    std::string digits = std::to_string(number);
    return std::string(digits.size() < 8 ? 8 - digits.size() : 0, '0') + digits;
}

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

// Case-insensitive (ASCII) comparison of text at pos with word.
bool MatchesAt(const std::wstring& text, size_t pos, const std::wstring& word) {
    if (pos > text.size() || text.size() - pos < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(text[pos + i]) != Lower(word[i])) return false;
    return true;
}

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

}  // namespace

std::optional<std::string> BuildCFHtml(const std::string& htmlUtf8) {
    const size_t b = htmlUtf8.size();
    if (b > kMaxCFHtmlFragmentBytes) return std::nullopt;
    std::string out;
    out.reserve(b + 167);
    out += "Version:0.9\r\n";
    out += "StartHTML:" + Pad8(97) + "\r\n";
    out += "EndHTML:" + Pad8(b + 167) + "\r\n";
    out += "StartFragment:" + Pad8(131) + "\r\n";
    out += "EndFragment:" + Pad8(b + 131) + "\r\n";
    out += "<html><body>\r\n";
    out += "<!--StartFragment-->";
    out += htmlUtf8;
    out += "<!--EndFragment-->\r\n</body>\r\n</html>";
    return out;
}

std::wstring GetCFHTMLHeaderValue(const std::wstring& cfHtml, const std::wstring& key) {
    if (key.empty()) return L"";
    // The header ends at the first "<html" or "<body" that something follows.
    size_t headerEnd = cfHtml.size();
    for (size_t i = 0; i < cfHtml.size(); ++i) {
        if (cfHtml[i] == L'<' && i + 5 < cfHtml.size() &&
            (MatchesAt(cfHtml, i + 1, L"html") || MatchesAt(cfHtml, i + 1, L"body"))) {
            headerEnd = i;
            break;
        }
    }
    const std::wstring header = cfHtml.substr(0, headerEnd);
    const std::wstring label = key + L":";
    for (size_t at = 0; at + label.size() <= header.size(); ++at) {
        if (!MatchesAt(header, at, label)) continue;
        const size_t valueStart = at + label.size();
        size_t valueEnd = valueStart;
        while (valueEnd < header.size() && !IsLineBreak(header[valueEnd])) ++valueEnd;
        // At least one character must follow the value: a value running to the end of the
        // header gives up its last character to it.
        if (valueEnd == header.size() && valueEnd > valueStart) --valueEnd;
        if (valueEnd > valueStart) return header.substr(valueStart, valueEnd - valueStart);
    }
    return L"";
}

}  // namespace quorallion::basClipBoard
