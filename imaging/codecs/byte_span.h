#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorallion::codecs {

// Little-endian reads that check the offset against the span; 64-bit offsets so that a forged
// offset cannot wrap.
class ByteSpan {
public:
    ByteSpan() = default;
    ByteSpan(const uint8_t* data, size_t size) : bytes_(data, size) {}
    explicit ByteSpan(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t size() const { return bytes_.size(); }
    const uint8_t* data() const { return bytes_.data(); }
    bool Has(int64_t offset, int64_t count) const {
        return offset >= 0 && count >= 0 && static_cast<uint64_t>(offset) <= bytes_.size() &&
               static_cast<uint64_t>(count) <= bytes_.size() - static_cast<uint64_t>(offset);
    }
    bool U8(int64_t offset, uint8_t& value) const {
        if (!Has(offset, 1)) return false;
        value = bytes_[static_cast<size_t>(offset)];
        return true;
    }
    bool U16(int64_t offset, uint16_t& value) const {
        if (!Has(offset, 2)) return false;
        const uint8_t* p = bytes_.data() + offset;
        value = static_cast<uint16_t>(p[0] | (p[1] << 8));
        return true;
    }
    bool U32(int64_t offset, uint32_t& value) const {
        if (!Has(offset, 4)) return false;
        const uint8_t* p = bytes_.data() + offset;
        value = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
        return true;
    }
    bool I32(int64_t offset, int32_t& value) const {
        uint32_t raw = 0;
        if (!U32(offset, raw)) return false;
        value = static_cast<int32_t>(raw);
        return true;
    }
    bool U32BigEndian(int64_t offset, uint32_t& value) const {
        if (!Has(offset, 4)) return false;
        const uint8_t* p = bytes_.data() + offset;
        value = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
        return true;
    }
    // A sub-range; empty when it does not lie inside.
    ByteSpan Sub(int64_t offset, int64_t count) const {
        if (!Has(offset, count)) return ByteSpan();
        return ByteSpan(bytes_.data() + offset, static_cast<size_t>(count));
    }

private:
    std::span<const uint8_t> bytes_;
};

}  // namespace quorallion::codecs
