#include <windows.h>

#include <climits>

#include "encoding/basTextUTF.h"
#include "encoding/utf_units.h"
#include "file/basFile.h"
#include "win/handles.h"

namespace quorallion {
namespace {

// Reads size bytes from the current position; false unless all of them came.
bool ReadExactly(HANDLE file, uint8_t* data, DWORD size) {
    DWORD got = 0;
    return size == 0 || (::ReadFile(file, data, size, &got, nullptr) && got == size);
}

bool SeekTo(HANDLE file, int64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

std::wstring FromCodePageExact(const std::vector<uint8_t>& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    const char* data = reinterpret_cast<const char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    int needed = ::MultiByteToWideChar(codePage, 0, data, size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring out(needed, L'\0');
    int written = ::MultiByteToWideChar(codePage, 0, data, size, out.data(), needed);
    out.resize(written > 0 ? written : 0);
    return out;
}

}  // namespace

std::wstring basTextUTF::ReadTextFile(const std::wstring& path, int32_t& encoding) {
    if (encoding < kDetect || encoding > kUtf32BE) return {};
    win::UniqueFile file(::CreateFileW(basFileSystemW::LongPath(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(file.get(), &length)) return {};
    if (length.QuadPart <= 0 || length.QuadPart >= (int64_t(1) << 31)) return {};
    const DWORD fileSize = static_cast<DWORD>(length.QuadPart);

    uint8_t head[4] = {0, 0, 0, 0};
    const DWORD headSize = fileSize < 4 ? fileSize : 4;
    if (!ReadExactly(file.get(), head, headSize)) return {};
    int32_t recognised = kNone;
    int32_t bomLength =
        CheckBOM(uint32_t(head[0]) | uint32_t(head[1]) << 8 | uint32_t(head[2]) << 16 |
                     uint32_t(head[3]) << 24,
                 recognised);
    // A short file cannot hold all of a mark that its zero padding made up.
    if (bomLength > int32_t(fileSize)) bomLength = int32_t(fileSize);

    std::vector<uint8_t> whole;
    if (recognised == kNone) {
        whole.resize(fileSize);
        if (!SeekTo(file.get(), 0) || !ReadExactly(file.get(), whole.data(), fileSize)) return {};
        IsUTF8(whole, recognised);
    }
    if (encoding == kDetect) {
        encoding = recognised;
    } else if (encoding != recognised) {
        bomLength = 0;  // the caller's encoding wins: decode from the first byte
    }

    std::vector<uint8_t> payload;
    if (!whole.empty() && bomLength == 0) {
        payload = std::move(whole);
    } else {
        payload.resize(fileSize - bomLength);
        if (!SeekTo(file.get(), bomLength) ||
            !ReadExactly(file.get(), payload.data(), static_cast<DWORD>(payload.size())))
            return {};
    }
    if (payload.empty()) return {};

    switch (encoding) {
        case kNone:
            return FromCodePageExact(payload, CP_ACP);
        case kUtf8Bom:
        case kUtf8:
            return FromCodePageExact(payload, CP_UTF8);
        case kUtf16LE:
            return utf::DecodeUtf16(payload.data(), payload.size(), false, utf::OddByte::kAsUnit);
        case kUtf16BE:
            return utf::DecodeUtf16(payload.data(), payload.size(), true, utf::OddByte::kDropped);
        default:
            return {};  // UTF-32 files are recognised, not decoded
    }
}

}  // namespace quorallion
