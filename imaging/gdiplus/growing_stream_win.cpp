#include "gdiplus/growing_stream_win.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quorallion::gdiplus {

com::ComPtr<GrowingStream> GrowingStream::Create() {
    return com::ComPtr<GrowingStream>::Attach(new (std::nothrow) GrowingStream());
}

std::vector<uint8_t> GrowingStream::TakeBytes() {
    position_ = 0;
    return std::exchange(bytes_, {});
}

HRESULT GrowingStream::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_ISequentialStream && iid != IID_IStream) return E_NOINTERFACE;
    *object = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
}

ULONG GrowingStream::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG GrowingStream::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT GrowingStream::Read(void* buffer, ULONG count, ULONG* read) {
    if (read) *read = 0;
    if (!buffer && count) return STG_E_INVALIDPOINTER;
    const uint64_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const ULONG taken = static_cast<ULONG>(std::min<uint64_t>(count, available));
    if (taken) std::memcpy(buffer, bytes_.data() + position_, taken);
    position_ += taken;
    if (read) *read = taken;
    return taken == count ? S_OK : S_FALSE;
}

HRESULT GrowingStream::Write(const void* buffer, ULONG count, ULONG* written) {
    if (written) *written = 0;
    if (!buffer && count) return STG_E_INVALIDPOINTER;
    const uint64_t end = position_ + count;
    if (end > bytes_.max_size()) return STG_E_MEDIUMFULL;
    try {
        if (end > bytes_.capacity()) bytes_.reserve(std::max<uint64_t>(end, uint64_t(bytes_.capacity()) * 2));
        if (end > bytes_.size()) bytes_.resize(static_cast<size_t>(end));
    } catch (const std::bad_alloc&) {
        return STG_E_MEDIUMFULL;
    }
    if (count) std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = end;
    if (written) *written = count;
    return S_OK;
}

HRESULT GrowingStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    int64_t base;
    switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<int64_t>(position_); break;
    case STREAM_SEEK_END: base = static_cast<int64_t>(bytes_.size()); break;
    default: return STG_E_INVALIDFUNCTION;
    }
    if ((move.QuadPart < 0 && base < -move.QuadPart) || (move.QuadPart > 0 && base > INT64_MAX - move.QuadPart)) {
        return STG_E_INVALIDFUNCTION;
    }
    position_ = static_cast<uint64_t>(base + move.QuadPart);
    if (position) position->QuadPart = position_;
    return S_OK;
}

HRESULT GrowingStream::SetSize(ULARGE_INTEGER size) {
    if (size.QuadPart > bytes_.max_size()) return STG_E_MEDIUMFULL;
    try {
        bytes_.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return STG_E_MEDIUMFULL;
    }
    return S_OK;
}

HRESULT GrowingStream::CopyTo(IStream* target, ULARGE_INTEGER count, ULARGE_INTEGER* read, ULARGE_INTEGER* written) {
    if (!target) return STG_E_INVALIDPOINTER;
    const uint64_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const ULONG chunk = static_cast<ULONG>(std::min<uint64_t>({count.QuadPart, available, 0xFFFFFFFFu}));
    ULONG done = 0;
    const HRESULT hr = target->Write(bytes_.data() + position_, chunk, &done);
    position_ += chunk;
    if (read) read->QuadPart = chunk;
    if (written) written->QuadPart = done;
    return hr;
}

HRESULT GrowingStream::Stat(STATSTG* stat, DWORD /*flags*/) {
    if (!stat) return STG_E_INVALIDPOINTER;
    *stat = {};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_.size();
    return S_OK;
}

HRESULT GrowingStream::Clone(IStream** stream) {
    if (stream) *stream = nullptr;
    return E_NOTIMPL;
}

}  // namespace quorallion::gdiplus
