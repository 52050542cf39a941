#include "clipboard/clipboard_picture_holder_win.h"

#include <vector>

#include "clipboard/clsClipboard.h"

namespace quorallion {

namespace {

// Pictures larger than this on a side are refused rather than allocated.
constexpr LONG kLargestSide = 20000;

// A white 24-bit DIB section of the size, the metafile played into it.
HBITMAP DrawMetafile(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    if (!::GetEnhMetaFileHeader(metafile, sizeof(header), &header)) return nullptr;
    LONG width = header.rclBounds.right - header.rclBounds.left + 1;
    LONG height = header.rclBounds.bottom - header.rclBounds.top + 1;
    // The frame (0.01 mm) at the reference device's resolution when the bounds are empty.
    if (width <= 1 || height <= 1) {
        const double mmWide = header.szlMillimeters.cx > 0 ? header.szlMillimeters.cx : 1;
        const double mmHigh = header.szlMillimeters.cy > 0 ? header.szlMillimeters.cy : 1;
        width = static_cast<LONG>((header.rclFrame.right - header.rclFrame.left) / 100.0 * header.szlDevice.cx / mmWide);
        height = static_cast<LONG>((header.rclFrame.bottom - header.rclFrame.top) / 100.0 * header.szlDevice.cy / mmHigh);
    }
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    win::UniqueGdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) return nullptr;
    {
        win::SelectGuard select(dc.get(), bitmap.get());
        RECT all{0, 0, width, height};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        if (!::PlayEnhMetaFile(dc.get(), metafile, &all)) return nullptr;
    }
    return static_cast<HBITMAP>(bitmap.release());
}

// An old-style metafile picture as an enhanced metafile, sized by its extent.
HENHMETAFILE FromMetafilePicture(HANDLE memory) {
    const METAFILEPICT* picture = static_cast<const METAFILEPICT*>(::GlobalLock(memory));
    if (!picture) return nullptr;
    HENHMETAFILE out = nullptr;
    const UINT size = ::GetMetaFileBitsEx(picture->hMF, 0, nullptr);
    if (size > 0) {
        std::vector<BYTE> bytes(size);
        if (::GetMetaFileBitsEx(picture->hMF, size, bytes.data()) == size)
            out = ::SetWinMetaFileBits(size, bytes.data(), nullptr, picture);
    }
    ::GlobalUnlock(memory);
    return out;
}

}  // namespace

ClipboardPictureHolder& ClipboardPictureHolder::Instance() {
    static ClipboardPictureHolder holder;
    return holder;
}

bool ClipboardPictureHolder::SetFromClipboard(UINT format) {
    bitmap_.reset();
    clsClipboard clipboard;
    if (!::IsClipboardFormatAvailable(format) || !clipboard.ClipboardOpen(nullptr)) return false;
    HANDLE data = ::GetClipboardData(format);
    HBITMAP copy = nullptr;
    if (data) {
        if (format == CF_BITMAP) {
            copy = static_cast<HBITMAP>(::CopyImage(data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        } else if (format == CF_ENHMETAFILE) {
            copy = DrawMetafile(static_cast<HENHMETAFILE>(data));
        } else if (format == CF_METAFILEPICT) {
            if (HENHMETAFILE metafile = FromMetafilePicture(data)) {
                copy = DrawMetafile(metafile);
                ::DeleteEnhMetaFile(metafile);
            }
        }
    }
    clipboard.ClipboardClose();
    bitmap_.reset(copy);
    return copy != nullptr;
}

}  // namespace quorallion
