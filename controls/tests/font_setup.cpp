// Maps the captions' Chinese font names to the installed CJK font in this Wine prefix, so
// that windows drawn in "宋体" or "SimSun" show their text (run before the screen tests).
#include <windows.h>

#include <cstdio>
#include <initializer_list>

int wmain() {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        std::printf("font_setup: cannot open the replacements key\n");
        return 1;
    }
    const wchar_t target[] = L"WenQuanYi Zen Hei";
    bool ok = true;
    for (const wchar_t* name : {L"SimSun", L"宋体"})
        ok &= ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(target), sizeof(target)) ==
              ERROR_SUCCESS;
    ::RegCloseKey(key);
    std::printf("font_setup: %s\n", ok ? "SimSun and 宋体 map to WenQuanYi Zen Hei" : "failed");
    return ok ? 0 : 1;
}
