#pragma once
// The registry window of the system: point the object at a root, a key path and a value name,
// then read or write the value, test, create or delete the key, list values or subkeys, and
// write file associations. Texts go through the wide-character calls.
#include <windows.h>

#include "error/LibraryError.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace quorallion {

// A value as it travels in and out: nothing, text, 32-bit integer, bytes, or another number
// (which only a text write accepts).
using RegistryValue = std::variant<std::monostate, std::wstring, int32_t, std::vector<uint8_t>, double>;

// The registry's errors: source the running program's name followed by ".cRegistry".
class RegistryError : public LibraryError {
public:
    static constexpr long kKeyFailure = 26001;
    static constexpr long kSetValueFailed = -2147194455;        // 0x800469A9
    static constexpr long kEnumerateFailed = -2147194454;       // 0x800469AA
    static constexpr long kBadAssociationList = -2147194452;    // 0x800469AC
    static constexpr long kAssociationClassMissing = -2147194451;  // 0x800469AD

    RegistryError(long number, std::wstring description);
};

class clsRegistry {
public:
    // True asks for the 64-bit view; it takes effect only in a process running under WOW64.
    void Access64bit(bool wanted);
    const std::wstring& Machine() const { return machine_; }
    void Machine(const std::wstring& name);

    bool KeyExists() const;
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();

    // The value, or Default when it cannot be read; a read sets ValueType to the type found.
    RegistryValue Value();
    void Value(const RegistryValue& value);

    // Names in the order the registry lists them. Always true.
    bool EnumerateValues(std::vector<std::wstring>& names, int32_t& count) const;
    bool EnumerateSections(std::vector<std::wstring>& names, int32_t& count) const;

    void CreateEXEAssociation(const std::wstring& programPath, const std::wstring& className,
                              const std::wstring& description, const std::wstring& extension,
                              const std::wstring& openText = L"", bool print = false,
                              const std::wstring& printText = L"", bool newWanted = false,
                              const std::wstring& newText = L"", bool install = false,
                              const std::wstring& installText = L"", int32_t iconIndex = -1);
    // verbs: verb name, verb text, command, in threes.
    void CreateAdditionalEXEAssociations(const std::wstring& className,
                                         const std::vector<std::wstring>& verbs);

    int32_t ValueType() const { return valueType_; }
    void ValueType(int32_t type) { valueType_ = type; }
    HKEY ClassKey() const { return classKey_; }
    void ClassKey(HKEY root) { classKey_ = root; }
    const std::wstring& SectionKey() const { return sectionKey_; }
    void SectionKey(const std::wstring& path) { sectionKey_ = path; }
    const std::wstring& ValueKey() const { return valueKey_; }
    void ValueKey(const std::wstring& name) { valueKey_ = name; }
    const RegistryValue& Default() const { return default_; }
    void Default(const RegistryValue& value) { default_ = value; }

    RegistryValue ValueEx(HKEY root, const std::wstring& section, const std::wstring& valueName,
                          int32_t type, const RegistryValue& defaultValue);
    void ValueEx(HKEY root, const std::wstring& section, const std::wstring& valueName,
                 int32_t type, const RegistryValue& defaultValue, const RegistryValue& newValue);

    // The value as the set-value message and text writes show it.
    static std::wstring ValueText(const RegistryValue& value);

protected:
    // The flag added to every access mask; Access64bit sets it. A test sets the other view here
    // to see the flag reach every call.
    void ViewFlag(REGSAM flag) { viewFlag_ = flag; }

private:
    void WriteBothClassRoots(const std::wstring& text);
    std::wstring RootText() const;

    HKEY classKey_ = nullptr;
    std::wstring sectionKey_;
    std::wstring valueKey_;
    RegistryValue default_;
    int32_t valueType_ = 0;
    std::wstring machine_;
    REGSAM viewFlag_ = 0;
};

}  // namespace quorallion
