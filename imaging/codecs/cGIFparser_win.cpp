#include "cGIFparser.h"

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "dib_fill_win.h"
#include "gif_decode.h"
#include "gif_encode.h"
#include "win/handles.h"

namespace quorallion {

bool cGIFparser::LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength) {
    const codecs::ByteSpan bytes = codecs::RangeOf(inStream, streamOffset, streamLength);
    codecs::GifImage gif;
    if (codecs::DecodeGifFirstImage(bytes, gif) != codecs::CodecResult::Ok) return false;
    codecs::PixelBuffer pixels;
    codecs::GifToPixels(gif, pixels);
    if (!codecs::FillImage(cHost, pixels, 9, gif.transparentIndex >= 0 ? 1 : 0)) {
        cHost.DestroyDIB();
        return false;
    }
    return true;
}

bool cGIFparser::SaveAsGIF(c32bppDIB& cHost, const std::wstring& FileName, std::vector<uint8_t>& outStream,
                           bool& reduceColors, uint8_t& alphaThreshold) {
    if (!cHost.BitsPointer() || cHost.Width() < 1 || cHost.Height() < 1) return false;
    codecs::PixelBuffer pixels;
    pixels.width = cHost.Width();
    pixels.height = cHost.Height();
    pixels.bgra.assign(cHost.BitsPointer(), cHost.BitsPointer() + size_t(cHost.scanWidth()) * cHost.Height());
    codecs::GifEncodeOptions options;
    options.reduceColors = reduceColors;
    options.alphaThreshold = alphaThreshold;
    std::vector<uint8_t> gif;
    if (codecs::EncodeGif(pixels, options, gif) != codecs::CodecResult::Ok) return false;
    reduceColors = options.reduceColors;
    if (FileName.empty()) {
        outStream = std::move(gif);
        return true;
    }
    return codecs::WriteWholeFile(FileName, gif);
}

}  // namespace quorallion
