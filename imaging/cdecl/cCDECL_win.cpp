#include "cCDECL.h"

#include <cstring>

#include "callback_pool_win.h"

namespace quorallion {

namespace {

constexpr int32_t kErrorBase = static_cast<int32_t>(0x80040000);

[[noreturn]] void Raise(int32_t offset, const wchar_t* member, const wchar_t* description) {
    throw CdeclError(kErrorBase + offset, std::wstring(L"cCallFunc2.") + member, description);
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

using Target = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                            intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);
using FloatTarget = float (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                              intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);
using DoubleTarget = double (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                                intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);

template <typename Function>
auto Invoke(const void* address, const intptr_t (&a)[cCDECL::kMaxArguments]) {
    Function function = reinterpret_cast<Function>(const_cast<void*>(address));
    return function(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12], a[13],
                    a[14], a[15]);
}

}  // namespace

VARIANT CdeclArg(int64_t value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I8;
    v.llVal = value;
    return v;
}

VARIANT CdeclArg(const void* address) { return CdeclArg(static_cast<int64_t>(reinterpret_cast<intptr_t>(address))); }

cCDECL::cCDECL() {
    thunkPage_ = static_cast<uint8_t*>(::VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll")) {
        using IsWindowUnicodeFn = BOOL(WINAPI*)(HWND);
        auto isWindowUnicode = reinterpret_cast<IsWindowUnicodeFn>(
            reinterpret_cast<void*>(::GetProcAddress(user32, "IsWindowUnicode")));
        if (isWindowUnicode) unicodeLoad_ = isWindowUnicode(::GetDesktopWindow()) != 0;
    }
    FastCall(false);
}

cCDECL::~cCDECL() {
    cdecl_pool::UnbindAll(this);
    if (libraryHandle_) ::FreeLibrary(libraryHandle_);
    if (thunkPage_) ::VirtualFree(thunkPage_, 0, MEM_RELEASE);
}

void cCDECL::FillBlock(const std::vector<VARIANT>& arguments, intptr_t (&block)[kMaxArguments]) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        VARIANT converted;
        ::VariantInit(&converted);
        HRESULT hr = ::VariantChangeType(&converted, const_cast<VARIANT*>(&arguments[i]), 0, VT_I8);
        if (FAILED(hr)) throw CdeclError(hr, L"cCallFunc2.CallFunc", hr == DISP_E_OVERFLOW ? L"Overflow" : L"Type mismatch");
        block[i] = static_cast<intptr_t>(converted.llVal);
    }
}

VARIANT cCDECL::CallFunc(const std::wstring& libraryName, int32_t returnType, const std::wstring& functionName,
                         const std::vector<VARIANT>& arguments) {
    bool libraryChanged = false;
    if (::CompareStringOrdinal(libraryName.c_str(), -1, libraryName_.c_str(), -1, TRUE) != CSTR_EQUAL) {
        HMODULE loaded = unicodeLoad_ ? ::LoadLibraryW(libraryName.c_str())
                                      : ::LoadLibraryA(ToAnsi(libraryName).c_str());
        if (!loaded) Raise(0, L"CallFunc", L"DLL failed load");
        if (libraryHandle_) ::FreeLibrary(libraryHandle_);
        libraryHandle_ = loaded;
        libraryName_ = libraryName;
        functionName_.clear();
        libraryChanged = true;
    }
    if (functionName != functionName_ || libraryChanged || !target_) {
        FARPROC found = nullptr;
        if (libraryHandle_ && !functionName.empty() && functionName[0] == L'#') {
            // Only 1 to 65535 are ordinals; anything else would be read as a name's address.
            wchar_t* end = nullptr;
            const long ordinal = std::wcstol(functionName.c_str() + 1, &end, 10);
            if (end != functionName.c_str() + 1 && *end == 0 && ordinal >= 1 && ordinal <= 0xFFFF)
                found = ::GetProcAddress(libraryHandle_, MAKEINTRESOURCEA(ordinal));
        } else if (libraryHandle_ && !functionName.empty()) {
            found = ::GetProcAddress(libraryHandle_, ToAnsi(functionName).c_str());
        }
        if (!found) Raise(1, L"CallFunc", L"Function not found");
        target_ = reinterpret_cast<const void*>(found);
        functionName_ = functionName;
    }
    if (arguments.size() > kMaxArguments) Raise(2, L"CallFunc", L"Too many parameters");
    intptr_t block[kMaxArguments] = {};
    FillBlock(arguments, block);
    return CallCommon(returnType, block);
}

VARIANT cCDECL::CallPointer(int32_t returnType, const void* function, const std::vector<VARIANT>& arguments) {
    if (arguments.size() > kMaxArguments) Raise(3, L"CallPointer", L"Too many parameters");
    intptr_t block[kMaxArguments] = {};
    FillBlock(arguments, block);
    functionName_.clear();
    target_ = function;
    return CallCommon(returnType, block);
}

VARIANT cCDECL::CallCommon(int32_t returnType, const intptr_t (&block)[kMaxArguments]) {
    VARIANT result;
    ::VariantInit(&result);
    ::SetLastError(0);
    if (returnType < retByte || returnType > retNone) Raise(4, L"CallCommon", L"Unknown return type");
    switch (returnType) {
    case retSingle:
        result.vt = VT_R4;
        result.fltVal = Invoke<FloatTarget>(target_, block);
        break;
    case retDouble:
        result.vt = VT_R8;
        result.dblVal = Invoke<DoubleTarget>(target_, block);
        break;
    default: {
        const intptr_t value = Invoke<Target>(target_, block);
        if (returnType == retByte) {
            result.vt = VT_UI1;
            result.bVal = static_cast<uint8_t>(value);
        } else if (returnType == retInt16) {
            result.vt = VT_I2;
            result.iVal = static_cast<int16_t>(value);
        } else if (returnType == retInt32) {
            result.vt = VT_I4;
            result.lVal = static_cast<int32_t>(value);
        } else if (returnType == retInt64) {
            result.vt = VT_CY;
            result.cyVal.int64 = static_cast<int64_t>(value);
        }
        break;
    }
    }
    lastError_ = ::GetLastError();
    return result;
}

void* cCDECL::CallbackCdecl(const void* function, int32_t parameterCount, int32_t slotIndex) {
    if (slotIndex < 1 || slotIndex > kCallbackSlots || parameterCount < 0 || parameterCount > kCallbackSlots || !thunkPage_)
        Raise(5, L"CallbackCdecl", L"Invalid parameter");
    uint8_t* slot = thunkPage_ + 128 + 64 * (slotIndex - 1);
    // mov rax, imm64; jmp rax
    const uint64_t address = reinterpret_cast<uintptr_t>(function);
    slot[0] = 0x48;
    slot[1] = 0xB8;
    std::memcpy(slot + 2, &address, 8);
    slot[10] = 0xFF;
    slot[11] = 0xE0;
    ::FlushInstructionCache(::GetCurrentProcess(), slot, 12);
    return slot;
}

void* cCDECL::CallbackObj(int32_t tableOffset, IUnknown* target, int32_t parameterCount, int32_t ordinal,
                          bool /*cdeclCaller*/, int32_t slotIndex) {
    if (slotIndex < 1 || slotIndex > kCallbackSlots || parameterCount < 0 || parameterCount > kCallbackSlots ||
        !target || tableOffset < 0 || tableOffset % sizeof(void*) != 0)
        Raise(6, L"CallbackObj", L"Invalid parameter");
    void* const* table = *reinterpret_cast<void* const* const*>(target);
    const size_t first = size_t(tableOffset) / sizeof(void*);
    // Every entry and the code it names are checked readable before they are read.
    auto codeByte = [&](size_t index, uint8_t& byte) {
        if (::IsBadReadPtr(table + index, sizeof(void*))) return false;
        const auto code = reinterpret_cast<FARPROC>(table[index]);
        if (!code || ::IsBadCodePtr(code)) return false;
        byte = *reinterpret_cast<const uint8_t*>(table[index]);
        return true;
    };
    uint8_t reference = 0;
    if (!codeByte(first, reference)) Raise(7, L"CallbackObj", L"Ordinal not found");
    constexpr size_t kLongestRun = 511;
    size_t end = first + 1;
    for (uint8_t byte = 0; end <= first + kLongestRun && codeByte(end, byte) && byte == reference;) ++end;
    if (end > first + kLongestRun) Raise(7, L"CallbackObj", L"Ordinal not found");
    // An ordinal outside the run would name an entry that is no method of it.
    if (ordinal < 1 || size_t(ordinal) > end - first) Raise(7, L"CallbackObj", L"Ordinal not found");

    cdecl_pool::Bind(slotIndex, {this, target, table[end - size_t(ordinal)], parameterCount});
    return cdecl_pool::SlotAddress(slotIndex);
}

}  // namespace quorallion
