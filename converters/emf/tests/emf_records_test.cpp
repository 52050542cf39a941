// The record walk that guards GDI's metafile player: a table of small metafiles, each with one
// fault, next to the well-formed one they are made from.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "emf_records.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Header record (88 bytes), one rectangle record (24 bytes), end record (20 bytes).
Bytes MinimalEmf() {
    Bytes b(88 + 24 + 20, 0);
    Put32(b, 0, 1);            // EMR_HEADER
    Put32(b, 4, 88);
    Put32(b, 40, 0x464D4520);  // " EMF"
    Put32(b, 44, 0x10000);
    Put32(b, 48, static_cast<uint32_t>(b.size()));
    Put32(b, 52, 3);           // records
    Put32(b, 88, 43);          // EMR_RECTANGLE
    Put32(b, 92, 24);
    Put32(b, 112, 14);         // EMR_EOF
    Put32(b, 116, 20);
    Put32(b, 120, 0);          // no palette
    Put32(b, 124, 16);
    Put32(b, 128, 20);         // size again
    return b;
}

// The same with a two-entry palette in the end record (28 bytes) and in the header's count.
Bytes EmfWithPalette() {
    Bytes b = MinimalEmf();
    b.resize(112);
    Bytes end(28, 0);
    Put32(end, 0, 14);
    Put32(end, 4, 28);
    Put32(end, 8, 2);
    Put32(end, 12, 16);
    Put32(end, 24, 28);
    b.insert(b.end(), end.begin(), end.end());
    Put32(b, 48, static_cast<uint32_t>(b.size()));
    Put32(b, 68, 2);
    return b;
}

struct Case {
    const char* what;
    std::function<Bytes()> make;
    bool accepted;
};

}  // namespace

TEST(EmfRecordWalk, AcceptsWellFormedAndRefusesEachFault) {
    const std::vector<Case> cases = {
        {"minimal metafile", MinimalEmf, true},
        {"palette in the end record", EmfWithPalette, true},
        {"bytes after the metafile (clipboard blocks are rounded up)",
         [] { Bytes b = MinimalEmf(); b.resize(b.size() + 13, 0xCC); return b; }, true},
        {"empty block", [] { return Bytes(); }, false},
        {"text", [] { const char* t = "Clipboard is not a metafile, just text........."; return Bytes(t, t + strlen(t)); }, false},
        {"first record not a header", [] { Bytes b = MinimalEmf(); Put32(b, 0, 2); return b; }, false},
        {"no signature", [] { Bytes b = MinimalEmf(); Put32(b, 40, 0x464D4521); return b; }, false},
        {"header shorter than its fields", [] { Bytes b = MinimalEmf(); Put32(b, 4, 84); return b; }, false},
        {"total size beyond the block", [] { Bytes b = MinimalEmf(); Put32(b, 48, 136); return b; }, false},
        {"truncated block", [] { Bytes b = MinimalEmf(); b.resize(120); return b; }, false},
        {"record of size 4 (GDI's player never returns)", [] { Bytes b = MinimalEmf(); Put32(b, 92, 4); return b; }, false},
        {"record of size 0", [] { Bytes b = MinimalEmf(); Put32(b, 92, 0); return b; }, false},
        {"record size not a multiple of 4", [] { Bytes b = MinimalEmf(); Put32(b, 92, 26); return b; }, false},
        {"record running past the total size", [] { Bytes b = MinimalEmf(); Put32(b, 92, 0xFFFFFFF0); return b; }, false},
        {"no end record", [] { Bytes b = MinimalEmf(); Put32(b, 112, 43); return b; }, false},
        {"record after the end record",
         [] { Bytes b = MinimalEmf(); Put32(b, 88, 14); Put32(b, 92, 24); Put32(b, 108, 24); return b; }, false},
        {"end record's trailing size disagrees", [] { Bytes b = MinimalEmf(); Put32(b, 128, 24); return b; }, false},
        {"header counts a palette the end record lacks", [] { Bytes b = MinimalEmf(); Put32(b, 68, 5); return b; }, false},
        {"palette offset outside the end record", [] { Bytes b = EmfWithPalette(); Put32(b, 112 + 12, 24); return b; }, false},
        {"palette count far too large", [] { Bytes b = EmfWithPalette(); Put32(b, 112 + 8, 0x40000000); Put32(b, 68, 0x40000000); return b; }, false},
    };
    for (const Case& c : cases) {
        const Bytes bytes = c.make();
        EXPECT_EQ(quorallion::emf::IsWellFormedEmf(bytes.data(), bytes.size()), c.accepted) << c.what;
    }
}
