#include "cTGAparser.h"

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "dib_fill_win.h"
#include "tga_decode.h"
#include "tga_encode.h"

namespace quorallion {

bool cTGAparser::LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength) {
    const codecs::ByteSpan bytes = codecs::RangeOf(inStream, streamOffset, streamLength);
    codecs::PixelBuffer pixels;
    int32_t alphaKind = 0;
    const codecs::CodecResult result = codecs::DecodeTga(bytes, pixels, alphaKind);
    // A refused header leaves the image as it was; data that fails while decoding leaves none.
    if (result == codecs::CodecResult::NotThisFormat || result == codecs::CodecResult::TooLarge) return false;
    if (result != codecs::CodecResult::Ok || !codecs::FillImage(cHost, pixels, 128, alphaKind)) {
        cHost.DestroyDIB();
        return false;
    }
    return cHost.Handle() != nullptr;
}

bool cTGAparser::SaveAsTGA(const std::wstring& fileName, std::vector<uint8_t>& outBytes, c32bppDIB& cHost,
                           bool savePremultiplied, bool useRLE, bool allowPalette) {
    if (!cHost.Handle() || !cHost.BitsPointer()) return false;
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    const codecs::TgaTimeStamp now{local.wMonth, local.wDay, local.wYear, local.wHour, local.wMinute, local.wSecond};
    std::vector<uint8_t> file;
    if (codecs::EncodeTga(cHost.Pixels(), codecs::TgaWriteOptions{savePremultiplied, useRLE, allowPalette}, now, file) !=
        codecs::CodecResult::Ok)
        return false;
    // The file is replaced only once every byte of the new one is written.
    if (!fileName.empty() && !codecs::WriteWholeFile(fileName, file)) return false;
    outBytes = std::move(file);
    return true;
}

}  // namespace quorallion
