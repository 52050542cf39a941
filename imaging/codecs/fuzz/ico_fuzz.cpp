// Any bytes through the icon directory, the entry choice and the bitmap entry decoder.
#include <cstddef>
#include <cstdint>

#include "ico_format.h"

using namespace quorallion::codecs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IcoDirectory directory;
    if (ReadIcoDirectory(ByteSpan(data, size), directory) != CodecResult::Ok) return 0;
    const int chosen = ChooseIcoEntry(directory, 32, 32, 32);
    if (chosen < 1 || directory.entries[chosen - 1].isPng) return 0;
    PixelBuffer pixels;
    DecodeIcoBitmapEntry(ByteSpan(data, size), directory.entries[chosen - 1], pixels);
    return 0;
}
