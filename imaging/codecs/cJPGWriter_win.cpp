#include "cJPGWriter.h"

#include "c32bppDIB.h"
#include "jpeg_encode.h"
#include "whole_file_win.h"

namespace quorallion {

bool cJPGWriter::SaveJPG(const std::wstring& fileName, std::vector<uint8_t>& outBytes, c32bppDIB& cHost,
                         uint8_t Quality, uint32_t TransparentFillColor) {
    if (!cHost.Handle() || !cHost.BitsPointer()) return false;
    // The whole stream is made first: a refused quality or pixel touches no file, and the file is
    // written only once the stream is complete.
    std::vector<uint8_t> stream;
    if (codecs::jpeg::JpegEncoder().Encode(cHost.Pixels(), Quality, TransparentFillColor, stream) !=
        codecs::CodecResult::Ok)
        return false;
    if (!fileName.empty()) return codecs::WriteWholeFile(fileName, stream);
    outBytes = std::move(stream);
    return true;
}

}  // namespace quorallion
