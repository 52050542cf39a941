#pragma once
// The three ways to call ConvertEmf2Png of QuorallionEmf: an EMF file, EMF bytes, the clipboard's
// enhanced metafile. Each returns the library's code unchanged (0 written; 1 no metafile, 2 no
// surface, 3 not drawn, 4 not deleted, 5 no bitmap, 6 not saved, 10 clipboard busy).
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class clsEmf2Png {
public:
    // library: the converter library to bind; tests name a copy elsewhere to see a missing one.
    explicit clsEmf2Png(std::wstring library = L"QuorallionEmf.dll") : library_(std::move(library)) {}

    // Each raises ConverterBindError when the library or its entry cannot be loaded.
    int32_t ConvertEmfFile2PngFile(const std::wstring& emfPath, const std::wstring& pngPath);
    // An empty block, or one of 2 GB or more, gives 1 without calling the library.
    int32_t ConvertEmfByte2PngFile(const std::vector<uint8_t>& emfBytes, const std::wstring& pngPath);
    int32_t ConvertEmfClipboard2PngFile(const std::wstring& pngPath);

private:
    int32_t Call(const wchar_t* source, const uint8_t* bytes, int32_t byteCount, const std::wstring& pngPath);

    std::wstring library_;
};

}  // namespace quorallion
