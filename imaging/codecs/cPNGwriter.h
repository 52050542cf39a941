#pragma once
// The PNG writer of the image suite and its property store (text keywords, time, background
// colour, filter mode), which survives saves: the image object keeps one writer per image for it.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorallion {

class c32bppDIB;

class cPNGwriter {
public:
    cPNGwriter();
    ~cPNGwriter();
    cPNGwriter(const cPNGwriter&) = delete;
    cPNGwriter& operator=(const cPNGwriter&) = delete;

    // fileName empty: the PNG goes into outBytes (replaced, exactly its length); else into the
    // file. False when zlib is missing or writing fails.
    bool SavePNG(c32bppDIB& cHost, const std::wstring& fileName, std::vector<uint8_t>& outBytes);

    // The property store. Value is any automation value; Keyword names a custom text keyword.
    bool SetPngProperty(int32_t PropertyID, const VARIANT& Value, const std::wstring& Keyword);
    bool RemovePngProperty(int32_t PropertyID, const std::wstring& Keyword);
    // The stored value into *result (cleared first; VT_EMPTY when nothing is stored).
    void GetPngProperty(int32_t PropertyID, const std::wstring& Keyword, VARIANT* result) const;

private:
    struct Store;
    std::unique_ptr<Store> store_;
};

}  // namespace quorallion
