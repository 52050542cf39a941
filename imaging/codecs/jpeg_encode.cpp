#include "jpeg_encode.h"

#include <algorithm>
#include <cmath>

namespace quorallion::codecs::jpeg {
namespace {

// Colour conversion per component: red, green, blue weights and offset. The level shift (-128) and
// the chrominance offset (+128) cancel for Cb and Cr.
struct Conversion {
    float red, green, blue, offset;
};
constexpr Conversion kConversions[3] = {
    {0.299f, 0.587f, 0.114f, -128.0f},
    {-0.16874f, -0.33126f, 0.5f, 0.0f},
    {0.5f, -0.41869f, -0.08131f, 0.0f},
};

void PutByte(std::vector<uint8_t>& out, uint32_t value) { out.push_back(static_cast<uint8_t>(value)); }
void PutWord(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}
void WriteMarker(std::vector<uint8_t>& out, uint8_t code) {
    PutByte(out, 0xFF);
    PutByte(out, code);
}

void WriteAPP0(std::vector<uint8_t>& out) {
    static constexpr uint8_t kApp0[18] = {0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',  0x00,
                                          0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00};
    out.insert(out.end(), kApp0, kApp0 + sizeof kApp0);
}

// A segment of its own for one table: FF DB, length, Pq/Tq, the values in zigzag order.
CodecResult WriteDQT(std::vector<uint8_t>& out, const QuantSlot& slot, int32_t table, int32_t precision) {
    bool wide = false;
    for (uint16_t value : slot.values) wide = wide || value > 255;
    if (wide && precision != 12) return CodecResult::Corrupt;
    const size_t start = out.size();
    WriteMarker(out, 0xDB);
    PutWord(out, 0);
    PutByte(out, wide ? table + 16 : table);
    for (uint16_t value : slot.values) wide ? PutWord(out, value) : PutByte(out, value);
    const size_t length = out.size() - start - 2;
    out[start + 2] = static_cast<uint8_t>(length >> 8);
    out[start + 3] = static_cast<uint8_t>(length);
    return CodecResult::Ok;
}

void WriteDHT(std::vector<uint8_t>& out, const HuffmanSlot& slot, int32_t table, bool isAC) {
    size_t symbols = 0;
    for (uint8_t count : slot.bits) symbols += count;
    WriteMarker(out, 0xC4);
    PutWord(out, static_cast<uint32_t>(19 + symbols));
    PutByte(out, isAC ? table + 16 : table);
    out.insert(out.end(), slot.bits.begin(), slot.bits.end());
    out.insert(out.end(), slot.values.begin(), slot.values.begin() + static_cast<std::ptrdiff_t>(symbols));
}

// Scan positions grouped: a group closes at 3 components, at the end of the list, or before a
// component that would take its block count above 10.
std::vector<std::vector<int32_t>> GroupScans(const std::vector<Component>& components) {
    std::vector<std::vector<int32_t>> groups;
    std::vector<int32_t> group;
    int32_t blocks = 0;
    for (int32_t position = 0; position < static_cast<int32_t>(components.size()); ++position) {
        const int32_t count = components[position].h * components[position].v;
        if (!group.empty() && blocks + count > 10) {
            groups.push_back(group);
            group.clear();
            blocks = 0;
        }
        group.push_back(position);
        blocks += count;
        if (group.size() == 3) {
            groups.push_back(group);
            group.clear();
            blocks = 0;
        }
    }
    if (!group.empty()) groups.push_back(group);
    return groups;
}

// Table selectors of a scan position: luminance tables for the first, chrominance for the rest.
int32_t Selector(int32_t position) { return position == 0 ? 0 : 1; }

}  // namespace

CodecResult FetchPixelBlock(const imaging::PixelView& pixels, int32_t x0, int32_t y0,
                            const std::array<uint8_t, 3>& fillBgr, PixelBlock& block) {
    const int32_t rows = std::min(y0 + 8, pixels.height) - y0;
    const int32_t columns = std::min(x0 + 8, pixels.width) - x0;
    for (int32_t r = 0; r < rows; ++r) {
        const uint8_t* source = pixels.at(x0, pixels.height - 1 - (y0 + r));
        for (int32_t c = 0; c < columns; ++c, source += 4) {
            std::array<uint8_t, 3>& out = block[r][c];
            const int32_t alpha = source[3];
            if (alpha == 255) {
                out = {source[0], source[1], source[2]};
            } else if (alpha == 0) {
                out = fillBgr;
            } else {
                for (int channel = 0; channel < 3; ++channel) {
                    const int32_t value = source[channel] + (fillBgr[channel] * (255 - alpha)) / 255;
                    if (value > 255) return CodecResult::Corrupt;
                    out[channel] = static_cast<uint8_t>(value);
                }
            }
        }
        for (int32_t c = columns; c < 8; ++c) block[r][c] = block[r][columns - 1];
    }
    for (int32_t r = rows; r < 8; ++r) block[r] = block[rows - 1];
    return CodecResult::Ok;
}

JpegEncoder::JpegEncoder() {
    SetSamplingFactors(1, 1, 1, 1, 1, 1);
}

CodecResult JpegEncoder::SetSamplingFactors(int32_t yH, int32_t yV, int32_t cbH, int32_t cbV, int32_t crH,
                                            int32_t crV) {
    auto valid = [](int32_t f) { return f >= 1 && f <= 4; };
    if (!valid(yH) || !valid(yV)) return CodecResult::Corrupt;
    std::vector<Component> components;
    if (cbH == 0 && cbV == 0 && crH == 0 && crV == 0) {
        components.push_back(Component{1, 1, 1, 0, {}});
    } else {
        if (!valid(cbH) || !valid(cbV) || !valid(crH) || !valid(crV)) return CodecResult::Corrupt;
        components.push_back(Component{1, yH, yV, 0, {}});
        components.push_back(Component{2, cbH, cbV, 1, {}});
        components.push_back(Component{3, crH, crV, 1, {}});
    }
    components_ = std::move(components);
    maxH_ = maxV_ = 1;
    for (const Component& c : components_) {
        maxH_ = std::max(maxH_, c.h);
        maxV_ = std::max(maxV_, c.v);
    }
    return CodecResult::Ok;
}

CodecResult JpegEncoder::TransformImage(const imaging::PixelView& pixels, uint32_t fillColor) {
    precision_ = 8;
    height_ = pixels.height;
    width_ = pixels.width;
    const int64_t paddedWidth = (int64_t{width_} + 7) / 8 * 8;
    const int64_t paddedHeight = (int64_t{height_} + 7) / 8 * 8;
    for (size_t i = 0; i < components_.size(); ++i) {
        components_[i].id = static_cast<int32_t>(i) + 1;
        components_[i].coefficients.assign(static_cast<size_t>(paddedWidth * paddedHeight), 0);
    }
    // 0x00BBGGRR to the pixels' blue, green, red order.
    const std::array<uint8_t, 3> fillBgr = {uint8_t(fillColor >> 16), uint8_t(fillColor >> 8), uint8_t(fillColor)};
    PixelBlock pixelBlock;
    Block work;
    size_t position = 0;
    for (int64_t y0 = 0; y0 < paddedHeight; y0 += 8) {
        for (int64_t x0 = 0; x0 < paddedWidth; x0 += 8, position += 64) {
            if (CodecResult r = FetchPixelBlock(pixels, int32_t(x0), int32_t(y0), fillBgr, pixelBlock); r != CodecResult::Ok)
                return r;
            for (size_t c = 0; c < components_.size(); ++c) {
                const Conversion& k = kConversions[c];
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x) {
                        const std::array<uint8_t, 3>& p = pixelBlock[y][x];
                        work[y][x] = static_cast<float>(double(k.red) * p[2] + double(k.green) * p[1] +
                                                        double(k.blue) * p[0] + double(k.offset));
                    }
                ForwardDCT(work);
                Component& component = components_[c];
                if (CodecResult r = QuantizeBlock(work, quant_[component.quantTable], &component.coefficients[position]);
                    r != CodecResult::Ok)
                    return r;
            }
        }
    }
    return CodecResult::Ok;
}

CodecResult JpegEncoder::BuildHuffmanTables() {
    const int32_t count = static_cast<int32_t>(components_.size());
    uint64_t bitTotal = 0;
    for (int32_t table = 0; table < 4; ++table) {
        bool used = false;
        for (int32_t p = 0; p < count; ++p) used = used || Selector(p) == table;
        if (!used) continue;
        for (int pass = 0; pass < 2; ++pass) {
            const bool isAC = pass == 1;
            Frequencies frequencies{};
            for (int32_t p = 0; p < count; ++p) {
                if (Selector(p) != table) continue;
                // With every factor 1 the interleaved order of a component's blocks is its store order.
                if (isAC) CollectACStatistics(components_[p].coefficients, frequencies);
                else CollectDCStatistics(components_[p].coefficients, frequencies);
            }
            const Frequencies counts = frequencies;
            HuffmanSlot& slot = isAC ? ac_[table] : dc_[table];
            GenerateOptimalTable(slot, frequencies);
            if (CodecResult r = ExpandHuffmanTable(slot, isAC ? 255 : (precision_ == 12 ? 15 : 11)); r != CodecResult::Ok)
                return r;
            for (int32_t s = 0; s < 256; ++s)
                if (counts[s]) bitTotal += uint64_t{counts[s]} * uint64_t(slot.Length(s) + (isAC ? s % 16 : s));
        }
    }
    estimate_ = static_cast<int64_t>((bitTotal + 7) / 8);
    return CodecResult::Ok;
}

void JpegEncoder::WriteScans(std::vector<uint8_t>& out) const {
    for (const std::vector<int32_t>& group : GroupScans(components_)) {
        const uint32_t n = static_cast<uint32_t>(group.size());
        WriteMarker(out, 0xDA);
        PutWord(out, 2 * n + 6);
        PutByte(out, n);
        for (int32_t p : group) {
            PutByte(out, components_[p].id);
            PutByte(out, Selector(p) * 16 + Selector(p));
        }
        PutByte(out, 0x00);
        PutByte(out, 0x3F);
        PutByte(out, 0x00);

        BitWriter writer(out);
        std::vector<int32_t> predictors(group.size(), 0);
        // Every factor is 1, so an MCU holds one block of each component, in store order.
        const size_t blocks = components_[group[0]].coefficients.size() / 64;
        for (size_t b = 0; b < blocks; ++b)
            for (size_t i = 0; i < group.size(); ++i) {
                const int32_t p = group[i];
                EncodeBlock(&components_[p].coefficients[b * 64], predictors[i], dc_[Selector(p)], ac_[Selector(p)],
                            writer);
            }
        writer.Flush();
    }
}

CodecResult JpegEncoder::Encode(const imaging::PixelView& pixels, uint8_t quality, uint32_t fillColor,
                                std::vector<uint8_t>& out) {
    if (pixels.empty()) return CodecResult::Corrupt;
    if (pixels.width > 65535 || pixels.height > 65535) return CodecResult::Corrupt;
    if (int64_t{pixels.width} * pixels.height > kMaxPixels) return CodecResult::TooLarge;
    for (const Component& c : components_)
        if (c.h != 1 || c.v != 1) return CodecResult::Internal;
    if (CodecResult r = SetQuality(quality, precision_, quant_); r != CodecResult::Ok) return r;
    if (CodecResult r = TransformImage(pixels, fillColor); r != CodecResult::Ok) return r;
    if (CodecResult r = BuildHuffmanTables(); r != CodecResult::Ok) return r;

    std::vector<uint8_t> stream;
    stream.reserve(static_cast<size_t>(std::nearbyint(double(estimate_) * 1.3 + 1000)));
    const bool chroma = components_.size() > 1;
    WriteMarker(stream, 0xD8);
    WriteAPP0(stream);
    if (CodecResult r = WriteDQT(stream, quant_[0], 0, precision_); r != CodecResult::Ok) return r;
    if (chroma) {
        if (CodecResult r = WriteDQT(stream, quant_[1], 1, precision_); r != CodecResult::Ok) return r;
    }
    WriteMarker(stream, 0xC0);
    PutWord(stream, static_cast<uint32_t>(8 + 3 * components_.size()));
    PutByte(stream, precision_);
    PutWord(stream, static_cast<uint32_t>(height_));
    PutWord(stream, static_cast<uint32_t>(width_));
    PutByte(stream, static_cast<uint32_t>(components_.size()));
    for (const Component& c : components_) {
        PutByte(stream, c.id);
        PutByte(stream, c.h * 16 + c.v);
        PutByte(stream, c.quantTable);
    }
    WriteDHT(stream, dc_[0], 0, false);
    WriteDHT(stream, ac_[0], 0, true);
    if (chroma) {
        WriteDHT(stream, dc_[1], 1, false);
        WriteDHT(stream, ac_[1], 1, true);
    }
    WriteScans(stream);
    WriteMarker(stream, 0xD9);
    out = std::move(stream);
    return CodecResult::Ok;
}

}  // namespace quorallion::codecs::jpeg
