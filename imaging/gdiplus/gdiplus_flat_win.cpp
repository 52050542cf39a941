#include "gdiplus/gdiplus_flat_win.h"

namespace quorallion::gdiplus {
namespace {

Api Load(bool& complete) {
    Api api;
    complete = false;
    // Stays loaded for the process: sessions and bitmaps may outlive any one user.
    HMODULE library = ::LoadLibraryW(L"gdiplus.dll");
    if (!library) return api;
    complete = true;
#define QUORALLION_GDIP_LOOKUP(name, declared)                                              \
    api.name = reinterpret_cast<decltype(&declared)>(reinterpret_cast<void*>(::GetProcAddress(library, #name))); \
    complete = complete && api.name != nullptr;
    QUORALLION_GDIP_CALLS(QUORALLION_GDIP_LOOKUP)
#undef QUORALLION_GDIP_LOOKUP
    return api;
}

}  // namespace

const Api* Get() {
    static bool complete = false;
    static const Api api = Load(complete);
    return complete ? &api : nullptr;
}

}  // namespace quorallion::gdiplus
