#pragma once
// Native references for the PNG tests, fuzz targets and benchmark: zlib as the codecs' functions
// and libpng's decode in the reader's form (expanded to 8-bit RGBA, premultiplied, bottom-up).
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "codec_result.h"
#include "png_zlib.h"

namespace quorallion::codecs::testing {

inline ZlibFunctions NativeZlib() {
    ZlibFunctions z;
    z.uncompress = [](uint8_t* dest, uint32_t& destLen, const uint8_t* src, uint32_t srcLen) {
        uLongf length = destLen;
        const int code = ::uncompress(dest, &length, src, srcLen);
        destLen = static_cast<uint32_t>(length);
        return code;
    };
    z.compress2 = [](uint8_t* dest, uint32_t& destLen, const uint8_t* src, uint32_t srcLen, int level) {
        uLongf length = destLen;
        const int code = ::compress2(dest, &length, src, srcLen, level);
        destLen = static_cast<uint32_t>(length);
        return code;
    };
    z.compress = [](uint8_t* dest, uint32_t& destLen, const uint8_t* src, uint32_t srcLen) {
        uLongf length = destLen;
        const int code = ::compress(dest, &length, src, srcLen);
        destLen = static_cast<uint32_t>(length);
        return code;
    };
    return z;
}

struct LibpngImage {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // top-down, straight alpha
};

// libpng's decode: palette and low depths expanded, tRNS as alpha, 16 bits cut to their high
// byte, grey as RGB, alpha 255 added where the image has none. A bad Adler-32 is tolerated.
inline LibpngImage LibpngDecode(const uint8_t* data, size_t size) {
    LibpngImage image;
    struct Reader {
        const uint8_t* data;
        size_t size, at;
    } reader{data, size, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return LibpngImage{};
    }
    png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, png_size_t count) {
        auto* r = static_cast<Reader*>(png_get_io_ptr(p));
        if (count > r->size - r->at) png_error(p, "short");
        std::memcpy(out, r->data + r->at, count);
        r->at += count;
    });
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image.width = static_cast<int>(png_get_image_width(png, info));
    image.height = static_cast<int>(png_get_image_height(png, info));
    image.rgba.assign(size_t(image.width) * image.height * 4, 0);
    rows.resize(image.height);
    for (int y = 0; y < image.height; ++y) rows[y] = image.rgba.data() + size_t(y) * image.width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    image.ok = true;
    return image;
}

// The reader's form of libpng's pixels: bottom-up BGRA premultiplied with truncation.
inline PixelBuffer Premultiplied(const LibpngImage& image) {
    PixelBuffer pixels;
    pixels.width = image.width;
    pixels.height = image.height;
    pixels.bgra.assign(image.rgba.size(), 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* s = &image.rgba[(size_t(y) * image.width + x) * 4];
            uint8_t* d = &pixels.bgra[(size_t(image.height - 1 - y) * image.width + x) * 4];
            const int a = s[3];
            if (a == 0) continue;
            d[0] = static_cast<uint8_t>(s[2] * a / 255);
            d[1] = static_cast<uint8_t>(s[1] * a / 255);
            d[2] = static_cast<uint8_t>(s[0] * a / 255);
            d[3] = static_cast<uint8_t>(a);
        }
    return pixels;
}

}  // namespace quorallion::codecs::testing
