#include "pdf/ResizeImageFile.h"

namespace quorallion::basPublic {

// Not yet done: the image object's file loading (LoadPicture_File), Resize, SaveToFile_PNG and
// SaveToFile_JPG are still missing. Until they are here this answers False for every file, which
// is also what the page loop does with a failed shrink: the page keeps its rendered N.png and its
// tag names that. To finish: a c32bppDIB with isGDIplusEnabled true and, when GDI+ is in use, a
// token from CreateGDIplusToken handed over through gdiToken; LoadPicture_File(sourcePath, 256,
// 256, true, 32); the new size from pdf::ResizeTarget (pdf/resize_target.h); Resize; the save
// chosen by pdf::SaveKindForTarget (GIF true, 128, 0; JPEG quality 100, fill 0; BMP; TGA; else
// PNG); true only when the save succeeded; gdiToken set to 0 and DestroyGDIplusToken at the end.
// Then set kResizeImageFileAvailable to true.
bool ResizeImageFile(const std::wstring& sourcePath, const std::wstring& targetPath, int32_t width,
                     int32_t height, double factor) {
    return false;
}

}  // namespace quorallion::basPublic
