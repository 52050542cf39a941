#pragma once
// The suite's own baseline JPEG writer: three full-resolution components (Y, Cb, Cr), tables from a
// quality number, Huffman tables optimised for each image, one interleaved scan, JFIF framing.
// Pixels are premultiplied BGRA, rows bottom-up; transparency is composited over a fill colour.
#include <array>
#include <cstdint>
#include <vector>

#include "codec_result.h"
#include "jpeg_huffman.h"
#include "jpeg_quant.h"
#include "pixels/pixel_copy.h"

namespace quorallion::codecs::jpeg {

// One 8x8 block of composited pixels: 8 rows of 8 blue, green, red triples.
using PixelBlock = std::array<std::array<std::array<uint8_t, 3>, 8>, 8>;

// The 8x8 block whose top-left pixel is (x0, y0), y counted from the picture's top: each pixel
// composited over fill (blue, green, red), the right and bottom edges repeated. Corrupt when a
// partly transparent pixel would come out above 255 in a channel (a colour byte above its alpha).
CodecResult FetchPixelBlock(const imaging::PixelView& pixels, int32_t x0, int32_t y0,
                            const std::array<uint8_t, 3>& fillBgr, PixelBlock& block);

struct Component {
    int32_t id = 0;
    int32_t h = 1;
    int32_t v = 1;
    int32_t quantTable = 0;
    std::vector<int16_t> coefficients;  // 64 per block, zigzag order, blocks in raster order
};

class JpegEncoder {
public:
    JpegEncoder();

    // Y at (yH, yV) and Cb, Cr at theirs, each 1 to 4; all four chrominance factors 0: one
    // component. Corrupt for any other value. The writer itself sets 1 everywhere.
    CodecResult SetSamplingFactors(int32_t yH, int32_t yV, int32_t cbH, int32_t cbV, int32_t crH, int32_t crV);

    // The whole JFIF stream into out (replaced only on success). Corrupt: quality 0, a side above
    // 65535, a pixel that is not premultiplied and would composite above 255. Internal: a sampling
    // configuration the pixel pass does not make.
    CodecResult Encode(const imaging::PixelView& pixels, uint8_t quality, uint32_t fillColor,
                       std::vector<uint8_t>& out);

    // After Encode: the estimated size of the entropy-coded data in bytes, stuffing excluded.
    int64_t EstimatedScanBytes() const { return estimate_; }
    const std::array<QuantSlot, 4>& QuantSlots() const { return quant_; }
    const HuffmanSlot& DcSlot(int i) const { return dc_[i]; }
    const HuffmanSlot& AcSlot(int i) const { return ac_[i]; }
    const std::vector<Component>& Components() const { return components_; }

private:
    CodecResult TransformImage(const imaging::PixelView& pixels, uint32_t fillColor);
    CodecResult BuildHuffmanTables();
    void WriteScans(std::vector<uint8_t>& out) const;

    int32_t precision_ = 8;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t maxH_ = 1;
    int32_t maxV_ = 1;
    std::vector<Component> components_;
    std::array<QuantSlot, 4> quant_{};
    std::array<HuffmanSlot, 4> dc_{};
    std::array<HuffmanSlot, 4> ac_{};
    int64_t estimate_ = 0;
};

}  // namespace quorallion::codecs::jpeg
