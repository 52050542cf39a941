#include "png_write.h"

#include <algorithm>
#include <cstring>

#include "png_crc.h"
#include "png_filter.h"

namespace quorallion::codecs {
namespace {

enum class Built { Ok, NotThisRoad, Fault };

// Pixel rows ready for filtering, top row first, and the chunks that describe them.
struct Analysis {
    int colorType = 2;
    size_t rowBytes = 0;
    size_t bytesPerPixel = 3;
    std::vector<uint8_t> rows;
    std::vector<uint8_t> palette;       // R, G, B per entry
    std::vector<uint8_t> transparency;  // palette alphas of the leading entries
    int32_t key = -1;                   // grey level or v + v·256 + v·65536; -1 none
};

inline int32_t PixelValue(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24));
}

// c × 255 \ a for 0 < a < 255; False when c > a (no premultiplied pixel has that).
inline bool Unpremultiply(int c, int a, uint8_t& out) {
    if (c > a) return false;
    out = static_cast<uint8_t>(c * 255 / a);
    return true;
}

// One source row (image row y from the top) of the bottom-up buffer.
inline const uint8_t* SourceRow(const PngPixelView& image, int y) {
    return image.bgra + static_cast<size_t>(image.height - 1 - y) * static_cast<size_t>(image.width) * 4;
}

Built BuildPaletteImage(const PngPixelView& image, int32_t alphaKind, Analysis& a) {
    // 1. Distinct values, sorted as signed numbers (alpha 128 and above first), bottom row first.
    std::vector<int32_t> values;
    const size_t pixelCount = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    int32_t last = 0;
    bool haveLast = false;
    for (size_t i = 0; i < pixelCount; ++i) {
        const int32_t v = PixelValue(image.bgra + i * 4);
        if (haveLast && v == last) continue;
        last = v;
        haveLast = true;
        auto at = std::lower_bound(values.begin(), values.end(), v);
        if (at != values.end() && *at == v) continue;
        if (values.size() == 256) return Built::NotThisRoad;
        values.insert(at, v);
    }
    const int count = static_cast<int>(values.size());
    auto alphaOf = [&](int32_t v) { return alphaKind == 0 ? 255 : static_cast<int>((static_cast<uint32_t>(v) >> 24) & 0xFF); };
    auto channel = [](int32_t v, int shift) { return static_cast<int>((static_cast<uint32_t>(v) >> shift) & 0xFF); };

    // 2-3. Entries below 255 alpha; the key names the only one, or 0 for several.
    int nonOpaque = 0, onlyNonOpaque = -1;
    for (int i = 0; i < count; ++i)
        if (alphaOf(values[i]) < 255) {
            ++nonOpaque;
            onlyNonOpaque = i;
        }
    a.key = nonOpaque == 0 ? -1 : nonOpaque == 1 ? onlyNonOpaque + 1 : 0;
    a.colorType = 3;

    // 4. Grey when every entry is grey and the one non-opaque entry (if any) is fully transparent.
    if (a.key != 0 && (a.key == -1 || alphaOf(values[onlyNonOpaque]) == 0)) {
        bool grey = true;
        for (int32_t v : values) grey = grey && channel(v, 0) == channel(v, 8) && channel(v, 0) == channel(v, 16);
        if (grey) {
            a.colorType = 0;
            if (alphaKind != 0) {
                bool marked[256] = {};
                for (int32_t v : values) {
                    const int level = channel(v, 0);
                    if (level != 0 || alphaOf(v) != 0) marked[level] = true;
                }
                if (marked[0]) {
                    for (int level = 1; level <= count - 1; ++level)
                        if (!marked[level]) {
                            a.key = level;
                            break;
                        }
                } else {
                    a.key = 0;
                }
            }
        }
    }

    a.bytesPerPixel = 1;
    a.rowBytes = static_cast<size_t>(image.width);
    a.rows.resize(a.rowBytes * static_cast<size_t>(image.height));
    if (a.colorType == 0) {
        // 5. Grey: the blue byte, or the key where alpha is 0.
        for (int y = 0; y < image.height; ++y) {
            const uint8_t* src = SourceRow(image, y);
            uint8_t* dst = a.rows.data() + static_cast<size_t>(y) * a.rowBytes;
            for (int x = 0; x < image.width; ++x) {
                const int alpha = alphaKind == 0 ? 255 : src[x * 4 + 3];
                if (alpha != 0) {
                    dst[x] = src[x * 4];
                } else {
                    if (a.key < 0 || a.key > 255) return Built::NotThisRoad;
                    dst[x] = static_cast<uint8_t>(a.key);
                }
            }
        }
        return Built::Ok;
    }

    // 6. New order: with transparency the non-opaque entries first, the opaque ones from the end.
    std::vector<int> newIndex(count);
    if (a.key == -1) {
        for (int i = 0; i < count; ++i) newIndex[i] = i;
    } else {
        int front = 0, back = count - 1;
        for (int i = 0; i < count; ++i) newIndex[i] = alphaOf(values[i]) < 255 ? front++ : back--;
    }
    // 7-8. Palette bytes (un-premultiplied) and the leading alphas.
    a.palette.assign(static_cast<size_t>(count) * 3, 0);
    std::vector<int> alphaAt(count, 255);
    for (int i = 0; i < count; ++i) {
        const int alpha = alphaOf(values[i]);
        uint8_t* entry = &a.palette[static_cast<size_t>(newIndex[i]) * 3];
        alphaAt[newIndex[i]] = alpha;
        const int red = channel(values[i], 16), green = channel(values[i], 8), blue = channel(values[i], 0);
        if (alpha == 255) {
            entry[0] = static_cast<uint8_t>(red), entry[1] = static_cast<uint8_t>(green), entry[2] = static_cast<uint8_t>(blue);
        } else if (alpha != 0) {
            if (!Unpremultiply(red, alpha, entry[0]) || !Unpremultiply(green, alpha, entry[1]) ||
                !Unpremultiply(blue, alpha, entry[2]))
                return Built::Fault;
        }
    }
    if (a.key != -1)
        for (int i = 0; i < count && alphaAt[i] < 255; ++i) a.transparency.push_back(static_cast<uint8_t>(alphaAt[i]));
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* src = SourceRow(image, y);
        uint8_t* dst = a.rows.data() + static_cast<size_t>(y) * a.rowBytes;
        int32_t lastValue = 0;
        uint8_t lastIndex = 0;
        bool cached = false;
        for (int x = 0; x < image.width; ++x) {
            const int32_t v = PixelValue(src + x * 4);
            if (!cached || v != lastValue) {
                const auto at = std::lower_bound(values.begin(), values.end(), v);
                lastIndex = static_cast<uint8_t>(newIndex[at - values.begin()]);
                lastValue = v;
                cached = true;
            }
            dst[x] = lastIndex;
        }
    }
    return Built::Ok;
}

Built BuildTrueColorImage(const PngPixelView& image, int32_t alphaKind, Analysis& a) {
    a.key = -1;
    a.colorType = alphaKind == 0 ? 2 : 6;
    const size_t pixelCount = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (alphaKind != 0) {
        bool partial = false;
        for (int c = 0; c < 3 && !partial && a.key == -1; ++c) {
            bool marked[256] = {};
            int markedCount = 0;
            for (size_t i = 0; i < pixelCount && markedCount < 256; ++i) {
                const uint8_t* p = image.bgra + i * 4;
                if (p[3] == 255) {
                    if (!marked[p[c]]) {
                        marked[p[c]] = true;
                        ++markedCount;
                    }
                } else if (p[3] != 0) {
                    partial = true;
                    break;
                }
            }
            if (partial || markedCount == 256) continue;
            for (int v = 0; v < 256; ++v)
                if (!marked[v]) {
                    a.key = v | (v << 8) | (v << 16);
                    a.colorType = 2;
                    break;
                }
        }
    }
    a.bytesPerPixel = a.colorType == 2 ? 3 : 4;
    a.rowBytes = static_cast<size_t>(image.width) * a.bytesPerPixel;
    a.rows.assign(a.rowBytes * static_cast<size_t>(image.height), 0);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* src = SourceRow(image, y);
        uint8_t* dst = a.rows.data() + static_cast<size_t>(y) * a.rowBytes;
        for (int x = 0; x < image.width; ++x, src += 4, dst += a.bytesPerPixel) {
            const int alpha = alphaKind == 0 ? 255 : src[3];
            if (alpha == 255) {
                dst[0] = src[2], dst[1] = src[1], dst[2] = src[0];
                if (a.colorType == 6) dst[3] = 255;
            } else if (alpha == 0) {
                if (a.colorType == 2) dst[0] = dst[1] = dst[2] = static_cast<uint8_t>(a.key & 0xFF);
            } else {
                if (!Unpremultiply(src[2], alpha, dst[0]) || !Unpremultiply(src[1], alpha, dst[1]) ||
                    !Unpremultiply(src[0], alpha, dst[2]))
                    return Built::Fault;
                dst[3] = static_cast<uint8_t>(alpha);
            }
        }
    }
    return Built::Ok;
}

class ChunkWriter {
public:
    explicit ChunkWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Chunk(const char* type, const uint8_t* data, size_t size) {
        Put32(static_cast<uint32_t>(size));
        const size_t typeAt = out_.size();
        out_.insert(out_.end(), type, type + 4);
        if (size) out_.insert(out_.end(), data, data + size);
        Put32(PngCrc32(out_.data() + typeAt, size + 4));
    }
    void Chunk(const char* type, const std::vector<uint8_t>& data) { Chunk(type, data.data(), data.size()); }
    void Put32(uint32_t v) {
        const uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                              static_cast<uint8_t>(v)};
        out_.insert(out_.end(), b, b + 4);
    }

private:
    std::vector<uint8_t>& out_;
};

bool Deflate(const ZlibFunctions& zlib, const std::vector<uint8_t>& source, std::vector<uint8_t>& stream) {
    const uint64_t capacity = ZlibCompressBound(source.size());
    if (capacity > UINT32_MAX) return false;
    stream.resize(static_cast<size_t>(capacity));
    uint32_t length = static_cast<uint32_t>(capacity);
    const int code = zlib.compress2 ? zlib.compress2(stream.data(), length, source.data(), static_cast<uint32_t>(source.size()), 9)
                                    : zlib.compress(stream.data(), length, source.data(), static_cast<uint32_t>(source.size()));
    if (code != 0) return false;
    stream.resize(length);
    return true;
}

std::vector<uint8_t> TextData(const PngWriteOptions::Text& t) {
    std::vector<uint8_t> data(t.keyword.begin(), t.keyword.end());
    data.push_back(0);
    data.insert(data.end(), t.text.begin(), t.text.end());
    return data;
}

}  // namespace

CodecResult EncodePng(const PixelBuffer& image, int32_t alphaKind, const PngWriteOptions& options,
                      const ZlibFunctions& zlib, std::vector<uint8_t>& out, PngWriteReport* report) {
    if (image.bgra.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4) {
        out.clear();
        return CodecResult::Internal;
    }
    return EncodePng(PngPixelView{image.bgra.data(), image.width, image.height}, alphaKind, options, zlib, out, report);
}

CodecResult EncodePng(const PngPixelView& image, int32_t alphaKind, const PngWriteOptions& options,
                      const ZlibFunctions& zlib, std::vector<uint8_t>& out, PngWriteReport* report) {
    out.clear();
    if (!zlib.compress2 && !zlib.compress) return CodecResult::Internal;
    if (!image.bgra || image.width < 1 || image.height < 1) return CodecResult::Internal;

    Analysis a;
    Built built = BuildPaletteImage(image, alphaKind, a);
    if (built == Built::NotThisRoad) {
        a = Analysis();
        built = BuildTrueColorImage(image, alphaKind, a);
    }
    if (built != Built::Ok) return CodecResult::Corrupt;
    if (report) {
        report->colorType = a.colorType;
        report->paletteEntries = static_cast<int>(a.palette.size() / 3);
    }

    ChunkWriter w(out);
    static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    out.insert(out.end(), kSignature, kSignature + 8);
    std::vector<uint8_t> header;
    for (uint32_t v : {static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height)})
        for (int s = 24; s >= 0; s -= 8) header.push_back(static_cast<uint8_t>(v >> s));
    header.insert(header.end(), {8, static_cast<uint8_t>(a.colorType), 0, 0, 0});
    w.Chunk("IHDR", header);
    for (const auto& t : options.earlyTexts) w.Chunk("tEXt", TextData(t));

    const uint8_t red = static_cast<uint8_t>(options.background), green = static_cast<uint8_t>(options.background >> 8),
                  blue = static_cast<uint8_t>(options.background >> 16);
    bool writeBackground = options.hasBackground;
    int backgroundIndex = -1;
    if (a.colorType == 3) {
        if (options.hasBackground) {
            const size_t entries = a.palette.size() / 3;
            for (size_t i = 0; i < entries && backgroundIndex < 0; ++i)
                if (a.palette[i * 3] == red && a.palette[i * 3 + 1] == green && a.palette[i * 3 + 2] == blue)
                    backgroundIndex = static_cast<int>(i);
            if (backgroundIndex < 0 && entries < 256) {
                a.palette.insert(a.palette.end(), {red, green, blue});
                backgroundIndex = static_cast<int>(entries);
            }
            if (backgroundIndex < 0) writeBackground = false;  // a full palette has no room for it
        }
        w.Chunk("PLTE", a.palette);
    }
    if (writeBackground) {
        if (a.colorType == 3) {
            w.Chunk("bKGD", {static_cast<uint8_t>(backgroundIndex)});
        } else if (a.colorType == 0) {
            w.Chunk("bKGD", {0, red});
        } else {
            w.Chunk("bKGD", {0, red, 0, green, 0, blue});
        }
    }
    if (a.key != -1) {
        if (a.colorType == 3) {
            w.Chunk("tRNS", a.transparency);
        } else if (a.colorType == 0) {
            w.Chunk("tRNS", {0, static_cast<uint8_t>(a.key)});
        } else if (a.colorType == 2) {
            w.Chunk("tRNS", {0, static_cast<uint8_t>(a.key), 0, static_cast<uint8_t>(a.key >> 8), 0,
                             static_cast<uint8_t>(a.key >> 16)});
        }
    }

    const std::vector<uint8_t> filtered = PngFilterRows(a.rows.data(), a.rowBytes, static_cast<size_t>(image.height),
                                                        a.bytesPerPixel, options.filterMode, a.colorType);
    std::vector<uint8_t> stream;
    if (filtered.size() > UINT32_MAX || !Deflate(zlib, filtered, stream)) {
        out.clear();
        return CodecResult::Internal;
    }
    w.Chunk("IDAT", stream);
    if (options.hasTime) w.Chunk("tIME", options.time, 7);
    for (const auto& t : options.lateTexts) w.Chunk("tEXt", TextData(t));
    for (const auto& t : options.customTexts) {
        std::vector<uint8_t> compressed;
        if (t.text.size() > 1024 && Deflate(zlib, std::vector<uint8_t>(t.text.begin(), t.text.end()), compressed)) {
            std::vector<uint8_t> data(t.keyword.begin(), t.keyword.end());
            data.push_back(0);
            data.push_back(0);
            data.insert(data.end(), compressed.begin(), compressed.end());
            w.Chunk("zTXt", data);
        } else {
            w.Chunk("tEXt", TextData(t));
        }
    }
    w.Chunk("IEND", nullptr, 0);
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs
