#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cwchar>

#include "base64/basBase64.h"
#include "encoding/basUTF8ToUnicode.h"
#include "file/basFile.h"
#include "win/handles.h"

namespace quorallion {
namespace {

// Output of 4/3 of the input plus line breaks must fit a DWORD count of characters.
constexpr size_t kMaxInput = 0x40000000;
constexpr size_t kLineLength = 64;

// Lines of exactly 64 characters, each ended by CR LF. Wine breaks the lines in other places
// than Windows does (a last group joins the line before it), so the breaks are laid anew.
std::wstring RewrapLines(const std::wstring& encoded) {
    std::wstring out;
    out.reserve(encoded.size() + encoded.size() / kLineLength * 2 + 2);
    size_t inLine = 0;
    for (wchar_t c : encoded) {
        if (c == L'\r' || c == L'\n') continue;
        out += c;
        if (++inLine == kLineLength) {
            out += L"\r\n";
            inLine = 0;
        }
    }
    if (inLine > 0) out += L"\r\n";
    return out;
}

}  // namespace

std::wstring basBase64::EncodeBytes(const uint8_t* data, size_t size) {
    if (size == 0 || size > kMaxInput) return {};
    DWORD length = 0;
    if (!::CryptBinaryToStringW(data, static_cast<DWORD>(size), CRYPT_STRING_BASE64, nullptr,
                                &length) ||
        length == 0)
        return {};
    std::wstring out(length, L'\0');
    if (!::CryptBinaryToStringW(data, static_cast<DWORD>(size), CRYPT_STRING_BASE64, out.data(),
                                &length))
        return {};
    // Windows counts the filled characters without the NUL; Wine answers the size again.
    out.resize(std::min<size_t>(length, out.size()));
    out.resize(wcsnlen(out.c_str(), out.size()));
    return RewrapLines(out);
}

std::wstring basBase64::EncodeBytes(const std::vector<uint8_t>& bytes) {
    return EncodeBytes(bytes.data(), bytes.size());
}

std::wstring basBase64::EncodeString(const std::wstring& text) {
    return EncodeBytes(basUTF8ToUnicode::StringToCharsetBytes(text, L""));
}

std::wstring basBase64::EncodeFile(const std::wstring& path) {
    if (!basFile::FileExists(path)) return {};
    // From here the file exists: failing to read it is an error of its own, not "no file".
    win::UniqueFile file(::CreateFileW(basFileSystemW::LongPath(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            throw FileError(70, "Permission denied");
        throw FileError(75, "Path/File access error");
    }
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(file.get(), &length)) throw FileError(75, "Path/File access error");
    if (length.QuadPart <= 0 || uint64_t(length.QuadPart) > kMaxInput) return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(length.QuadPart));
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
        got != bytes.size())
        throw FileError(57, "Device I/O error");
    return EncodeBytes(bytes);
}

}  // namespace quorallion
