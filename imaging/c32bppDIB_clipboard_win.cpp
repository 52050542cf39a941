// Pictures and file lists from the clipboard and from drag-and-drop data objects.
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "codecs/cBMPparser.h"
#include "file/drop_files.h"

namespace quorallion {
namespace {

// The clipboard open for this thread's reads, closed again on every path.
class ClipboardReading {
public:
    ClipboardReading() : open_(::OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardReading() {
        if (open_) ::CloseClipboard();
    }
    ClipboardReading(const ClipboardReading&) = delete;
    ClipboardReading& operator=(const ClipboardReading&) = delete;
    bool open() const { return open_; }

private:
    bool open_;
};

// The paths of a file-drop block in global memory, read inside the block's own size; nothing
// when its header or list offset does not fit in it.
std::vector<std::wstring> FilesOfDropBlock(HGLOBAL block) {
    std::vector<std::wstring> files;
    const SIZE_T size = ::GlobalSize(block);
    const auto* data = static_cast<const uint8_t*>(::GlobalLock(block));
    if (!data) return files;
    if (std::optional<clipboard::DropFilesList> list = clipboard::ParseDropFiles(data, size)) {
        for (const std::string& path : list->paths) {
            std::wstring name;
            if (list->wide) {
                name.resize(path.size() / 2);
                std::memcpy(name.data(), path.data(), name.size() * 2);
            } else if (!path.empty()) {
                const int units = ::MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), nullptr, 0);
                name.resize(size_t(units > 0 ? units : 0));
                if (units > 0) ::MultiByteToWideChar(CP_ACP, 0, path.data(), int(path.size()), name.data(), units);
            }
            files.push_back(std::move(name));
        }
    }
    ::GlobalUnlock(block);
    return files;
}

// A copy of the clipboard's metafile picture as an enhanced metafile, sized by its picture header.
HENHMETAFILE CopyOfMetafilePicture(HANDLE block) {
    if (::GlobalSize(block) < sizeof(METAFILEPICT)) return nullptr;
    const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(block));
    if (!picture) return nullptr;
    HENHMETAFILE copy = nullptr;
    if (const UINT size = ::GetMetaFileBitsEx(picture->hMF, 0, nullptr)) {
        std::vector<uint8_t> bits(size);
        if (::GetMetaFileBitsEx(picture->hMF, size, bits.data()) == size)
            copy = ::SetWinMetaFileBits(size, bits.data(), nullptr, picture);
    }
    ::GlobalUnlock(block);
    return copy;
}

}  // namespace

bool c32bppDIB::LoadPicture_ClipBoard() {
    DestroyDIB();
    originalFormat_.clear();
    try {
        HENHMETAFILE copy = nullptr;
        {
            ClipboardReading clipboard;
            if (!clipboard.open()) return false;
            // A bitmap is read into the image while the clipboard is open; a metafile is copied.
            if (::IsClipboardFormatAvailable(CF_BITMAP) || ::IsClipboardFormatAvailable(CF_DIB)) {
                if (HANDLE bitmap = ::GetClipboardData(CF_BITMAP))
                    cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(bitmap), *this, 0);
                return static_cast<bool>(dib_);
            }
            if (::IsClipboardFormatAvailable(CF_ENHMETAFILE)) {
                if (HANDLE metafile = ::GetClipboardData(CF_ENHMETAFILE))
                    copy = ::CopyEnhMetaFileW(static_cast<HENHMETAFILE>(metafile), nullptr);
            } else if (::IsClipboardFormatAvailable(CF_METAFILEPICT)) {
                if (HANDLE block = ::GetClipboardData(CF_METAFILEPICT)) copy = CopyOfMetafilePicture(block);
            }
        }
        const std::unique_ptr<std::remove_pointer_t<HENHMETAFILE>, decltype(&::DeleteEnhMetaFile)> owned(
            copy, &::DeleteEnhMetaFile);
        return copy && LoadPicture_ByHandle(copy);
    } catch (...) {
        DestroyDIB();
        return false;
    }
}

bool c32bppDIB::GetDroppedFileNames(IDataObject* OLEDragDrop_DataObject, std::vector<std::wstring>& ListOfFiles) {
    if (!OLEDragDrop_DataObject) return false;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (OLEDragDrop_DataObject->QueryGetData(&format) != S_OK) return false;
    STGMEDIUM medium{};
    if (FAILED(OLEDragDrop_DataObject->GetData(&format, &medium))) return false;
    const bool haveMemory = medium.tymed == TYMED_HGLOBAL && medium.hGlobal;
    if (haveMemory) ListOfFiles = FilesOfDropBlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return haveMemory;
}

int32_t c32bppDIB::GetPastedFileNames(std::vector<std::wstring>& ListOfFiles) {
    ListOfFiles.clear();
    ClipboardReading clipboard;
    if (!clipboard.open()) return 0;
    if (HANDLE block = ::GetClipboardData(CF_HDROP)) ListOfFiles = FilesOfDropBlock(block);
    return static_cast<int32_t>(ListOfFiles.size());
}

bool c32bppDIB::LoadPicture_DropedFiles(IDataObject* DragDrop_DataObject, int32_t FileIndex, int32_t iconCx,
                                        int32_t iconCy, bool SaveFormat, int32_t iconBitDepth) {
    std::vector<std::wstring> files;
    if (!GetDroppedFileNames(DragDrop_DataObject, files) || FileIndex < 1 || size_t(FileIndex) > files.size()) {
        return false;
    }
    return LoadPicture_File(files[size_t(FileIndex) - 1], iconCx, iconCy, SaveFormat, iconBitDepth);
}

bool c32bppDIB::LoadPicture_PastedFiles(int32_t FileIndex, int32_t iconCx, int32_t iconCy, bool SaveFormat,
                                        int32_t iconBitDepth, int32_t& FileCount) {
    std::vector<std::wstring> files;
    FileCount = GetPastedFileNames(files);
    if (FileIndex > FileCount || FileIndex < 0) return false;
    if (FileIndex == 0) return true;
    return LoadPicture_File(files[size_t(FileIndex) - 1], iconCx, iconCy, SaveFormat, iconBitDepth);
}

}  // namespace quorallion
