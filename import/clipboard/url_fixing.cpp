#include "clipboard/url_fixing.h"

#include <vector>

namespace quorallion::basClipBoard {

namespace {

wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

bool StartsWithNoCase(const std::wstring& text, size_t pos, const std::wstring& prefix) {
    if (pos > text.size() || text.size() - pos < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[pos + i]) != Lower(prefix[i])) return false;
    return true;
}

// The white space of the page's old pattern engine: \s.
bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == L'\v' ||
           c == 0x00A0 || c == 0xFEFF || c == 0x2028 || c == 0x2029 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x1680 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// "scheme:" as addresses write it (a letter, then letters, digits, "+", "-" or "."). Such an
// address (mailto:, tel:, javascript:, ftp:, data: ...) is absolute already.
bool HasScheme(const std::wstring& address) {
    if (address.empty() || !IsAsciiLetter(address[0])) return false;
    for (size_t i = 1; i < address.size(); ++i) {
        wchar_t c = address[i];
        if (c == L':') return true;
        if (!(IsAsciiLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.'))
            return false;
    }
    return false;
}

// One start tag found by the tag and attribute scan: where the address sits in it.
struct TagMatch {
    size_t start, addressStart, addressEnd, end;  // end is one past ">"
};

bool IsQuote(wchar_t c) { return c == L'"' || c == L'\''; }

// The tag starting at lt, when it is `tag` followed by white space and holds, before its first
// ">", white space, the attribute, "=", and a double-quoted address. The first such attribute
// that fits wins; the address runs to the next quote of either kind and the tag to the next ">"
// after it.
bool MatchTagAt(const std::wstring& html, size_t lt, const std::wstring& tag,
                const std::wstring& attribute, TagMatch& match) {
    size_t afterTag = lt + 1 + tag.size();
    if (!StartsWithNoCase(html, lt + 1, tag) || afterTag >= html.size() || !IsSpace(html[afterTag]))
        return false;
    for (size_t k = afterTag; k < html.size() && html[k] != L'>'; ++k) {
        if (!IsSpace(html[k]) || !StartsWithNoCase(html, k + 1, attribute)) continue;
        size_t p = k + 1 + attribute.size();
        while (p < html.size() && IsSpace(html[p])) ++p;
        if (p >= html.size() || html[p] != L'=') continue;
        ++p;
        while (p < html.size() && IsSpace(html[p])) ++p;
        if (p >= html.size() || html[p] != L'"') continue;
        const size_t addressStart = p + 1;
        size_t q = addressStart;
        while (q < html.size() && !IsQuote(html[q])) ++q;
        if (q == addressStart || q >= html.size()) continue;
        size_t gt = q + 1;
        while (gt < html.size() && html[gt] != L'>') ++gt;
        if (gt >= html.size()) continue;
        match = {lt, addressStart, q, gt + 1};
        return true;
    }
    return false;
}

}  // namespace

SourceAddress SplitSourceAddress(const std::wstring& sourceUrl) {
    std::wstring base = sourceUrl;
    size_t query = base.find(L'?');
    if (query != std::wstring::npos && query > 0) base.erase(query);
    size_t slash = base.rfind(L'/');
    if (slash != std::wstring::npos && slash > 0) base.erase(slash + 1);

    size_t hostStart = 0;
    for (const wchar_t* scheme : {L"http://", L"https://", L"file:///"}) {
        if (StartsWithNoCase(base, 0, scheme)) {
            hostStart = std::wstring(scheme).size();
            break;
        }
    }
    if (hostStart == 0 || hostStart >= base.size() || base[hostStart] == L'/') return {};
    // The host is at least one character; the root ends before the "/" that follows it.
    size_t rootEnd = base.find(L'/', hostStart + 1);
    if (rootEnd == std::wstring::npos) return {};
    SourceAddress address;
    address.root = base.substr(0, rootEnd);
    address.path = base.substr(rootEnd + 1);
    return address;
}

std::wstring ResolveURL(const std::wstring& address, const std::wstring& root,
                        const std::wstring& path) {
    if (HasScheme(address)) return address;
    if (address.compare(0, 2, L"//") == 0) {
        // Same scheme as the page, another host.
        size_t colon = root.find(L':');
        return colon == std::wstring::npos ? address : root.substr(0, colon + 1) + address;
    }
    if (!address.empty() && address[0] == L'/') return root + address;
    if (address.compare(0, 2, L"./") == 0) return root + L"/" + path + address.substr(2);
    if (address.empty() || address[0] != L'.') return root + L"/" + path + address;
    std::wstring rest = address;
    std::wstring folders = path;
    while (rest.compare(0, 3, L"../") == 0) {
        rest.erase(0, 3);
        if (!folders.empty()) {
            folders.pop_back();
            size_t slash = folders.rfind(L'/');
            folders = slash == std::wstring::npos ? std::wstring() : folders.substr(0, slash + 1);
        }
    }
    return root + L"/" + folders + rest;
}

std::wstring FixTagURLs(const std::wstring& html, const std::wstring& root,
                        const std::wstring& path, const std::wstring& tag,
                        const std::wstring& attribute) {
    std::vector<TagMatch> matches;
    for (size_t pos = html.find(L'<'); pos != std::wstring::npos; pos = html.find(L'<', pos)) {
        TagMatch match;
        if (MatchTagAt(html, pos, tag, attribute, match)) {
            matches.push_back(match);
            pos = match.end;
        } else {
            ++pos;
        }
    }
    // Each address is rewritten where it was found, in one pass: rewriting every copy of the
    // matched tag text over the whole html again for each match costs time in proportion to
    // matches times length, and could touch a text that an earlier rewrite produced.
    std::wstring result;
    size_t copied = 0;
    for (const TagMatch& m : matches) {
        const std::wstring address = html.substr(m.addressStart, m.addressEnd - m.addressStart);
        result.append(html, copied, m.addressStart - copied);
        result += ResolveURL(address, root, path);
        copied = m.addressEnd;
    }
    result.append(html, copied, std::wstring::npos);
    return result;
}

std::wstring FixRelativeURLs(const std::wstring& html, const std::wstring& sourceUrl) {
    if (sourceUrl.empty()) return html;
    SourceAddress source = SplitSourceAddress(sourceUrl);
    if (source.root.empty()) return html;
    std::wstring out = FixTagURLs(html, source.root, source.path, L"a", L"href");
    out = FixTagURLs(out, source.root, source.path, L"img", L"src");
    return FixTagURLs(out, source.root, source.path, L"embed", L"src");
}

}  // namespace quorallion::basClipBoard
