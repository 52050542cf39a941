#include "gdiplus_calls_win.h"

namespace quorallion::emf::gdiplus {

namespace {

Api Load(bool& complete) {
    Api api;
    complete = false;
    // Kept for the process: loading it again for every picture costs more than the picture.
    HMODULE library = ::LoadLibraryW(L"gdiplus.dll");
    if (!library) return api;
    complete = true;
#define QUORALLION_EMF_GDIP_LOOKUP(name, type)                                                  \
    api.name = reinterpret_cast<type>(reinterpret_cast<void*>(::GetProcAddress(library, #name))); \
    complete = complete && api.name != nullptr;
    QUORALLION_EMF_GDIP_CALLS(QUORALLION_EMF_GDIP_LOOKUP)
#undef QUORALLION_EMF_GDIP_LOOKUP
    return api;
}

}  // namespace

const Api* Get() {
    static bool complete = false;
    static const Api api = Load(complete);
    return complete ? &api : nullptr;
}

Session::Session() {
    const StartupInput input;
    if (const Api* api = Get(); api && api->GdiplusStartup(&token_, &input, nullptr) != kOk) token_ = 0;
}

Session::~Session() {
    if (token_) Get()->GdiplusShutdown(token_);
}

Image::~Image() {
    if (image_) Get()->GdipDisposeImage(image_);
}

}  // namespace quorallion::emf::gdiplus
