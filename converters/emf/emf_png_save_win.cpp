// The PNG file, written by GDI+'s encoder.
#include <cwchar>
#include <vector>

#include "emf_module_win.h"
#include "gdiplus_calls_win.h"

namespace quorallion::emf {

std::optional<CLSID> GetPngEncoderClsid() {
    const gdiplus::Api* api = gdiplus::Get();
    if (!api) return std::nullopt;
    UINT count = 0, bytes = 0;
    if (api->GdipGetImageEncodersSize(&count, &bytes) != gdiplus::kOk || count == 0 ||
        bytes < count * sizeof(gdiplus::ImageCodecInfo)) {
        return std::nullopt;
    }
    // The list holds the codec records followed by their texts: one block, suitably aligned.
    std::vector<gdiplus::ImageCodecInfo> storage(bytes / sizeof(gdiplus::ImageCodecInfo) + 1);
    auto* codecs = storage.data();
    if (api->GdipGetImageEncoders(count, bytes, codecs) != gdiplus::kOk) return std::nullopt;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) return codecs[i].Clsid;
    }
    return std::nullopt;
}

bool SaveBitmapAsPng(HBITMAP bitmap, const wchar_t* pngPath) {
    const gdiplus::Api* api = gdiplus::Get();
    std::optional<CLSID> encoder = GetPngEncoderClsid();
    if (!api || !encoder || !bitmap) return false;
    gdiplus::Image image;
    if (api->GdipCreateBitmapFromHBITMAP(bitmap, nullptr, image.put()) != gdiplus::kOk) return false;
    return api->GdipSaveImageToFile(image.get(), pngPath, &*encoder, nullptr) == gdiplus::kOk;
}

}  // namespace quorallion::emf
