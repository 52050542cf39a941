#pragma once
// The PNG reader of the image suite: the first step of the load chain for files and byte arrays,
// and the reader of PNG-compressed icon entries.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class c32bppDIB;

class cPNGparser {
public:
    // The PNG held in inStream from streamOffset for streamLength bytes: True when taken as a PNG
    // (the image then holds it, ImageType 10). gdiToken is the image's GDI+ session.
    bool LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                    int64_t streamLength, ULONG_PTR& gdiToken);
    // The file behind an open, readable handle; the reader positions the handle itself and
    // neither closes nor keeps it.
    bool LoadFile(HANDLE fileHandle, const std::wstring& FileName, c32bppDIB& cHost,
                  ULONG_PTR& gdiToken);

    // True after a load that found far more chunks than real files carry: such a PNG went to
    // the own decoder only, and no platform loader should be given it either.
    bool HasFarMoreChunksThanRealFiles() const { return manyChunks_; }

private:
    bool manyChunks_ = false;
};

}  // namespace quorallion
