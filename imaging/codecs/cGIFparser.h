#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion {

class c32bppDIB;

// The GIF codec: the first image of a GIF stream in, a single-image GIF89a out.
class cGIFparser {
public:
    // True when the bytes were taken as a GIF; the image then holds it (ImageType 9, Alpha 1
    // with a transparent index, else 0).
    bool LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                    int64_t streamLength);
    // FileName empty: the GIF goes into outStream. reduceColors in: octree (True) or web palette
    // for more than 256 colours; out: whether colours were reduced.
    bool SaveAsGIF(c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream,
                   bool& reduceColors, uint8_t& alphaThreshold);
};

}  // namespace quorallion
