#pragma once
// Calls functions of a library named at run time. On x86_64 there is one calling convention,
// so the original's machine-code call thunk becomes a typed call through a function pointer of
// sixteen pointer-sized integer arguments (extra argument registers and stack slots are
// ignored by the callee and removed by the caller). Results and errors keep their contract.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "win/handles.h"

namespace quorallion {

enum CallReturnType : int32_t {
    retByte = 0,
    retInt16 = 1,
    retInt32 = 2,
    retInt64 = 3,
    retSingle = 4,
    retDouble = 5,
    retNone = 6,
};

// An error raised by cCDECL: number, source ("cCallFunc2." and the member) and description.
class CdeclError : public std::runtime_error {
public:
    CdeclError(int32_t number, std::wstring source, std::wstring description)
        : std::runtime_error("cCDECL error"), Number(number), Source(std::move(source)),
          Description(std::move(description)) {}
    int32_t Number;
    std::wstring Source;
    std::wstring Description;
};

// A pointer-sized integer argument (buffers and records are passed as their addresses).
VARIANT CdeclArg(int64_t value);
VARIANT CdeclArg(const void* address);
template <typename Integer>
    requires std::is_integral_v<Integer>
VARIANT CdeclArg(Integer value) {
    return CdeclArg(static_cast<int64_t>(value));
}

class cCDECL {
public:
    static constexpr int kMaxArguments = 16;
    static constexpr int kCallbackSlots = 60;

    cCDECL();
    ~cCDECL();
    cCDECL(const cCDECL&) = delete;
    cCDECL& operator=(const cCDECL&) = delete;

    // Kept for the contract; x86_64 has a single convention, so the flag changes no call.
    bool FastCall() const { return fastCall_; }
    void FastCall(bool on) { fastCall_ = on; }
    uint32_t LastError() const { return lastError_; }

    // Results are numeric VARIANTs (VT_UI1, VT_I2, VT_I4, VT_CY, VT_R4, VT_R8) or VT_EMPTY.
    // Arguments convert to integers as VARIANTs do (halves to even); failures raise their HRESULT.
    VARIANT CallFunc(const std::wstring& libraryName, int32_t returnType, const std::wstring& functionName,
                     const std::vector<VARIANT>& arguments = {});
    VARIANT CallPointer(int32_t returnType, const void* function, const std::vector<VARIANT>& arguments = {});

    // An adapter address for C-convention callers; on x86_64 it jumps straight to the function.
    void* CallbackCdecl(const void* function, int32_t parameterCount, int32_t slotIndex);
    // An adapter that calls a method of `target`, found from its method table: the run of entries
    // from tableOffset (bytes) whose code starts with the same byte, ordinal 1 being its last.
    // The method is called as method(target, arguments…, int32_t* result) and the adapter answers
    // *result. Slots are a fixed pool of entry points shared by the process (the latest binding of
    // a slot wins); cdeclCaller is kept for the contract, the single convention needs no
    // difference. The target is not AddRef'd: the caller keeps it alive while the adapter is used.
    void* CallbackObj(int32_t tableOffset, IUnknown* target, int32_t parameterCount, int32_t ordinal,
                      bool cdeclCaller, int32_t slotIndex);

private:
    VARIANT CallCommon(int32_t returnType, const intptr_t (&block)[kMaxArguments]);
    static void FillBlock(const std::vector<VARIANT>& arguments, intptr_t (&block)[kMaxArguments]);

    bool fastCall_ = false;
    uint32_t lastError_ = 0;
    bool unicodeLoad_ = false;
    uint8_t* thunkPage_ = nullptr;  // the callback slots
    HMODULE libraryHandle_ = nullptr;
    std::wstring libraryName_;
    std::wstring functionName_;
    const void* target_ = nullptr;
};

}  // namespace quorallion
