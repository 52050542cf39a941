// The common dialogs under Wine and Xvfb. A thread timer set before each call runs inside the
// dialog's modal loop: it finds the thread's visible, enabled "#32770" window, types into the
// file-name box (control 0x47C in Wine) when told to and posts IDOK or IDCANCEL. Print and page
// setup run against a printer the test adds on port FILE: with Wine's PostScript driver.
#include <gtest/gtest.h>

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>
#include <olectl.h>
#include <winspool.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/clsCommonDialog.h"
#include "error/program_name.h"
#include "scratch_folder.h"

namespace {

using quorallion::clsCommonDialog;
using quorallion::testing::ScratchFolder;

constexpr int kFileNameBox = 0x47C;

struct Script {
    std::wstring typed;    // into the file-name box; nothing when empty
    WPARAM command = IDOK;
    int acted = 0;
};
Script g_script;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) return;
    if (!g_script.typed.empty() && ::GetDlgItem(dialog, kFileNameBox))
        ::SetDlgItemTextW(dialog, kFileNameBox, g_script.typed.c_str());
    ::PostMessageW(dialog, WM_COMMAND, g_script.command, 0);
    ++g_script.acted;
}

// Arms the timer for the next dialog call and disarms it when it leaves scope.
class Driver {
public:
    explicit Driver(std::wstring typed, WPARAM command = IDOK) {
        g_script = Script{std::move(typed), command, 0};
        timer_ = ::SetTimer(nullptr, 0, 300, Drive);
    }
    ~Driver() { ::KillTimer(nullptr, timer_); }
    int acted() const { return g_script.acted; }

private:
    UINT_PTR timer_ = 0;
};

void MakeFile(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
}

class CommonDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        MakeFile(folder_.path() + L"a.txt");
        MakeFile(folder_.path() + L"b.txt");
        MakeFile(folder_.path() + L"c.txt");
    }
    void TearDown() override { ::OleUninitialize(); }

    // Folder without its trailing backslash.
    std::wstring Folder() const { return folder_.path().substr(0, folder_.path().size() - 1); }

    ScratchFolder folder_;
    clsCommonDialog dialog_;
};

TEST_F(CommonDialog, OpenWithEitherSeparator) {
    for (const wchar_t* filterText : {L"All files|*.*|Text files|*.txt", L"All files:*.*:Text files:*.txt"}) {
        std::wstring fileName, fileTitle, filter = filterText;
        bool readOnly = false;
        int32_t filterIndex = 2, flags = 0;
        Driver driver(folder_.path() + L"b.txt");
        const bool confirmed = dialog_.VBGetOpenFileName(fileName, fileTitle, true, false, readOnly, true, filter,
                                                         filterIndex, folder_.path(), L"Open", L"", clsCommonDialog::kNoOwner, flags);
        ASSERT_TRUE(confirmed) << "filter " << testing::PrintToString(std::wstring(filterText))
                               << ", extended error " << dialog_.ExtendedError();
        EXPECT_EQ(dialog_.APIReturn(), 1);
        EXPECT_EQ(fileName, folder_.path() + L"b.txt");
        EXPECT_EQ(fileTitle, L"b.txt");
        EXPECT_EQ(filterIndex, 2);
        EXPECT_EQ(filter, std::wstring(L"Text files\0*.txt", 16));
        EXPECT_TRUE(flags & OFN_FILEMUSTEXIST);
        EXPECT_FALSE(readOnly);
    }
}

TEST_F(CommonDialog, MultipleSelection) {
    struct Case {
        const wchar_t* typed;
        std::vector<std::wstring> names;
        bool folderEndsInBackslash;
    };
    const Case cases[] = {
        {L"a.txt", {L"a.txt"}, true},
        {L"\"a.txt\" \"b.txt\" \"c.txt\"", {L"a.txt", L"b.txt", L"c.txt"}, false},
    };
    for (const Case& c : cases) {
        std::wstring fileName, fileTitle, filter = L"Text|*.txt";
        bool readOnly = false;
        int32_t filterIndex = 1, flags = 0;
        Driver driver(c.typed);
        ASSERT_TRUE(dialog_.VBGetOpenFileName(fileName, fileTitle, true, true, readOnly, true, filter, filterIndex,
                                              folder_.path(), L"", L"", clsCommonDialog::kNoOwner, flags))
            << testing::PrintToString(std::wstring(c.typed)) << ", extended error " << dialog_.ExtendedError();
        EXPECT_EQ(fileName.size(), 32767u) << "the whole buffer comes back for ParseMultiFileName";
        std::wstring folder;
        std::vector<std::wstring> names;
        int32_t count = 0;
        clsCommonDialog::ParseMultiFileName(fileName, folder, names, count);
        EXPECT_EQ(count, static_cast<int32_t>(c.names.size()));
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(folder, c.folderEndsInBackslash ? folder_.path() : Folder());
    }
}

TEST_F(CommonDialog, CancelledFileDialogs) {
    std::wstring fileName = L"x", fileTitle = L"y", filter = L"Text|*.txt";
    bool readOnly = false;
    int32_t filterIndex = 1, flags = 123;
    {
        Driver driver(L"", IDCANCEL);
        EXPECT_FALSE(dialog_.VBGetOpenFileName(fileName, fileTitle, false, false, readOnly, false, filter, filterIndex,
                                               L"", L"", L"", clsCommonDialog::kNoOwner, flags));
    }
    EXPECT_EQ(filterIndex, -1);
    EXPECT_EQ(flags, 0);
    EXPECT_TRUE(fileName.empty() && fileTitle.empty() && filter.empty());
    EXPECT_EQ(dialog_.ExtendedError(), 0) << "a plain cancel is no failure";

    filter = L"Text|*.txt";
    filterIndex = 1;
    {
        Driver driver(L"", IDCANCEL);
        EXPECT_FALSE(dialog_.VBGetSaveFileName(fileName, fileTitle, true, filter, filterIndex, L"", L"", L"",
                                               clsCommonDialog::kNoOwner, flags));
    }
    EXPECT_EQ(filterIndex, 0);

    // A record the system refuses: the failure code is kept.
    std::wstring badName(40000, L'x');
    filter = L"Text|*.txt";
    {
        Driver driver(L"", IDCANCEL);
        dialog_.VBGetSaveFileName(badName, fileTitle, false, filter, filterIndex, L"", L"", L"",
                                  reinterpret_cast<HWND>(static_cast<intptr_t>(0x7fff0001)), flags);
    }
    EXPECT_EQ(dialog_.APIReturn(), 0);
}

TEST_F(CommonDialog, SaveAndFileTitle) {
    std::wstring fileName, fileTitle, filter = L"Text files|*.txt";
    int32_t filterIndex = 1, flags = 0;
    Driver driver(folder_.path() + L"new file");
    ASSERT_TRUE(dialog_.VBGetSaveFileName(fileName, fileTitle, true, filter, filterIndex, folder_.path(), L"Save",
                                          L"txt", clsCommonDialog::kNoOwner, flags));
    EXPECT_EQ(fileName, folder_.path() + L"new file.txt") << "the default extension is added";
    EXPECT_TRUE(flags & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(dialog_.VBGetFileTitle(folder_.path() + L"a.txt"), L"a.txt");
}

TEST_F(CommonDialog, ParseMultiFileNameNeedsTheClosingNuls) {
    std::wstring folder;
    std::vector<std::wstring> names;
    int32_t count = 0;
    try {
        clsCommonDialog::ParseMultiFileName(L"C:\\x\\a.txt", folder, names, count);
        ADD_FAILURE() << "no error";
    } catch (const quorallion::LibraryError& e) {
        EXPECT_EQ(e.Number(), 5);
        EXPECT_EQ(e.Description(), L"Invalid procedure call or argument");
        EXPECT_TRUE(e.Source().ends_with(L".VBError")) << testing::PrintToString(e.Source());
    }
    clsCommonDialog::ParseMultiFileName(std::wstring(L"plain.txt\0\0", 11), folder, names, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(folder, L"");
    EXPECT_EQ(names, std::vector<std::wstring>{std::wstring(L"plain.txt\0\0", 11)});
}

// Run-time numbers come with their standard text and source "<program>.VBError"; larger
// numbers move into the object-error range with source "<program>.CommonDialog" and no text.
// Page numbers beyond 16 bits fail before the print dialog opens.
TEST(CommonDialogErrors, RaisedNumbersSourcesAndTexts) {
    const std::wstring program = quorallion::ProgramName();
    clsCommonDialog dialog;
    HDC dc = nullptr;
    int32_t range = 1, from = 40000, to = 2;
    int16_t copies = 0;
    bool toFile = false, collate = false;
    const struct {
        const char* why;
        std::function<void()> call;
        long number;
        std::wstring source, description;
    } cases[] = {
        {"run-time number", [] { clsCommonDialog::RaiseDialogError(6); }, 6, program + L".VBError", L"Overflow"},
        {"highest run-time number", [] { clsCommonDialog::RaiseDialogError(1000); }, 1000, program + L".VBError",
         L"Application-defined or object-defined error"},
        {"dialog number", [] { clsCommonDialog::RaiseDialogError(20001); },
         static_cast<long>(0x80040000u | 20001u), program + L".CommonDialog", L""},
        {"page number over 16 bits",
         [&] {
             dialog.VBPrintDlg(dc, range, false, from, to, false, copies, true, false, toFile, collate, false, nullptr);
         },
         6, program + L".VBError", L"Overflow"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.why << ": no error";
        } catch (const quorallion::LibraryError& e) {
            EXPECT_EQ(e.Number(), c.number) << c.why;
            EXPECT_EQ(e.Source(), c.source) << c.why;
            EXPECT_EQ(e.Description(), c.description) << c.why;
        }
    }
    EXPECT_EQ(dialog.APIReturn(), 0) << "no dialog ran";
}

TEST_F(CommonDialog, ColourAndCustomColours) {
    EXPECT_EQ(dialog_.CustomColor(16), -1);
    EXPECT_EQ(dialog_.CustomColor(-1), -1);
    dialog_.CustomColor(16, 0x123456);
    dialog_.CustomColor(-1, 0x123456);
    EXPECT_EQ(dialog_.CustomColor(0), static_cast<int32_t>(::GetSysColor(0)));
    dialog_.CustomColor(3, 0x00ABCDEF);
    EXPECT_EQ(dialog_.CustomColor(3), 0x00ABCDEF);

    int32_t color = 0x00336699;
    {
        Driver driver(L"");
        ASSERT_TRUE(dialog_.VBChooseColor(color, true, true, false, clsCommonDialog::kNoOwner))
            << "extended error " << dialog_.ExtendedError();
    }
    EXPECT_EQ(color, 0x00336699) << "the dialog starts from the given colour";
    EXPECT_EQ(dialog_.CustomColor(3), 0x00ABCDEF) << "the table survives the dialog";
    {
        Driver driver(L"", IDCANCEL);
        EXPECT_FALSE(dialog_.VBChooseColor(color, false, false, true, clsCommonDialog::kNoOwner));
    }
    EXPECT_EQ(color, -1);
}

IDispatch* NewFont(const wchar_t* face, LONGLONG points, SHORT weight, BOOL italic) {
    FONTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.lpstrName = const_cast<LPOLESTR>(face);
    description.cySize.int64 = points * 10000;
    description.sWeight = weight;
    description.fItalic = italic;
    IDispatch* font = nullptr;
    ::OleCreateFontIndirect(&description, IID_IDispatch, reinterpret_cast<void**>(&font));
    return font;
}

std::wstring FontName(IDispatch* font) {
    VARIANT value;
    ::VariantInit(&value);
    DISPPARAMS none{};
    font->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    std::wstring name = value.vt == VT_BSTR ? std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal)) : L"?";
    ::VariantClear(&value);
    return name;
}

int CALLBACK FirstTrueType(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM found) {
    auto* name = reinterpret_cast<std::wstring*>(found);
    if ((type & TRUETYPE_FONTTYPE) && font->lfFaceName[0] != L'@' && name->empty()) *name = font->lfFaceName;
    return 1;
}

// A TrueType face that this system has, so that the dialog keeps it.
std::wstring InstalledFace() {
    std::wstring name;
    HDC screen = ::GetDC(nullptr);
    LOGFONTW all{};
    all.lfCharSet = ANSI_CHARSET;
    ::EnumFontFamiliesExW(screen, &all, FirstTrueType, reinterpret_cast<LPARAM>(&name), 0);
    ::ReleaseDC(nullptr, screen);
    return name;
}

TEST_F(CommonDialog, FontThroughTheAutomationFont) {
    const std::wstring installed = InstalledFace();
    if (installed.empty()) GTEST_SKIP() << "no TrueType font on this system";
    IDispatch* font = NewFont(installed.c_str(), 12, FW_BOLD, TRUE);
    ASSERT_NE(font, nullptr);
    HDC dc = clsCommonDialog::kNoDC;
    int32_t color = 0x0000FF, flags = 0;
    {
        Driver driver(L"");
        ASSERT_TRUE(dialog_.VBChooseFont(font, dc, clsCommonDialog::kNoOwner, color, 0, 0, flags))
            << "extended error " << dialog_.ExtendedError();
    }
    EXPECT_EQ(dc, nullptr);
    EXPECT_TRUE(flags & CF_SCREENFONTS);
    EXPECT_TRUE(flags & CF_EFFECTS) << "a colour other than black shows the effects";
    EXPECT_EQ(color, 0x0000FF);
    EXPECT_EQ(FontName(font), installed);
    IFont* face = nullptr;
    ASSERT_TRUE(SUCCEEDED(font->QueryInterface(IID_IFont, reinterpret_cast<void**>(&face))));
    CY size{};
    BOOL bold = FALSE, italic = FALSE;
    face->get_Size(&size);
    face->get_Bold(&bold);
    face->get_Italic(&italic);
    EXPECT_EQ(size.int64, 120000);
    EXPECT_TRUE(bold);
    EXPECT_TRUE(italic);
    face->Release();
    font->Release();

    // A 40-character face: at most 31 bytes reach the record, and the name comes back without
    // NUL characters.
    IDispatch* longFace = NewFont(L"Quorallion Test Face Forty Characters 40", 10, FW_NORMAL, FALSE);
    ASSERT_NE(longFace, nullptr);
    dc = clsCommonDialog::kNoDC;
    color = 0;
    flags = 0;
    bool confirmed = false;
    {
        Driver driver(L"");
        confirmed = dialog_.VBChooseFont(longFace, dc, clsCommonDialog::kNoOwner, color, 0, 0, flags);
    }
    EXPECT_FALSE(flags & CF_EFFECTS) << "black shows no effects group";
    const std::wstring name = FontName(longFace);
    EXPECT_EQ(name.find(L'\0'), std::wstring::npos);
    if (confirmed) {
        EXPECT_LE(name.size(), 31u) << testing::PrintToString(name);
    }
    longFace->Release();
}

// A printer on port FILE: with Wine's PostScript driver and a small PPD, made the default for
// the test and removed afterwards.
class TestPrinter {
public:
    static constexpr wchar_t kName[] = L"Quorallion Test Printer";
    static constexpr wchar_t kDriver[] = L"Quorallion Test PostScript";

    TestPrinter() {
        wchar_t folder[MAX_PATH] = {};
        DWORD needed = 0;
        if (!::GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
            return;
        const std::wstring ppd = std::wstring(folder) + L"\\quorallion-test.ppd";
        const char text[] =
            "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
            "*LanguageEncoding: ISOLatin1\n*PCFileName: \"QTEST.PPD\"\n*Manufacturer: \"Quorallion\"\n"
            "*Product: \"(Quorallion Test)\"\n*ModelName: \"Quorallion Test\"\n*ShortNickName: \"Quorallion Test\"\n"
            "*NickName: \"Quorallion Test\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
            "*ColorDevice: False\n*DefaultColorSpace: Gray\n*DefaultResolution: 300dpi\n"
            "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
            "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
            "*PageSize Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n*CloseUI: *PageSize\n"
            "*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"18 18 577 824\"\n"
            "*ImageableArea Letter/Letter: \"18 18 594 774\"\n*DefaultPaperDimension: A4\n"
            "*PaperDimension A4/A4: \"595 842\"\n*PaperDimension Letter/Letter: \"612 792\"\n"
            "*DefaultFont: Courier\n*Font Courier: Standard \"(002.004S)\" Standard ROM\n";
        HANDLE h = ::CreateFileW(ppd.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        ::WriteFile(h, text, sizeof text - 1, &written, nullptr);
        ::CloseHandle(h);

        DRIVER_INFO_3W driver{};
        driver.cVersion = 3;
        driver.pName = const_cast<LPWSTR>(kDriver);
        driver.pDriverPath = const_cast<LPWSTR>(L"wineps.drv");
        driver.pDataFile = const_cast<LPWSTR>(ppd.c_str());
        driver.pConfigFile = const_cast<LPWSTR>(L"wineps.drv");
        if (!::AddPrinterDriverW(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) &&
            ::GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
            error_ = ::GetLastError();
            return;
        }
        PRINTER_INFO_2W info{};
        info.pPrinterName = const_cast<LPWSTR>(kName);
        info.pPortName = const_cast<LPWSTR>(L"FILE:");
        info.pDriverName = const_cast<LPWSTR>(kDriver);
        info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
        info.pDatatype = const_cast<LPWSTR>(L"RAW");
        info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
        printer_ = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
        if (!printer_ && ::GetLastError() == ERROR_PRINTER_ALREADY_EXISTS)
            ::OpenPrinterW(const_cast<LPWSTR>(kName), &printer_, nullptr);
        if (!printer_) {
            error_ = ::GetLastError();
            return;
        }
        ready_ = ::SetDefaultPrinterW(kName) != 0;
    }
    ~TestPrinter() {
        if (printer_) {
            ::DeletePrinter(printer_);
            ::ClosePrinter(printer_);
        }
        ::DeletePrinterDriverW(nullptr, nullptr, const_cast<LPWSTR>(kDriver));
    }
    bool ready() const { return ready_; }
    DWORD error() const { return error_; }

private:
    HANDLE printer_ = nullptr;
    bool ready_ = false;
    DWORD error_ = 0;
};

// An automation object with the four printer properties, to see what the dialogs push to it.
class FakePrinter : public IDispatch {
public:
    int16_t copies = -1, orientation = -1, paperSize = -1, printQuality = -1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        static const wchar_t* const known[] = {L"Copies", L"Orientation", L"PaperSize", L"PrintQuality"};
        for (DISPID i = 0; i < 4; ++i)
            if (::lstrcmpiW(names[0], known[i]) == 0) {
                ids[0] = i + 1;
                return S_OK;
            }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (!(flags & DISPATCH_PROPERTYPUT) || params->cArgs != 1 || params->rgvarg[0].vt != VT_I2)
            return DISP_E_TYPEMISMATCH;
        int16_t* fields[] = {&copies, &orientation, &paperSize, &printQuality};
        *fields[id - 1] = params->rgvarg[0].iVal;
        return S_OK;
    }
};

TEST_F(CommonDialog, PrintAndPageSetup) {
    {
        // With no default printer page setup fails, and says why.
        wchar_t name[256];
        DWORD length = 256;
        if (!::GetDefaultPrinterW(name, &length)) {
            int32_t l = 1, ml = 0, r = 1, mr = 0, t = 1, mt = 0, b = 1, mb = 0, paper = 0, orientation = 0, quality = 0;
            Driver driver(L"");
            EXPECT_FALSE(dialog_.VBPageSetupDlg(nullptr, false, false, false, false, l, ml, r, mr, t, mt, b, mb, paper,
                                                orientation, quality, 0));
            EXPECT_EQ(dialog_.ExtendedError(), PDERR_NODEFAULTPRN);
        }
    }
    TestPrinter testPrinter;
    if (!testPrinter.ready()) GTEST_SKIP() << "could not add the test printer, error " << testPrinter.error();

    FakePrinter printer;
    HDC dc = nullptr;
    int32_t range = 1, from = 2, to = 3;
    int16_t copies = 0;
    bool toFile = false, collate = false;
    {
        Driver driver(L"");
        ASSERT_TRUE(dialog_.VBPrintDlg(dc, range, false, from, to, true, copies, true, false, toFile, collate, false,
                                       nullptr, &printer))
            << "extended error " << dialog_.ExtendedError();
    }
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(::GetDeviceCaps(dc, LOGPIXELSX), 300);
    ::DeleteDC(dc);
    EXPECT_EQ(range, 1);
    EXPECT_EQ(from, 2);
    EXPECT_EQ(to, 3);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(dialog_.DeviceMode().dmPaperSize, DMPAPER_A4);
    EXPECT_LE(dialog_.DeviceMode().dmSize, sizeof(DEVMODEA));
    EXPECT_EQ(printer.paperSize, DMPAPER_A4);
    EXPECT_EQ(printer.copies, 1);
    EXPECT_EQ(printer.printQuality, dialog_.DeviceMode().dmPrintQuality);

    int32_t pageFrom = 70000;
    EXPECT_THROW(dialog_.VBPrintDlg(dc, range, false, pageFrom, to, true, copies, true, false, toFile, collate, false,
                                    nullptr),
                 quorallion::LibraryError)
        << "page numbers beyond 16 bits overflow before the dialog opens";

    FakePrinter setupPrinter;
    int32_t l = 1, ml = 0, r = 1, mr = 0, t = 1, mt = 0, b = 1, mb = 0, paper = 0, orientation = 0, quality = 0;
    {
        Driver driver(L"");
        ASSERT_TRUE(dialog_.VBPageSetupDlg(nullptr, false, false, false, false, l, ml, r, mr, t, mt, b, mb, paper,
                                           orientation, quality, 0, &setupPrinter))
            << "extended error " << dialog_.ExtendedError();
    }
    EXPECT_EQ(dialog_.APIReturn(), 1) << "page setup stores its return like the others";
    EXPECT_EQ(l, 1);
    EXPECT_EQ(t, 1);
    EXPECT_EQ(paper, DMPAPER_A4);
    EXPECT_EQ(setupPrinter.paperSize, DMPAPER_A4);
}

}  // namespace
