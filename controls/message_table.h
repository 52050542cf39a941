#pragma once
// The two per-window message tables of the button's window hook: a count (0 none, 1..32 slots in
// use, -1 every message) and 32 message numbers, a free slot holding 0. Pure rules, so the edge
// cases are tested natively; the hook itself is subclasser_win.h.
#include <array>
#include <cstdint>
#include <string>

namespace quorallion::controls {

constexpr int32_t kAllMessages = -1;
constexpr int kMessageEntries = 32;

struct MessageTable {
    int32_t count = 0;
    std::array<uint32_t, kMessageEntries> slots{};

    // True when a message passes the table (count as it stands, free slots included).
    bool Matches(uint32_t message) const;
};

// Adds a message (or kAllMessages). A table that already holds it, or has a free slot, takes it
// even when full; only a message that needs a new slot in a full table is refused, and the text
// of the refusal is returned (empty on success).
std::wstring AddMessage(MessageTable& table, int64_t message);
// Frees the message's first slot, or empties the table for kAllMessages. Returns the text of the
// report when the message is not in the table (empty on success).
std::wstring DeleteMessage(MessageTable& table, int64_t message);

}  // namespace quorallion::controls
