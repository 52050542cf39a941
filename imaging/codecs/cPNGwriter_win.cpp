#include "cPNGwriter.h"

#include <oleauto.h>

#include "c32bppDIB.h"
#include "png_properties.h"
#include "png_write.h"
#include "whole_file_win.h"
#include "zlib_binding_win.h"

namespace quorallion {
namespace {

// The code of one character in the system ANSI code page, as a signed 16-bit value (a character
// coded on two bytes gives lead byte × 256 + trail byte, negative).
int AnsiCode(wchar_t c) {
    char bytes[4] = {};
    const int count = ::WideCharToMultiByte(CP_ACP, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
    if (count == 1) return static_cast<uint8_t>(bytes[0]);
    if (count == 2) return static_cast<int16_t>((static_cast<uint8_t>(bytes[0]) << 8) | static_cast<uint8_t>(bytes[1]));
    return '?';
}

// A value converted with the user's locale, as automation converts it; false when it cannot be.
bool Convert(const VARIANT& value, VARTYPE type, VARIANT& out) {
    ::VariantInit(&out);
    return SUCCEEDED(::VariantChangeTypeEx(&out, const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, type));
}

// The stored time text read back as year (big-endian), month, day, hour, minute, second.
bool TimeBytes(const std::wstring& text, uint8_t (&out)[7]) {
    VARIANT source, date;
    ::VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    const bool converted = Convert(source, VT_DATE, date);
    ::VariantClear(&source);
    SYSTEMTIME st{};
    if (!converted || !::VariantTimeToSystemTime(date.date, &st)) return false;
    out[0] = static_cast<uint8_t>(st.wYear >> 8);
    out[1] = static_cast<uint8_t>(st.wYear);
    out[2] = static_cast<uint8_t>(st.wMonth);
    out[3] = static_cast<uint8_t>(st.wDay);
    out[4] = static_cast<uint8_t>(st.wHour);
    out[5] = static_cast<uint8_t>(st.wMinute);
    out[6] = static_cast<uint8_t>(st.wSecond);
    return true;
}

std::wstring BstrText(const VARIANT& v) { return v.bstrVal ? std::wstring(v.bstrVal, ::SysStringLen(v.bstrVal)) : std::wstring(); }

}  // namespace

struct cPNGwriter::Store {
    codecs::PngPropertyStore properties{AnsiCode};
};

cPNGwriter::cPNGwriter() : store_(std::make_unique<Store>()) {}
cPNGwriter::~cPNGwriter() = default;

bool cPNGwriter::SavePNG(c32bppDIB& cHost, const std::wstring& fileName, std::vector<uint8_t>& outBytes) {
    if (!cHost.Handle() || !cHost.BitsPointer()) return false;
    const codecs::ZlibFunctions zlib = codecs::LoadZlibForWriting();
    if (!zlib.compress2 && !zlib.compress) return false;  // nothing written
    uint8_t time[7] = {};
    const codecs::PngPropertyStore& properties = store_->properties;
    const bool haveTime = properties.IsSet(codecs::kPngModificationTime) && TimeBytes(properties.TimeText(), time);
    const codecs::PngWriteOptions options = properties.WriteOptions(haveTime ? time : nullptr);
    std::vector<uint8_t> png;
    // The rows are read where they are: the image is bottom-up BGRA, 4 × Width bytes per row.
    const codecs::PngPixelView view{cHost.BitsPointer(), cHost.Width(), cHost.Height()};
    if (codecs::EncodePng(view, cHost.Alpha(), options, zlib, png) != codecs::CodecResult::Ok) {
        if (fileName.empty()) outBytes.clear();
        return false;
    }
    if (fileName.empty()) {
        outBytes = std::move(png);
        return true;
    }
    return codecs::WriteWholeFile(fileName, png);
}

bool cPNGwriter::SetPngProperty(int32_t PropertyID, const VARIANT& Value, const std::wstring& Keyword) {
    const VARTYPE type = static_cast<VARTYPE>(Value.vt & VT_TYPEMASK);
    if (type == VT_DISPATCH || type == VT_UNKNOWN || type == VT_NULL ||
        !codecs::PngPropertyStore::IsValidPropertyId(PropertyID))
        return false;
    codecs::PngPropertyStore& properties = store_->properties;
    VARIANT converted;
    ::VariantInit(&converted);
    bool ok = false;
    switch (PropertyID) {
    case codecs::kPngFilterMode:
        if ((ok = Convert(Value, VT_I4, converted))) properties.SetFilterMode(converted.lVal);
        break;
    case codecs::kPngBackground:
        if ((ok = Convert(Value, VT_I4, converted))) properties.SetBackground(converted.lVal);
        break;
    case codecs::kPngModificationTime: {
        VARIANT date;
        if (Convert(Value, VT_DATE, date) && (ok = Convert(date, VT_BSTR, converted))) properties.SetTime(BstrText(converted));
        break;
    }
    default:
        ok = Convert(Value, VT_BSTR, converted) && properties.SetText(PropertyID, BstrText(converted), Keyword);
        break;
    }
    ::VariantClear(&converted);
    return ok;
}

bool cPNGwriter::RemovePngProperty(int32_t PropertyID, const std::wstring& Keyword) {
    return store_->properties.Remove(PropertyID, Keyword);
}

void cPNGwriter::GetPngProperty(int32_t PropertyID, const std::wstring& Keyword, VARIANT* result) const {
    if (!result) return;
    ::VariantClear(result);
    if (!codecs::PngPropertyStore::IsValidPropertyId(PropertyID)) return;
    const codecs::PngPropertyStore& properties = store_->properties;
    switch (PropertyID) {
    case codecs::kPngBackground:
        result->vt = VT_I4;
        result->lVal = properties.IsSet(PropertyID) ? properties.Background() : -1;
        return;
    case codecs::kPngFilterMode:
        result->vt = VT_I4;
        result->lVal = properties.FilterMode();
        return;
    case codecs::kPngModificationTime: {
        result->vt = VT_DATE;
        result->date = 0;
        if (!properties.IsSet(PropertyID)) return;
        VARIANT text, date;
        ::VariantInit(&text);
        text.vt = VT_BSTR;
        text.bstrVal = ::SysAllocStringLen(properties.TimeText().data(), static_cast<UINT>(properties.TimeText().size()));
        if (Convert(text, VT_DATE, date)) result->date = date.date;
        ::VariantClear(&text);
        return;
    }
    default: {
        const std::wstring value = properties.GetText(PropertyID, Keyword);
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return;
    }
    }
}

}  // namespace quorallion
