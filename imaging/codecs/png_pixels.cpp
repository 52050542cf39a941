#include "png_pixels.h"

#include <cstdlib>

namespace quorallion::codecs {
namespace {

struct Pass {
    int rowStart, columnStart, rowStep, columnStep;
};
// The seven Adam7 passes, then the whole image as one pass.
constexpr Pass kPasses[8] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                             {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}, {0, 0, 1, 1}};

int BitsPerPixel(const PngImageInfo& info) {
    switch (info.colorType) {
    case 6: return info.bitDepth * 4;
    case 4: return info.bitDepth * 2;
    case 2: return info.bitDepth * 3;
    default: return info.bitDepth;
    }
}

int64_t RowBytes(int bits, int64_t width) { return (bits * width + 7) / 8; }

int64_t PassCount(int64_t size, int start, int step) { return size / step + (size % step > start ? 1 : 0); }

int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Undoes one row's filter in place; `prev` is the row above in the same pass (nullptr on its
// first row). False for a filter type above 4.
bool Unfilter(uint8_t type, uint8_t* row, const uint8_t* prev, size_t count, size_t step) {
    switch (type) {
    case 0:
        return true;
    case 1:
        for (size_t i = step; i < count; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
        return true;
    case 2:
        if (prev)
            for (size_t i = 0; i < count; ++i) row[i] = static_cast<uint8_t>(row[i] + prev[i]);
        return true;
    case 3:
        if (!prev) {
            for (size_t i = step; i < count; ++i) row[i] = static_cast<uint8_t>(row[i] + (row[i - step] >> 1));
        } else {
            for (size_t i = 0; i < count && i < step; ++i) row[i] = static_cast<uint8_t>(row[i] + (prev[i] >> 1));
            for (size_t i = step; i < count; ++i)
                row[i] = static_cast<uint8_t>(row[i] + ((row[i - step] + prev[i]) >> 1));
        }
        return true;
    case 4:
        if (!prev) {
            for (size_t i = step; i < count; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
        } else {
            for (size_t i = 0; i < count && i < step; ++i) row[i] = static_cast<uint8_t>(row[i] + prev[i]);
            for (size_t i = step; i < count; ++i)
                row[i] = static_cast<uint8_t>(row[i] + PaethPredictor(row[i - step], prev[i], prev[i - step]));
        }
        return true;
    default:
        return false;
    }
}

inline void Put(uint8_t* pixel, int red, int green, int blue, int alpha) {
    if (alpha == 0) return;  // stays 0, 0, 0, 0
    if (alpha != 255) {
        red = red * alpha / 255;
        green = green * alpha / 255;
        blue = blue * alpha / 255;
    }
    pixel[0] = static_cast<uint8_t>(blue);
    pixel[1] = static_cast<uint8_t>(green);
    pixel[2] = static_cast<uint8_t>(red);
    pixel[3] = static_cast<uint8_t>(alpha);
}

// Converts `rows` stored rows of one pass (filter bytes included, `stride` apart).
bool ConvertPass(const PngImageInfo& info, const uint8_t* data, const Pass& pass, int64_t rows, size_t stride,
                 PixelBuffer& pixels) {
    const int depth = info.bitDepth;
    const int type = info.colorType;
    const int64_t width = info.width;
    const size_t paletteEntries = info.palette.size() / 3;
    const bool keyed = info.transparentKey != -1;
    const int sampleMask = (1 << (depth < 8 ? depth : 8)) - 1;
    const size_t step = static_cast<size_t>(BitsPerPixel(info) / 8);
    for (int64_t r = 0; r < rows; ++r) {
        const int64_t y = pass.rowStart + r * pass.rowStep;
        uint8_t* out = pixels.bgra.data() + static_cast<size_t>(info.height - 1 - y) * static_cast<size_t>(width) * 4;
        const uint8_t* in = data + static_cast<size_t>(r) * stride + 1;
        int shift = 8 - depth;
        for (int64_t x = pass.columnStart; x < width; x += pass.columnStep) {
            uint8_t* pixel = out + x * 4;
            if (depth == 16) {
                switch (type) {
                case 6: Put(pixel, in[0], in[2], in[4], in[6]); break;
                case 4: Put(pixel, in[0], in[0], in[0], in[2]); break;
                case 2: {
                    const bool clear = keyed && ((in[0] << 8) | in[1]) == info.key16[0] &&
                                       ((in[2] << 8) | in[3]) == info.key16[1] && ((in[4] << 8) | in[5]) == info.key16[2];
                    Put(pixel, in[0], in[2], in[4], clear ? 0 : 255);
                    break;
                }
                default: {
                    const bool clear = keyed && ((in[0] << 8) | in[1]) == info.key16[0];
                    Put(pixel, in[0], in[0], in[0], clear ? 0 : 255);
                    break;
                }
                }
                in += step;
            } else if (type == 6 || type == 4 || type == 2) {
                if (type == 6) {
                    Put(pixel, in[0], in[1], in[2], in[3]);
                } else if (type == 4) {
                    Put(pixel, in[0], in[0], in[0], in[1]);
                } else {
                    const int key = info.transparentKey;
                    const bool clear = keyed && in[0] == ((key >> 16) & 0xFF) && in[1] == ((key >> 8) & 0xFF) &&
                                       in[2] == (key & 0xFF);
                    Put(pixel, in[0], in[1], in[2], clear ? 0 : 255);
                }
                in += step;
            } else {
                const int sample = (*in >> shift) & sampleMask;
                if (depth == 8) {
                    ++in;
                } else if (shift == 0) {
                    ++in;
                    shift = 8 - depth;
                } else {
                    shift -= depth;
                }
                if (type == 3) {
                    if (static_cast<size_t>(sample) >= paletteEntries) return false;
                    const uint8_t* entry = info.palette.data() + sample * 3;
                    int alpha = 255;
                    if (keyed && static_cast<size_t>(sample) < info.transparency.size()) alpha = info.transparency[sample];
                    Put(pixel, entry[0], entry[1], entry[2], alpha);
                } else if (!(keyed && sample == info.transparentKey)) {
                    // The grey ramp stands in the palette, unless a forged file had it replaced.
                    if (static_cast<size_t>(sample) >= paletteEntries) return false;
                    const uint8_t grey = info.palette[static_cast<size_t>(sample) * 3];
                    Put(pixel, grey, grey, grey, 255);
                }
            }
        }
    }
    return true;
}

}  // namespace

int64_t PngExpectedDataSize(const PngImageInfo& info) {
    const int bits = BitsPerPixel(info);
    if (!info.interlace) return int64_t{info.height} * (RowBytes(bits, info.width) + 1);
    int64_t total = 0;
    for (int p = 0; p < 7; ++p) {
        const Pass& pass = kPasses[p];
        const int64_t columns = PassCount(info.width, pass.columnStart, pass.columnStep);
        const int64_t rows = PassCount(info.height, pass.rowStart, pass.rowStep);
        if (columns && rows) total += rows * (RowBytes(bits, columns) + 1);
    }
    return total;
}

void PngPrepareDefaultPalette(PngImageInfo& info) {
    if ((info.colorType != 0 && info.colorType != 3) || info.paletteAccepted) return;
    info.palette.assign(768, 0);
    if (info.colorType == 3) {
        if (info.bitDepth == 1) info.palette[3] = info.palette[4] = info.palette[5] = 255;
        return;
    }
    if (info.bitDepth > 8) return;
    const int n = (1 << info.bitDepth) - 1;
    const int step = 255 / n;
    for (int i = 1; i <= n; ++i) info.palette[i * 3] = info.palette[i * 3 + 1] = info.palette[i * 3 + 2] = static_cast<uint8_t>(i * step);
}

bool PngDecodePixels(const PngImageInfo& info, std::vector<uint8_t>& data, PixelBuffer& pixels) {
    const int bits = BitsPerPixel(info);
    const size_t step = static_cast<size_t>(bits >= 8 ? bits / 8 : 1);
    if (static_cast<int64_t>(data.size()) < PngExpectedDataSize(info)) return false;
    pixels.width = info.width;
    pixels.height = info.height;
    pixels.bgra.assign(static_cast<size_t>(info.width) * static_cast<size_t>(info.height) * 4, 0);

    if (!info.interlace) {
        const size_t count = static_cast<size_t>(RowBytes(bits, info.width));
        const size_t stride = count + 1;
        for (int64_t r = 0; r < info.height; ++r) {
            uint8_t* row = data.data() + static_cast<size_t>(r) * stride;
            Unfilter(row[0], row + 1, r ? row + 1 - stride : nullptr, count, step);  // a bad type leaves the row
        }
        return ConvertPass(info, data.data(), kPasses[7], info.height, stride, pixels);
    }
    size_t offset = 0;
    for (int p = 0; p < 7; ++p) {
        const Pass& pass = kPasses[p];
        const int64_t columns = PassCount(info.width, pass.columnStart, pass.columnStep);
        const int64_t rows = PassCount(info.height, pass.rowStart, pass.rowStep);
        if (!columns || !rows) continue;
        const size_t count = static_cast<size_t>(RowBytes(bits, columns));
        const size_t stride = count + 1;
        uint8_t* base = data.data() + offset;
        for (int64_t r = 0; r < rows; ++r) {
            uint8_t* row = base + static_cast<size_t>(r) * stride;
            if (!Unfilter(row[0], row + 1, r ? row + 1 - stride : nullptr, count, step)) return false;
        }
        if (!ConvertPass(info, base, pass, rows, stride, pixels)) return false;
        offset += static_cast<size_t>(rows) * stride;
    }
    return true;
}

}  // namespace quorallion::codecs
