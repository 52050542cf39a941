#pragma once
// Move-only owners of Windows handles, one type per kind of handle and the call that frees it.
#include <windows.h>

#include <utility>

namespace quorallion::win {

// Traits give the handle type, its empty value and the call that frees it.
template <typename Traits>
class UniqueHandle {
public:
    using T = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Traits::Invalid(); }
    T release() { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) {
        T old = std::exchange(value_, value);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    T* put() {
        reset();
        return &value_;
    }

private:
    T value_ = Traits::Invalid();
};

#define QUORALLION_HANDLE_TRAITS(Name, HandleType, InvalidValue, CloseCall) \
    struct Name {                                                          \
        using Type = HandleType;                                           \
        static Type Invalid() { return InvalidValue; }                     \
        static void Close(Type h) { CloseCall(h); }                        \
    };

QUORALLION_HANDLE_TRAITS(HandleNullTraits, HANDLE, nullptr, ::CloseHandle)
QUORALLION_HANDLE_TRAITS(FileHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle)
QUORALLION_HANDLE_TRAITS(FindHandleTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose)
QUORALLION_HANDLE_TRAITS(HKeyTraits, HKEY, nullptr, ::RegCloseKey)
QUORALLION_HANDLE_TRAITS(HGlobalTraits, HGLOBAL, nullptr, ::GlobalFree)
QUORALLION_HANDLE_TRAITS(GdiObjectTraits, HGDIOBJ, nullptr, ::DeleteObject)
QUORALLION_HANDLE_TRAITS(MemoryDCTraits, HDC, nullptr, ::DeleteDC)
QUORALLION_HANDLE_TRAITS(WindowTraits, HWND, nullptr, ::DestroyWindow)
QUORALLION_HANDLE_TRAITS(ModuleTraits, HMODULE, nullptr, ::FreeLibrary)
QUORALLION_HANDLE_TRAITS(IconTraits, HICON, nullptr, ::DestroyIcon)
#undef QUORALLION_HANDLE_TRAITS

// Process, thread, event handles: nullptr when empty.
using UniqueHandleNull = UniqueHandle<HandleNullTraits>;
// CreateFile handles: INVALID_HANDLE_VALUE when empty.
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueHKey = UniqueHandle<HKeyTraits>;
using UniqueHGlobal = UniqueHandle<HGlobalTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDC = UniqueHandle<MemoryDCTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
// Icons the caller owns (a shell file icon, CreateIconIndirect): DestroyIcon.
using UniqueIcon = UniqueHandle<IconTraits>;

// A DC from GetDC goes back to its window with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Restores the object that was selected into a DC before.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace quorallion::win
