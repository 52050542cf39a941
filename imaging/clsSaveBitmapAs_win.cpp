#include "clsSaveBitmapAs.h"

#include <cwctype>
#include <vector>

#include "gdiplus/cGDIPlus.h"
#include "gdiplus/gdiplus_flat_win.h"

namespace quorallion {
namespace {

struct Encoder {
    const wchar_t* extension;
    const wchar_t* mimeType;
};
constexpr Encoder kEncoders[] = {
    {L".png", L"image/png"}, {L".gif", L"image/gif"}, {L".jpg", L"image/jpeg"},
    {L".tif", L"image/tiff"}, {L".bmp", L"image/bmp"},
};

}  // namespace

clsSaveBitmapAs::clsSaveBitmapAs() {
    if (const gdiplus::Api* api = gdiplus::Get()) {
        Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread on
        started_ = api->GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
}

clsSaveBitmapAs::~clsSaveBitmapAs() {
    if (started_) gdiplus::Get()->GdiplusShutdown(token_);
}

bool clsSaveBitmapAs::SavePictureFromHDC(HBITMAP BitmapHandle, const std::wstring& FileName) {
    if (FileName.size() < 4 || !started_) return false;
    std::wstring ending = FileName.substr(FileName.size() - 4);
    for (wchar_t& c : ending) c = static_cast<wchar_t>(std::towlower(c));
    const Encoder* chosen = nullptr;
    for (const Encoder& encoder : kEncoders)
        if (ending == encoder.extension) chosen = &encoder;
    if (!chosen) return false;

    const gdiplus::Api& api = *gdiplus::Get();
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (api.GdipCreateBitmapFromHBITMAP(BitmapHandle, nullptr, &bitmap) != Gdiplus::Ok || !bitmap) return false;
    bool saved = false;
    CLSID clsid;
    if (cGDIPlus::FindEncoderClsid(chosen->mimeType, clsid) >= 0) {
        ULONG quality = 100;
        Gdiplus::EncoderParameters parameters;
        const bool jpeg = std::wstring(chosen->extension) == L".jpg";
        std::vector<uint8_t> unused;
        if (!jpeg || gdiplus::JpegQualityParameters(&quality, parameters))
            saved = cGDIPlus::SaveImage(bitmap, FileName, unused, clsid, jpeg ? &parameters : nullptr);
    }
    api.GdipDisposeImage(bitmap);
    return saved;
}

}  // namespace quorallion
