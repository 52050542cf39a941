#include "emf_records.h"

#include "byte_span.h"

namespace quorallion::emf {

namespace {

constexpr uint32_t kHeaderRecord = 1;
constexpr uint32_t kEndRecord = 14;
constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr uint32_t kMinHeaderSize = 88;      // the header's fields up to szlMillimeters
// Offsets inside the header record.
constexpr int64_t kSignatureAt = 40, kTotalBytesAt = 48, kPaletteEntriesAt = 68;
// Offsets inside the end record: its palette count and offset; its last field repeats its size.
constexpr int64_t kEndPaletteCountAt = 8, kEndPaletteOffsetAt = 12, kEndMinSize = 20;

bool EndRecordAgrees(const codecs::ByteSpan& record, uint32_t headerPaletteEntries) {
    const int64_t size = static_cast<int64_t>(record.size());
    uint32_t count = 0, offset = 0, sizeLast = 0;
    if (size < kEndMinSize || !record.U32(kEndPaletteCountAt, count) ||
        !record.U32(kEndPaletteOffsetAt, offset) || !record.U32(size - 4, sizeLast)) {
        return false;
    }
    if (sizeLast != static_cast<uint64_t>(size) || count != headerPaletteEntries) return false;
    // The palette entries sit between the fixed fields and the trailing size.
    return count == 0 || (offset >= 16 && record.Has(offset, int64_t{count} * 4) &&
                          int64_t{offset} + int64_t{count} * 4 <= size - 4);
}

}  // namespace

bool IsWellFormedEmf(const uint8_t* bytes, size_t size) {
    const codecs::ByteSpan block(bytes, size);
    uint32_t type = 0, headerSize = 0, signature = 0, total = 0, paletteEntries = 0;
    if (!block.U32(0, type) || !block.U32(4, headerSize) || type != kHeaderRecord ||
        headerSize < kMinHeaderSize || headerSize % 4 != 0 || !block.U32(kSignatureAt, signature) ||
        signature != kSignature || !block.U32(kTotalBytesAt, total) ||
        !block.U32(kPaletteEntriesAt, paletteEntries) || total < headerSize || !block.Has(0, total)) {
        return false;
    }
    const codecs::ByteSpan records = block.Sub(0, total);
    int64_t offset = 0;
    while (offset < total) {
        uint32_t recordType = 0, recordSize = 0;
        if (!records.U32(offset, recordType) || !records.U32(offset + 4, recordSize) ||
            recordSize < 8 || recordSize % 4 != 0 || !records.Has(offset, recordSize)) {
            return false;
        }
        if (recordType == kEndRecord) {
            // The end record closes the metafile: nothing may follow it.
            return offset + recordSize == total &&
                   EndRecordAgrees(records.Sub(offset, recordSize), paletteEntries);
        }
        offset += recordSize;
    }
    return false;  // no end record
}

}  // namespace quorallion::emf
