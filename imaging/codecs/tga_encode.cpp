#include "tga_encode.h"

#include <algorithm>
#include <cstring>

#include "bas32bppDIBParsers.h"

namespace quorallion::codecs {
namespace {

constexpr int32_t kExtensionSize = 495;
constexpr char kSoftwareId[] = "Orvalis c32bppDIB Suite";
constexpr char kSignature[] = "TRUEVISION-XFILE.";

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline int32_t PixelValue(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

// The distinct pixel values in ascending (signed) order, at most 256; false past that. grey: every
// colour has B = G = R. indices: each pixel's position in the list (not needed when grey).
bool BuildPalette(const imaging::PixelView& pixels, std::vector<int32_t>& palette, bool& grey,
                  std::vector<uint8_t>& indices) {
    const size_t count = size_t(pixels.width) * pixels.height;
    palette.clear();
    grey = true;
    int32_t previous = 0;
    bool havePrevious = false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = pixels.bits + i * 4;
        const int32_t value = PixelValue(p);
        if (havePrevious && value == previous) continue;
        previous = value;
        havePrevious = true;
        const auto place = std::lower_bound(palette.begin(), palette.end(), value);
        if (place != palette.end() && *place == value) continue;
        if (palette.size() == 256) return false;
        palette.insert(place, value);
        if (p[0] != p[1] || p[0] != p[2]) grey = false;
    }
    indices.resize(count);
    if (grey) {
        for (size_t i = 0; i < count; ++i) indices[i] = pixels.bits[i * 4];
        return true;
    }
    uint8_t previousIndex = 0;
    havePrevious = false;
    for (size_t i = 0; i < count; ++i) {
        const int32_t value = PixelValue(pixels.bits + i * 4);
        if (!havePrevious || value != previous) {
            previousIndex = static_cast<uint8_t>(std::lower_bound(palette.begin(), palette.end(), value) - palette.begin());
            previous = value;
            havePrevious = true;
        }
        indices[i] = previousIndex;
    }
    return true;
}

// 24-bit B, G, R (alphaKind 0) or 32-bit straight B, G, R, A.
CodecResult GetRawPixels(const imaging::PixelView& pixels, int32_t alphaKind, std::vector<uint8_t>& out) {
    const size_t count = size_t(pixels.width) * pixels.height;
    const int bytes = alphaKind == 0 ? 3 : 4;
    out.resize(count * bytes);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = pixels.bits + i * 4;
        uint8_t* o = &out[i * bytes];
        if (bytes == 3) {
            o[0] = p[0];
            o[1] = p[1];
            o[2] = p[2];
            continue;
        }
        const uint32_t a = p[3];
        if (a == 255) {
            std::memcpy(o, p, 4);
        } else if (a == 0) {
            std::memset(o, 0, 4);
        } else {
            for (int c = 0; c < 3; ++c) {
                if (p[c] > a) return CodecResult::Corrupt;  // not premultiplied: no straight colour to give
                o[c] = static_cast<uint8_t>(p[c] * 255u / a);
            }
            o[3] = static_cast<uint8_t>(a);
        }
    }
    return CodecResult::Ok;
}

std::vector<uint8_t> BuildExtensionArea(const TgaTimeStamp& now) {
    std::vector<uint8_t> area(kExtensionSize, 0);
    Put16(area, 0, kExtensionSize);
    const uint16_t stamp[6] = {now.month, now.day, now.year, now.hour, now.minute, now.second};
    for (int i = 0; i < 6; ++i) Put16(area, 367 + 2 * i, stamp[i]);
    std::memcpy(&area[426], kSoftwareId, sizeof kSoftwareId - 1);
    Put16(area, 467, 3);
    area[469] = 1;
    std::memset(&area[470], 0xFF, 4);
    area[494] = 4;  // premultiplied alpha
    return area;
}

}  // namespace

std::vector<uint8_t> EncodeTgaRLE(const std::vector<uint8_t>& pixels, int pixelBytes, int32_t width, int32_t height) {
    std::vector<uint8_t> out;
    out.reserve(pixels.size());
    const size_t rowBytes = size_t(width) * pixelBytes;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels.data() + size_t(y) * rowBytes;
        auto same = [&](int32_t a, int32_t b) {
            return std::memcmp(row + size_t(a) * pixelBytes, row + size_t(b) * pixelBytes, pixelBytes) == 0;
        };
        int32_t x = 0;
        while (x < width) {
            int32_t end = x + 1;
            while (end < width && end - x < 128 && same(end, x)) ++end;
            if (end - x >= 2) {
                out.push_back(static_cast<uint8_t>(128 + (end - x) - 1));
                out.insert(out.end(), row + size_t(x) * pixelBytes, row + size_t(x + 1) * pixelBytes);
                x = end;
                continue;
            }
            const int32_t start = x;
            while (x < width && x - start < 128 && !(x + 1 < width && same(x, x + 1))) ++x;
            out.push_back(static_cast<uint8_t>(x - start - 1));
            out.insert(out.end(), row + size_t(start) * pixelBytes, row + size_t(x) * pixelBytes);
        }
    }
    return out;
}

CodecResult EncodeTga(const imaging::PixelView& pixels, const TgaWriteOptions& options, const TgaTimeStamp& now,
                      std::vector<uint8_t>& out) {
    if (pixels.empty()) return CodecResult::Corrupt;
    if (pixels.width > 65535 || pixels.height > 65535) return CodecResult::TooLarge;
    if (int64_t{pixels.width} * pixels.height > kMaxPixels) return CodecResult::TooLarge;
    const bool useRLE = options.useRLE && pixels.width >= 3;

    int32_t alphaKind = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(pixels, false, alphaKind, alphaForm);

    uint8_t imageType = 2, depth = 0, colorMapType = 0, entrySize = 0;
    std::vector<uint8_t> colorMap, data;
    bool formChosen = false;
    if (options.allowPalette && alphaKind == 0) {
        std::vector<int32_t> palette;
        bool grey = false;
        if (BuildPalette(pixels, palette, grey, data)) {
            formChosen = true;
            depth = 8;
            imageType = grey ? 3 : 1;
            if (!grey) {
                colorMapType = 1;
                entrySize = 24;
                for (int32_t value : palette) {
                    colorMap.push_back(static_cast<uint8_t>(value));
                    colorMap.push_back(static_cast<uint8_t>(value >> 8));
                    colorMap.push_back(static_cast<uint8_t>(value >> 16));
                }
            }
        }
    }
    const bool premultipliedForm = !formChosen && options.savePremultiplied && alphaKind > 0;
    if (!formChosen) {
        if (premultipliedForm) {
            depth = 32;
            data.assign(pixels.bits, pixels.bits + size_t(pixels.width) * pixels.height * 4);
        } else {
            depth = alphaKind == 0 ? 24 : 32;
            if (CodecResult r = GetRawPixels(pixels, alphaKind, data); r != CodecResult::Ok) return r;
        }
    }
    if (useRLE) {
        std::vector<uint8_t> encoded = EncodeTgaRLE(data, depth / 8, pixels.width, pixels.height);
        if (encoded.size() < data.size()) {
            data = std::move(encoded);
            imageType = static_cast<uint8_t>(imageType + 8);
        }
    }
    std::vector<uint8_t> extension;
    if (premultipliedForm) extension = BuildExtensionArea(now);

    std::vector<uint8_t> file(18, 0);
    file[1] = colorMapType;
    file[2] = imageType;
    Put16(file, 5, colorMapType ? static_cast<uint32_t>(colorMap.size() / 3) : 0);
    file[7] = entrySize;
    Put16(file, 12, static_cast<uint32_t>(pixels.width));
    Put16(file, 14, static_cast<uint32_t>(pixels.height));
    file[16] = depth;
    file[17] = alphaKind != 0 ? 8 : 0;
    file.insert(file.end(), colorMap.begin(), colorMap.end());
    file.insert(file.end(), data.begin(), data.end());
    const size_t extensionOffset = extension.empty() ? 0 : file.size();
    file.insert(file.end(), extension.begin(), extension.end());
    const size_t footer = file.size();
    file.resize(footer + 26, 0);
    for (int i = 0; i < 4; ++i) file[footer + i] = static_cast<uint8_t>(extensionOffset >> (8 * i));
    std::memcpy(&file[footer + 8], kSignature, 17);
    out = std::move(file);
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs
