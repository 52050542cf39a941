#pragma once
// A write stream over memory that grows by doubling. The platform's stream over global memory
// grows by what each write needs, so an encoder's many small writes copy the whole output again and
// again (seconds for a 4K picture's PNG under Wine).
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <vector>

#include "com/com_ptr.h"

namespace quorallion::gdiplus {

class GrowingStream final : public IStream {
public:
    static com::ComPtr<GrowingStream> Create();
    // What was written, as long as the farthest write reached.
    std::vector<uint8_t> TakeBytes();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override;
    // IStream
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** stream) override;

private:
    GrowingStream() = default;
    ~GrowingStream() = default;

    LONG references_ = 1;
    std::vector<uint8_t> bytes_;  // its size is the stream's size; its capacity grows by doubling
    uint64_t position_ = 0;
};

}  // namespace quorallion::gdiplus
