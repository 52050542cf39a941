#include "callback_pool_win.h"

#include <array>
#include <utility>

namespace quorallion::cdecl_pool {

namespace {

template <size_t>
using Word = intptr_t;

std::array<Binding, kSlots> g_bindings{};

// The method gets the object, the slot's arguments and the result cell's address; the words
// past them are ignored by the callee, as the single convention allows.
template <size_t... Index>
void CallMethod(const Binding& binding, const intptr_t* words, std::index_sequence<Index...>) {
    using Method = intptr_t (*)(Word<Index>...);
    reinterpret_cast<Method>(const_cast<void*>(binding.method))(words[Index]...);
}

template <size_t Slot, size_t... Index>
intptr_t Entry(Word<Index>... arguments) {
    const Binding binding = g_bindings[Slot];  // a copy: the method may rebind its own slot
    if (!binding.method) return 0;
    const intptr_t given[] = {arguments...};
    int32_t result = 0;
    intptr_t words[kMaxParameters + 2] = {};
    words[0] = reinterpret_cast<intptr_t>(binding.object);
    for (int32_t i = 0; i < binding.parameterCount; ++i) words[1 + i] = given[i];
    words[1 + binding.parameterCount] = reinterpret_cast<intptr_t>(&result);
    CallMethod(binding, words, std::make_index_sequence<kMaxParameters + 2>{});
    return result;
}

// Entry<Slot> with kMaxParameters parameters.
template <size_t Slot, size_t... Index>
constexpr void* EntryAddress(std::index_sequence<Index...>) {
    return reinterpret_cast<void*>(&Entry<Slot, Index...>);
}

template <size_t... Slot>
std::array<void*, kSlots> AllEntries(std::index_sequence<Slot...>) {
    return {EntryAddress<Slot>(std::make_index_sequence<kMaxParameters>{})...};
}

const std::array<void*, kSlots> g_entries = AllEntries(std::make_index_sequence<kSlots>{});

}  // namespace

void* SlotAddress(int32_t slotIndex) {
    return slotIndex >= 1 && slotIndex <= kSlots ? g_entries[size_t(slotIndex - 1)] : nullptr;
}

void Bind(int32_t slotIndex, const Binding& binding) {
    if (slotIndex >= 1 && slotIndex <= kSlots) g_bindings[size_t(slotIndex - 1)] = binding;
}

void UnbindAll(const void* owner) {
    for (Binding& binding : g_bindings)
        if (binding.owner == owner) binding = Binding{};
}

}  // namespace quorallion::cdecl_pool
