#include "emf/clsEmf2Png.h"

#include <windows.h>

#include <climits>

#include "binding/converter_library_win.h"

namespace quorallion {

namespace {

using ConvertCall = int32_t(WINAPI*)(const wchar_t* source, const uint8_t* bytes, int32_t byteCount,
                                     const wchar_t* pngPath);
constexpr int32_t kNoMetafile = 1;

}  // namespace

int32_t clsEmf2Png::Call(const wchar_t* source, const uint8_t* bytes, int32_t byteCount,
                         const std::wstring& pngPath) {
    const ConvertCall convert = BindConverter<ConvertCall>(library_, "ConvertEmf2Png");
    return convert(source, bytes, byteCount, pngPath.c_str());
}

int32_t clsEmf2Png::ConvertEmfFile2PngFile(const std::wstring& emfPath, const std::wstring& pngPath) {
    return Call(emfPath.c_str(), nullptr, 0, pngPath);
}

int32_t clsEmf2Png::ConvertEmfByte2PngFile(const std::vector<uint8_t>& emfBytes, const std::wstring& pngPath) {
    // The library's count is 32 bits: a block it cannot be told the size of is no metafile to it.
    if (emfBytes.empty() || emfBytes.size() > static_cast<size_t>(INT32_MAX)) return kNoMetafile;
    return Call(L"", emfBytes.data(), static_cast<int32_t>(emfBytes.size()), pngPath);
}

int32_t clsEmf2Png::ConvertEmfClipboard2PngFile(const std::wstring& pngPath) {
    return Call(L"clipboard", nullptr, 0, pngPath);
}

}  // namespace quorallion
