#include "gdiplus/gdiplus_flat_win.h"

#include <objbase.h>

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

bool JpegQualityParameters(ULONG* quality, ::Gdiplus::EncoderParameters& parameters) {
    parameters = {};
    parameters.Count = 1;
    if (FAILED(::CLSIDFromString(L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}", &parameters.Parameter[0].Guid))) return false;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = ::Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = quality;
    return true;
}

const Api* Get() {
    static bool complete = false;
    static const Api api = Load(complete);
    return complete ? &api : nullptr;
}

}  // namespace quorallion::gdiplus
