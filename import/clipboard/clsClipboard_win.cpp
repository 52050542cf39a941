#include "clipboard/clsClipboard.h"

#include <cstring>
#include <stdexcept>

#include "clipboard/clipboard_bytes.h"
#include "clipboard/file_list_sort.h"
#include "file/drop_files.h"
#include "encoding/basUTF8ToUnicode.h"
#include "public/basPublic.h"
#include "win/handles.h"

namespace quorallion {

namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;

// Formats whose clipboard handle is a GDI object, not a global memory block.
bool IsGdiHandleFormat(UINT id) {
    switch (id) {
    case CF_BITMAP:
    case CF_PALETTE:
    case CF_ENHMETAFILE:
    case CF_DSPBITMAP:
    case CF_DSPENHMETAFILE:
        return true;
    default:
        return false;
    }
}

std::wstring AnsiToText(const std::string& bytes) {
    if (bytes.empty()) return L"";
    int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, 0);
    std::wstring text(length > 0 ? length : 0, L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                              length);
    return text;
}

std::string TextToAnsi(const std::wstring& text) {
    if (text.empty()) return "";
    int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length : 0, '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                              length, nullptr, nullptr);
    return bytes;
}

}  // namespace

UINT clsClipboard::AddFormat(const std::wstring& name) {
    UINT id = ::RegisterClipboardFormatW(name.c_str());
    return id >= kFirstRegisteredFormat ? id : 0;
}

int clsClipboard::FormatCount() const { return ::CountClipboardFormats(); }

int clsClipboard::GetCurrentFormats(HWND owner) {
    formatIds_.clear();
    formatNames_.clear();
    if (ClipboardOpen(owner)) {
        for (UINT id = ::EnumClipboardFormats(0); id != 0; id = ::EnumClipboardFormats(id)) {
            formatIds_.push_back(id);
            formatNames_.push_back(FormatName(id));
        }
    }
    ClipboardClose();
    return CurrentFormatCount();
}

UINT clsClipboard::GetCurrentFormatID(int index) const {
    if (index < 1 || index > CurrentFormatCount()) throw std::out_of_range("format index");
    return formatIds_[index - 1];
}

std::wstring clsClipboard::GetCurrentFormatName(int index) const {
    if (index < 1 || index > CurrentFormatCount()) throw std::out_of_range("format index");
    return formatNames_[index - 1];
}

bool clsClipboard::HasCurrentFormat(UINT id) const {
    for (UINT known : formatIds_)
        if (known == id) return true;
    return false;
}

std::wstring clsClipboard::FormatName(UINT id) {
    static const wchar_t* const kStandardNames[] = {
        L"Text",
        L"Bitmap Picture",
        L"Meta-File Picture",
        L"Microsoft Symbolic Link (SYLK) data.",
        L"Software Arts' Data Interchange information.",
        L"Tagged Image File Format (TIFF) Picture",
        L"Text (OEM)",
        L"DIB Bitmap Picture",
        L"Colour Palette",
        L"Pen Data",
        L"RIFF Audio data",
        L"Wave File",
        L"Text (Unicode)",
        L"Enhanced Meta-File Picture",
        L"File List",
        L"",
        L"",
    };
    if (id >= 1 && id <= 17) return kStandardNames[id - 1];
    wchar_t buffer[256] = {};
    int length = ::GetClipboardFormatNameW(id, buffer, 255);
    return length > 0 ? std::wstring(buffer, length) : std::wstring();
}

UINT clsClipboard::FormatIDForName(HWND owner, const std::wstring& name) {
    GetCurrentFormats(owner);
    for (size_t i = 0; i < formatNames_.size(); ++i)
        if (formatNames_[i] == name) return formatIds_[i];
    return 0;
}

bool clsClipboard::IsDataAvailableForFormatName(HWND owner, const std::wstring& name) {
    UINT id = FormatIDForName(owner, name);
    return id > 0 && IsDataAvailableForFormat(id);
}

bool clsClipboard::IsDataAvailableForFormat(UINT id) const {
    return ::IsClipboardFormatAvailable(id) != FALSE;
}

HANDLE clsClipboard::GetClipboardMemoryHandle(UINT id) {
    if (ClipboardNotOpen() || !IsDataAvailableForFormat(id)) return nullptr;
    return ::GetClipboardData(id);
}

bool clsClipboard::GetBinaryData(UINT id, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (IsGdiHandleFormat(id)) return false;
    HGLOBAL memory = static_cast<HGLOBAL>(GetClipboardMemoryHandle(id));
    if (!memory) return false;
    const SIZE_T size = ::GlobalSize(memory);
    if (size == 0) return false;
    const void* data = ::GlobalLock(memory);
    if (!data) return false;  // a block that cannot be locked is read as absent
    bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    ::GlobalUnlock(memory);
    return true;
}

bool clsClipboard::SetBinaryData(UINT id, const std::vector<uint8_t>& bytes) {
    return SetBinaryData(id, bytes.data(), bytes.size());
}

bool clsClipboard::SetBinaryData(UINT id, const void* data, size_t size) {
    if (ClipboardNotOpen() || size == 0) return false;
    // Movable memory, as the platform expects; ours until SetClipboardData takes it.
    win::UniqueHGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory) return false;
    void* target = ::GlobalLock(memory.get());
    if (!target) return false;
    std::memcpy(target, data, size);
    ::GlobalUnlock(memory.get());
    if (!::SetClipboardData(id, memory.get())) return false;
    memory.release();  // the system owns it now
    return true;
}

bool clsClipboard::SetClipboardMemoryHandle(UINT id, HANDLE memory) {
    return ::SetClipboardData(id, memory) != nullptr;
}

bool clsClipboard::GetTextData(UINT id, std::wstring& text) {
    std::vector<uint8_t> bytes;
    if (!GetBinaryData(id, bytes)) return false;
    if (id == CF_UNICODETEXT) {
        text = clipboard::Utf16LeBytesToText(bytes.data(), bytes.size());
        return true;
    }
    text = basPublic::StrBefore(basUTF8ToUnicode::ByteArrayToString(bytes, L"gbk"),
                                std::wstring(1, L'\0'));
    return true;
}

bool clsClipboard::SetTextData(UINT id, const std::wstring& text) {
    if (text.empty()) return false;
    std::string bytes = TextToAnsi(text);
    bytes += '\0';
    return SetBinaryData(id, bytes.data(), bytes.size());
}

bool clsClipboard::GetFileList(std::vector<std::wstring>& files, int& count) {
    std::vector<uint8_t> block;
    if (!GetBinaryData(CF_HDROP, block)) return false;
    std::optional<clipboard::DropFilesList> list =
        clipboard::ParseDropFiles(block.data(), block.size());
    if (!list || list->paths.empty()) return false;
    files.clear();
    for (const std::string& raw : list->paths) {
        files.push_back(list->wide ? clipboard::Utf16LeBytesToText(
                                         reinterpret_cast<const uint8_t*>(raw.data()), raw.size())
                                   : AnsiToText(raw));
    }
    clipboard::SortFileList(files);
    count = static_cast<int>(files.size());
    return true;
}

bool clsClipboard::SetFileList(const std::vector<std::wstring>& files) {
    if (ClipboardNotOpen()) return false;
    std::vector<std::string> ansiPaths;
    for (const std::wstring& path : files) ansiPaths.push_back(TextToAnsi(path));
    std::string block = clipboard::BuildDropFilesAnsi(ansiPaths);
    return SetBinaryData(CF_HDROP, block.data(), block.size());
}

void clsClipboard::ClearClipboard() {
    if (!ClipboardNotOpen()) ::EmptyClipboard();
}

void clsClipboard::ClipboardClose() {
    if (open_) ::CloseClipboard();
    open_ = false;
    owner_ = nullptr;
}

bool clsClipboard::ClipboardOpen(HWND owner) {
    if (open_) ClipboardClose();
    if (!::OpenClipboard(owner)) return false;
    open_ = true;
    owner_ = owner;
    return true;
}

}  // namespace quorallion
