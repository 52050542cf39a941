#pragma once
// The PNG chunk walk: signature, IHDR, PLTE, tRNS and the joined IDAT data, inflated through zlib
// when it is there and through the own decoder otherwise, then handed to the pixel decoding.
#include <cstdint>
#include <vector>

#include "byte_span.h"
#include "codec_result.h"
#include "png_zlib.h"

namespace quorallion::codecs {

// Where the chunks come from: a byte range read in place, or a file read chunk by chunk.
class PngChunkSource {
public:
    virtual ~PngChunkSource() = default;
    virtual uint64_t Size() const = 0;
    // `count` bytes at `offset`, valid until the next call; empty when they cannot be read.
    virtual ByteSpan Read(uint64_t offset, size_t count) = 0;
};

class PngMemorySource final : public PngChunkSource {
public:
    explicit PngMemorySource(ByteSpan bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    ByteSpan Read(uint64_t offset, size_t count) override {
        return bytes_.Sub(static_cast<int64_t>(offset), static_cast<int64_t>(count));
    }

private:
    ByteSpan bytes_;
};

// The 8 bytes 137 80 78 71 13 10 26 10 at the start.
bool IsPngSignature(ByteSpan bytes);

// Real files carry a handful of chunks besides their image data, and their image data in chunks
// of 8 KiB and more (libpng's default; other encoders write larger ones or a single one): of 5,322
// PNG files of a Debian system (themes, documentation, Go's PngSuite, LibreOffice's gallery) the
// most chunks in one file was 67 (59 IDAT of 8 KiB in a 480 KiB photo), the most chunks other
// than IDAT 18 (libpng's own test file). A PNG with more chunks than 256 plus one per 4 KiB of its
// length is therefore no file an encoder wrote for display. GDI+ spends about 0.9 ms per chunk
// from bytes and 2 ms from a file under Wine, so such a file is decoded by our own reader alone.
constexpr uint64_t kPngChunksBeyondSize = 256;
constexpr uint64_t kPngBytesPerAllowedChunk = 4096;
uint64_t PngChunkAllowance(uint64_t sourceSize);

// True when the chunks after the signature outnumber PngChunkAllowance(source.Size()). The walk
// reads only the length fields and stops at IEND, at the first chunk that does not fit, or one
// chunk past the allowance, so it costs at most that many small reads.
bool HasFarMoreChunksThanRealFiles(PngChunkSource& source);

// The largest image the reader accepts: width × height up to 2^26 − 1.
constexpr int64_t kPngMaxPixels = (int64_t{1} << 26) - 1;

// NotThisFormat: no PNG signature. Corrupt or TooLarge: a PNG that gives no image (walk refused,
// no IHDR or IDAT, inflate or pixel decode failed, data short of the image). Ok: `pixels` holds
// the image and `alphaKind` its alpha kind (0 opaque, 1 on/off, 2 partial).
// With zlib present (zlib.uncompress set) chunk CRCs other than 0 are tested.
CodecResult DecodePng(PngChunkSource& source, const ZlibFunctions& zlib, PixelBuffer& pixels, int32_t& alphaKind);
CodecResult DecodePng(ByteSpan bytes, const ZlibFunctions& zlib, PixelBuffer& pixels, int32_t& alphaKind);

}  // namespace quorallion::codecs
