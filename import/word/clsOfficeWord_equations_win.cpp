// Equations, pictures and indents of a Word document before it is saved as HTML: OMath
// equations, EQ fields and equation objects become inline pictures that carry a placeholder for
// their code; after the save the placeholders get the codes back. The code lists live for the
// process, as the placeholders of one conversion refer to them.
#include <cwctype>
#include <vector>

#include "clipboard/clsClipboard.h"
#include "clipboard/basClipBoard_office.h"
#include "emf/clsEmf2Png.h"
#include "c32bppDIB.h"
#include "file/basFile.h"
#include "office/late_binding_win.h"
#include "public/basPublic_win.h"
#include "regex/basRegExp.h"
#include "win/message_pump.h"
#include "word/clsOfficeWord.h"

namespace quorallion {

namespace {

using office::Arg;
using office::AutoObject;

struct EquationLists {
    std::vector<std::wstring> omath;   // entry i-1: "QuorallionWordEQ;omath;" & code
    std::vector<std::wstring> fields;  // entry j-1: "QuorallionWordEQ;" & kind & ";" & code
};

EquationLists& Lists() {
    static EquationLists lists;
    return lists;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// "formula" for an EQ field (49); an embedded object (58) whose class type begins with
// "equation." gives that class type; "" for every other field.
std::wstring EquationKind(const AutoObject& field) {
    const long type = field.Get(L"Type").Long(-1);
    if (type == 49) return L"formula";
    if (type == 58) {
        const std::wstring classType = field.Get(L"OLEFormat.ClassType").Text();
        if (Lower(classType.substr(0, 9)) == L"equation.") return classType;
    }
    return L"";
}

long Version(const AutoObject& doc, office::ErrorState& err) {
    const office::Value v = doc.Get(L"Application.Version");
    long version = -1;
    if (!err.Pending()) {
        const std::wstring text = v.Text();
        if (!text.empty()) version = static_cast<long>(std::wcstod(text.c_str(), nullptr));
    }
    err.Clear();
    return version;
}

struct FieldRecord {
    long number;
    std::wstring kind;
};

}  // namespace

// A worker's automation calls share its error state; the equation steps record into a local one
// and never test it (their failures are skipped, as the worker's trapping would skip them).
void clsOfficeWord::ResetPictureScale(const office::AutoObject& doc) {
    const long shapes = doc.Get(L"Shapes.Count").Long(0);
    for (long i = shapes; i >= 1; --i) {
        const AutoObject shape = doc.Object(L"Shapes.Item", {static_cast<int>(i)});
        if (shape.Get(L"Type").Long(0) == 13) shape.Call(L"ConvertToInlineShape");
    }
    const long inlineShapes = doc.Get(L"InlineShapes.Count").Long(0);
    for (long i = 1; i <= inlineShapes; ++i) {
        const AutoObject shape = doc.Object(L"InlineShapes.Item", {static_cast<int>(i)});
        const long type = shape.Get(L"Type").Long(0);
        if (type != 3 && type != 4) continue;
        shape.Put(L"LockAspectRatio", 0);
        shape.Put(L"ScaleHeight", 100);
        shape.Put(L"ScaleWidth", 100);
    }
}

void clsOfficeWord::ConvertEquationsToPictures(const office::AutoObject& document, bool wordeq) {
    office::ErrorState err;
    const AutoObject doc(document.get(), err);
    const std::wstring stamp = basPublic::GetTimeStamp();
    const long version = Version(doc, err);
    const AutoObject app = doc.Object(L"Application");
    const AutoObject selection = app.Object(L"Selection");
    const std::wstring folder = context_.jobFolder;
    auto omathPicture = [&](long i) { return folder + stamp + L"-m" + std::to_wstring(i) + L".png"; };
    auto fieldPicture = [&](long n) { return folder + stamp + std::to_wstring(n) + L".png"; };
    auto insertPicture = [&](const std::wstring& path, const std::wstring& alternativeText) {
        const AutoObject shape = selection.Object(L"InlineShapes.AddPicture", {path, false, true});
        if (!alternativeText.empty()) shape.Put(L"AlternativeText", alternativeText);
        selection.Put(L"ParagraphFormat.BaseLineAlignment", 1);
        basFile::DeleteFileIfExists(path);
    };

    const long omathCount = version >= 12 ? doc.Get(L"OMaths.Count").Long(0) : 0;
    std::vector<FieldRecord> records;

    if (wordeq) {
        Lists().omath.clear();
        for (long i = 1; i <= omathCount; ++i) {
            win::DoEvents();
            if (context_.Cancelled()) return;
            const AutoObject range = doc.Object(L"OMaths.Item", {static_cast<int>(i)}).Object(L"Range");
            range.Call(L"moveStart", {1, -1});
            range.Call(L"moveEnd", {1, 1});
            range.Call(L"Select");
            range.Call(L"Copy");
            const std::wstring code = basClipBoard::GetClipboardOfficeObject(L"omath", omathPicture(i));
            Lists().omath.push_back(L"QuorallionWordEQ;omath;" + code);
        }
    } else {
        for (long i = 1; i <= omathCount; ++i) {
            win::DoEvents();
            const AutoObject range = doc.Object(L"OMaths.Item", {static_cast<int>(i)}).Object(L"Range");
            range.Put(L"ParagraphFormat.BaseLineAlignment", 1);
            doc.Call(L"Bookmarks.Add", {L"quorallionomath" + std::to_wstring(i), range.get()});
        }
    }

    const long fieldCount = doc.Get(L"Fields.Count").Long(0);
    for (long n = 1; n <= fieldCount; ++n) {
        win::DoEvents();
        if (context_.Cancelled()) return;
        const AutoObject field = doc.Object(L"Fields.Item", {static_cast<int>(n)});
        const std::wstring kind = EquationKind(field);
        if (kind.empty()) continue;
        records.push_back({n, kind});
        field.Put(L"ShowCodes", false);
        if (wordeq || kind == L"formula") {
            field.Call(L"Select");
            if (wordeq && kind != L"formula") selection.Call(L"Font.Reset");
            EmfBitsToPng(kind, selection.Get(L"EnhMetaFileBits").Bytes(), fieldPicture(n));
        }
    }

    if (wordeq) {
        Lists().fields.assign(records.size(), L"");
        for (size_t j = 0; j < records.size(); ++j) {
            win::DoEvents();
            if (context_.Cancelled()) return;
            const AutoObject field = doc.Object(L"Fields.Item", {static_cast<int>(records[j].number)});
            field.Call(L"Select");
            field.Call(L"Copy");
            const std::wstring code = basClipBoard::GetClipboardOfficeObject(
                records[j].kind == L"formula" ? L"formula" : L"embed", L"");
            Lists().fields[j] = L"QuorallionWordEQ;" + records[j].kind + L";" + code;
        }
        for (long i = omathCount; i >= 1; --i) {
            if (context_.Cancelled()) return;
            const AutoObject range = doc.Object(L"OMaths.Item", {static_cast<int>(i)}).Object(L"Range");
            range.Call(L"Select");
            range.Call(L"Delete");
            insertPicture(omathPicture(i), L"QuorallionWordEQ:OMath:" + std::to_wstring(i));
        }
        for (size_t j = records.size(); j-- > 0;) {
            if (context_.Cancelled()) return;
            const std::wstring path = fieldPicture(records[j].number);
            if (!basFile::FileExists(path)) continue;
            const AutoObject field = doc.Object(L"Fields.Item", {static_cast<int>(records[j].number)});
            field.Call(L"Select");
            field.Call(L"Delete");
            insertPicture(path, L"QuorallionWordEQ:EQ:" + std::to_wstring(j + 1));
        }
        if (omathCount > 0 || !records.empty()) {
            clsClipboard clipboard;
            if (clipboard.ClipboardOpen(nullptr)) clipboard.ClearClipboard();
        }
        return;
    }

    for (size_t j = records.size(); j-- > 0;) {
        win::DoEvents();
        if (context_.Cancelled()) return;
        const AutoObject field = doc.Object(L"Fields.Item", {static_cast<int>(records[j].number)});
        if (records[j].kind == L"formula") {
            const std::wstring path = fieldPicture(records[j].number);
            if (!basFile::FileExists(path)) continue;
            field.Call(L"Select");
            field.Call(L"Delete");
            insertPicture(path, L"");
        } else {
            field.Call(L"result.Font.Reset");
            field.Put(L"result.ParagraphFormat.BaseLineAlignment", 1);
            field.Call(L"Select");
            selection.Call(L"Font.Reset");
            selection.Put(L"Range.ParagraphFormat.BaseLineAlignment", 1);
        }
    }
}

void clsOfficeWord::EmfBitsToPng(const std::wstring& kind, const std::vector<uint8_t>& emfBytes,
                                 const std::wstring& pngPath) {
    int32_t status = -1;
    try {
        status = clsEmf2Png().ConvertEmfByte2PngFile(emfBytes, pngPath);
    } catch (const std::exception&) {
    }
    if (status != 0) {
        basFile::DebugTrace(L"EmfBitsToPng: " + std::to_wstring(status));
        return;
    }
    win::DoEvents();
    c32bppDIB image;
    if (!image.LoadPicture_File(pngPath)) return;
    image.MakeTransparent(0xFFFFFE);
    int32_t x = 0, y = 0, width = 0, height = 0;
    image.TrimImage(true, (kind == L"trimall" || kind == L"omath") ? 0 : 5, x, y, width, height);
    image.SaveToFile_PNG(pngPath);
}

void clsOfficeWord::EmfBytesToTrimmedPng(const std::wstring& mode, const std::vector<uint8_t>& emfBytes,
                                         const std::wstring& pngPath) {
    c32bppDIB image;
    if (!image.LoadPicture_Stream_Emf(emfBytes)) return;
    image.SaveToFile_PNG(pngPath);
    int32_t x = 0, y = 0, width = 0, height = 0;
    image.TrimImage(true, mode == L"trimall" ? 0 : 5, x, y, width, height);
    image.SaveToFile_PNG(pngPath);
}

// Word 2007 gives an equation's paragraph its style's first-line indent, which pushes display
// equations off centre. The indent is cleared on the equations' own paragraphs: clearing it in the
// style would take it from every other paragraph of that style as well.
void clsOfficeWord::ClearEquationIndents(const office::AutoObject& document) {
    office::ErrorState err;
    const AutoObject doc(document.get(), err);
    if (Version(doc, err) != 12) return;
    const long count = doc.Get(L"OMaths.Count").Long(0);
    for (long i = 1; i <= count; ++i) {
        const AutoObject format =
            doc.Object(L"OMaths.Item", {static_cast<int>(i)}).Object(L"Range.ParagraphFormat");
        format.Put(L"CharacterUnitFirstLineIndent", 0);
        format.Put(L"FirstLineIndent", 0);
        err.Clear();
    }
}

// Paragraphs whose style centres them on the baseline (1) get that alignment as their own and the
// style becomes automatic (4): every paragraph looks as before, and the alignment is written with
// each paragraph. A paragraph whose own alignment differs from its style's keeps it. One walk from
// each paragraph to the next: Word finds a paragraph by its number by walking from the first.
void clsOfficeWord::MoveBaselineAlignmentToParagraphs(const office::AutoObject& document) {
    office::ErrorState err;
    const AutoObject doc(document.get(), err);
    const long count = doc.Get(L"Paragraphs.Count").Long(0);
    std::vector<AutoObject> centred;
    AutoObject paragraph = count > 0 ? doc.Object(L"Paragraphs.First") : AutoObject();
    for (long i = 1; i <= count && paragraph; ++i) {
        win::DoEvents();
        if (paragraph.Get(L"Style.ParagraphFormat.BaseLineAlignment").Long(0) == 1 &&
            paragraph.Get(L"BaseLineAlignment").Long(1) == 1)
            centred.push_back(paragraph);
        paragraph = paragraph.Object(L"Next");
    }
    for (const AutoObject& p : centred) p.Put(L"Style.ParagraphFormat.BaseLineAlignment", 4);
    for (const AutoObject& p : centred) p.Put(L"BaseLineAlignment", 1);
}

// A placeholder's number names an entry of the list of its type; the alt value becomes that code
// (or empty). Walks the matches once, copying the text between them.
std::wstring clsOfficeWord::ReplaceEquationPlaceholders(const std::wstring& html) {
    return ReplaceEquationPlaceholders(html, Lists().omath, Lists().fields);
}

std::wstring clsOfficeWord::ReplaceEquationPlaceholders(const std::wstring& html,
                                                        const std::vector<std::wstring>& omath,
                                                        const std::vector<std::wstring>& fields) {
    // The platform's engine walked match by match; a failing engine fails the conversion (the
    // caller turns this into "wordreadfile") instead of showing a box and answering empty.
    office::ErrorState err;
    AutoObject regex = office::CreateObject(L"VBScript.RegExp", err);
    if (!regex) throw RegExpError(E_FAIL, "VBScript.RegExp cannot be created");
    regex.Put(L"Pattern", LR"re((<img(?=\s)[^>]*?\salt\s*?=\s*?")[^"]*?QuorallionWordEQ:([a-zA-Z]+?):([0-9]+?)("[^>]*?>))re");
    regex.Put(L"IgnoreCase", true);
    regex.Put(L"Global", true);
    const AutoObject matches = regex.Object(L"Execute", {html});
    const long count = matches.Get(L"Count").Long(0);
    if (err.Pending()) throw RegExpError(E_FAIL, "VBScript.RegExp Execute failed");
    std::wstring out;
    out.reserve(html.size());
    size_t position = 0;
    for (long i = 0; i < count; ++i) {
        const AutoObject match = matches.Object(L"Item", {static_cast<int>(i)});
        const size_t first = static_cast<size_t>(match.Get(L"FirstIndex").Long(0));
        const size_t length = static_cast<size_t>(match.Get(L"Length").Long(0));
        const AutoObject subs = match.Object(L"SubMatches");
        std::wstring part[4];
        for (int k = 0; k < 4; ++k) part[k] = subs.Get(L"Item", {k}).Text();
        if (err.Pending() || first < position || first + length > html.size())
            throw RegExpError(E_FAIL, "SubMatches");
        std::wstring type;
        for (wchar_t c : part[1]) type += static_cast<wchar_t>(std::towupper(c));
        const std::vector<std::wstring>* list = type == L"OMATH" ? &omath : type == L"EQ" ? &fields : nullptr;
        std::wstring code;
        if (list && !part[2].empty() && part[2].size() <= 9) {
            const size_t number = std::wcstoul(part[2].c_str(), nullptr, 10);
            if (number >= 1 && number <= list->size()) code = (*list)[number - 1];
        }
        out.append(html, position, first - position);
        out += part[0] + code + part[3];
        position = first + length;
    }
    out.append(html, position, std::wstring::npos);
    return out;
}

}  // namespace quorallion
