// Random small pictures at random qualities and fill colours through the JPEG writer; libjpeg must
// decode every stream without a warning, at the picture's size.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "jpeg_encode.h"

using namespace quorallion::codecs;

namespace {

struct Failure {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void Fail(j_common_ptr info) { std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1); }
// Any warning (corrupt data, extraneous bytes) is a failure too.
void Warn(j_common_ptr info, int level) {
    if (level < 0) Fail(info);
}

bool DecodesCleanly(const std::vector<uint8_t>& jpeg, int width, int height) {
    jpeg_decompress_struct info;
    Failure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = Fail;
    failure.manager.emit_message = Warn;
    std::vector<uint8_t> row;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const bool sized = int(info.output_width) == width && int(info.output_height) == height && info.output_components == 3;
    row.resize(size_t(info.output_width) * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
    }
    jpeg_finish_decompress(&info);
    const bool clean = failure.manager.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return sized && clean;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 6) return 0;
    const int width = data[0] % 48 + 1, height = data[1] % 48 + 1;
    const uint8_t quality = data[2];
    const uint32_t fill = uint32_t{data[3]} | uint32_t{data[4]} << 8 | uint32_t{data[5]} << 16;
    data += 6;
    size -= 6;
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    for (size_t i = 0; i < bgra.size(); ++i) bgra[i] = size ? data[i % size] : 0;
    // Premultiplied: no colour above its alpha.
    for (size_t i = 0; i < bgra.size(); i += 4)
        for (int c = 0; c < 3; ++c) bgra[i + c] = uint8_t(bgra[i + c] % (bgra[i + 3] + 1));
    std::vector<uint8_t> jpeg;
    const CodecResult result = jpeg::JpegEncoder().Encode(quorallion::imaging::PixelView{bgra.data(), width, height},
                                                          quality, fill, jpeg);
    if (quality == 0) {
        if (result != CodecResult::Corrupt) std::abort();
        return 0;
    }
    if (result != CodecResult::Ok || !DecodesCleanly(jpeg, width, height)) std::abort();
    return 0;
}
