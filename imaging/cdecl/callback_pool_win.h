#pragma once
// A fixed pool of static entry points, one per callback slot, each forwarding to the method
// bound to its slot. No code is generated: x86_64 has one calling convention, so a plain
// function whose parameters cover the most arguments serves every caller.
#include <cstdint>

namespace quorallion::cdecl_pool {

constexpr int kSlots = 60;
constexpr int kMaxParameters = 60;

// A method called as method(object, argument 1 … argument n, &result); its status is ignored
// and the adapter answers the 32-bit result cell.
struct Binding {
    const void* owner = nullptr;  // the cCDECL that bound it, so its end can unbind it
    void* object = nullptr;
    const void* method = nullptr;
    int32_t parameterCount = 0;
};

// The entry point of slot 1 … kSlots: the same address for the life of the process.
void* SlotAddress(int32_t slotIndex);
void Bind(int32_t slotIndex, const Binding& binding);
// Clears every slot bound by `owner`; calling such a slot then answers 0.
void UnbindAll(const void* owner);

}  // namespace quorallion::cdecl_pool
