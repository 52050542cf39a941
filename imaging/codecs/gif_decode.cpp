#include "gif_decode.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "gif_lzw.h"

namespace quorallion::codecs {

namespace {

// Moves `offset` past a chain of sub-blocks and its 0 terminator; false when it runs off the end.
bool SkipSubBlocks(ByteSpan bytes, int64_t& offset) {
    for (;;) {
        uint8_t size = 0;
        if (!bytes.U8(offset, size)) return false;
        offset += 1 + size;
        if (size == 0) return true;
    }
}

bool GatherSubBlocks(ByteSpan bytes, int64_t offset, std::vector<uint8_t>& data) {
    for (;;) {
        uint8_t size = 0;
        if (!bytes.U8(offset, size)) return false;
        if (size == 0) return true;
        if (!bytes.Has(offset + 1, size)) return false;
        data.insert(data.end(), bytes.data() + offset + 1, bytes.data() + offset + 1 + size);
        offset += 1 + size;
    }
}

}  // namespace

bool HasGifSignature(ByteSpan bytes) {
    if (!bytes.Has(0, 6)) return false;
    char text[7] = {};
    for (int i = 0; i < 6; ++i) text[i] = static_cast<char>(std::tolower(bytes.data()[i]));
    return std::string_view(text) == "gif89a" || std::string_view(text) == "gif87a";
}

CodecResult DecodeGifFirstImage(ByteSpan bytes, GifImage& image) {
    image = GifImage{};
    if (!HasGifSignature(bytes)) return CodecResult::NotThisFormat;

    uint8_t screenFlags = 0;
    if (!bytes.U8(10, screenFlags)) return CodecResult::Corrupt;
    int colorCount = 0;
    int64_t tableOffset = -1;
    int64_t offset = 13;
    if (screenFlags & 0x80) {
        colorCount = 1 << ((screenFlags & 7) + 1);
        tableOffset = 13;
        offset = 13 + 3 * int64_t{colorCount};
    }

    int transparentIndex = -1;
    int64_t descriptor = -1;
    while (descriptor < 0) {
        uint8_t block = 0;
        if (!bytes.U8(offset, block)) return CodecResult::Corrupt;
        if (block == 0x00) {
            ++offset;
        } else if (block == 0x21) {
            uint8_t label = 0;
            if (!bytes.U8(offset + 1, label)) return CodecResult::Corrupt;
            if (label == 0xF9) {
                uint8_t flags = 0, index = 0;
                if (!bytes.U8(offset + 3, flags) || !bytes.U8(offset + 6, index)) return CodecResult::Corrupt;
                transparentIndex = (flags & 1) ? index : -1;
                offset += 8;
            } else {
                offset += 2;
                if (!SkipSubBlocks(bytes, offset)) return CodecResult::Corrupt;
            }
        } else if (block == 0x2C) {
            descriptor = offset;
        } else {
            return CodecResult::Corrupt;  // the trailer or garbage before any image
        }
    }

    uint16_t width = 0, height = 0;
    uint8_t imageFlags = 0;
    if (!bytes.U16(descriptor + 5, width) || !bytes.U16(descriptor + 7, height) ||
        !bytes.U8(descriptor + 9, imageFlags))
        return CodecResult::Corrupt;
    int64_t dataOffset = descriptor + 10;
    if (imageFlags & 0x80) {
        colorCount = 1 << ((imageFlags & 7) + 1);
        tableOffset = dataOffset;
        dataOffset += 3 * int64_t{colorCount};
    }
    if (colorCount == 0 || !bytes.Has(tableOffset, 3 * int64_t{colorCount})) return CodecResult::Corrupt;
    if (width == 0 || height == 0) return CodecResult::Corrupt;
    if (int64_t{width} * height > kMaxPixels) return CodecResult::TooLarge;

    uint8_t minCodeSize = 0;
    if (!bytes.U8(dataOffset, minCodeSize)) return CodecResult::Corrupt;
    std::vector<uint8_t> codes;
    if (!GatherSubBlocks(bytes, dataOffset + 1, codes)) return CodecResult::Corrupt;

    const size_t pixelCount = size_t{width} * height;
    std::vector<uint8_t> decoded;
    CodecResult result = GifLzwDecode(minCodeSize, ByteSpan(codes.data(), codes.size()), pixelCount, decoded);
    if (result != CodecResult::Ok) return result;
    for (uint8_t index : decoded)
        if (index >= colorCount) return CodecResult::Corrupt;

    image.width = width;
    image.height = height;
    image.colorCount = colorCount;
    image.transparentIndex = transparentIndex;
    image.palette.assign(bytes.data() + tableOffset, bytes.data() + tableOffset + 3 * colorCount);
    if (!(imageFlags & 0x40)) {
        image.indices = std::move(decoded);
        return CodecResult::Ok;
    }
    // Interlaced: rows arrive in four passes; put each where it belongs.
    image.indices.assign(pixelCount, 0);
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    size_t sourceRow = 0;
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass], ++sourceRow) {
            std::copy_n(decoded.begin() + sourceRow * width, width, image.indices.begin() + size_t(y) * width);
        }
    }
    return CodecResult::Ok;
}

void GifToPixels(const GifImage& image, PixelBuffer& pixels) {
    pixels.width = image.width;
    pixels.height = image.height;
    pixels.bgra.assign(size_t(image.width) * image.height * 4, 0);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* source = image.indices.data() + size_t(y) * image.width;
        uint8_t* target = pixels.bgra.data() + size_t(image.height - 1 - y) * image.width * 4;
        for (int x = 0; x < image.width; ++x, target += 4) {
            const int index = source[x];
            if (index == image.transparentIndex) continue;
            const uint8_t* rgb = image.palette.data() + 3 * index;
            target[0] = rgb[2];
            target[1] = rgb[1];
            target[2] = rgb[0];
            target[3] = 255;
        }
    }
}

}  // namespace quorallion::codecs
