#pragma once
// The system's common dialogs, one call each: open and save (wide), file title (wide), colour,
// font, print and page setup (ANSI). Every setting is an argument; results come back through the
// by-reference arguments and a true result means the user confirmed. The object keeps the last
// call's result codes, 16 custom colours and the last confirmed print dialog's device mode.
// An owner window of kNoOwner means none (open, save, colour, font); a device context of
// kNoDC means none (font).
#include <windows.h>
#include <oaidl.h>
#include <commdlg.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "error/LibraryError.h"
#include "error/runtime_errors.h"

namespace quorallion {

class clsCommonDialog {
public:
    static inline const HWND kNoOwner = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
    static inline const HDC kNoDC = reinterpret_cast<HDC>(static_cast<intptr_t>(-1));

    int32_t APIReturn() const { return apiReturn_; }
    // CommDlgExtendedError after every call that was not confirmed: 0 after a plain cancel.
    int32_t ExtendedError() const { return extendedError_; }

    // Filters are description and pattern pairs separated by "|" or ":". With multiple
    // selection a confirmed fileName holds the whole NUL-separated answer for
    // ParseMultiFileName.
    bool VBGetOpenFileName(std::wstring& fileName, std::wstring& fileTitle, bool fileMustExist,
                           bool multiSelect, bool& readOnly, bool hideReadOnly, std::wstring& filter,
                           int32_t& filterIndex, const std::wstring& initDir, const std::wstring& dlgTitle,
                           const std::wstring& defaultExt, HWND owner, int32_t& flags);
    // Raises 5 (invalid argument) when the text holds no two NULs in a row.
    static void ParseMultiFileName(const std::wstring& fileNames, std::wstring& folder,
                                   std::vector<std::wstring>& names, int32_t& count);
    bool VBGetSaveFileName(std::wstring& fileName, std::wstring& fileTitle, bool overwritePrompt,
                           std::wstring& filter, int32_t& filterIndex, const std::wstring& initDir,
                           const std::wstring& dlgTitle, const std::wstring& defaultExt, HWND owner,
                           int32_t& flags);
    std::wstring VBGetFileTitle(const std::wstring& path);
    bool VBChooseColor(int32_t& color, bool anyColor, bool fullOpen, bool preventFullOpen, HWND owner);
    // -1 for an index outside 0 to 15; setting one changes nothing.
    int32_t CustomColor(int16_t index);
    void CustomColor(int16_t index, int32_t color);
    // font: an automation font object (IFontDisp), read and written by its properties.
    bool VBChooseFont(IDispatch* font, HDC& dc, HWND owner, int32_t& color, int32_t minSize, int32_t maxSize,
                      int32_t& flags);
    // printer: an optional automation object whose Copies, Orientation, PaperSize and
    // PrintQuality are set from the chosen device mode. Page numbers outside 16 bits raise 6.
    bool VBPrintDlg(HDC& dc, int32_t& printRange, bool noPageNums, int32_t& fromPage, int32_t& toPage,
                    bool noSelection, int16_t& copies, bool showPrintToFile, bool disablePrintToFile,
                    bool& printToFile, bool& collate, bool noWarning, HWND owner, IDispatch* printer = nullptr);
    // Margins in whole inches (units 0) or whole millimetres (any other units).
    bool VBPageSetupDlg(HWND owner, bool disableMargins, bool disableOrientation, bool disablePaper,
                        bool disablePrinter, int32_t& leftMargin, int32_t& minLeftMargin, int32_t& rightMargin,
                        int32_t& minRightMargin, int32_t& topMargin, int32_t& minTopMargin, int32_t& bottomMargin,
                        int32_t& minBottomMargin, int32_t& paperSize, int32_t& orientation, int32_t& printQuality,
                        int32_t units, IDispatch* printer = nullptr);

    // A copy of the device mode of the last confirmed print dialog (dmSize 0 before any).
    DEVMODEA DeviceMode() const { return deviceMode_; }

    // Raises a run-time error (number up to 1000: source "<program>.VBError" and the standard
    // text) or a dialog error (above: the number in the object-error range 0x80040000, source
    // "<program>.CommonDialog", no text).
    [[noreturn]] static void RaiseDialogError(long number);

    // The pair of the NUL-separated filter with the 1-based index: description, NUL, pattern.
    static std::wstring FilterLookup(const std::wstring& filter, int32_t index);
    // ":" and "|" become NUL, and two NULs end the list.
    static std::wstring ConvertFilter(const std::wstring& filter);

private:
    // The by-reference results of the open and save dialogs.
    struct FileDialogResults {
        std::wstring& fileName;
        std::wstring& fileTitle;
        std::wstring& filter;
        int32_t& filterIndex;
        int32_t& flags;
    };
    // Fills the file-name record from the arguments, shows the dialog and copies its answer back;
    // a dialog that was not confirmed empties the texts, sets flags 0 and the filter index to
    // cancelledIndex.
    bool ShowFileDialog(BOOL(WINAPI* show)(LPOPENFILENAMEW), DWORD bits, bool multiSelect, int32_t cancelledIndex,
                        FileDialogResults results, const std::wstring& initDir, const std::wstring& dlgTitle,
                        const std::wstring& defaultExt, HWND owner);
    void InitCustomColors();
    void Unconfirmed();

    std::array<COLORREF, 16> customColors_{};
    bool customColorsReady_ = false;
    int32_t apiReturn_ = 0;
    int32_t extendedError_ = 0;
    DEVMODEA deviceMode_{};
};

}  // namespace quorallion
