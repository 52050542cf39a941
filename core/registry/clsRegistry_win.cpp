#include "registry/clsRegistry.h"

#include <cstring>
#include <cwchar>

#include "error/program_name.h"
#include "win/handles.h"

namespace quorallion {
namespace {

constexpr REGSAM kRead = KEY_QUERY_VALUE;  // 1
constexpr REGSAM kWrite = 0x3F;            // query, set, create subkey, enumerate, notify, link

// The root of a remote computer's registry when a machine is named, else the local root.
class RootKey {
public:
    RootKey(HKEY root, const std::wstring& machine) : root_(root) {
        if (machine.empty()) return;
        if (::RegConnectRegistryW(machine.c_str(), root, remote_.put()) != ERROR_SUCCESS) {
            failed_ = true;
            remote_.reset();
        }
    }
    bool failed() const { return failed_; }
    HKEY get() const { return remote_ ? remote_.get() : root_; }

private:
    HKEY root_;
    win::UniqueHKey remote_;
    bool failed_ = false;
};

std::wstring FromData(const std::vector<uint8_t>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();  // the terminator only
    return text;
}

std::wstring Expand(const std::wstring& text) {
    DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring out(needed, L'\0');
    DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    if (written == 0 || written > needed) return text;
    out.resize(written - 1);
    return out;
}

// Two "%" with at least one character between them.
bool HoldsEnvironmentReference(const std::wstring& text) {
    size_t first = text.find(L'%');
    return first != std::wstring::npos && text.find(L'%', first + 2) != std::wstring::npos;
}

}  // namespace

RegistryError::RegistryError(long number, std::wstring description)
    : LibraryError(number, ProgramName() + L".cRegistry", std::move(description)) {}

void clsRegistry::Access64bit(bool wanted) {
    viewFlag_ = 0;
    if (!wanted) return;
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32");
    auto isWow64 = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")))
                          : nullptr;
    BOOL underWow64 = FALSE;
    if (isWow64 && isWow64(::GetCurrentProcess(), &underWow64) && underWow64)
        viewFlag_ = KEY_WOW64_64KEY;
}

void clsRegistry::Machine(const std::wstring& name) {
    if (name.size() < 3) machine_.clear();
    else if (name.rfind(L"\\\\", 0) == 0) machine_ = name;
    else machine_ = L"\\\\" + name;
}

std::wstring clsRegistry::RootText() const {
    return std::to_wstring(static_cast<int32_t>(reinterpret_cast<uintptr_t>(classKey_)));
}

bool clsRegistry::KeyExists() const {
    win::UniqueHKey key;
    return ::RegOpenKeyExW(classKey_, sectionKey_.c_str(), 0, kRead | viewFlag_, key.put()) ==
           ERROR_SUCCESS;
}

bool clsRegistry::CreateKey() {
    win::UniqueHKey key;
    if (::RegCreateKeyExW(classKey_, sectionKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          kWrite | viewFlag_, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        throw RegistryError(RegistryError::kKeyFailure,
                            L"Failed to create registry Key: '" + sectionKey_);
    return true;
}

bool clsRegistry::DeleteKey() {
    // The view flag applies here too, or a 32-bit process would delete in the wrong view.
    if (::RegDeleteKeyExW(classKey_, sectionKey_.c_str(), viewFlag_, 0) != ERROR_SUCCESS)
        throw RegistryError(RegistryError::kKeyFailure, L"Failed to delete registry Key: '" +
                                                            RootText() + L"',Section: '" +
                                                            sectionKey_);
    return true;
}

bool clsRegistry::DeleteValue() {
    win::UniqueHKey key;
    if (::RegOpenKeyExW(classKey_, sectionKey_.c_str(), 0, kWrite | viewFlag_, key.put()) !=
        ERROR_SUCCESS)
        throw RegistryError(RegistryError::kKeyFailure, L"Failed to open key '" + RootText() +
                                                            L"',Section: '" + sectionKey_ +
                                                            L"' for delete access");
    if (::RegDeleteValueW(key.get(), valueKey_.c_str()) != ERROR_SUCCESS)
        throw RegistryError(RegistryError::kKeyFailure,
                            L"Failed to delete registry Key: '" + RootText() + L"',Section: '" +
                                sectionKey_ + L"',Key: '" + valueKey_);
    return true;
}

RegistryValue clsRegistry::Value() {
    RootKey root(classKey_, machine_);
    if (root.failed()) return default_;
    win::UniqueHKey key;
    if (::RegOpenKeyExW(root.get(), sectionKey_.c_str(), 0, kRead | viewFlag_, key.put()) !=
        ERROR_SUCCESS)
        return default_;
    DWORD type = 0, size = 0;
    LONG status = ::RegQueryValueExW(key.get(), valueKey_.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return default_;
    // The value may change between the two calls: ask again until the buffer holds it.
    std::vector<uint8_t> data;
    do {
        data.resize(size);
        status = ::RegQueryValueExW(key.get(), valueKey_.c_str(), nullptr, &type,
                                    data.empty() ? nullptr : data.data(), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return default_;
    data.resize(size);
    valueType_ = static_cast<int32_t>(type);
    switch (type) {
        case REG_SZ:
        case REG_MULTI_SZ:
            return FromData(data);
        case REG_EXPAND_SZ:
            return Expand(FromData(data));
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN: {
            if (data.size() < 4) return data;
            uint32_t number = type == REG_DWORD
                                  ? (uint32_t(data[0]) | uint32_t(data[1]) << 8 |
                                     uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24)
                                  : (uint32_t(data[3]) | uint32_t(data[2]) << 8 |
                                     uint32_t(data[1]) << 16 | uint32_t(data[0]) << 24);
            return static_cast<int32_t>(number);
        }
        default:
            return data;
    }
}

std::wstring clsRegistry::ValueText(const RegistryValue& value) {
    struct Visitor {
        std::wstring operator()(std::monostate) const { return {}; }
        std::wstring operator()(const std::wstring& text) const { return text; }
        std::wstring operator()(int32_t number) const { return std::to_wstring(number); }
        std::wstring operator()(const std::vector<uint8_t>& bytes) const {
            std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
            if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
            return text;
        }
        std::wstring operator()(double number) const {
            wchar_t buffer[64];
            std::swprintf(buffer, 64, L"%.15g", number);
            return buffer;
        }
    };
    return std::visit(Visitor{}, value);
}

void clsRegistry::Value(const RegistryValue& value) {
    const std::wstring failure = L"Failed to set registry value Key: '" + RootText() +
                                 L"',Section: '" + sectionKey_ + L"',Key: '" + valueKey_ +
                                 L"' to value: '" + ValueText(value) + L"'";
    RootKey root(classKey_, machine_);
    win::UniqueHKey key;
    if (root.failed() ||
        ::RegCreateKeyExW(root.get(), sectionKey_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          kWrite | viewFlag_, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        throw RegistryError(RegistryError::kKeyFailure, failure);

    LONG status = ERROR_INVALID_PARAMETER;
    switch (valueType_) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            const std::wstring text = ValueText(value);
            const DWORD type = HoldsEnvironmentReference(text) ? REG_EXPAND_SZ : REG_SZ;
            status = ::RegSetValueExW(key.get(), valueKey_.c_str(), 0, type,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
            break;
        }
        case REG_BINARY: {
            const auto* bytes = std::get_if<std::vector<uint8_t>>(&value);
            if (!bytes) throw RegistryError(RegistryError::kKeyFailure, L"");
            status = ::RegSetValueExW(key.get(), valueKey_.c_str(), 0, REG_BINARY,
                                      bytes->empty() ? nullptr : bytes->data(),
                                      static_cast<DWORD>(bytes->size()));
            break;
        }
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN: {
            // Only an integer can be stored; anything else is a failed write, not a silent one.
            const auto* number = std::get_if<int32_t>(&value);
            if (!number) break;
            const DWORD data = static_cast<DWORD>(*number);
            status = ::RegSetValueExW(key.get(), valueKey_.c_str(), 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&data), sizeof(data));
            break;
        }
        default:
            break;
    }
    if (status != ERROR_SUCCESS) throw RegistryError(RegistryError::kSetValueFailed, failure);
}

RegistryValue clsRegistry::ValueEx(HKEY root, const std::wstring& section,
                                   const std::wstring& valueName, int32_t type,
                                   const RegistryValue& defaultValue) {
    classKey_ = root;
    sectionKey_ = section;
    valueKey_ = valueName;
    valueType_ = type;
    default_ = defaultValue;
    return Value();
}

void clsRegistry::ValueEx(HKEY root, const std::wstring& section, const std::wstring& valueName,
                          int32_t type, const RegistryValue& defaultValue,
                          const RegistryValue& newValue) {
    classKey_ = root;
    sectionKey_ = section;
    valueKey_ = valueName;
    valueType_ = type;
    default_ = defaultValue;
    if (type == REG_SZ && ValueText(newValue).empty()) Value(defaultValue);
    else Value(newValue);
}

bool clsRegistry::EnumerateValues(std::vector<std::wstring>& names, int32_t& count) const {
    names.clear();
    count = 0;
    win::UniqueHKey key;
    if (::RegOpenKeyExW(classKey_, sectionKey_.c_str(), 0, kRead | viewFlag_, key.put()) !=
        ERROR_SUCCESS)
        return true;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        if (::RegEnumValueW(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr,
                            nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(buffer.data(), length);
        ++count;
    }
    return true;
}

bool clsRegistry::EnumerateSections(std::vector<std::wstring>& names, int32_t& count) const {
    names.clear();
    count = 0;
    try {
        win::UniqueHKey key;
        if (::RegOpenKeyExW(classKey_, sectionKey_.c_str(), 0,
                            KEY_ENUMERATE_SUB_KEYS | viewFlag_, key.put()) != ERROR_SUCCESS)
            return true;
        wchar_t buffer[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = 256;
            if (::RegEnumKeyExW(key.get(), index, buffer, &length, nullptr, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(buffer, wcsnlen(buffer, length));
            ++count;
        }
    } catch (const std::exception& e) {
        const std::string what = e.what();
        throw RegistryError(RegistryError::kEnumerateFailed, std::wstring(what.begin(), what.end()));
    }
    return true;
}

}  // namespace quorallion
