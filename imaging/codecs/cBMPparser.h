#pragma once
#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class c32bppDIB;

// The BMP codec: our own decoding of uncompressed and bit-field bitmaps, the system's picture
// loader for the rest (run-length compression, and bytes that are no "BM" file).
class cBMPparser {
public:
    // False without asking the platform for bytes that Refused() describes.
    bool LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                    int64_t streamLength);
    // After LoadStream: the bytes are of a format our own readers decode (a "BM" bitmap they
    // read, an icon or cursor directory, a GIF) and were found broken. No platform loader may
    // see them: they read such headers past their buffers.
    bool Refused() const { return refused_; }
    // A picture object (stdPic, Handle ignored) or, without one, a bitmap handle as a 32-bit
    // image. bitCount changes nothing. False without either, or when the size cannot be read.
    bool ConvertstdPicTo32bpp(IPicture* stdPic, HBITMAP Handle, c32bppDIB& cHost, int16_t bitCount);
    // FileName empty: the BMP goes into outStream. TransparentFillColor is 0x00BBGGRR.
    bool SaveAsBMP(c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream,
                   bool Keep32bppFormat, uint32_t TransparentFillColor);

private:
    bool refused_ = false;

    // Hundredths of a millimetre to screen pixels, halves to even.
    static int32_t HimetricToPixels(int32_t value, bool horizontal);
};

}  // namespace quorallion
