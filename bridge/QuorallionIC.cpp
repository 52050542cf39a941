// QuorallionIC.dll: GetInfo and Release for a host that speaks neither COM nor UTF-16.
#include <windows.h>

#include <new>

#include "icore_connection_win.h"
#include "utf8_text_win.h"

namespace {

constexpr char kIcError[] = "{\"state\":\"err\",\"errflag\":\"ic\"}";

// Never destroyed: releasing a COM object while the DLL unloads could hang the host's exit.
quorallion::bridge::IcoreConnection& Connection() {
    static auto* connection = new quorallion::bridge::IcoreConnection;
    return *connection;
}

}  // namespace

extern "C" {

__declspec(dllexport) const char* __cdecl GetInfo(const char* version, const char* config,
                                                  const char* action, const char* param1,
                                                  const char* param2, const char* param3) {
    using namespace quorallion;
    try {
        if (FAILED(Connection().EnsureConnected())) return kIcError;
        const std::wstring texts[6] = {bridge::Utf8ToWide(version), bridge::Utf8ToWide(config),
                                       bridge::Utf8ToWide(action),  bridge::Utf8ToWide(param1),
                                       bridge::Utf8ToWide(param2),  bridge::Utf8ToWide(param3)};
        com::Bstr reply;
        if (FAILED(Connection().GetInfo(texts, reply))) return kIcError;
        // A NULL BSTR is the empty text: the dispatcher answered, with nothing.
        const char* utf8 = bridge::WideToNewUtf8(reply.get(), ::SysStringLen(reply.get()));
        return utf8 ? utf8 : kIcError;
    } catch (const std::bad_alloc&) {
        return kIcError;
    }
}

__declspec(dllexport) void __cdecl Release(void) { Connection().Release(); }

}  // extern "C"
