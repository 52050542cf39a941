#include "binding/converter_library_win.h"

#include <map>

namespace quorallion {

FARPROC BindConverterExport(const std::wstring& library, const char* entry) {
    // Single-threaded callers (the core's one thread); each library loaded once per process.
    static std::map<std::wstring, HMODULE> loaded;
    HMODULE& module = loaded[library];
    if (!module) {
        module = ::LoadLibraryExW(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!module) throw ConverterBindError(library, entry, ::GetLastError());
    }
    FARPROC address = ::GetProcAddress(module, entry);
    if (!address) throw ConverterBindError(library, entry, ::GetLastError());
    return address;
}

}  // namespace quorallion
