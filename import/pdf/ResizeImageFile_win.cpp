#include "pdf/ResizeImageFile.h"

#include "c32bppDIB.h"
#include "pdf/resize_target.h"

namespace quorallion::basPublic {

bool ResizeImageFile(const std::wstring& sourcePath, const std::wstring& targetPath, int32_t width,
                     int32_t height, double factor) {
    c32bppDIB image;
    image.isGDIplusEnabled(true);
    ULONG_PTR token = 0;
    if (image.isGDIplusEnabled()) {
        token = image.CreateGDIplusToken();
        image.gdiToken(token);
    }

    bool saved = false;
    if (image.LoadPicture_File(sourcePath, 256, 256, true, 32)) {
        const auto size = pdf::ResizeTarget(image.Width(), image.Height(), width, height, factor);
        if (size && image.Resize(size->width, size->height)) {
            switch (pdf::SaveKindForTarget(targetPath)) {
                case pdf::SaveKind::Gif: saved = image.SaveToFile_GIF(targetPath, true, 128, false); break;
                case pdf::SaveKind::Jpg: saved = image.SaveToFile_JPG(targetPath, 100, 0, false); break;
                case pdf::SaveKind::Bmp: saved = image.SaveToFile_Bitmap(targetPath, false, 0, false); break;
                case pdf::SaveKind::Tga: saved = image.SaveToFile_TGA(targetPath, false, false, false, false); break;
                case pdf::SaveKind::Png: saved = image.SaveToFile_PNG(targetPath, false); break;
            }
        }
    }

    if (token != 0) {
        image.gdiToken(0);
        image.DestroyGDIplusToken(token);
    }
    return saved;
}

}  // namespace quorallion::basPublic
