#include "cICOparser.h"

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers.h"
#include "cPNGparser.h"
#include "dib_fill_win.h"

namespace quorallion {

bool cICOparser::LoadStream(const std::vector<uint8_t>& inStream, int32_t desiredWidth, int32_t desiredHeight,
                            c32bppDIB* cHost, int64_t& streamOffset, int64_t& streamLength, int32_t& icoBitDepth) {
    broken_ = false;
    if (streamLength == 0) streamLength = static_cast<int64_t>(inStream.size());
    const codecs::ByteSpan bytes = codecs::RangeOf(inStream, streamOffset, streamLength);
    if (bytes.size() < 6 || codecs::ReadIcoDirectory(bytes, directory_) != codecs::CodecResult::Ok) {
        directory_ = {};
        return false;
    }
    if (!cHost) return true;

    if (desiredWidth < 1) desiredWidth = 32;
    if (desiredHeight < 1) desiredHeight = 32;
    const int chosen = codecs::ChooseIcoEntry(directory_, desiredWidth, desiredHeight, icoBitDepth);
    if (chosen == 0) {
        broken_ = true;
        return true;
    }
    const codecs::IcoEntry& entry = directory_.entries[chosen - 1];
    if (entry.isPng) {
        // The entry's bytes go to the PNG reader; what it answers is the answer.
        ULONG_PTR token = cHost->gdiToken();
        const bool answer = cPNGparser().LoadStream(inStream, *cHost, streamOffset + entry.imageOffset,
                                                    entry.bytesInResource, token);
        if (token != cHost->gdiToken()) cHost->gdiToken(token);
        if (cHost->Handle()) cHost->ImageType(11);
        return answer;
    }

    codecs::PixelBuffer pixels;
    if (codecs::DecodeIcoBitmapEntry(bytes, entry, pixels) != codecs::CodecResult::Ok) {
        cHost->DestroyDIB();
        broken_ = true;
        return true;
    }
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(imaging::PixelView{pixels.bgra.data(), pixels.width, pixels.height},
                                             false, alphaUse, alphaForm);
    if (!codecs::FillImage(*cHost, pixels, directory_.type == 1 ? 3 : 5, alphaUse)) cHost->DestroyDIB();
    return true;
}

}  // namespace quorallion
