// The Windows half of bas32bppDIBParsers: picture objects, files and DLL exports.
#include <cstring>

#include "bas32bppDIBParsers_win.h"
#include "c32bppDIB.h"
#include "win/handles.h"

namespace quorallion::bas32bppDIBParsers {

com::ComPtr<IPicture> ArrayToPicture(const std::vector<uint8_t>& bytes, int64_t firstIndex,
                                     int64_t byteCount) {
    com::ComPtr<IPicture> picture;
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (firstIndex < 0 || byteCount < 1 || firstIndex >= size || byteCount > size - firstIndex) return picture;
    win::UniqueHGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(byteCount)));
    if (!memory) return picture;
    void* target = ::GlobalLock(memory.get());
    if (!target) return picture;
    std::memcpy(target, bytes.data() + firstIndex, static_cast<size_t>(byteCount));
    ::GlobalUnlock(memory.get());
    com::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) return picture;
    memory.release();  // the stream frees it now
    if (FAILED(::OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture, picture.put_void()))) picture.reset();
    return picture;
}

com::ComPtr<IPicture> HandleToPicture(HANDLE handle, int32_t pictureType) {
    com::ComPtr<IPicture> picture;
    if (!handle) return picture;
    PICTDESC description{};
    description.cbSizeofstruct = sizeof(description);
    description.picType = static_cast<UINT>(pictureType);
    // Every variant of the description starts with its handle.
    description.bmp.hbitmap = static_cast<HBITMAP>(handle);
    if (FAILED(::OleCreatePictureIndirect(&description, IID_IPicture, TRUE, picture.put_void()))) picture.reset();
    return picture;
}

bool IsDllExportAvailable(const std::wstring& libraryName, const char* exportName) {
    win::UniqueModule library(::LoadLibraryW(libraryName.c_str()));
    return library && ::GetProcAddress(library.get(), exportName) != nullptr;
}

HANDLE OpenFileHandle(const std::wstring& fileName, bool forReading, bool /*wide*/) {
    if (fileName.empty()) return INVALID_HANDLE_VALUE;
    if (forReading) {
        return ::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                 FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    }
    DWORD attributes = ::GetFileAttributesW(fileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        attributes = FILE_ATTRIBUTE_NORMAL;
    }
    // CREATE_ALWAYS over a hidden or system file fails unless the same attributes are asked for.
    return ::CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes,
                         nullptr);
}

bool DeleteFileAny(const std::wstring& fileName, bool /*wide*/) {
    if (fileName.empty()) return false;
    return ::SetFileAttributesW(fileName.c_str(), FILE_ATTRIBUTE_NORMAL) && ::DeleteFileW(fileName.c_str());
}

bool PathExists(const std::wstring& path, bool /*wide*/) {
    return !path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

imaging::PixelView OverlayDIBPixels(const c32bppDIB& image) {
    return image.Handle() ? image.Pixels() : imaging::PixelView{};
}

void FlattenToColor(const c32bppDIB& image, uint32_t backgroundColor, std::vector<uint8_t>& out, bool bmpLayout) {
    FlattenToColor(OverlayDIBPixels(image), backgroundColor, out, bmpLayout);
}

}  // namespace quorallion::bas32bppDIBParsers
