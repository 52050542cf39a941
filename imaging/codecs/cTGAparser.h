#pragma once
// Truevision TGA reader and writer. TGA has no signature, so the load chain tries it last.
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class c32bppDIB;

class cTGAparser {
public:
    // True when the bytes from streamOffset for streamLength filled the image (ImageType 128).
    bool LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                    int64_t streamLength);
    // fileName empty: the file image goes into outBytes; else it is written to the file (and
    // also left in outBytes).
    bool SaveAsTGA(const std::wstring& fileName, std::vector<uint8_t>& outBytes, c32bppDIB& cHost,
                   bool savePremultiplied, bool useRLE, bool allowPalette);
};

}  // namespace quorallion
