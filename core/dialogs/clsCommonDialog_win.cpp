#include "dialogs/clsCommonDialog.h"

#include <cderr.h>
#include <commdlg.h>
#include <olectl.h>
#include <winspool.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "error/program_name.h"

namespace quorallion {
namespace {

constexpr DWORD kFileBuffer = 32767;

// An automation font's properties, by their standard dispatch identifiers.
constexpr DISPID kFontName = 0, kFontSize = 2, kFontBold = 3, kFontItalic = 4, kFontUnderline = 5,
                 kFontStrikethrough = 6, kFontWeight = 7;

HRESULT GetProperty(IDispatch* object, DISPID id, VARIANT& value) {
    ::VariantInit(&value);
    DISPPARAMS none{};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
}

HRESULT PutProperty(IDispatch* object, DISPID id, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
}

VARIANT Bool(bool on) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Short(int16_t number) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = number;
    return v;
}

// The property read as the given type; the fallback when it cannot be.
template <typename T>
T Read(IDispatch* font, DISPID id, VARTYPE type, T VARIANT::*field, T fallback) {
    VARIANT raw, converted;
    ::VariantInit(&converted);
    T result = fallback;
    if (SUCCEEDED(GetProperty(font, id, raw)) && SUCCEEDED(::VariantChangeType(&converted, &raw, 0, type)))
        result = converted.*field;
    ::VariantClear(&raw);
    ::VariantClear(&converted);
    return result;
}

std::wstring ReadName(IDispatch* font) {
    VARIANT raw;
    std::wstring name;
    if (SUCCEEDED(GetProperty(font, kFontName, raw)) && raw.vt == VT_BSTR && raw.bstrVal)
        name.assign(raw.bstrVal, ::SysStringLen(raw.bstrVal));
    ::VariantClear(&raw);
    return name;
}

// Sets a named property of the optional printer object; a failure is ignored.
void SetPrinterProperty(IDispatch* printer, const wchar_t* name, int16_t value) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(printer->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return;
    PutProperty(printer, id, Short(value));
}

void PushToPrinter(IDispatch* printer, const DEVMODEA& mode) {
    if (!printer) return;
    SetPrinterProperty(printer, L"Copies", mode.dmCopies);
    SetPrinterProperty(printer, L"Orientation", mode.dmOrientation);
    SetPrinterProperty(printer, L"PaperSize", mode.dmPaperSize);
    SetPrinterProperty(printer, L"PrintQuality", mode.dmPrintQuality);
}

// Copies at most dmSize bytes of a returned device-mode block and frees the dialog's blocks.
DEVMODEA TakeDeviceMode(HGLOBAL& deviceMode, HGLOBAL& deviceNames) {
    DEVMODEA copy{};
    if (deviceMode) {
        const SIZE_T blockSize = ::GlobalSize(deviceMode);
        if (const auto* mode = static_cast<const DEVMODEA*>(::GlobalLock(deviceMode))) {
            size_t bytes = sizeof copy;
            if (blockSize >= offsetof(DEVMODEA, dmSize) + sizeof(mode->dmSize)) bytes = std::min<size_t>(bytes, mode->dmSize);
            bytes = std::min<size_t>(bytes, blockSize);
            std::memcpy(&copy, mode, bytes);
            ::GlobalUnlock(deviceMode);
        }
        ::GlobalFree(deviceMode);
        deviceMode = nullptr;
    }
    if (deviceNames) {
        ::GlobalFree(deviceNames);
        deviceNames = nullptr;
    }
    return copy;
}

std::vector<wchar_t> Buffer(const std::wstring& initial) {
    std::vector<wchar_t> buffer(kFileBuffer + 1, L'\0');
    std::memcpy(buffer.data(), initial.data(), std::min<size_t>(initial.size(), kFileBuffer - 1) * sizeof(wchar_t));
    return buffer;
}

std::wstring BeforeNul(const wchar_t* text) { return std::wstring(text); }

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// The face name in the ANSI code page: at most 31 bytes, cut only between characters.
void PutFaceName(LOGFONTA& font, const std::wstring& name) {
    size_t used = 0;
    for (size_t i = 0; i < name.size() && name[i] != L'\0';) {
        const size_t width = (IS_HIGH_SURROGATE(name[i]) && i + 1 < name.size()) ? 2 : 1;
        char bytes[8];
        const int length = ::WideCharToMultiByte(CP_ACP, 0, name.data() + i, static_cast<int>(width), bytes,
                                                 sizeof bytes, nullptr, nullptr);
        if (length <= 0 || used + static_cast<size_t>(length) > LF_FACESIZE - 1) break;
        std::memcpy(font.lfFaceName + used, bytes, static_cast<size_t>(length));
        used += static_cast<size_t>(length);
        i += width;
    }
    font.lfFaceName[used] = '\0';
}

std::wstring FromAnsi(const char* text, size_t maxBytes) {
    const size_t length = strnlen(text, maxBytes);
    if (length == 0) return L"";
    std::wstring out(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, text, int(length), nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, int(length), out.data(), int(out.size()));
    return out;
}

HWND Owner(HWND owner) { return owner == clsCommonDialog::kNoOwner ? nullptr : owner; }

}  // namespace

std::wstring clsCommonDialog::ConvertFilter(const std::wstring& filter) {
    std::wstring converted = filter;
    for (wchar_t& c : converted)
        if (c == L':' || c == L'|') c = L'\0';
    converted += L'\0';
    converted += L'\0';
    return converted;
}

std::wstring clsCommonDialog::FilterLookup(const std::wstring& filter, int32_t index) {
    if (index <= 0) return L"";
    // Walk the NUL-separated parts: pair n is parts 2n-2 and 2n-1.
    std::vector<std::wstring> parts;
    size_t at = 0;
    while (at < filter.size()) {
        const size_t nul = filter.find(L'\0', at);
        const size_t end = nul == std::wstring::npos ? filter.size() : nul;
        if (end == at) break;  // the closing pair of NULs
        parts.push_back(filter.substr(at, end - at));
        at = end + 1;
    }
    const size_t description = static_cast<size_t>(index) * 2 - 2;
    if (description >= parts.size()) return L"";
    std::wstring pair = parts[description] + L'\0';
    if (description + 1 < parts.size()) pair += parts[description + 1];
    return pair;
}

void clsCommonDialog::RaiseDialogError(long number) {
    if (number <= 1000) throw LibraryError(number, ProgramName() + L".VBError", runtime::ErrorText(number));
    const long combined = static_cast<long>(static_cast<uint32_t>(number) | 0x80040000u);
    throw LibraryError(combined, ProgramName() + L".CommonDialog", L"");
}

void clsCommonDialog::Unconfirmed() { extendedError_ = static_cast<int32_t>(::CommDlgExtendedError()); }

bool clsCommonDialog::ShowFileDialog(BOOL(WINAPI* show)(LPOPENFILENAMEW), DWORD bits, bool multiSelect,
                                     int32_t cancelledIndex, FileDialogResults results, const std::wstring& initDir,
                                     const std::wstring& dlgTitle, const std::wstring& defaultExt, HWND owner) {
    const std::wstring converted = ConvertFilter(results.filter);
    std::vector<wchar_t> file = Buffer(results.fileName), title = Buffer(results.fileTitle);

    OPENFILENAMEW record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = Owner(owner);
    record.lpstrFilter = converted.c_str();
    record.nFilterIndex = static_cast<DWORD>(results.filterIndex);
    record.lpstrFile = file.data();
    record.nMaxFile = kFileBuffer;
    record.lpstrFileTitle = title.data();
    record.nMaxFileTitle = kFileBuffer;
    record.lpstrInitialDir = OrNull(initDir);
    record.lpstrTitle = OrNull(dlgTitle);
    record.lpstrDefExt = OrNull(defaultExt);
    record.Flags = bits;
    apiReturn_ = show(&record);
    if (apiReturn_ != 1) {
        Unconfirmed();
        results.fileName.clear();
        results.fileTitle.clear();
        results.filter.clear();
        results.flags = 0;
        results.filterIndex = cancelledIndex;
        return false;
    }
    // With multiple selection the whole NUL-separated answer goes to ParseMultiFileName.
    results.fileName = multiSelect ? std::wstring(file.data(), kFileBuffer) : BeforeNul(file.data());
    results.fileTitle = BeforeNul(title.data());
    results.flags = static_cast<int32_t>(record.Flags);
    results.filterIndex = static_cast<int32_t>(record.nFilterIndex);
    results.filter = FilterLookup(converted, results.filterIndex);
    return true;
}

bool clsCommonDialog::VBGetOpenFileName(std::wstring& fileName, std::wstring& fileTitle, bool fileMustExist,
                                        bool multiSelect, bool& readOnly, bool hideReadOnly, std::wstring& filter,
                                        int32_t& filterIndex, const std::wstring& initDir,
                                        const std::wstring& dlgTitle, const std::wstring& defaultExt, HWND owner,
                                        int32_t& flags) {
    apiReturn_ = 0;
    extendedError_ = 0;
    DWORD bits = static_cast<DWORD>(flags) & ~DWORD(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    if (fileMustExist) bits |= OFN_FILEMUSTEXIST;
    if (multiSelect) bits |= OFN_ALLOWMULTISELECT;
    if (readOnly) bits |= OFN_READONLY;
    if (hideReadOnly) bits |= OFN_HIDEREADONLY;
    if (bits & OFN_ALLOWMULTISELECT) bits |= OFN_EXPLORER;  // names come back NUL-separated
    if (!ShowFileDialog(::GetOpenFileNameW, bits, (bits & OFN_ALLOWMULTISELECT) != 0, -1,
                        {fileName, fileTitle, filter, filterIndex, flags}, initDir, dlgTitle, defaultExt, owner))
        return false;
    if (flags & OFN_READONLY) readOnly = true;
    return true;
}

bool clsCommonDialog::VBGetSaveFileName(std::wstring& fileName, std::wstring& fileTitle, bool overwritePrompt,
                                        std::wstring& filter, int32_t& filterIndex, const std::wstring& initDir,
                                        const std::wstring& dlgTitle, const std::wstring& defaultExt, HWND owner,
                                        int32_t& flags) {
    apiReturn_ = 0;
    extendedError_ = 0;
    DWORD bits = static_cast<DWORD>(flags) & ~DWORD(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
    if (overwritePrompt) bits |= OFN_OVERWRITEPROMPT;
    bits |= OFN_HIDEREADONLY;
    return ShowFileDialog(::GetSaveFileNameW, bits, false, 0, {fileName, fileTitle, filter, filterIndex, flags},
                          initDir, dlgTitle, defaultExt, owner);
}

void clsCommonDialog::ParseMultiFileName(const std::wstring& fileNames, std::wstring& folder,
                                         std::vector<std::wstring>& names, int32_t& count) {
    const size_t end = fileNames.find(std::wstring(2, L'\0'));
    if (end == std::wstring::npos)
        RaiseDialogError(runtime::kInvalidProcedureCall);
    const std::wstring list = fileNames.substr(0, end);
    names.clear();
    if (list.find(L'\0') == std::wstring::npos) {
        count = 1;
        const size_t slash = fileNames.rfind(L'\\');
        if (slash == std::wstring::npos) {
            folder.clear();
            names.push_back(fileNames);
        } else {
            folder = fileNames.substr(0, slash + 1);
            names.push_back(BeforeNul(fileNames.c_str() + slash + 1));
        }
        return;
    }
    size_t at = list.find(L'\0');
    folder = list.substr(0, at);
    while (at < list.size()) {
        const size_t next = std::min(list.find(L'\0', at + 1), list.size());
        names.push_back(list.substr(at + 1, next - at - 1));
        at = next;
    }
    count = static_cast<int32_t>(names.size());
}

std::wstring clsCommonDialog::VBGetFileTitle(const std::wstring& path) {
    std::vector<wchar_t> buffer(kFileBuffer + 1, L'\0');
    if (::GetFileTitleW(path.c_str(), buffer.data(), static_cast<WORD>(kFileBuffer)) == 0) return BeforeNul(buffer.data());
    return L"";
}

void clsCommonDialog::InitCustomColors() {
    if (customColorsReady_) return;
    for (int i = 0; i < 16; ++i) customColors_[static_cast<size_t>(i)] = ::GetSysColor(i);
    customColorsReady_ = true;
}

int32_t clsCommonDialog::CustomColor(int16_t index) {
    InitCustomColors();
    if (index < 0 || index > 15) return -1;
    return static_cast<int32_t>(customColors_[static_cast<size_t>(index)]);
}

void clsCommonDialog::CustomColor(int16_t index, int32_t color) {
    InitCustomColors();
    if (index < 0 || index > 15) return;
    customColors_[static_cast<size_t>(index)] = static_cast<COLORREF>(color);
}

bool clsCommonDialog::VBChooseColor(int32_t& color, bool anyColor, bool fullOpen, bool preventFullOpen, HWND owner) {
    InitCustomColors();
    DWORD bits = CC_RGBINIT | (anyColor ? CC_ANYCOLOR : CC_SOLIDCOLOR);
    if (fullOpen) bits |= CC_FULLOPEN;
    if (preventFullOpen) bits |= CC_PREVENTFULLOPEN;
    bits &= ~DWORD(CC_ENABLEHOOK | CC_ENABLETEMPLATE);
    CHOOSECOLORA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = Owner(owner);
    record.rgbResult = static_cast<COLORREF>(color);
    record.lpCustColors = customColors_.data();
    record.Flags = bits;
    apiReturn_ = ::ChooseColorA(&record);
    if (apiReturn_ == 1) {
        color = static_cast<int32_t>(record.rgbResult);
        return true;
    }
    Unconfirmed();
    color = -1;
    return false;
}

bool clsCommonDialog::VBChooseFont(IDispatch* font, HDC& dc, HWND owner, int32_t& color, int32_t minSize,
                                   int32_t maxSize, int32_t& flags) {
    apiReturn_ = 0;
    extendedError_ = 0;
    DWORD bits = static_cast<DWORD>(flags);
    if (dc == kNoDC) {
        dc = nullptr;
        if (bits & CF_PRINTERFONTS) {
            DWORD length = 0;
            ::GetDefaultPrinterW(nullptr, &length);
            std::vector<wchar_t> printer(length + 1);
            if (length && ::GetDefaultPrinterW(printer.data(), &length))
                dc = ::CreateDCW(L"WINSPOOL", printer.data(), nullptr, nullptr);  // the caller's now
        }
    }
    if (dc) bits |= CF_PRINTERFONTS;
    if (!(bits & CF_PRINTERFONTS)) bits |= CF_SCREENFONTS;
    if (color != 0) bits |= CF_EFFECTS;
    if (minSize != 0 || maxSize != 0) bits |= CF_LIMITSIZE;
    bits &= ~DWORD(CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_APPLY);
    bits |= CF_INITTOLOGFONTSTRUCT;
    flags = static_cast<int32_t>(bits);
    if (!font) {
        extendedError_ = CDERR_INITIALIZATION;
        return false;
    }

    const CY sizeCy = Read<CY>(font, kFontSize, VT_CY, &VARIANT::cyVal, CY{});
    const double points = static_cast<double>(sizeCy.int64) / 10000.0;
    HDC screen = ::GetDC(nullptr);
    const int pixelsPerInch = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    const double twipsPerPixel = 1440.0 / (pixelsPerInch > 0 ? pixelsPerInch : 96);

    LOGFONTA logFont{};
    logFont.lfHeight = -static_cast<LONG>(std::nearbyint(points * 20.0 / twipsPerPixel));  // halves to even
    logFont.lfWeight = Read<SHORT>(font, kFontWeight, VT_I2, &VARIANT::iVal, 400);
    logFont.lfItalic = Read<VARIANT_BOOL>(font, kFontItalic, VT_BOOL, &VARIANT::boolVal, VARIANT_FALSE) ? 1 : 0;
    logFont.lfUnderline = Read<VARIANT_BOOL>(font, kFontUnderline, VT_BOOL, &VARIANT::boolVal, VARIANT_FALSE) ? 1 : 0;
    logFont.lfStrikeOut =
        Read<VARIANT_BOOL>(font, kFontStrikethrough, VT_BOOL, &VARIANT::boolVal, VARIANT_FALSE) ? 1 : 0;
    PutFaceName(logFont, ReadName(font));

    CHOOSEFONTA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = Owner(owner);
    record.hDC = dc;
    record.lpLogFont = &logFont;
    record.iPointSize = static_cast<INT>(std::nearbyint(points * 10));
    record.Flags = bits;
    record.rgbColors = static_cast<COLORREF>(color);
    record.nSizeMin = minSize;
    record.nSizeMax = maxSize;
    apiReturn_ = ::ChooseFontA(&record);
    if (apiReturn_ != 1) {
        Unconfirmed();
        return false;
    }
    flags = static_cast<int32_t>(record.Flags);
    color = static_cast<int32_t>(record.rgbColors);
    PutProperty(font, kFontBold, Bool(record.nFontType & BOLD_FONTTYPE));
    PutProperty(font, kFontItalic, Bool(logFont.lfItalic != 0));
    PutProperty(font, kFontStrikethrough, Bool(logFont.lfStrikeOut != 0));
    PutProperty(font, kFontUnderline, Bool(logFont.lfUnderline != 0));
    PutProperty(font, kFontWeight, Short(static_cast<int16_t>(logFont.lfWeight)));
    VARIANT size;
    ::VariantInit(&size);
    size.vt = VT_CY;
    size.cyVal.int64 = static_cast<LONGLONG>(record.iPointSize) * 1000;  // tenths of a point
    PutProperty(font, kFontSize, size);
    const std::wstring face = FromAnsi(logFont.lfFaceName, LF_FACESIZE);
    VARIANT name;
    ::VariantInit(&name);
    name.vt = VT_BSTR;
    name.bstrVal = ::SysAllocStringLen(face.data(), static_cast<UINT>(face.size()));
    PutProperty(font, kFontName, name);
    ::VariantClear(&name);
    return true;
}

bool clsCommonDialog::VBPrintDlg(HDC& dc, int32_t& printRange, bool noPageNums, int32_t& fromPage, int32_t& toPage,
                                 bool noSelection, int16_t& copies, bool showPrintToFile, bool disablePrintToFile,
                                 bool& printToFile, bool& collate, bool noWarning, HWND owner, IDispatch* printer) {
    if (fromPage < -32768 || fromPage > 32767 || toPage < -32768 || toPage > 32767)
        RaiseDialogError(runtime::kOverflow);
    apiReturn_ = 0;
    extendedError_ = 0;
    DWORD bits = PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC;
    if (noPageNums) bits |= PD_NOPAGENUMS;
    if (disablePrintToFile) bits |= PD_DISABLEPRINTTOFILE;
    if (noSelection) bits |= PD_NOSELECTION;
    if (printToFile) bits |= PD_PRINTTOFILE;
    if (!showPrintToFile) bits |= PD_HIDEPRINTTOFILE;
    if (noWarning) bits |= PD_NOWARNING;
    if (collate) bits |= PD_COLLATE;
    if (printRange == 1) bits |= PD_PAGENUMS;
    else if (printRange == 2) bits |= PD_SELECTION;
    bits &= ~DWORD(PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_ENABLEPRINTTEMPLATE | PD_ENABLESETUPTEMPLATE);

    PRINTDLGA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.Flags = bits;
    record.nFromPage = static_cast<WORD>(fromPage);
    record.nToPage = static_cast<WORD>(toPage);
    record.nMinPage = 1;
    record.nMaxPage = 65535;
    apiReturn_ = ::PrintDlgA(&record);
    if (apiReturn_ != 1) {
        Unconfirmed();
        TakeDeviceMode(record.hDevMode, record.hDevNames);
        return false;
    }
    dc = record.hDC;
    printRange = (record.Flags & PD_PAGENUMS) ? 1 : (record.Flags & PD_SELECTION) ? 2 : 0;
    fromPage = record.nFromPage;
    toPage = record.nToPage;
    printToFile = (record.Flags & PD_PRINTTOFILE) != 0;
    deviceMode_ = TakeDeviceMode(record.hDevMode, record.hDevNames);
    copies = deviceMode_.dmCopies;
    collate = deviceMode_.dmCollate == 1;
    PushToPrinter(printer, deviceMode_);
    return true;
}

bool clsCommonDialog::VBPageSetupDlg(HWND owner, bool disableMargins, bool disableOrientation, bool disablePaper,
                                     bool disablePrinter, int32_t& leftMargin, int32_t& minLeftMargin,
                                     int32_t& rightMargin, int32_t& minRightMargin, int32_t& topMargin,
                                     int32_t& minTopMargin, int32_t& bottomMargin, int32_t& minBottomMargin,
                                     int32_t& paperSize, int32_t& orientation, int32_t& printQuality, int32_t units,
                                     IDispatch* printer) {
    apiReturn_ = 0;
    extendedError_ = 0;
    DWORD bits = PSD_MINMARGINS | PSD_MARGINS;
    if (disableMargins) bits |= PSD_DISABLEMARGINS;
    if (disableOrientation) bits |= PSD_DISABLEORIENTATION;
    if (disablePaper) bits |= PSD_DISABLEPAPER;
    if (disablePrinter) bits |= PSD_DISABLEPRINTER;
    const double factor = units != 0 ? 100.0 : 1000.0;
    bits |= units != 0 ? PSD_INHUNDREDTHSOFMILLIMETERS : PSD_INTHOUSANDTHSOFINCHES;
    auto scaled = [&](int32_t value) { return static_cast<LONG>(value * static_cast<LONG>(factor)); };

    PAGESETUPDLGA record{};
    record.lStructSize = sizeof record;
    record.hwndOwner = owner;
    record.Flags = bits;
    record.rtMargin = {scaled(leftMargin), scaled(topMargin), scaled(rightMargin), scaled(bottomMargin)};
    record.rtMinMargin = {scaled(minLeftMargin), scaled(minTopMargin), scaled(minRightMargin), scaled(minBottomMargin)};
    apiReturn_ = ::PageSetupDlgA(&record);
    if (apiReturn_ == 0) {
        Unconfirmed();
        TakeDeviceMode(record.hDevMode, record.hDevNames);
        return false;
    }
    auto back = [&](LONG value) { return static_cast<int32_t>(std::nearbyint(value / factor)); };  // halves to even
    leftMargin = back(record.rtMargin.left);
    topMargin = back(record.rtMargin.top);
    rightMargin = back(record.rtMargin.right);
    bottomMargin = back(record.rtMargin.bottom);
    minLeftMargin = back(record.rtMinMargin.left);
    minTopMargin = back(record.rtMinMargin.top);
    minRightMargin = back(record.rtMinMargin.right);
    minBottomMargin = back(record.rtMinMargin.bottom);
    const DEVMODEA mode = TakeDeviceMode(record.hDevMode, record.hDevNames);
    paperSize = mode.dmPaperSize;
    orientation = mode.dmOrientation;
    printQuality = mode.dmPrintQuality;
    PushToPrinter(printer, mode);
    return true;
}

}  // namespace quorallion
