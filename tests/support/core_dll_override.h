#pragma once
// A library refused to the core program alone, through Wine's per-program DLL override. Setting
// WINEDLLOVERRIDES in a client's environment does not reach a local server: Wine starts it from
// another process. Hold the core server lock while it is in place, and start the core after it.
#include <windows.h>

#include <string>

namespace quorallion::testing {

class CoreDllOverride {
public:
    // library: the DLL's base name ("vbscript"); refused while this object lives.
    explicit CoreDllOverride(const wchar_t* library) : library_(library) {
        Remove();  // one left behind by a run that was killed before it could clean up
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        const wchar_t disabled[] = L"";
        set_ = ::RegSetValueExW(key, library_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(disabled),
                                sizeof(disabled)) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~CoreDllOverride() { Remove(); }
    CoreDllOverride(const CoreDllOverride&) = delete;
    CoreDllOverride& operator=(const CoreDllOverride&) = delete;

    bool IsSet() const { return set_; }

private:
    static constexpr wchar_t kProgram[] = L"Software\\Wine\\AppDefaults\\QuorallionCore2.exe";
    static constexpr wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\QuorallionCore2.exe\\DllOverrides";

    void Remove() {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, library_.c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kOverrides);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kProgram);
    }

    std::wstring library_;
    bool set_ = false;
};

}  // namespace quorallion::testing
