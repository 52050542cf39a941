// Stand-in for Word's and WPS writer's automation servers (tests only, never shipped). One
// program; its copies Winword.exe and wps.exe serve "Word.Application" and "KWPS.Application".
// Only the members the Word worker uses are here, as plain IDispatch objects on the stand-in
// frame (tests/standins/office). LibreOffice headless does the real conversions; the package's
// XML tells protection and holds the Office Math equations. The HTML is made from a copy whose
// equations are marker texts; the saved page then gets, at each marker, what Word writes there:
// the picture the worker inserted (with its alternative text), or the equation's own picture
// with the bookmark anchor the worker added. An equation range's Copy puts Word-shaped
// "HTML Format" on the clipboard (the Office Math markup and a picture in the temp folder).
// Fields (EQ fields, embedded objects) are read from the package's field codes, stand at markers
// "QFLD<n>QFLD" the same way and copy as Word-shaped "HTML Format"; the selection's
// EnhMetaFileBits is a recorded metafile. Embedded objects are fields too: their copy carries the
// object's data and picture as Word's does. Drawings (pictures with their alternative texts and
// sizes, other shapes) stand at markers "QSHP<n>QSHP" and are written at their current size;
// Shapes and InlineShapes hold them, and a floating picture can be made inline and rescaled.
// A paste into a new document keeps the clipboard's fragment and the style elements of its head;
// the saved page holds them as Word writes a document, inside its page wrapper and section div.
// LibreOffice converts each distinct marked copy once per build (word-html-cache beside the
// program); the markers are filled in afterwards, per call.
//
// Settings (see office/standin_settings.h) beyond the frame's: "savedelay" (ms that SaveAs and
// ExportAsFixedFormat wait, serving messages), "password" (the editing password Unprotect
// accepts), "nosave" (1: SaveAs and the export write nothing), "fastpdf" (1: the export writes a
// blank one-page PDF itself instead of asking LibreOffice, for tests about the arguments only).
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "office/standin.h"

namespace {

using namespace quorallion::standin;

// Word.Application's class, and our class for KWPS.Application.
constexpr CLSID kWordClass = {0x000209FF, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr CLSID kWpsClass = {0x5A9C6E1E, 0x3F0B, 0x4E5C, {0x9A, 0x55, 0x7B, 0x2E, 0x0F, 0x6C, 0x1D, 0x01}};

constexpr long kErrorCorrupt = 5792;   // "The file appears to be corrupted."
constexpr long kErrorPassword = 5408;  // "The password is incorrect."
constexpr long kErrorProtected = 5485;

std::wstring WorkFolder() { return standin::WorkFolder(L"word"); }

// One Office Math equation or one field of the document, in document order.
struct Equation {
    std::string omml;              // an equation: the package's markup of it (UTF-8)
    std::string code;              // a field: its code ("EQ \f(1,2)", "EMBED Equation.3")
    std::wstring bookmark;         // added over its range
    std::string picture;           // the picture put in its place (bytes), with its extension
    std::wstring pictureExtension;
    std::wstring alternativeText;
    bool deleted = false;
    // An embedded object: its data part, its picture and the size it is shown at (pixels).
    std::string objectData;
    std::string objectPicture;
    std::wstring objectPictureExtension;
    long objectWidth = 0, objectHeight = 0;
};

// A drawing of the document (a picture or another shape, in Shapes while it floats, in
// InlineShapes once inline), or an embedded object (always inline; shown by its field). Sizes are
// pixels at 96 per inch; the shown size is the original one times the scale.
struct Shape {
    bool floating = false;
    bool picture = false;
    size_t object = 0;  // the object's field (1-based), 0 for a drawing
    std::wstring alternativeText;
    double originalWidth = 0, originalHeight = 0;
    double scaleWidth = 100, scaleHeight = 100;  // percent
    bool lockAspectRatio = false;
    std::string bytes;  // the picture's file
    std::wstring extension;
    long Width() const { return std::lround(originalWidth * scaleWidth / 100); }
    long Height() const { return std::lround(originalHeight * scaleHeight / 100); }
};

struct Document {
    std::wstring source;      // the opened file, "" for a new document
    std::wstring workCopy;    // the source copied under an ASCII name in the work folder
    std::wstring markedCopy;  // the package with its equations as marker texts "QEQ<n>QEQ"
    std::vector<Equation> equations;
    std::vector<Equation> fields;
    std::vector<Shape> shapes;  // in document order
    size_t selected = 0;      // the equation the selection is on (1-based), 0 none
    Equation* selectedItem = nullptr;  // the equation or field the selection is on
    std::map<IDispatch*, size_t> ranges;  // live equation ranges and their equations
    std::wstring pastedHtml;    // the fragment pasted into a new document
    std::wstring pastedStyles;  // the style elements of the pasted HTML's head, as Word keeps them
    long protection = -1;     // wdNoProtection, or the kind read from the package
    std::map<std::wstring, std::wstring> properties;
};

// The parts of a text separated by the character.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::optional<long> ProtectionOf(const std::wstring& settingsXml) {
    const size_t at = settingsXml.find(L"<w:documentProtection");
    if (at == std::wstring::npos) return std::nullopt;
    const size_t end = settingsXml.find(L'>', at);
    const std::wstring tag = settingsXml.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
    if (tag.find(L"w:enforcement=\"1\"") == std::wstring::npos && tag.find(L"w:enforcement=\"true\"") == std::wstring::npos)
        return std::nullopt;
    if (tag.find(L"\"readOnly\"") != std::wstring::npos) return 3;
    if (tag.find(L"\"comments\"") != std::wstring::npos) return 1;
    if (tag.find(L"\"forms\"") != std::wstring::npos) return 2;
    return 0;
}

// Reads a package: its settings part (settings.xml), its equations (equations.txt, separated by
// the character 0x1E), its fields and embedded objects (fields.txt: code, then for an object its
// data and picture files and size, separated by 0x1F), its drawings and objects
// (shapes.txt: inline or floating, picture, shape or object, alternative text, shown size in EMU,
// aspect locked, picture file, its own size in pixels; for an object its field's number) and a copy in which each equation, field or object and drawing is the
// marker text "QEQ<n>QEQ", "QFLD<n>QFLD" or "QSHP<n>QSHP" (marked.docx), all into the folder.
// Exit status 3: not a Word package.
constexpr char kReadPackage[] = R"py(import html, re, struct, sys, zipfile
source, folder = sys.argv[1], sys.argv[2]
z = zipfile.ZipFile(source)
names = z.namelist()
if "word/document.xml" not in names:
    sys.exit(3)
open(folder + "settings.xml", "wb").write(z.read("word/settings.xml") if "word/settings.xml" in names else b"")
rels = {}
if "word/_rels/document.xml.rels" in names:
    for tag in re.findall(r"<Relationship\b[^>]*>", z.read("word/_rels/document.xml.rels").decode("utf-8")):
        rid, target = re.search(r'\bId="([^"]*)"', tag), re.search(r'\bTarget="([^"]*)"', tag)
        if rid and target:
            rels[rid.group(1)] = target.group(1)
def attr(text, tag, name):
    m = re.search(r"<" + tag + r"\b[^>]*?\s" + name + r'="([^"]*)"', text)
    return html.unescape(m.group(1)) if m else ""
def save(rid, stem):
    target = rels.get(rid, "")
    part = target[1:] if target.startswith("/") else "word/" + target
    if not target or part not in names:
        return ""
    name = stem + "." + target.rsplit(".", 1)[-1].lower()
    open(folder + name, "wb").write(z.read(part))
    return name
def pixels(name):
    data = open(folder + name, "rb").read() if name else b""
    return struct.unpack(">II", data[16:24]) if data[:8] == b"\x89PNG\r\n\x1a\n" else (0, 0)
document = z.read("word/document.xml").decode("utf-8")
equations = []
def mark(match):
    equations.append(match.group(0))
    return "<w:r><w:t>QEQ%dQEQ</w:t></w:r>" % len(equations)
marked = re.sub(r"<m:oMathPara\b.*?</m:oMathPara>|<m:oMath\b.*?</m:oMath>", mark, document, flags=re.S)
open(folder + "equations.txt", "wb").write("\x1e".join(equations).encode("utf-8"))
fields, shapes = [], []
def mark_item(match):
    text = match.group(0)
    if match.group("object"):
        n = len(fields) + 1
        style = attr(text, "v:shape", "style")
        size = [float(v) * 4 / 3 for v in re.findall(r"(?:width|height):([0-9.]+)pt", style)[:2]] + [0, 0]
        fields.append("\x1f".join(["EMBED " + attr(text, "o:OLEObject", "ProgID"),
                                   save(attr(text, "o:OLEObject", "r:id"), "object%d" % n),
                                   save(attr(text, "v:imagedata", "r:id"), "objectpicture%d" % n),
                                   "%d" % round(size[0]), "%d" % round(size[1])]))
        shapes.append("\x1f".join(["inline", "object", "", "", "", "0", "", "0", "0", "%d" % n]))
        return "<w:r><w:t>QFLD%dQFLD</w:t></w:r>" % n
    if match.group("drawing"):
        n = len(shapes) + 1
        picture = save(attr(text, "a:blip", "r:embed"), "shape%d" % n) if "<pic:pic" in text else ""
        shapes.append("\x1f".join(["inline" if "<wp:inline" in text else "floating", "picture" if "<pic:pic" in text else "shape",
                                   attr(text, "wp:docPr", "descr"), attr(text, "wp:extent", "cx"), attr(text, "wp:extent", "cy"),
                                   "1" if re.search(r'<a:graphicFrameLocks\b[^>]*noChangeAspect="(?:1|true)"', text) else "0",
                                   picture] + ["%d" % v for v in pixels(picture)]))
        return "<w:r><w:t>QSHP%dQSHP</w:t></w:r>" % n
    code = "".join(re.findall(r"<w:instrText[^>]*>(.*?)</w:instrText>", text, flags=re.S))
    fields.append(code.strip())
    return "<w:r><w:t>QFLD%dQFLD</w:t></w:r>" % len(fields)
marked = re.sub(r'<w:r>(?:(?!<w:r>).)*?<w:fldChar w:fldCharType="begin"/>.*?<w:fldChar w:fldCharType="end"/>\s*</w:r>'
                r'|(?P<object><w:r\b[^>]*>(?:(?!<w:r[ >]|</w:r>).)*?<w:object\b.*?</w:object>\s*</w:r>)'
                r'|(?P<drawing><w:r\b[^>]*>(?:(?!<w:r[ >]|</w:r>).)*?<w:drawing>.*?</w:drawing>'
                r'(?:\s*</mc:Choice>.*?</mc:AlternateContent>)?\s*</w:r>)',
                mark_item, marked, flags=re.S)
open(folder + "fields.txt", "wb").write("\x1e".join(fields).encode("utf-8"))
open(folder + "shapes.txt", "wb").write("\x1e".join(shapes).encode("utf-8"))
with zipfile.ZipFile(folder + "marked.docx", "w", zipfile.ZIP_DEFLATED) as out:
    for item in z.infolist():
        out.writestr(item, marked.encode("utf-8") if item.filename == "word/document.xml" else z.read(item.filename))
)py";

// A small picture of an equation: a 24-bit BMP, white with a dark bar, as the stand-in's
// rendering of any equation.
std::string EquationPicture() {
    const int width = 60, height = 20, stride = width * 3;
    std::string bmp(54 + stride * height, '\0');
    auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 24;
    put32(34, static_cast<uint32_t>(stride * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool ink = y >= 8 && y < 12 && x >= 5 && x < 55;
            for (int c = 0; c < 3; ++c) bmp[54 + y * stride + x * 3 + c] = static_cast<char>(ink ? 0x20 : 0xFF);
        }
    return bmp;
}

// The equation as Word's copy puts it into the fragment: the markup without namespace
// declarations and run properties.
std::string WordShapedOmml(const std::string& omml) {
    std::string out;
    for (size_t i = 0; i < omml.size();) {
        if (omml.compare(i, 7, " xmlns:") == 0) {
            const size_t quote = omml.find('"', i);
            const size_t close = quote == std::string::npos ? std::string::npos : omml.find('"', quote + 1);
            if (close != std::string::npos) {
                i = close + 1;
                continue;
            }
        }
        if (omml.compare(i, 7, "<w:rPr>") == 0) {
            const size_t end = omml.find("</w:rPr>", i);
            if (end != std::string::npos) {
                i = end + 8;
                continue;
            }
        }
        out += omml[i++];
    }
    return out;
}

// Opens the file as Word would judge it: a package must be a zip with a main document part
// (an encrypted package is a compound file instead); a binary document is tried by LibreOffice.
HRESULT Load(Document& doc, DispatchCall& call) {
    const std::wstring path = call.Text(0);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return call.Fail(5174, L"This file could not be found.");
    const std::wstring folder = WorkFolder();
    doc.source = path;
    doc.workCopy = folder + L"source." + Extension(path);
    if (!::CopyFileW(path.c_str(), doc.workCopy.c_str(), FALSE)) return call.Fail(kErrorCorrupt, L"Cannot read");
    const std::string head = testing::ReadBytes(doc.workCopy).value_or("").substr(0, 8);
    if (Extension(path) == L"docx") {
        if (head.rfind("\xD0\xCF\x11\xE0", 0) == 0) return call.Fail(kErrorPassword, L"The password is incorrect.");
        if (head.rfind("PK\x03\x04", 0) != 0) return call.Fail(kErrorCorrupt, L"The file appears to be corrupted.");
        doc.markedCopy = folder + L"marked.docx";
        const std::optional<std::string> unixCopy = testing::UnixPath(doc.workCopy);
        const std::optional<std::string> unixFolder = testing::UnixPath(folder);
        if (!unixCopy || !unixFolder || !testing::WriteBytes(folder + L"read_package.py", kReadPackage))
            return call.Fail(kErrorCorrupt, L"No path");
        const std::optional<int> status = testing::RunUnixScript(
            "python3 " + testing::ShellQuote(*unixFolder + "read_package.py") + " " + testing::ShellQuote(*unixCopy) +
                " " + testing::ShellQuote(*unixFolder),
            60000);
        if (!status || *status != 0) return call.Fail(kErrorCorrupt, L"The file appears to be corrupted.");
        doc.protection = ProtectionOf(testing::Wide(testing::ReadBytes(folder + L"settings.xml").value_or(""))).value_or(-1);
        const std::string equations = testing::ReadBytes(folder + L"equations.txt").value_or("");
        for (size_t start = 0; start < equations.size();) {
            size_t end = equations.find('\x1e', start);
            if (end == std::string::npos) end = equations.size();
            Equation eq;
            eq.omml = equations.substr(start, end - start);
            doc.equations.push_back(eq);
            start = end + 1;
        }
        for (const std::string& record : Split(testing::ReadBytes(folder + L"fields.txt").value_or(""), '\x1e')) {
            const std::vector<std::string> parts = Split(record, '\x1f');
            Equation field;
            field.code = parts[0];
            if (parts.size() >= 5) {  // an embedded object
                field.objectData = testing::ReadBytes(folder + testing::Wide(parts[1])).value_or("");
                field.objectPicture = testing::ReadBytes(folder + testing::Wide(parts[2])).value_or("");
                field.objectPictureExtension = Extension(testing::Wide(parts[2]));
                field.objectWidth = std::atol(parts[3].c_str());
                field.objectHeight = std::atol(parts[4].c_str());
            }
            doc.fields.push_back(field);
        }
        for (const std::string& record : Split(testing::ReadBytes(folder + L"shapes.txt").value_or(""), '\x1e')) {
            const std::vector<std::string> parts = Split(record, '\x1f');
            if (parts.size() < 9) continue;
            Shape shape;
            if (parts[1] == "object") {  // shown by its field
                shape.object = static_cast<size_t>(std::atol(parts.size() > 9 ? parts[9].c_str() : "0"));
                if (shape.object < 1 || shape.object > doc.fields.size()) continue;
                shape.originalWidth = static_cast<double>(doc.fields[shape.object - 1].objectWidth);
                shape.originalHeight = static_cast<double>(doc.fields[shape.object - 1].objectHeight);
                doc.shapes.push_back(shape);
                continue;
            }
            shape.floating = parts[0] == "floating";
            shape.picture = parts[1] == "picture";
            shape.alternativeText = testing::Wide(parts[2]);
            const double width = std::atof(parts[3].c_str()) / 9525, height = std::atof(parts[4].c_str()) / 9525;
            shape.lockAspectRatio = parts[5] == "1";
            if (!parts[6].empty()) {
                shape.bytes = testing::ReadBytes(folder + testing::Wide(parts[6])).value_or("");
                shape.extension = Extension(testing::Wide(parts[6]));
            }
            // A picture's own size is its pixels; a shape, or a picture of unknown size, is at 100 %.
            const double pixelWidth = std::atof(parts[7].c_str()), pixelHeight = std::atof(parts[8].c_str());
            shape.originalWidth = pixelWidth > 0 ? pixelWidth : width;
            shape.originalHeight = pixelHeight > 0 ? pixelHeight : height;
            shape.scaleWidth = 100 * width / shape.originalWidth;
            shape.scaleHeight = 100 * height / shape.originalHeight;
            doc.shapes.push_back(shape);
        }
        return S_OK;
    }
    // .doc, .wps: LibreOffice reads it or it is not a document (an encrypted one included: the
    // worker's password is none the file has).
    if (head.rfind("\xD0\xCF\x11\xE0", 0) != 0) return call.Fail(kErrorCorrupt, L"The file appears to be corrupted.");
    if (!quorallion::standin::LibreOfficeConvert(doc.workCopy, L"txt:Text", folder, folder + L"source.txt", 60000))
        return call.Fail(kErrorPassword, L"The password is incorrect.");
    return S_OK;
}

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '"') out += "&quot;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

// The files of a folder (names only).
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

// LibreOffice's HTML of a copy (the page at out, its pictures "<base>_html_<hash>.<ext>" beside
// it in the work folder). The same bytes convert to the same page, so each distinct copy is
// converted once per build: the page and its pictures are kept in a folder beside the program
// named by the copy's hash and size, and copied from there. A stand-in fills an entry under a
// name of its own and renames it, so parallel ones never read half an entry.
bool ConvertToHtml(const std::wstring& copy, const std::wstring& work, const std::wstring& out) {
    const std::optional<std::string> bytes = testing::ReadBytes(copy);
    if (!bytes) return false;
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : *bytes) hash = (hash ^ c) * 1099511628211ull;
    wchar_t key[64];
    swprintf(key, 64, L"%016llx-%zu", static_cast<unsigned long long>(hash), bytes->size());
    const std::wstring program = Settings::Load().ProgramPath();
    const std::wstring cache = program.substr(0, program.find_last_of(L'\\') + 1) + L"word-html-cache\\";
    const std::wstring entry = cache + key + L"\\";
    const std::wstring name = out.substr(out.find_last_of(L'\\') + 1);
    if (::GetFileAttributesW((entry + name).c_str()) != INVALID_FILE_ATTRIBUTES) {
        bool copied = true;
        for (const std::wstring& file : FilesIn(entry))
            copied = ::CopyFileW((entry + file).c_str(), (work + file).c_str(), FALSE) && copied;
        if (copied) return true;
    }
    if (!quorallion::standin::LibreOfficeConvert(copy, L"html:HTML (StarWriter)", work, out)) return false;
    const std::wstring base = name.substr(0, name.find_last_of(L'.'));
    const std::wstring filling = cache + key + L"." + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    ::CreateDirectoryW(cache.c_str(), nullptr);
    ::CreateDirectoryW(filling.c_str(), nullptr);
    for (const std::wstring& file : FilesIn(work))
        if (file == name || file.rfind(base + L"_html_", 0) == 0) ::CopyFileW((work + file).c_str(), (filling + file).c_str(), FALSE);
    if (!::MoveFileW(filling.substr(0, filling.size() - 1).c_str(), entry.substr(0, entry.size() - 1).c_str())) {
        for (const std::wstring& file : FilesIn(filling)) ::DeleteFileW((filling + file).c_str());
        ::RemoveDirectoryW(filling.c_str());
    }
    return true;
}

std::string WordPage(const std::string& styles, const std::string& content);

// The filtered HTML of the document at path, its pictures in "<name>_files\".
bool SaveHtml(const Document& doc, const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring folder = path.substr(0, slash + 1);
    std::wstring name = path.substr(slash + 1);
    name = name.substr(0, name.find_last_of(L'.'));
    const std::string files = testing::Utf8(name) + "_files/";
    std::string html;
    // Files for the pictures folder: bytes by name.
    std::vector<std::pair<std::string, std::string>> pictures;
    int n = 0;
    if (!doc.workCopy.empty()) {
        const std::wstring work = WorkFolder();
        const bool marked = !doc.markedCopy.empty();
        const std::wstring copy = marked ? doc.markedCopy : doc.workCopy;
        const std::string base = marked ? "marked" : "source";
        const std::wstring out = work + testing::Wide(base) + L".html";
        if (!ConvertToHtml(copy, work, out)) return false;
        html = testing::ReadBytes(out).value_or("");
        // LibreOffice names its pictures "<base>_html_<hash>.<ext>" beside the page.
        size_t at = 0;
        const std::string prefix = "src=\"" + base + "_html_";
        while ((at = html.find(prefix, at)) != std::string::npos) {
            const size_t start = at + 5, end = html.find('"', start);
            if (end == std::string::npos) break;
            const std::string file = html.substr(start, end - start);
            const std::string target = "image" + std::to_string(++n) + file.substr(file.find_last_of('.'));
            pictures.push_back({target, testing::ReadBytes(work + testing::Wide(file)).value_or("")});
            html.replace(start, end - start, files + target);
            at = start + files.size() + target.size();
        }
        // The equations at their markers, as Word saves them.
        for (size_t i = 0; i < doc.equations.size(); ++i) {
            const Equation& eq = doc.equations[i];
            const std::string marker = "QEQ" + std::to_string(i + 1) + "QEQ";
            const size_t place = html.find(marker);
            if (place == std::string::npos) continue;
            std::string replacement;
            if (!eq.picture.empty()) {
                const std::string target = "image" + std::to_string(++n) + "." +
                                           testing::Utf8(eq.pictureExtension);
                pictures.push_back({target, eq.picture});
                replacement = "<img width=60 height=20 src=\"" + files + target + "\" alt=\"" +
                              testing::Utf8(eq.alternativeText) + "\">";
            } else if (!eq.deleted) {
                const std::string target = "image" + std::to_string(++n) + ".bmp";
                pictures.push_back({target, EquationPicture()});
                if (!eq.bookmark.empty())
                    replacement = "<a name=\"" + testing::Utf8(eq.bookmark) + "\"></a>";
                replacement += "<span style='position:relative;top:6.0pt'><img width=60 height=20 src=\"" + files +
                               target + "\"></span>";
            }
            html.replace(place, marker.size(), replacement);
        }
        for (size_t i = 0; i < doc.fields.size(); ++i) {
            const Equation& field = doc.fields[i];
            const std::string marker = "QFLD" + std::to_string(i + 1) + "QFLD";
            const size_t place = html.find(marker);
            if (place == std::string::npos) continue;
            std::string replacement;
            if (!field.picture.empty()) {
                const std::string target = "image" + std::to_string(++n) + "." +
                                           testing::Utf8(field.pictureExtension);
                pictures.push_back({target, field.picture});
                replacement = "<img width=60 height=20 src=\"" + files + target + "\"" +
                              (field.alternativeText.empty()
                                   ? std::string()
                                   : " alt=\"" + testing::Utf8(field.alternativeText) + "\"") +
                              ">";
            } else if (!field.deleted && !field.objectPicture.empty()) {  // an object shows its picture
                const std::string target = "image" + std::to_string(++n) + "." +
                                           testing::Utf8(field.objectPictureExtension);
                pictures.push_back({target, field.objectPicture});
                replacement = "<img width=" + std::to_string(field.objectWidth) + " height=" +
                              std::to_string(field.objectHeight) + " src=\"" + files + target + "\">";
            } else if (!field.deleted) {
                const std::string target = "image" + std::to_string(++n) + ".bmp";
                pictures.push_back({target, EquationPicture()});
                replacement = "<img width=60 height=20 src=\"" + files + target + "\">";
            }
            html.replace(place, marker.size(), replacement);
        }
        // The drawings at their markers as Word saves them: at their shown size, a floating one
        // aligned for the text to flow round it, a shape that is no picture drawn as one.
        size_t drawing = 0;
        for (const Shape& shape : doc.shapes) {
            if (shape.object) continue;
            const std::string marker = "QSHP" + std::to_string(++drawing) + "QSHP";
            const size_t place = html.find(marker);
            if (place == std::string::npos) continue;
            const bool known = shape.picture && !shape.bytes.empty();
            const std::string target = "image" + std::to_string(++n) + "." +
                                       (known ? testing::Utf8(shape.extension) : std::string("bmp"));
            pictures.push_back({target, known ? shape.bytes : EquationPicture()});
            std::string replacement = "<img width=" + std::to_string(shape.Width()) + " height=" +
                                      std::to_string(shape.Height()) + " src=\"" + files + target + "\"";
            if (shape.floating) replacement += " align=left hspace=12";
            if (!shape.alternativeText.empty())
                replacement += " alt=\"" + HtmlEscaped(testing::Utf8(shape.alternativeText)) + "\"";
            html.replace(place, marker.size(), replacement + ">");
        }
    } else {
        html = WordPage(testing::Utf8(doc.pastedStyles), testing::Utf8(doc.pastedHtml));
    }
    if (!pictures.empty()) {
        const std::wstring pictureFolder = folder + name + L"_files\\";
        ::CreateDirectoryW(pictureFolder.c_str(), nullptr);
        for (const auto& [target, bytes] : pictures) testing::WriteBytes(pictureFolder + testing::Wide(target), bytes);
    }
    return testing::WriteBytes(path, html);
}

// The clipboard's "HTML Format" as Word's paste takes it in: the fragment, and the style elements
// of the document's head (Word keeps the pasted styles in the document).
struct PastedHtml {
    std::wstring fragment, styles;
};
PastedHtml ClipboardHtml() {
    const UINT format = ::RegisterClipboardFormatW(L"HTML Format");
    std::string bytes;
    if (::OpenClipboard(nullptr)) {
        if (HANDLE data = ::GetClipboardData(format)) {
            if (const char* text = static_cast<const char*>(::GlobalLock(data))) {
                bytes.assign(text, strnlen(text, ::GlobalSize(data)));
                ::GlobalUnlock(data);
            }
        }
        ::CloseClipboard();
    }
    PastedHtml pasted;
    const size_t start = bytes.find("<!--StartFragment-->"), end = bytes.find("<!--EndFragment-->");
    if (start == std::string::npos || end == std::string::npos || end < start) return pasted;
    pasted.fragment = testing::Wide(bytes.substr(start + 20, end - start - 20));
    const size_t headEnd = bytes.find("</head>");
    std::string styles;
    for (size_t at = bytes.find("<style"); at != std::string::npos && at < headEnd; at = bytes.find("<style", at + 1)) {
        const size_t close = bytes.find("</style>", at);
        if (close == std::string::npos) break;
        styles += bytes.substr(at, close + 8 - at) + "\r\n";
    }
    pasted.styles = testing::Wide(styles);
    return pasted;
}

// Word's filtered HTML of a document: the styles (Word's own page rules when the document brought
// none) in the head, and the content inside the body's page wrapper and the section div that
// Word writes around every document.
std::string WordPage(const std::string& styles, const std::string& content) {
    const std::string ownStyles =
        "<style>\r\n<!--\r\n /* Style Definitions */\r\n p.MsoNormal, li.MsoNormal, div.MsoNormal\r\n"
        "\t{margin:0cm;\r\n\tfont-size:10.5pt;\r\n\tfont-family:\"Calibri\",sans-serif;}\r\n"
        "@page WordSection1\r\n\t{size:595.3pt 841.9pt;\r\n\tmargin:72.0pt 90.0pt 72.0pt 90.0pt;}\r\n"
        "div.WordSection1\r\n\t{page:WordSection1;}\r\n-->\r\n</style>\r\n";
    return "<html>\r\n\r\n<head>\r\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
           "<meta name=Generator content=\"Microsoft Word 15 (filtered)\">\r\n" +
           (styles.empty() ? ownStyles : styles) +
           "\r\n</head>\r\n\r\n<body lang=EN-US style='word-wrap:break-word'>\r\n\r\n<div class=WordSection1>\r\n" +
           content + "\r\n</div>\r\n\r\n</body>\r\n\r\n</html>\r\n";
}

// Word's copy of an equation's range: "HTML Format" with the Office Math markup in Word's
// conditional comment and its picture, a file in the temp folder, for browsers.
void PutWordHtml(const std::string& fragment, const std::string& head = "");

// A file of the copied content in the temp folder, as Word leaves its pictures and object data
// for browsers; its address.
std::string ClipboardFile(const std::wstring& name, const std::string& bytes) {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = std::wstring(temp) + L"msohtmlclip\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring picture = folder + name;
    testing::WriteBytes(picture, bytes);
    std::wstring address = L"file:///" + picture;
    for (wchar_t& c : address)
        if (c == L'\\') c = L'/';
    return testing::Utf8(address);
}

void CopyEquation(const Equation& eq, size_t index) {
    PutWordHtml("<p class=MsoNormal><!--[if gte msEquation 12]>" + WordShapedOmml(eq.omml) +
                "<![endif]--><![if !msEquation]><span style='position:relative;top:6.0pt'><img width=60 height=20 "
                "src=\"" + ClipboardFile(L"clip_image" + std::to_wstring(index) + L".bmp", EquationPicture()) +
                "\" v:shapes=\"_x0000_i1025\"></span><![endif]></p>");
}

// A field's copy: an EQ field as its code in Word's equation comment with the picture for
// browsers; an embedded object as its VML shape with its picture, the picture again for browsers
// without VML, and in the head a link to the object's data (a file in the temp folder).
void CopyField(const Equation& field, size_t index) {
    std::string code;
    for (char c : field.code) code += c == '<' ? std::string("&lt;") : c == '>' ? std::string("&gt;") : std::string(1, c);
    if (field.code.rfind("EQ", 0) == 0) {
        const std::string picture = ClipboardFile(L"clip_field" + std::to_wstring(index) + L".bmp", EquationPicture());
        PutWordHtml("<p class=MsoNormal><span lang=EN-US><!--[if gte msEquation 12]><i>" + code +
                    "</i><![endif]--><![if !msEquation]><img width=60 height=20 src=\"" + picture +
                    "\"><![endif]><span style='mso-spacerun:yes'>  </span></span></p>");
        return;
    }
    const bool known = !field.objectPicture.empty();
    const std::string picture =
        ClipboardFile(L"clip_image" + std::to_wstring(index) + L"." + (known ? field.objectPictureExtension : L"bmp"),
                      known ? field.objectPicture : EquationPicture());
    const std::string data = ClipboardFile(L"clip_oledata" + std::to_wstring(index) + L".mso", field.objectData);
    const std::string width = std::to_string(field.objectWidth), height = std::to_string(field.objectHeight);
    std::string progId = field.code.substr(6);
    progId = progId.substr(0, progId.find(' '));
    PutWordHtml("<p class=MsoNormal><span style='position:relative;top:6.0pt'><!--[if gte vml 1]><v:shape id=\"_x0000_i1025\" "
                "type=\"#_x0000_t75\" style='width:" + std::to_string(field.objectWidth * 3 / 4) + "pt;height:" +
                    std::to_string(field.objectHeight * 3 / 4) + "pt' o:ole=\"\"><v:imagedata src=\"" + picture +
                    "\" o:title=\"\"/></v:shape><![endif]--><![if !vml]><img width=" + width + " height=" + height +
                    " src=\"" + picture + "\" v:shapes=\"_x0000_i1025\"><![endif]></span><!--[if gte mso 9]><xml>"
                    "<o:OLEObject Type=\"Embed\" ProgID=\"" + progId + "\" ShapeID=\"_x0000_i1025\" DrawAspect=\"Content\" "
                    "ObjectID=\"_1100000001\"></o:OLEObject></xml><![endif]--></p>",
                "<link rel=OLE-Object-Data href=\"" + data + "\">");
}

void PutWordHtml(const std::string& fragment, const std::string& headExtra) {
    const std::string document =
        "<html xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:w=\"urn:schemas-microsoft-com:office:word\" "
        "xmlns:m=\"http://schemas.microsoft.com/office/2004/12/omml\"><head><meta http-equiv=Content-Type "
        "content=\"text/html; charset=utf-8\"><meta name=Generator content=\"Microsoft Word 15\">" + headExtra + "</head>"
        "<body lang=EN-US>\r\n<!--StartFragment-->" + fragment + "<!--EndFragment-->\r\n</body></html>";
    const int header = 105;
    char head[160];
    const size_t start = document.find("<!--StartFragment-->") + 20, end = document.find("<!--EndFragment-->");
    snprintf(head, sizeof(head),
             "Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\nStartFragment:%010d\r\nEndFragment:%010d\r\n",
             header, header + static_cast<int>(document.size()), header + static_cast<int>(start),
             header + static_cast<int>(end));
    const std::string bytes = std::string(head) + document;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (!memory) return;
    memcpy(::GlobalLock(memory), bytes.c_str(), bytes.size() + 1);
    ::GlobalUnlock(memory);
    if (!::OpenClipboard(nullptr)) {
        ::GlobalFree(memory);
        return;
    }
    ::EmptyClipboard();
    if (!::SetClipboardData(::RegisterClipboardFormatW(L"HTML Format"), memory)) ::GlobalFree(memory);
    ::CloseClipboard();
}

// The selection as a metafile: what Word records for the selected equation field, a dark bar on
// the background colour that the worker makes transparent.
std::vector<unsigned char> RecordedMetafile() {
    std::vector<unsigned char> bytes;
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!dc) return bytes;
    const RECT all{0, 0, 80, 30}, bar{10, 12, 70, 18};
    HBRUSH background = ::CreateSolidBrush(RGB(254, 255, 255)), ink = ::CreateSolidBrush(RGB(32, 32, 32));
    ::FillRect(dc, &all, background);
    ::FillRect(dc, &bar, ink);
    ::DeleteObject(background);
    ::DeleteObject(ink);
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    if (!emf) return bytes;
    bytes.resize(::GetEnhMetaFileBits(emf, 0, nullptr));
    ::GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), bytes.data());
    ::DeleteEnhMetaFile(emf);
    return bytes;
}

class WordStandin {
public:
    IDispatch* CreateApplication() {
        DispatchObject* app = new DispatchObject(L"Application");
        standin::AddApplicationValue(*app, L"DisplayAlerts", VT_I4, -1);  // wdAlertsAll
        standin::AddApplicationValue(*app, L"Visible", VT_BOOL, 0);
        standin::AddVersion(*app);
        app->Add(L"Quit", [](DispatchCall&) {
            quorallion::standin::RequestQuit();
            return S_OK;
        });
        DispatchObject* documents = Documents();
        app->Add(L"Documents", [documents](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(documents));
            return S_OK;
        });
        DispatchObject* options = Holder(L"Options", {L"PasteFormatBetweenStyledDocuments", L"PasteFormatBetweenDocuments",
                                                      L"PasteFormatWithinDocument", L"PasteFormatFromExternalSource"});
        app->Add(L"Options", [options](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(options));
            return S_OK;
        });
        DispatchObject* view = Holder(L"View", {L"Type", L"SplitSpecial"});
        DispatchObject* pane = new DispatchObject(L"Pane");
        pane->Add(L"View", [view](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(view));
            return S_OK;
        });
        DispatchObject* window = new DispatchObject(L"Window");
        window->Add(L"View", [view](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(view));
            return S_OK;
        });
        window->Add(L"ActivePane", [pane](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(pane));
            return S_OK;
        });
        app->Add(L"ActiveWindow", [window](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(window));
            return S_OK;
        });
        DispatchObject* selection = Selection();
        app->Add(L"Selection", [selection](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(selection));
            return S_OK;
        });
        app->onLastRelease = [documents, options, view, pane, window, selection] {
            documents->Release();
            options->Release();
            view->Release();
            pane->Release();
            window->Release();
            selection->Release();
            quorallion::standin::RequestQuit();
        };
        app_ = app;
        return app;
    }

private:
    // Returns an object made for one call (the caller's reference is the only one).
    static HRESULT ReturnNew(DispatchCall& call, DispatchObject* object) {
        call.Return(static_cast<IDispatch*>(object));
        object->Release();
        return S_OK;
    }

    // The selection: what the equation conversion inserts lands on the selected equation.
    DispatchObject* Selection() {
        DispatchObject* selection = new DispatchObject(L"Selection");
        DispatchObject* shapes = new DispatchObject(L"InlineShapes");
        shapes->Add(L"AddPicture", [this](DispatchCall& call) {
            const std::shared_ptr<Document> doc = current_.lock();
            if (!doc || !doc->selectedItem) return call.Fail(4198, L"Nothing selected");
            Equation& eq = *doc->selectedItem;
            const std::wstring path = call.Text(0);
            const std::optional<std::string> bytes = testing::ReadBytes(path);
            if (!bytes) return call.Fail(5152, L"The file name is not valid.");
            eq.picture = *bytes;
            eq.pictureExtension = Extension(path);
            Equation* item = doc->selectedItem;
            DispatchObject* shape = new DispatchObject(L"InlineShape");
            shape->Add(L"AlternativeText", [doc, item](DispatchCall& inner) {
                Equation& target = *item;
                if (inner.IsPut()) target.alternativeText = inner.Text(inner.Count() - 1);
                else inner.Return(target.alternativeText);
                return S_OK;
            });
            return ReturnNew(call, shape);
        });
        selection->Add(L"InlineShapes", [shapes](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(shapes));
            return S_OK;
        });
        DispatchObject* format = Holder(L"ParagraphFormat", {L"BaseLineAlignment"});
        selection->Add(L"ParagraphFormat", [format](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(format));
            return S_OK;
        });
        DispatchObject* font = new DispatchObject(L"Font");
        font->Add(L"Reset", [](DispatchCall&) { return S_OK; });
        selection->Add(L"Font", [font](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(font));
            return S_OK;
        });
        DispatchObject* range = new DispatchObject(L"Range");
        range->Add(L"ParagraphFormat", [format](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(format));
            return S_OK;
        });
        selection->Add(L"EnhMetaFileBits", [](DispatchCall& call) {
            call.ReturnBytes(RecordedMetafile());
            return S_OK;
        });
        selection->Add(L"Range", [range](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(range));
            return S_OK;
        });
        selection->onLastRelease = [shapes, format, font, range] {
            shapes->Release();
            format->Release();
            font->Release();
            range->Release();
        };
        return selection;
    }

    // The range of equation index (1-based) of the document.
    static DispatchObject* EquationRange(const std::shared_ptr<Document>& doc, size_t index) {
        DispatchObject* range = new DispatchObject(L"Range");
        range->Add(L"moveStart", [](DispatchCall&) { return S_OK; });
        range->Add(L"moveEnd", [](DispatchCall&) { return S_OK; });
        range->Add(L"Select", [doc, index](DispatchCall&) {
            doc->selected = index;
            doc->selectedItem = &doc->equations[index - 1];
            return S_OK;
        });
        range->Add(L"Copy", [doc, index](DispatchCall&) {
            CopyEquation(doc->equations[index - 1], index);
            return S_OK;
        });
        range->Add(L"Delete", [doc, index](DispatchCall&) {
            doc->equations[index - 1].deleted = true;
            return S_OK;
        });
        DispatchObject* format = Holder(L"ParagraphFormat", {L"BaseLineAlignment"});
        range->Add(L"ParagraphFormat", [format](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(format));
            return S_OK;
        });
        doc->ranges[static_cast<IDispatch*>(range)] = index;
        IDispatch* self = range;
        range->onLastRelease = [doc, format, self] {
            doc->ranges.erase(self);
            format->Release();
        };
        return range;
    }

    // Field index (1-based) of the document: 49 for an EQ field, 58 for an embedded object.
    static DispatchObject* FieldObject(const std::shared_ptr<Document>& doc, size_t index) {
        Equation* field = &doc->fields[index - 1];
        DispatchObject* object = new DispatchObject(L"Field");
        const bool embedded = field->code.rfind("EMBED ", 0) == 0;
        const long type = field->code.rfind("EQ", 0) == 0 ? 49 : embedded ? 58 : 0;
        object->Add(L"Type", [type](DispatchCall& call) {
            call.Return(type);
            return S_OK;
        });
        DispatchObject* ole = new DispatchObject(L"OLEFormat");
        ole->Add(L"ClassType", [field, embedded](DispatchCall& call) {
            if (!embedded) return call.Fail(4605, L"This method or property is not available.");
            std::string cls = field->code.substr(6);
            cls = cls.substr(0, cls.find(' '));
            call.Return(testing::Wide(cls));
            return S_OK;
        });
        object->Add(L"OLEFormat", [ole](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(ole));
            return S_OK;
        });
        auto codes = std::make_shared<VARIANT>();
        codes->vt = VT_BOOL;
        codes->boolVal = VARIANT_FALSE;
        object->AddValue(L"ShowCodes", codes);
        object->Add(L"Select", [doc, field](DispatchCall&) {
            doc->selected = 0;
            doc->selectedItem = field;
            return S_OK;
        });
        object->Add(L"Copy", [field, index](DispatchCall&) {
            CopyField(*field, index);
            return S_OK;
        });
        object->Add(L"Delete", [field](DispatchCall&) {
            field->deleted = true;
            return S_OK;
        });
        DispatchObject* result = new DispatchObject(L"FieldResult");
        DispatchObject* font = new DispatchObject(L"Font");
        font->Add(L"Reset", [](DispatchCall&) { return S_OK; });
        DispatchObject* format = Holder(L"ParagraphFormat", {L"BaseLineAlignment"});
        result->Add(L"Font", [font](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(font));
            return S_OK;
        });
        result->Add(L"ParagraphFormat", [format](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(format));
            return S_OK;
        });
        result->onLastRelease = [font, format] {
            font->Release();
            format->Release();
        };
        object->Add(L"result", [result](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(result));
            return S_OK;
        });
        object->onLastRelease = [doc, ole, result] {  // doc: the field lives in it
            ole->Release();
            result->Release();
        };
        return object;
    }

    // Shapes (the drawings that float) or InlineShapes (the rest, embedded objects included), in
    // document order; a shape made inline moves from the one to the other.
    static DispatchObject* ShapeCollection(const std::shared_ptr<Document>& doc, bool floating) {
        DispatchObject* collection = new DispatchObject(floating ? L"Shapes" : L"InlineShapes");
        collection->Add(L"Count", [doc, floating](DispatchCall& call) {
            long count = 0;
            for (const Shape& shape : doc->shapes) count += shape.floating == floating ? 1 : 0;
            call.Return(count);
            return S_OK;
        });
        collection->Add(L"Item", [doc, floating](DispatchCall& call) {
            const long index = call.Long(0, 0);
            long seen = 0;
            for (Shape& shape : doc->shapes)
                if (shape.floating == floating && ++seen == index)
                    return ReturnNew(call, floating ? ShapeObject(doc, &shape) : InlineShapeObject(doc, &shape));
            return call.Fail(5941, L"The requested member of the collection does not exist.");
        });
        return collection;
    }

    static void AddAlternativeText(DispatchObject* object, Shape* shape) {
        object->Add(L"AlternativeText", [shape](DispatchCall& call) {
            if (call.IsPut()) shape->alternativeText = call.Text(call.Count() - 1);
            else call.Return(shape->alternativeText);
            return S_OK;
        });
    }

    // A floating drawing: 13 (msoPicture) for a picture, 1 (msoAutoShape) for another shape.
    static DispatchObject* ShapeObject(const std::shared_ptr<Document>& doc, Shape* shape) {
        DispatchObject* object = new DispatchObject(L"Shape");
        object->Add(L"Type", [shape](DispatchCall& call) {
            call.Return(shape->picture ? 13L : 1L);
            return S_OK;
        });
        AddAlternativeText(object, shape);
        object->Add(L"ConvertToInlineShape", [doc, shape](DispatchCall& call) {
            if (!shape->floating) return call.Fail(5941, L"The requested member of the collection does not exist.");
            if (!shape->picture) return call.Fail(4605, L"This method or property is not available on this shape.");
            shape->floating = false;  // in place, at its shown size
            return ReturnNew(call, InlineShapeObject(doc, shape));
        });
        return object;
    }

    // An inline drawing: 3 (wdInlineShapePicture), 1 (an embedded OLE object) or 12 (another
    // drawing). Scales are percent of the original size; with the aspect ratio locked, setting one
    // scales the other by the same factor, as Word does.
    static DispatchObject* InlineShapeObject(const std::shared_ptr<Document>& doc, Shape* shape) {
        DispatchObject* object = new DispatchObject(L"InlineShape");
        object->Add(L"Type", [shape](DispatchCall& call) {
            call.Return(shape->object ? 1L : shape->picture ? 3L : 12L);
            return S_OK;
        });
        AddAlternativeText(object, shape);
        object->Add(L"LockAspectRatio", [shape](DispatchCall& call) {
            if (call.IsPut()) shape->lockAspectRatio = call.Long(call.Count() - 1) != 0;
            else call.Return(shape->lockAspectRatio ? -1L : 0L);
            return S_OK;
        });
        for (const bool height : {true, false}) {
            object->Add(height ? L"ScaleHeight" : L"ScaleWidth", [shape, height](DispatchCall& call) {
                double& scale = height ? shape->scaleHeight : shape->scaleWidth;
                double& other = height ? shape->scaleWidth : shape->scaleHeight;
                if (!call.IsPut()) {
                    call.Return(std::lround(scale));
                    return S_OK;
                }
                const double value = std::wcstod(call.Text(call.Count() - 1).c_str(), nullptr);
                if (value <= 0) return call.Fail(4608, L"Value out of range.");
                if (shape->lockAspectRatio && scale > 0) other = other * value / scale;
                scale = value;
                return S_OK;
            });
        }
        return object;
    }

    // An object of plain read-write values, each starting empty.
    static DispatchObject* Holder(const wchar_t* name, std::initializer_list<const wchar_t*> members) {
        DispatchObject* object = new DispatchObject(name);
        for (const wchar_t* member : members) {
            auto store = std::make_shared<VARIANT>();
            store->vt = VT_I4;
            store->lVal = 0;
            object->AddValue(member, store);
        }
        return object;
    }

    DispatchObject* Documents() {
        DispatchObject* documents = new DispatchObject(L"Documents");
        documents->Add(L"Open", [this](DispatchCall& call) {
            if (Settings::Load().Fails(L"Open")) return call.Fail(kErrorCorrupt, L"Open fails (settings)");
            auto doc = std::make_shared<Document>();
            if (HRESULT hr = Load(*doc, call); FAILED(hr)) return hr;
            IDispatch* object = MakeDocument(doc);
            call.Return(object);
            object->Release();
            return S_OK;
        });
        documents->Add(L"Add", [this](DispatchCall& call) {
            if (Settings::Load().Fails(L"Add")) return call.Fail(4198, L"Add fails (settings)");
            IDispatch* object = MakeDocument(std::make_shared<Document>());
            call.Return(object);
            object->Release();
            return S_OK;
        });
        documents->Add(L"Count", [](DispatchCall& call) {
            call.Return(0L);
            return S_OK;
        });
        return documents;
    }

    IDispatch* MakeDocument(const std::shared_ptr<Document>& doc) {
        DispatchObject* object = new DispatchObject(L"Document");
        DispatchObject* web = Holder(L"WebOptions", {L"AllowPNG", L"RelyOnCSS", L"RelyOnVML", L"UseLongFileNames",
                                                     L"OrganizeInFolder", L"encoding"});
        object->Add(L"WebOptions", [web](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(web));
            return S_OK;
        });
        DispatchObject* content = new DispatchObject(L"Range");
        content->Add(L"PasteAndFormat", [doc](DispatchCall& call) {
            if (Settings::Load().Fails(L"PasteAndFormat")) return call.Fail(6102, L"Paste fails (settings)");
            const PastedHtml pasted = ClipboardHtml();
            doc->pastedHtml = pasted.fragment;
            doc->pastedStyles = pasted.styles;
            return S_OK;
        });
        object->Add(L"Content", [content](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(content));
            return S_OK;
        });
        object->Add(L"ProtectionType", [doc](DispatchCall& call) {
            call.Return(doc->protection);
            return S_OK;
        });
        object->Add(L"Unprotect", [doc](DispatchCall& call) {
            if (doc->protection == -1) return S_OK;
            if (call.Text(0) != Settings::Load().Text(L"password")) return call.Fail(kErrorPassword, L"The password is incorrect.");
            doc->protection = -1;
            return S_OK;
        });
        object->Add(L"SaveAs", [doc](DispatchCall& call) {
            standin::ServeMessagesFor(Settings::Load().Number(L"savedelay"));
            if (Settings::Load().Number(L"nosave") == 1) return S_OK;
            if (call.Long(1, 0) != 10) return call.Fail(4198, L"Only filtered HTML here");
            if (!SaveHtml(*doc, call.Text(0))) return call.Fail(4198, L"Command failed");
            return S_OK;
        });
        object->Add(L"ExportAsFixedFormat", [doc](DispatchCall& call) {
            standin::ServeMessagesFor(Settings::Load().Number(L"savedelay"));
            if (Settings::Load().Fails(L"ExportAsFixedFormat")) return call.Fail(4198, L"Export fails (settings)");
            if (Settings::Load().Number(L"nosave") == 1 || doc->workCopy.empty()) return S_OK;
            if (Settings::Load().Number(L"fastpdf") == 1)
                return testing::WriteBytes(call.Text(0), BlankPdf()) ? S_OK : call.Fail(4198, L"Command failed");
            const std::wstring work = WorkFolder();
            if (!quorallion::standin::LibreOfficeConvert(doc->workCopy, L"pdf:writer_pdf_Export", work, work + L"source.pdf"))
                return call.Fail(4198, L"Command failed");
            ::MoveFileExW((work + L"source.pdf").c_str(), call.Text(0).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
            return S_OK;
        });
        object->Add(L"BuiltInDocumentProperties", [doc](DispatchCall& call) {
            const std::wstring name = call.Text(0);
            DispatchObject* property = new DispatchObject(L"DocumentProperty(" + name + L")");
            property->Add(L"Value", [doc, name](DispatchCall& inner) {
                if (inner.IsPut()) doc->properties[name] = inner.Text(inner.Count() - 1);
                else inner.Return(doc->properties[name]);
                return S_OK;
            });
            call.Return(static_cast<IDispatch*>(property));
            property->Release();
            return S_OK;
        });
        object->Add(L"Close", [](DispatchCall&) { return S_OK; });
        // Not modelled: empty collections.
        auto empties = std::make_shared<std::vector<DispatchObject*>>();
        DispatchObject* omaths = new DispatchObject(L"OMaths");
        empties->push_back(omaths);
        omaths->Add(L"Count", [doc](DispatchCall& call) {
            call.Return(static_cast<long>(doc->equations.size()));
            return S_OK;
        });
        omaths->Add(L"Item", [doc](DispatchCall& call) {
            const long index = call.Long(0, 0);
            if (index < 1 || static_cast<size_t>(index) > doc->equations.size())
                return call.Fail(5941, L"The requested member of the collection does not exist.");
            DispatchObject* omath = new DispatchObject(L"OMath");
            omath->Add(L"Range", [doc, index](DispatchCall& inner) {
                return ReturnNew(inner, EquationRange(doc, static_cast<size_t>(index)));
            });
            return ReturnNew(call, omath);
        });
        object->Add(L"OMaths", [omaths](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(omaths));
            return S_OK;
        });
        DispatchObject* bookmarks = new DispatchObject(L"Bookmarks");
        empties->push_back(bookmarks);
        bookmarks->Add(L"Add", [doc](DispatchCall& call) {
            const VARIANT& range = call.Raw(1);
            auto it = range.vt == VT_DISPATCH ? doc->ranges.find(range.pdispVal) : doc->ranges.end();
            if (it == doc->ranges.end()) return call.Fail(4198, L"Not a range of this document");
            doc->equations[it->second - 1].bookmark = call.Text(0);
            return S_OK;
        });
        object->Add(L"Bookmarks", [bookmarks](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(bookmarks));
            return S_OK;
        });
        object->Add(L"Application", [this](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(app_));
            return S_OK;
        });
        current_ = doc;
        DispatchObject* fields = new DispatchObject(L"Fields");
        empties->push_back(fields);
        fields->Add(L"Count", [doc](DispatchCall& call) {
            call.Return(static_cast<long>(doc->fields.size()));
            return S_OK;
        });
        fields->Add(L"Item", [doc](DispatchCall& call) {
            const long index = call.Long(0, 0);
            if (index < 1 || static_cast<size_t>(index) > doc->fields.size())
                return call.Fail(5941, L"The requested member of the collection does not exist.");
            return ReturnNew(call, FieldObject(doc, static_cast<size_t>(index)));
        });
        object->Add(L"Fields", [fields](DispatchCall& call) {
            call.Return(static_cast<IDispatch*>(fields));
            return S_OK;
        });
        for (const bool floating : {true, false}) {
            DispatchObject* collection = ShapeCollection(doc, floating);
            empties->push_back(collection);
            object->Add(floating ? L"Shapes" : L"InlineShapes", [collection](DispatchCall& call) {
                call.Return(static_cast<IDispatch*>(collection));
                return S_OK;
            });
        }
        for (const wchar_t* collection : {L"Paragraphs"}) {
            DispatchObject* empty = new DispatchObject(collection);
            empties->push_back(empty);
            empty->Add(L"Count", [](DispatchCall& call) {
                call.Return(0L);
                return S_OK;
            });
            object->Add(collection, [empty](DispatchCall& call) {
                call.Return(static_cast<IDispatch*>(empty));
                return S_OK;
            });
        }
        object->onLastRelease = [web, content, empties] {
            web->Release();
            content->Release();
            for (DispatchObject* empty : *empties) empty->Release();
        };
        return object;
    }

    DispatchObject* app_ = nullptr;
    std::weak_ptr<Document> current_;  // the last document opened or added
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static WordStandin standin;
    return RunStandinCopies({L"wps.exe", kWordClass, kWpsClass, L"Word.Application", L"KWPS.Application", L"Winword.exe"},
                            [] { return standin.CreateApplication(); }, commandLine);
}
