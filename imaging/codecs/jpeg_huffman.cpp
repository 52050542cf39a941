#include "jpeg_huffman.h"

namespace quorallion::codecs::jpeg {

void CollectDCStatistics(const std::vector<int16_t>& store, Frequencies& frequencies) {
    int32_t predictor = 0;
    for (size_t i = 0; i + 64 <= store.size(); i += 64) {
        const int32_t dc = store[i];
        ++frequencies[Category(dc - predictor)];
        predictor = dc;
    }
}

void CollectACStatistics(const std::vector<int16_t>& store, Frequencies& frequencies) {
    for (size_t i = 0; i + 64 <= store.size(); i += 64) {
        int32_t run = 0;
        for (int k = 1; k < 64; ++k) {
            const int32_t value = store[i + k];
            if (value == 0) {
                ++run;
                continue;
            }
            while (run > 15) {
                ++frequencies[0xF0];
                run -= 16;
            }
            ++frequencies[16 * run + Category(value)];
            run = 0;
        }
        if (run > 0) ++frequencies[0x00];
    }
}

void GenerateOptimalTable(HuffmanSlot& slot, Frequencies& frequencies) {
    constexpr int kSymbols = 257;
    std::array<int32_t, kSymbols> codeSize{};
    std::array<int32_t, kSymbols> next;
    next.fill(-1);
    frequencies[256] = 1;

    for (;;) {
        int32_t c1 = -1, c2 = -1;
        uint64_t smallest = UINT64_MAX, second = UINT64_MAX;
        for (int32_t i = 0; i < kSymbols; ++i) {
            const uint32_t count = frequencies[i];
            if (count == 0) continue;
            if (count <= smallest) {
                second = smallest;
                c2 = c1;
                smallest = count;
                c1 = i;
            } else if (count <= second) {
                second = count;
                c2 = i;
            }
        }
        if (c2 < 0) {
            if (c1 >= 0) frequencies[c1] = 0;
            break;
        }
        frequencies[c1] += frequencies[c2];
        frequencies[c2] = 0;
        int32_t s = c1;
        ++codeSize[s];
        while (next[s] >= 0) {
            s = next[s];
            ++codeSize[s];
        }
        next[s] = c2;
        s = c2;
        ++codeSize[s];
        while (next[s] >= 0) {
            s = next[s];
            ++codeSize[s];
        }
    }

    // Longest chains are bounded by the counts' 32 bits; 257 covers any chain anyway.
    std::array<int32_t, kSymbols + 1> bits{};
    int32_t largest = 0;
    for (int32_t i = 0; i < kSymbols; ++i) {
        if (codeSize[i]) {
            ++bits[codeSize[i]];
            if (codeSize[i] > largest) largest = codeSize[i];
        }
    }
    for (int32_t length = largest; length > 16; --length) {
        while (bits[length] > 0) {
            int32_t j = length - 2;
            while (j > 0 && bits[j] == 0) --j;
            bits[length] -= 2;
            bits[length - 1] += 1;
            bits[j + 1] += 2;
            bits[j] -= 1;
        }
    }
    int32_t longest = largest < 16 ? largest : 16;
    while (longest > 0 && bits[longest] == 0) --longest;
    if (longest > 0) --bits[longest];

    for (int32_t length = 1; length <= 16; ++length) slot.bits[length - 1] = static_cast<uint8_t>(bits[length]);
    slot.values.clear();
    for (int32_t size = 1; size <= largest; ++size)
        for (int32_t symbol = 0; symbol < 256; ++symbol)
            if (codeSize[symbol] == size) slot.values.push_back(static_cast<uint8_t>(symbol));
}

CodecResult ExpandHuffmanTable(HuffmanSlot& slot, int32_t largestSymbol) {
    slot.code.fill(0);
    slot.lengthMask.fill(0);
    size_t placed = 0;
    uint32_t code = 0;
    for (int32_t length = 1; length <= 16; ++length) {
        const size_t count = slot.bits[length - 1];
        if (placed + count > 256 || placed + count > slot.values.size()) return CodecResult::Corrupt;
        for (size_t i = 0; i < count; ++i) {
            const int32_t symbol = slot.values[placed++];
            if (symbol > largestSymbol || slot.lengthMask[symbol]) return CodecResult::Corrupt;
            slot.code[symbol] = code++;
            slot.lengthMask[symbol] = uint32_t{1} << (length - 1);
        }
        if (code >= (uint32_t{1} << length)) return CodecResult::Corrupt;
        code <<= 1;
    }
    if (placed == 0) return CodecResult::Corrupt;
    return CodecResult::Ok;
}

namespace {

inline void WriteCode(const HuffmanSlot& slot, int32_t symbol, BitWriter& writer) {
    writer.WriteBits(slot.lengthMask[symbol], slot.code[symbol]);
}

// The low `category` bits of the value, of value - 1 when it is negative.
inline void WriteValue(int32_t value, int32_t category, BitWriter& writer) {
    if (category == 0) return;
    writer.Put(category, static_cast<uint32_t>(value < 0 ? value - 1 : value));
}

}  // namespace

void EncodeBlock(const int16_t* block, int32_t& predictor, const HuffmanSlot& dc, const HuffmanSlot& ac,
                 BitWriter& writer) {
    const int32_t difference = block[0] - predictor;
    predictor = block[0];
    const int32_t dcCategory = Category(difference);
    WriteCode(dc, dcCategory, writer);
    WriteValue(difference, dcCategory, writer);
    int32_t run = 0;
    for (int k = 1; k < 64; ++k) {
        const int32_t value = block[k];
        if (value == 0) {
            ++run;
            continue;
        }
        while (run > 15) {
            WriteCode(ac, 0xF0, writer);
            run -= 16;
        }
        const int32_t category = Category(value);
        WriteCode(ac, 16 * run + category, writer);
        WriteValue(value, category, writer);
        run = 0;
    }
    if (run > 0) WriteCode(ac, 0x00, writer);
}

}  // namespace quorallion::codecs::jpeg
