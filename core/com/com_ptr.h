#pragma once
// Small owners for COM pointers, BSTR texts and VARIANTs, and late-bound calls by name.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace quorallion::com {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : p_(p) {  // takes a new reference
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    static ComPtr Attach(T* p) {
        ComPtr out;
        out.p_ = p;
        return out;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    T* detach() { return std::exchange(p_, nullptr); }
    // For out-parameters: releases what is held first.
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    template <typename U>
    HRESULT query(ComPtr<U>& out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(__uuidof(U), out.put_void());
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            ::SysFreeString(b_);
            b_ = std::exchange(other.b_, nullptr);
        }
        return *this;
    }
    ~Bstr() { ::SysFreeString(b_); }

    BSTR get() const { return b_; }
    BSTR* put() {
        ::SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    BSTR detach() { return std::exchange(b_, nullptr); }
    std::wstring str() const { return ToString(b_); }

    // A BSTR's text with its full length: embedded NULs are kept, NULL is the empty text.
    static std::wstring ToString(BSTR b) {
        return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
    }

private:
    BSTR b_ = nullptr;
};

class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    explicit Variant(const std::wstring& text) : Variant() {
        v_.vt = VT_BSTR;
        v_.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* put() {
        ::VariantClear(&v_);
        return &v_;
    }
    // The value as text (converted when it is not one); the empty text when it cannot be.
    std::wstring str() const;

private:
    VARIANT v_;
};

// Calls a method or property of an automation object by name. args are given first to last.
HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT argCount,
               VARIANT* result, EXCEPINFO* exception = nullptr);

}  // namespace quorallion::com
