#include "clipboard/basClipBoard_office.h"

#include <windows.h>

#include <cwctype>

#include "base64/basBase64.h"
#include "c32bppDIB.h"
#include "clipboard/basClipBoard.h"
#include "file/basFile.h"
#include "regex/basRegExp.h"

namespace quorallion::basClipBoard {

namespace {

using basRegExp::RegExpReplace;

std::wstring RemoveAll(std::wstring text, const std::wstring& what) {
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at)) text.erase(at, what.size());
    return text;
}

// Characters the ANSI code page cannot hold become numeric character references first, so the
// encoded text loses none of them to "?".
std::wstring AnsiSafe(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long code = text[i];
        size_t units = 1;
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        }
        BOOL lost = FALSE;
        char bytes[8];
        const int n = code < 0x80 ? 1
                                  : ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &text[i], static_cast<int>(units),
                                                          bytes, sizeof(bytes), nullptr, &lost);
        if (n > 0 && !lost)
            out.append(text, i, units);
        else
            out += L"&#" + std::to_wstring(code) + L";";
        i += units - 1;
    }
    return out;
}

std::wstring Encode(const std::wstring& text) { return basBase64::EncodeString(AnsiSafe(text)); }

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// %XX escapes of UTF-8 bytes undone; the text itself when it holds a broken escape.
std::wstring PercentDecoded(const std::wstring& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() + 0 && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else if (text[i] < 0x80) {
            bytes += static_cast<char>(text[i]);
        } else {
            char utf8[8];
            const int n = ::WideCharToMultiByte(CP_UTF8, 0, &text[i], 1, utf8, sizeof(utf8), nullptr, nullptr);
            if (n <= 0) return text;
            bytes.append(utf8, static_cast<size_t>(n));
        }
    }
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                            nullptr, 0);
    if (units <= 0) return text;
    std::wstring out(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), units);
    return out;
}

// The path as written when it names a file, else its percent-decoded form when that does.
std::wstring ExistingFile(const std::wstring& path) {
    if (basFile::FileExists(path)) return path;
    const std::wstring decoded = PercentDecoded(path);
    if (decoded != path && basFile::FileExists(decoded)) return decoded;
    return path;
}

std::wstring LowerBackslashed(std::wstring path) {
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
    return path;
}

// Whether the file lies under the user's temp folder, where Office writes the files of the
// clipboard HTML. Anything else named by the HTML is not ours to return.
bool UnderTempFolder(const std::wstring& path) {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return false;
    wchar_t longTemp[MAX_PATH * 2] = {}, full[MAX_PATH * 2] = {};
    if (!::GetLongPathNameW(temp, longTemp, MAX_PATH * 2)) wcscpy(longTemp, temp);
    if (!::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr)) return false;
    wchar_t longFull[MAX_PATH * 2] = {};
    if (!::GetLongPathNameW(full, longFull, MAX_PATH * 2)) wcscpy(longFull, full);
    std::wstring root = LowerBackslashed(longTemp);
    if (root.empty() || root.back() != L'\\') root += L'\\';
    const std::wstring file = LowerBackslashed(longFull);
    return file.size() > root.size() && file.compare(0, root.size(), root) == 0 && file.find(L"\\..\\") == std::wstring::npos;
}

std::wstring EncodeTempFile(const std::wstring& path) {
    const std::wstring file = ExistingFile(path);
    return UnderTempFolder(file) ? basBase64::EncodeFile(file) : std::wstring();
}

}  // namespace

std::wstring OfficeObjectFromHtml(const std::wstring& raw, const std::wstring& mode, const std::wstring& pngPath) {
    if (mode != L"omath" && mode != L"formula" && mode != L"embed") return L"";
    std::wstring fragment;
    if (!raw.empty()) {
        fragment = RegExpReplace(raw, LR"re(^[\s\S]*?<body[^>]*?>([\s\S]*?)</body>[\s\S]*$)re", L"$1");
        if (fragment != raw) {
            const std::wstring inner = RegExpReplace(
                fragment, LR"re((^[\s\S]*?)<!--StartFragment\s*?-->([\s\S]*)<!--EndFragment-->([\s\S]*?$))re", L"$2");
            if (inner != fragment) fragment = inner;
        }
    }

    if (mode == L"omath") {
        std::wstring out = RegExpReplace(fragment, LR"re(^[\s\S]*?(<m:oMathPara>[\s\S]*?</m:oMathPara>)[\s\S]*?$)re", L"$1");
        if (out == fragment)
            out = RegExpReplace(fragment, LR"re(^[\s\S]*?(<m:oMath>[\s\S]*?</m:oMath>)[\s\S]*?$)re", L"$1");
        std::wstring img =
            RegExpReplace(fragment, LR"re(^[\s\S]*?<img\s[^>]*?src\s*?=\s*?"([^">]*?)"[^>]*?>[\s\S]*?$)re", L"$1");
        if (img != fragment) {
            img = ExistingFile(RemoveAll(img, L"file:///"));
            if (basFile::FileExists(img)) {
                c32bppDIB picture;
                picture.LoadPicture_File(img, 32, 32, false, 32);
                int32_t x = 0, y = 0, width = 0, height = 0;
                picture.TrimImage(true, 10, x, y, width, height);
                picture.SaveToFile_PNG(pngPath, false);  // a fresh path: no overwrite question
            }
        }
        return Encode(out);
    }

    if (mode == L"formula") {
        fragment = RegExpReplace(fragment, LR"re(<!--\s*?\[[^>]*?\]\s*?>)re", L"");
        fragment = RegExpReplace(fragment, LR"re(<!\s*?\[[^>]*?\]\s*?-->)re", L"");
        fragment = RegExpReplace(fragment, LR"re(<span[^>]*?style\s*?=[^>]*?mso-spacerun\s*?:\s*?yes[^>]*?>[\s\S]*?</span>)re", L"");
        return Encode(fragment);
    }

    fragment = RegExpReplace(fragment, LR"re(<!\[if !vml\]>[\s\S]*?<!\[endif\]>)re", L"");
    std::wstring ole = RegExpReplace(
        raw, LR"re(^[\s\S]*?<link\s*?rel\s*?=\s*?OLE-Object-Data[^>]*?href\s*?=\s*?"([^">]*?)"[^>]*?>[\s\S]*?$)re", L"$1");
    if (ole == raw) return L"";
    ole = RemoveAll(ole, L"file:///");
    const std::wstring pattern = LR"re(^([\s\S]*?<v:imagedata\s[^>]*?src\s*?=\s*?")([^">]*?)("[^>]*?>[\s\S]*?)$)re";
    std::wstring picture = RegExpReplace(raw, pattern, L"$2");
    if (picture == raw) return L"";
    picture = RemoveAll(picture, L"file:///");
    fragment = RegExpReplace(fragment, pattern, L"$1[imagedata]$3");
    return Encode(fragment) + L"|" + EncodeTempFile(ole) + L"|" + EncodeTempFile(picture);
}

std::wstring GetClipboardOfficeObject(const std::wstring& mode, const std::wstring& pngPath) {
    if (mode != L"omath" && mode != L"formula" && mode != L"embed") return L"";
    return OfficeObjectFromHtml(GetClipboardHTMLRaw(), mode, pngPath);
}

}  // namespace quorallion::basClipBoard
