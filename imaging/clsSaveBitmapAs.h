#pragma once
// Saves a bitmap handle as a PNG, GIF, JPEG, TIFF or BMP file through GDI+, the encoder chosen by
// the file name's last four characters. Keeps its own GDI+ session for its lifetime.
#include <windows.h>

#include <string>

namespace quorallion {

class clsSaveBitmapAs {
public:
    clsSaveBitmapAs();
    ~clsSaveBitmapAs();
    clsSaveBitmapAs(const clsSaveBitmapAs&) = delete;
    clsSaveBitmapAs& operator=(const clsSaveBitmapAs&) = delete;

    // ".png", ".gif", ".jpg" (quality 100), ".tif" or ".bmp", any case; True when the file was
    // written. False for another ending, when GDI+ did not start or has no such encoder.
    bool SavePictureFromHDC(HBITMAP BitmapHandle, const std::wstring& FileName);

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

}  // namespace quorallion
