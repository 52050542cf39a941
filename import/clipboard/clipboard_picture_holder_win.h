#pragma once
// The process's holder of a clipboard picture: an owned copy of the clipboard's bitmap, enhanced
// metafile or metafile picture, handed on as a bitmap handle (metafiles drawn into a bitmap first,
// so the bitmap saver always gets a bitmap). The copy stays until the next one replaces it, so
// the clipboard may change meanwhile.
#include <windows.h>

#include "win/handles.h"

namespace quorallion {

class ClipboardPictureHolder {
public:
    static ClipboardPictureHolder& Instance();

    // format: CF_BITMAP, CF_ENHMETAFILE or CF_METAFILEPICT. False when the clipboard holds no
    // picture of that format or it cannot be copied; the holder is then empty.
    bool SetFromClipboard(UINT format);
    // The held picture as a bitmap (owned by the holder), or nullptr.
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
    void Clear() { bitmap_.reset(); }

private:
    win::UniqueGdiObject bitmap_;
};

}  // namespace quorallion
