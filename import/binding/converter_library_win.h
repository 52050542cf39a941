#pragma once
// The converter libraries' exports, bound by library name at their first call with the standard
// library search (the program's folder first), as a declared import would be. A library that
// loaded stays loaded for the process; a failed binding is tried again at the next call.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace quorallion {

// The library, a library it needs, or the entry could not be loaded.
class ConverterBindError : public std::runtime_error {
public:
    ConverterBindError(std::wstring library, std::string entry, DWORD code)
        : std::runtime_error("cannot bind " + entry + " of a converter library"),
          library_(std::move(library)), entry_(std::move(entry)), code_(code) {}
    const std::wstring& Library() const { return library_; }
    const std::string& Entry() const { return entry_; }
    DWORD Code() const { return code_; }  // GetLastError of the failed step

private:
    std::wstring library_;
    std::string entry_;
    DWORD code_;
};

// The entry's address; raises ConverterBindError. A library given by a full path has the
// libraries it needs looked for in its own folder first.
FARPROC BindConverterExport(const std::wstring& library, const char* entry);

template <typename Function>
Function BindConverter(const std::wstring& library, const char* entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(BindConverterExport(library, entry)));
}

}  // namespace quorallion
