#include "message_table.h"

#include <cstdio>

namespace quorallion::controls {

bool MessageTable::Matches(uint32_t message) const {
    if (count == kAllMessages) return true;
    for (int32_t i = 0; i < count && i < kMessageEntries; ++i)
        if (slots[static_cast<size_t>(i)] == message) return true;
    return false;
}

std::wstring AddMessage(MessageTable& table, int64_t message) {
    if (message == kAllMessages) {
        table.count = kAllMessages;
        return {};
    }
    const uint32_t value = static_cast<uint32_t>(message);
    if (table.count < 1) {
        table.slots[0] = value;
        table.count = 1;
        return {};
    }
    // Walk first: a duplicate or a freed slot needs no new entry, even in a full table.
    for (int32_t i = 0; i < table.count && i < kMessageEntries; ++i) {
        uint32_t& slot = table.slots[static_cast<size_t>(i)];
        if (slot == value) return {};
        if (slot == 0) {
            slot = value;
            return {};
        }
    }
    if (table.count >= kMessageEntries)
        return L"Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
               L"ALL_MESSAGES instead of specific message values";
    table.slots[static_cast<size_t>(table.count)] = value;
    ++table.count;
    return {};
}

std::wstring DeleteMessage(MessageTable& table, int64_t message) {
    if (message == kAllMessages) {
        table.count = 0;
        return {};
    }
    const uint32_t value = static_cast<uint32_t>(message);
    for (int32_t i = 0; i < table.count && i < kMessageEntries; ++i) {
        if (table.slots[static_cast<size_t>(i)] == value) {
            table.slots[static_cast<size_t>(i)] = 0;
            return {};
        }
    }
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%X", value);
    return std::wstring(L"Message &H") + hex + L" not found in table";
}

}  // namespace quorallion::controls
