#include "zlib_binding_win.h"

#include <memory>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "cCDECL.h"

namespace quorallion::codecs {
namespace {

std::vector<std::wstring>& Names() {
    static std::vector<std::wstring> names = {L"zlib1.dll", L"zlib.dll"};
    return names;
}

// One caller per binding, shared by its functions; any error from the call counts as a failure.
int32_t Call(const std::shared_ptr<cCDECL>& caller, const std::wstring& library, const wchar_t* function,
             std::initializer_list<VARIANT> arguments) {
    try {
        VARIANT result = caller->CallFunc(library, retInt32, function, std::vector<VARIANT>(arguments));
        return result.vt == VT_I4 ? result.lVal : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

}  // namespace

const std::vector<std::wstring>& ZlibLibraryNames() { return Names(); }

void SetZlibLibraryNamesForTest(std::vector<std::wstring> names) { Names() = std::move(names); }

ZlibFunctions LoadZlibForReading() {
    ZlibFunctions z;
    for (const std::wstring& library : Names()) {
        if (!bas32bppDIBParsers::IsDllExportAvailable(library, "uncompress")) continue;
        auto caller = std::make_shared<cCDECL>();
        // zlib's uLong is 32 bits on Windows, so the length travels as a uint32_t's address.
        z.uncompress = [caller, library](uint8_t* dest, uint32_t& destLen, const uint8_t* src, uint32_t srcLen) {
            return Call(caller, library, L"uncompress", {CdeclArg(dest), CdeclArg(&destLen), CdeclArg(src), CdeclArg(srcLen)});
        };
        break;
    }
    return z;
}

ZlibFunctions LoadZlibForWriting() {
    ZlibFunctions z;
    for (const char* exportName : {"compress2", "compress"})
        for (const std::wstring& library : Names()) {
            if (!bas32bppDIBParsers::IsDllExportAvailable(library, exportName)) continue;
            auto caller = std::make_shared<cCDECL>();
            if (std::string(exportName) == "compress2") {
                z.compress2 = [caller, library](uint8_t* dest, uint32_t& destLen, const uint8_t* src, uint32_t srcLen,
                                                int level) {
                    return Call(caller, library, L"compress2",
                                {CdeclArg(dest), CdeclArg(&destLen), CdeclArg(src), CdeclArg(srcLen), CdeclArg(level)});
                };
            } else {
                z.compress = [caller, library](uint8_t* dest, uint32_t& destLen, const uint8_t* src, uint32_t srcLen) {
                    return Call(caller, library, L"compress", {CdeclArg(dest), CdeclArg(&destLen), CdeclArg(src), CdeclArg(srcLen)});
                };
            }
            return z;
        }
    return z;
}

}  // namespace quorallion::codecs
