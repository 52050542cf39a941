// Stand-in for Excel's and the WPS spreadsheet program's automation servers (tests only, never
// shipped). One program; its copies excel.exe and et.exe serve "Excel.Application" and
// "KET.Application". Only the members the spreadsheet worker uses are here, as plain IDispatch
// objects on the stand-in frame (tests/standins/office).
//
// The workbook is read from its package's XML by excel_book.py beside the program (.xls and .et
// are made an xlsx by LibreOffice first): sheet names, visibility and every cell record, the
// formatted empty ones included, so the used range reaches past the last value as Excel's does.
// Chart sheets count in Sheets but not in Worksheets, as in Excel.
// Publish writes the page itself in the shape of Excel's static publishing; the PDF export is
// LibreOffice's; Range.Copy() puts a bitmap of the range on the clipboard.
//
// Settings (office/standin_settings.h) beyond the frame's: "opendelay", "publishdelay" and
// "exportdelay" (ms that Workbooks.Open, Publish and ExportAsFixedFormat wait, serving messages),
// "exportgate" (a file the export waits for, see WaitForFile), "nopage" (1: Publish writes
// nothing), "fastpdf" (1: the export writes a blank one-page PDF itself, for tests about the
// arguments).
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "office/standin.h"

namespace {

using namespace quorallion::standin;

// Excel.Application's class, and our class for KET.Application.
constexpr CLSID kExcelClass = {0x00024500, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr CLSID kEtClass = {0x5A9C6E1E, 0x3F0B, 0x4E5C, {0x9A, 0x55, 0x7B, 0x2E, 0x0F, 0x6C, 0x1D, 0x02}};

constexpr long kErrorOpen = 1004;  // Excel's "application-defined or object-defined error"

std::wstring ProgramFolder() {
    const std::wstring program = Settings::Load().ProgramPath();
    return program.substr(0, program.find_last_of(L'\\') + 1);
}

std::wstring WorkFolder() { return standin::WorkFolder(L"excel"); }

std::wstring Unescape(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size()) {
            const wchar_t n = text[++i];
            out += n == L't' ? L'\t' : n == L'n' ? L'\n' : n == L'r' ? L'\r' : n;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<int> RunBook(const std::string& arguments) {
    const std::optional<std::string> script = testing::UnixPath(ProgramFolder() + L"excel_book.py");
    if (!script) return std::nullopt;
    return testing::RunUnixScript("python3 " + testing::ShellQuote(*script) + " " + arguments + " >/dev/null 2>&1", 60000);
}

std::string Quoted(const std::wstring& windowsPath) {
    return testing::ShellQuote(testing::UnixPath(windowsPath).value_or(""));
}

struct Cell {
    long row, column;
    bool hasValue;
};

struct Sheet {
    std::wstring name;
    long visible = -1;     // -1 visible, 0 hidden, 2 very hidden
    bool worksheet = true;
    std::vector<Cell> cells;
    long sourceIndex = 0;  // the sheet's number in the package; 0 for a sheet added here
    // A sheet added here that received a copy: the source sheet and range it holds.
    long copyOf = 0, copyR1 = 0, copyC1 = 0, copyR2 = 0, copyC2 = 0;
};

struct Workbook {
    std::wstring package;  // the xlsx read and published from
    std::vector<std::shared_ptr<Sheet>> sheets;
    int added = 0;
};

// A rectangle of a sheet; what "Count" counts is chosen by how the range was reached.
struct Area {
    std::shared_ptr<Sheet> sheet;
    long r1, c1, r2, c2;
};

std::wstring ColumnLetters(long n) {
    std::wstring out;
    while (n > 0) {
        out.insert(out.begin(), static_cast<wchar_t>(L'A' + (n - 1) % 26));
        n = (n - 1) / 26;
    }
    return out;
}

// "A1", "$B$20", "A5:B20" -> r1, c1, r2, c2.
bool ParseAddress(const std::wstring& address, long& r1, long& c1, long& r2, long& c2) {
    auto one = [](const std::wstring& part, long& r, long& c) {
        long column = 0, row = 0;
        size_t i = 0;
        for (; i < part.size(); ++i) {
            const wchar_t ch = static_cast<wchar_t>(::towupper(part[i]));
            if (ch == L'$') continue;
            if (ch >= L'A' && ch <= L'Z') column = column * 26 + (ch - L'A' + 1);
            else break;
        }
        for (; i < part.size(); ++i) {
            if (part[i] == L'$') continue;
            if (part[i] < L'0' || part[i] > L'9') return false;
            row = row * 10 + (part[i] - L'0');
        }
        r = row;
        c = column;
        return row > 0 && column > 0;
    };
    const size_t colon = address.find(L':');
    if (!one(address.substr(0, colon), r1, c1)) return false;
    if (colon == std::wstring::npos) {
        r2 = r1;
        c2 = c1;
        return true;
    }
    return one(address.substr(colon + 1), r2, c2);
}

// Puts a drawing of the area on the clipboard as a bitmap: a white grid, one box per cell,
// darker where a cell holds a value.
void CopyPicture(const Area& area) {
    const int columns = static_cast<int>(area.c2 - area.c1 + 1), rows = static_cast<int>(area.r2 - area.r1 + 1);
    const int width = std::min(columns * 64, 4000), height = std::min(rows * 20, 4000);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HBRUSH filled = ::CreateSolidBrush(RGB(200, 220, 255));
    for (const Cell& cell : area.sheet->cells) {
        if (!cell.hasValue || cell.row < area.r1 || cell.row > area.r2 || cell.column < area.c1 || cell.column > area.c2)
            continue;
        RECT box{static_cast<LONG>((cell.column - area.c1) * 64 + 1), static_cast<LONG>((cell.row - area.r1) * 20 + 1),
                 static_cast<LONG>((cell.column - area.c1 + 1) * 64 - 1), static_cast<LONG>((cell.row - area.r1 + 1) * 20 - 1)};
        ::FillRect(dc, &box, filled);
    }
    ::DeleteObject(filled);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        if (::SetClipboardData(CF_BITMAP, bitmap)) bitmap = nullptr;  // the system owns it now
        ::CloseClipboard();
    }
    if (bitmap) ::DeleteObject(bitmap);
}

class ExcelStandin {
public:
    IDispatch* CreateApplication() {
        DispatchObject* app = new DispatchObject(L"Application");
        for (const wchar_t* name : {L"DisplayAlerts", L"Visible"}) standin::AddApplicationValue(*app, name, VT_BOOL, 1);
        standin::AddVersion(*app);
        app->Add(L"Quit", [](DispatchCall&) {
            quorallion::standin::RequestQuit();
            return S_OK;
        });
        DispatchObject* workbooks = new DispatchObject(L"Workbooks");
        workbooks->Add(L"Open", [this](DispatchCall& call) { return Open(call); });
        app->Add(L"Workbooks", [workbooks](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(workbooks));
            return S_OK;
        });
        DispatchObject* functions = new DispatchObject(L"WorksheetFunction");
        functions->Add(L"CountA", [](DispatchCall& call) {
            const Area* area = AreaOf(call.Raw(0));
            if (!area) return call.Fail(1004, L"CountA needs a range");
            long count = 0;
            for (const Cell& cell : area->sheet->cells)
                if (cell.hasValue && cell.row >= area->r1 && cell.row <= area->r2 && cell.column >= area->c1 &&
                    cell.column <= area->c2)
                    ++count;
            call.Return(count);
            return S_OK;
        });
        app->Add(L"WorksheetFunction", [functions](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(functions));
            return S_OK;
        });
        app->onLastRelease = [workbooks, functions] {
            workbooks->Release();
            functions->Release();
            quorallion::standin::RequestQuit();
        };
        return app;
    }

private:
    // Ranges made here are known by their object; a range handed back as an argument is found again.
    static std::map<IDispatch*, Area>& Areas() {
        static std::map<IDispatch*, Area> areas;
        return areas;
    }
    // A range handed back as an argument arrives as the object made here (COM unmarshals an
    // interface to its own apartment as the original pointer).
    static const Area* AreaOf(const VARIANT& value) {
        if (value.vt != VT_DISPATCH || !value.pdispVal) return nullptr;
        auto it = Areas().find(value.pdispVal);
        return it == Areas().end() ? nullptr : &it->second;
    }

    static IDispatch* MakeRange(const Area& area, bool countColumns = false, bool countRows = false) {
        DispatchObject* range = new DispatchObject(L"Range");
        Areas()[range] = area;
        range->onLastRelease = [range] { Areas().erase(range); };
        range->Add(L"Count", [area, countColumns, countRows](DispatchCall& call) {
            const long rows = area.r2 - area.r1 + 1, columns = area.c2 - area.c1 + 1;
            call.Return(countColumns ? columns : countRows ? rows : rows * columns);
            return S_OK;
        });
        range->Add(L"Row", [area](DispatchCall& call) {
            call.Return(area.r1);
            return S_OK;
        });
        range->Add(L"Column", [area](DispatchCall& call) {
            call.Return(area.c1);
            return S_OK;
        });
        range->Add(L"Address", [area](DispatchCall& call) {
            std::wstring text = L"$" + ColumnLetters(area.c1) + L"$" + std::to_wstring(area.r1);
            if (area.r1 != area.r2 || area.c1 != area.c2)
                text += L":$" + ColumnLetters(area.c2) + L"$" + std::to_wstring(area.r2);
            call.Return(text);
            return S_OK;
        });
        range->Add(L"cells", [area](DispatchCall& call) {
            if (call.Count() == 0) return Give(call, MakeRange(area));
            const long r = area.r1 + call.Long(0) - 1, c = area.c1 + call.Long(1) - 1;
            if (call.Long(0) < 1 || call.Long(1) < 1) return call.Fail(1004, L"Bad cell");
            return Give(call, MakeRange(Area{area.sheet, r, c, r, c}));
        });
        range->Add(L"Rows", [area](DispatchCall& call) {
            if (call.Count() == 0) return Give(call, MakeRange(area, false, true));
            const long r = area.r1 + call.Long(0) - 1;
            return Give(call, MakeRange(Area{area.sheet, r, area.c1, r, area.c2}));
        });
        range->Add(L"Columns", [area](DispatchCall& call) {
            if (call.Count() == 0) return Give(call, MakeRange(area, true, false));
            const long c = area.c1 + call.Long(0) - 1;
            return Give(call, MakeRange(Area{area.sheet, area.r1, c, area.r2, c}));
        });
        for (const wchar_t* size : {L"columnWidth", L"RowHeight"}) {
            auto store = std::make_shared<VARIANT>();
            store->vt = VT_R8;
            store->dblVal = std::wstring(size) == L"RowHeight" ? 14.25 : 8.43;
            range->AddValue(size, store);
        }
        range->Add(L"Find", [area](DispatchCall& call) {
            // The last cell with a value, by rows (1) or by columns (2), searching backwards.
            const long order = call.Long(4, 1);
            const Cell* best = nullptr;
            for (const Cell& cell : area.sheet->cells) {
                if (!cell.hasValue) continue;
                if (!best || (order == 2 ? (cell.column > best->column || (cell.column == best->column && cell.row > best->row))
                                         : (cell.row > best->row || (cell.row == best->row && cell.column > best->column))))
                    best = &cell;
            }
            if (!best) {
                call.Return(static_cast<IDispatch*>(nullptr));
                return S_OK;
            }
            return Give(call, MakeRange(Area{area.sheet, best->row, best->column, best->row, best->column}));
        });
        range->Add(L"Copy", [area](DispatchCall& call) {
            if (call.Count() == 0 || call.Omitted(0)) {
                CopyPicture(area);
                return S_OK;
            }
            const Area* target = AreaOf(call.Raw(0));
            if (!target) return call.Fail(1004, L"Copy needs a range");
            target->sheet->copyOf = area.sheet->sourceIndex;
            target->sheet->copyR1 = area.r1;
            target->sheet->copyC1 = area.c1;
            target->sheet->copyR2 = area.r2;
            target->sheet->copyC2 = area.c2;
            for (const Cell& cell : area.sheet->cells)
                if (cell.row >= area.r1 && cell.row <= area.r2 && cell.column >= area.c1 && cell.column <= area.c2)
                    target->sheet->cells.push_back(
                        Cell{cell.row - area.r1 + target->r1, cell.column - area.c1 + target->c1, cell.hasValue});
            return S_OK;
        });
        return range;
    }

    // The used range: every cell record, formatted empty ones included.
    static Area UsedArea(const std::shared_ptr<Sheet>& sheet) {
        if (sheet->cells.empty()) return Area{sheet, 1, 1, 1, 1};
        Area area{sheet, LONG_MAX, LONG_MAX, 0, 0};
        for (const Cell& cell : sheet->cells) {
            area.r1 = std::min(area.r1, cell.row);
            area.c1 = std::min(area.c1, cell.column);
            area.r2 = std::max(area.r2, cell.row);
            area.c2 = std::max(area.c2, cell.column);
        }
        return area;
    }

    IDispatch* MakeSheet(const std::shared_ptr<Workbook>& book, const std::shared_ptr<Sheet>& sheet) {
        DispatchObject* object = new DispatchObject(L"Worksheet(" + sheet->name + L")");
        object->Add(L"Name", [sheet](DispatchCall& call) {
            call.Return(sheet->name);
            return S_OK;
        });
        object->Add(L"Visible", [sheet](DispatchCall& call) {
            if (call.IsPut()) sheet->visible = call.Long(call.Count() - 1);
            else call.Return(sheet->visible);
            return S_OK;
        });
        object->Add(L"UsedRange", [sheet](DispatchCall& call) { return Give(call, MakeRange(UsedArea(sheet))); });
        const Area whole{sheet, 1, 1, 1048576, 16384};
        object->Add(L"cells", [whole](DispatchCall& call) {
            if (call.Count() == 0) return Give(call, MakeRange(whole));
            const long r = call.Long(0), c = call.Long(1);
            if (r < 1 || c < 1) return call.Fail(1004, L"Bad cell");
            return Give(call, MakeRange(Area{whole.sheet, r, c, r, c}));
        });
        object->Add(L"Range", [sheet](DispatchCall& call) {
            if (call.Count() >= 2) {
                const Area* a = AreaOf(call.Raw(0));
                const Area* b = AreaOf(call.Raw(1));
                if (!a || !b) return call.Fail(1004, L"Range needs two cells");
                return Give(call, MakeRange(Area{sheet, std::min(a->r1, b->r1), std::min(a->c1, b->c1),
                                                 std::max(a->r2, b->r2), std::max(a->c2, b->c2)}));
            }
            Area area{sheet, 0, 0, 0, 0};
            if (!ParseAddress(call.Text(0), area.r1, area.c1, area.r2, area.c2)) return call.Fail(1004, L"Bad address");
            return Give(call, MakeRange(area));
        });
        object->Add(L"Columns", [sheet](DispatchCall& call) {
            const long c = call.Long(0, 1);
            return Give(call, MakeRange(Area{sheet, 1, c, 1048576, c}));
        });
        object->Add(L"Rows", [sheet](DispatchCall& call) {
            const long r = call.Long(0, 1);
            return Give(call, MakeRange(Area{sheet, r, 1, r, 16384}));
        });
        object->Add(L"Activate", [](DispatchCall&) { return S_OK; });
        object->Add(L"Delete", [book, sheet](DispatchCall&) {
            auto& list = book->sheets;
            list.erase(std::remove(list.begin(), list.end(), sheet), list.end());
            return S_OK;
        });
        object->Add(L"ExportAsFixedFormat", [book, sheet](DispatchCall& call) {
            return Export(call, *book, sheet->sourceIndex);
        });
        return object;
    }

    static HRESULT Export(DispatchCall& call, const Workbook& book, long onlySheet) {
        standin::ServeMessagesFor(Settings::Load().Number(L"exportdelay"));
        standin::WaitForFile(Settings::Load().Text(L"exportgate"));
        if (Settings::Load().Fails(L"ExportAsFixedFormat")) return call.Fail(1004, L"Export fails (settings)");
        if (Settings::Load().Number(L"fastpdf") == 1)
            return testing::WriteBytes(call.Text(1), BlankPdf()) ? S_OK : call.Fail(1004, L"Export failed");
        const std::wstring work = WorkFolder();
        std::wstring source = book.package;
        if (onlySheet > 0) {
            source = work + L"only.xlsx";
            if (RunBook("only " + Quoted(book.package) + " " + std::to_string(onlySheet) + " " + Quoted(source)) !=
                std::optional<int>(0))
                return call.Fail(1004, L"Export failed");
        }
        const std::wstring pdf = source.substr(0, source.find_last_of(L'.')) + L".pdf";
        if (!quorallion::standin::LibreOfficeConvert(source, L"pdf:calc_pdf_Export", work, pdf))
            return call.Fail(1004, L"Export failed");
        ::MoveFileExW(pdf.c_str(), call.Text(1).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
        return S_OK;
    }

    HRESULT Open(DispatchCall& call) {
        standin::ServeMessagesFor(Settings::Load().Number(L"opendelay"));
        if (Settings::Load().Fails(L"Open")) return call.Fail(kErrorOpen, L"Open fails (settings)");
        const std::wstring path = call.Text(0);
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return call.Fail(kErrorOpen, L"Cannot find the file");
        const std::wstring work = WorkFolder();
        const std::wstring ext = Extension(path);
        auto book = std::make_shared<Workbook>();
        book->package = work + L"book.xlsx";
        ::DeleteFileW(book->package.c_str());
        if (ext == L"xlsx") {
            if (!::CopyFileW(path.c_str(), book->package.c_str(), FALSE)) return call.Fail(kErrorOpen, L"Cannot read");
        } else {
            const std::wstring copy = work + L"book." + ext;
            if (!::CopyFileW(path.c_str(), copy.c_str(), FALSE) ||
                !quorallion::standin::LibreOfficeConvert(copy, L"xlsx:Calc MS Excel 2007 XML", work, book->package, 120000))
                return call.Fail(kErrorOpen, L"The file format is not valid");
        }
        const std::wstring listing = work + L"book.tsv";
        if (RunBook("read " + Quoted(book->package) + " " + Quoted(listing)) != std::optional<int>(0))
            return call.Fail(kErrorOpen, L"The file format or extension is not valid");
        const std::wstring text = testing::Wide(testing::ReadBytes(listing).value_or(""));
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) end = text.size();
            std::vector<std::wstring> fields;
            const std::wstring line = text.substr(start, end - start);
            for (size_t from = 0;;) {
                const size_t tab = line.find(L'\t', from);
                fields.push_back(line.substr(from, tab == std::wstring::npos ? std::wstring::npos : tab - from));
                if (tab == std::wstring::npos) break;
                from = tab + 1;
            }
            if (fields[0] == L"sheet" && fields.size() >= 5) {
                auto sheet = std::make_shared<Sheet>();
                sheet->sourceIndex = std::wcstol(fields[1].c_str(), nullptr, 10);
                sheet->name = Unescape(fields[2]);
                sheet->visible = fields[3] == L"hidden" ? 0 : fields[3] == L"veryHidden" ? 2 : -1;
                sheet->worksheet = fields[4] == L"worksheet";
                book->sheets.push_back(sheet);
            } else if (fields[0] == L"cell" && fields.size() >= 6 && !book->sheets.empty()) {
                book->sheets.back()->cells.push_back(Cell{std::wcstol(fields[2].c_str(), nullptr, 10),
                                                          std::wcstol(fields[3].c_str(), nullptr, 10), !fields[5].empty()});
            }
            start = end + 1;
        }
        return Give(call, MakeWorkbook(book));
    }

    // Worksheets(i) counts worksheets only, as Excel's does: chart sheets are in Sheets alone, so
    // with a chart sheet in the book the last numbers of Sheets.Count name no worksheet.
    HRESULT GiveWorksheet(DispatchCall& call, const std::shared_ptr<Workbook>& book, long i) {
        if (i >= 1)
            for (const auto& sheet : book->sheets)
                if (sheet->worksheet && --i == 0) return Give(call, MakeSheet(book, sheet));
        return call.Fail(9, L"Subscript out of range");
    }

    IDispatch* MakeWorkbook(const std::shared_ptr<Workbook>& book) {
        DispatchObject* object = new DispatchObject(L"Workbook");
        DispatchObject* web = new DispatchObject(L"WebOptions");
        for (const wchar_t* name : {L"AllowPNG", L"RelyOnCSS", L"RelyOnVML", L"UseLongFileNames", L"OrganizeInFolder", L"encoding"}) {
            auto store = std::make_shared<VARIANT>();
            store->vt = VT_I4;
            store->lVal = std::wstring(name) == L"encoding" ? 1252 : 0;
            web->AddValue(name, store);
        }
        object->Add(L"WebOptions", [web](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(web));
            return S_OK;
        });
        DispatchObject* sheets = new DispatchObject(L"Sheets");
        sheets->Add(L"Count", [book](DispatchCall& call) {
            call.Return(static_cast<long>(book->sheets.size()));
            return S_OK;
        });
        object->Add(L"Sheets", [sheets](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(sheets));
            return S_OK;
        });
        DispatchObject* worksheets = new DispatchObject(L"Worksheets");
        worksheets->Add(L"Item", [this, book](DispatchCall& call) { return GiveWorksheet(call, book, call.Long(0)); });
        worksheets->Add(L"Add", [this, book](DispatchCall& call) {
            auto sheet = std::make_shared<Sheet>();
            sheet->name = L"Sheet" + std::to_wstring(100 + ++book->added);
            book->sheets.push_back(sheet);
            return Give(call, MakeSheet(book, sheet));
        });
        object->Add(L"Worksheets", [this, book, worksheets](DispatchCall& call) {
            if (call.Count() == 0) {
                call.Return(static_cast<IDispatch*>(worksheets));
                return S_OK;
            }
            return GiveWorksheet(call, book, call.Long(0));
        });
        DispatchObject* publishObjects = new DispatchObject(L"PublishObjects");
        publishObjects->Add(L"Add", [book](DispatchCall& call) {
            const long type = call.Long(0);
            const std::wstring page = call.Text(1), sheetName = call.Text(2), source = call.Text(3), div = call.Text(5);
            DispatchObject* item = new DispatchObject(L"PublishObject");
            item->Add(L"Publish", [book, type, page, sheetName, source, div](DispatchCall& inner) {
                standin::ServeMessagesFor(Settings::Load().Number(L"publishdelay"));
                if (Settings::Load().Fails(L"Publish")) return inner.Fail(1004, L"Publish fails (settings)");
                std::shared_ptr<Sheet> sheet;
                for (const auto& s : book->sheets)
                    if (s->name == sheetName) sheet = s;
                if (!sheet) return inner.Fail(1004, L"No such sheet");
                long index = sheet->sourceIndex, r1 = 0, c1 = 0, r2 = 0, c2 = 0;
                if (type == 4) {
                    if (!ParseAddress(source, r1, c1, r2, c2)) return inner.Fail(1004, L"Bad source");
                } else if (sheet->copyOf > 0) {
                    index = sheet->copyOf;
                    r1 = sheet->copyR1, c1 = sheet->copyC1, r2 = sheet->copyR2, c2 = sheet->copyC2;
                } else {
                    const Area used = UsedArea(sheet);
                    r1 = used.r1, c1 = used.c1, r2 = used.r2, c2 = used.c2;
                }
                if (index == 0) return inner.Fail(1004, L"Nothing to publish");
                if (Settings::Load().Number(L"nopage") == 1) return S_OK;
                const std::string args = "publish " + Quoted(book->package) + " " + std::to_string(index) + " " +
                                         std::to_string(r1) + " " + std::to_string(c1) + " " + std::to_string(r2) + " " +
                                         std::to_string(c2) + " " + testing::ShellQuote(testing::Utf8(div)) +
                                         " " + Quoted(page);
                if (RunBook(args) != std::optional<int>(0)) return inner.Fail(1004, L"Publish failed");
                return S_OK;
            });
            return Give(call, item);
        });
        object->Add(L"PublishObjects", [publishObjects](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(publishObjects));
            return S_OK;
        });
        object->Add(L"BuiltInDocumentProperties", [](DispatchCall& call) {
            DispatchObject* property = new DispatchObject(L"DocumentProperty(" + call.Text(0) + L")");
            auto store = std::make_shared<VARIANT>();
            property->AddValue(L"Value", store);
            return Give(call, property);
        });
        object->Add(L"ExportAsFixedFormat", [book](DispatchCall& call) { return Export(call, *book, 0); });
        object->Add(L"Close", [](DispatchCall&) { return S_OK; });
        object->Add(L"Save", [](DispatchCall&) { return S_OK; });
        object->onLastRelease = [web, sheets, worksheets, publishObjects] {
            web->Release();
            sheets->Release();
            worksheets->Release();
            publishObjects->Release();
        };
        return object;
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static ExcelStandin standin;
    return RunStandinCopies({L"et.exe", kExcelClass, kEtClass, L"Excel.Application", L"KET.Application"},
                            [] { return standin.CreateApplication(); }, commandLine);
}
