#pragma once
// The image suite's own baseline JPEG writer: used when GDI+ cannot save the JPEG.
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class c32bppDIB;

class cJPGWriter {
public:
    // fileName empty: the JPEG goes into outBytes (exactly its length); else into the file.
    // Transparent pixels are composited over TransparentFillColor (0x00BBGGRR).
    bool SaveJPG(const std::wstring& fileName, std::vector<uint8_t>& outBytes, c32bppDIB& cHost,
                 uint8_t Quality, uint32_t TransparentFillColor);
};

}  // namespace quorallion
