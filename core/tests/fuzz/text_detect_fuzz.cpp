// The encoding detector and the UTF-16/32 decoders over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "encoding/basTextUTF.h"
#include "encoding/utf_units.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quorallion;
    int32_t bomLength = -1;
    int32_t encoding = basTextUTF::DetectEncoding(data, size, bomLength);
    if (encoding < 0 || encoding > 6 || bomLength < 0 || bomLength > 4) abort();
    utf::DecodeUtf16(data, size, false, utf::OddByte::kAsUnit);
    utf::DecodeUtf16(data, size, true, utf::OddByte::kReplaced);
    std::wstring text = utf::DecodeUtf32(data, size, true);
    if (utf::CodePoints(text).size() != (size + 3) / 4) abort();
    return 0;
}
