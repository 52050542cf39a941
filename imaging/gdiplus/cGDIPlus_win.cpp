// cGDIPlus over the flat interface. Bitmaps over an image's pixels are made with a negative
// stride from its top row, so they are upright without flipping and always show the live pixels.
#include "gdiplus/cGDIPlus.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "bas32bppDIBParsers_win.h"
#include "c32bppDIB.h"
#include "codecs/whole_file_win.h"
#include "gdiplus/gdiplus_flat_win.h"
#include "gdiplus/growing_stream_win.h"
#include "pixels/pixel_mirror.h"

namespace quorallion {
namespace {

namespace gp = ::Gdiplus;
constexpr gp::PixelFormat kPremultipliedArgb = 0xE200B;

gp::GpBitmap* BitmapOver(const gdiplus::Api& api, uint8_t* bits, int32_t width, int32_t height) {
    if (!bits || width < 1 || height < 1) return nullptr;
    const INT stride = width * 4;
    gp::GpBitmap* bitmap = nullptr;
    uint8_t* topRow = bits + static_cast<size_t>(stride) * (height - 1);
    if (api.GdipCreateBitmapFromScan0(width, height, -stride, kPremultipliedArgb, topRow, &bitmap) != gp::Ok) {
        return nullptr;
    }
    return bitmap;
}

// Owners of GDI+ objects for one call.
struct GraphicsOwner {
    const gdiplus::Api& api;
    gp::GpGraphics* graphics = nullptr;
    ~GraphicsOwner() {
        if (graphics) api.GdipDeleteGraphics(graphics);
    }
};
struct ImageOwner {
    const gdiplus::Api& api;
    gp::GpImage* image = nullptr;
    ~ImageOwner() {
        if (image) api.GdipDisposeImage(image);
    }
};
struct AttributesOwner {
    const gdiplus::Api& api;
    gp::GpImageAttributes* attributes = nullptr;
    ~AttributesOwner() {
        if (attributes) api.GdipDisposeImageAttributes(attributes);
    }
};

// Draws a loaded picture over the whole of the host's pixels (a bitmap laid over them, so that the
// picture's alpha is kept) and classifies the result as decoded by GDI+. The host is emptied when
// drawing fails.
bool DrawLoadedIntoHost(const gdiplus::Api& api, gp::GpImage* loaded, const gp::RectF& bounds, gp::Unit unit,
                        c32bppDIB& cHost, bool highQuality) {
    const int32_t width = cHost.Width(), height = cHost.Height();
    ImageOwner target{api};
    GraphicsOwner graphics{api};
    target.image = BitmapOver(api, cHost.BitsPointer(), width, height);
    bool ok = target.image && api.GdipGetImageGraphicsContext(target.image, &graphics.graphics) == gp::Ok;
    if (ok && highQuality) api.GdipSetInterpolationMode(graphics.graphics, gp::InterpolationModeHighQualityBicubic);
    ok = ok && api.GdipDrawImageRectRect(graphics.graphics, loaded, 0, 0, float(width), float(height), bounds.X,
                                         bounds.Y, bounds.Width, bounds.Height, unit, nullptr, nullptr,
                                         nullptr) == gp::Ok;
    if (!ok) {
        cHost.DestroyDIB();
        return false;
    }
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(cHost.Pixels(), false, alphaUse, alphaForm);
    cHost.Alpha(alphaUse);
    cHost.ImageType(10);
    return true;
}

}  // namespace

cGDIPlus::~cGDIPlus() { ManageToken(ownToken_, true); }

int32_t cGDIPlus::ScaleRounded(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return 0;
    const double value = double(a) * b / c + 0.5;
    return static_cast<int32_t>(std::clamp(std::floor(value), -2147483648.0, 2147483647.0));
}

bool cGDIPlus::ManageToken(ULONG_PTR& token, bool shutDown) {
    const gdiplus::Api* api = gdiplus::Get();
    if (!shutDown) {
        token = 0;
        if (!api) return false;
        gp::GdiplusStartupInput input;  // version 1, no callback, background thread on
        if (api->GdiplusStartup(&token, &input, nullptr) != gp::Ok) token = 0;
        return token != 0;
    }
    DisposeHeldImage();
    if (token && api) api->GdiplusShutdown(token);
    token = 0;
    return false;
}

bool cGDIPlus::isGDIplusOk(ULONG_PTR& gdiToken, bool KeepToken) {
    if (ownToken_) return true;
    if (!bas32bppDIBParsers::IsDllExportAvailable(L"gdiplus.dll", "GdiplusStartup")) return false;
    const bool ok = ManageToken(gdiToken, false);
    if (!KeepToken && gdiToken) {
        if (const gdiplus::Api* api = gdiplus::Get()) api->GdiplusShutdown(gdiToken);
        gdiToken = 0;
    }
    return ok;
}

bool cGDIPlus::HaveSession(ULONG_PTR globalToken) {
    if (!gdiplus::Get()) return false;
    if (globalToken || ownToken_) return true;
    return bas32bppDIBParsers::IsDllExportAvailable(L"gdiplus.dll", "GdiplusStartup") &&
           ManageToken(ownToken_, false);
}

void cGDIPlus::DisposeHeldImage() {
    if (heldImage_) {
        if (const gdiplus::Api* api = gdiplus::Get()) api->GdipDisposeImage(static_cast<gp::GpImage*>(heldImage_));
    }
    heldImage_ = nullptr;
    heldBits_ = nullptr;
    heldWidth_ = heldHeight_ = 0;
}

void* cGDIPlus::HeldImageFor(c32bppDIB& host) {
    if (heldImage_ && heldBits_ == host.BitsPointer() && heldWidth_ == host.Width() &&
        heldHeight_ == host.Height()) {
        return heldImage_;
    }
    DisposeHeldImage();
    const gdiplus::Api* api = gdiplus::Get();
    if (!api) return nullptr;
    heldImage_ = BitmapOver(*api, host.BitsPointer(), host.Width(), host.Height());
    if (heldImage_) {
        heldBits_ = host.BitsPointer();
        heldWidth_ = host.Width();
        heldHeight_ = host.Height();
    }
    return heldImage_;
}

int32_t cGDIPlus::FindEncoderClsid(const std::wstring& mimeType, CLSID& clsid) {
    const gdiplus::Api* api = gdiplus::Get();
    if (!api) return -1;
    UINT count = 0, size = 0;
    if (api->GdipGetImageEncodersSize(&count, &size) != gp::Ok || size == 0 || count == 0) return -1;
    if (size < count * sizeof(gp::ImageCodecInfo)) return -1;
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<gp::ImageCodecInfo*>(buffer.data());
    if (api->GdipGetImageEncoders(count, size, codecs) != gp::Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && ::lstrcmpiW(codecs[i].MimeType, mimeType.c_str()) == 0) {
            clsid = codecs[i].Clsid;
            return static_cast<int32_t>(i + 1);
        }
    }
    return -1;
}

bool cGDIPlus::StreamToBytes(IStream* stream, std::vector<uint8_t>& out) {
    out.clear();
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (!stream || FAILED(::GetHGlobalFromStream(stream, &memory)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
        return false;
    }
    // The stream's own size: the memory block may be larger than what was written.
    const size_t size = std::min<size_t>(static_cast<size_t>(stat.cbSize.QuadPart), ::GlobalSize(memory));
    const void* data = ::GlobalLock(memory);
    if (!data) return false;
    out.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    ::GlobalUnlock(memory);
    return true;
}

com::ComPtr<IStream> cGDIPlus::BytesToStream(const std::vector<uint8_t>& bytes, size_t start) {
    if (start >= bytes.size()) return BytesToStream(nullptr, 0);
    return BytesToStream(bytes.data() + start, bytes.size() - start);
}

com::ComPtr<IStream> cGDIPlus::BytesToStream(const uint8_t* bytes, size_t byteCount) {
    com::ComPtr<IStream> stream;
    if (!bytes || byteCount == 0) {
        if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) stream.reset();
        return stream;
    }
    win::UniqueHGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, byteCount));
    if (!memory) return stream;
    void* target = ::GlobalLock(memory.get());
    if (!target) return stream;
    std::memcpy(target, bytes, byteCount);
    ::GlobalUnlock(memory.get());
    if (SUCCEEDED(::CreateStreamOnHGlobal(memory.get(), TRUE, stream.put()))) memory.release();
    else stream.reset();
    return stream;
}

bool cGDIPlus::SaveImage(void* image, const std::wstring& fileName, std::vector<uint8_t>& outStream,
                         const CLSID& encoder, const void* parameters) {
    const gdiplus::Api* api = gdiplus::Get();
    if (!api || !image) return false;
    auto* params = static_cast<const gp::EncoderParameters*>(parameters);
    com::ComPtr<gdiplus::GrowingStream> stream = gdiplus::GrowingStream::Create();
    if (!stream || api->GdipSaveImageToStream(static_cast<gp::GpImage*>(image), stream.get(), &encoder, params) != gp::Ok) {
        if (fileName.empty()) outStream.clear();
        return false;
    }
    std::vector<uint8_t> encoded = stream->TakeBytes();
    if (!fileName.empty()) return codecs::WriteWholeFile(fileName, encoded);
    outStream = std::move(encoded);
    return true;
}

bool cGDIPlus::SaveToPNG(const std::wstring& FileName, std::vector<uint8_t>& outStream, c32bppDIB& cHost,
                         ULONG_PTR GlobalToken) {
    if (!cHost.Handle() || !HaveSession(GlobalToken)) return false;
    void* image = HeldImageFor(cHost);
    CLSID encoder;
    if (!image || FindEncoderClsid(L"image/png", encoder) < 0) return false;
    return SaveImage(image, FileName, outStream, encoder, nullptr);
}

bool cGDIPlus::SaveToJPG(const std::wstring& FileName, std::vector<uint8_t>& outStream, c32bppDIB& cHost,
                         int32_t Quality, uint32_t TransFillColor, ULONG_PTR GlobalToken) {
    if (!cHost.Handle() || !HaveSession(GlobalToken)) return false;
    const gdiplus::Api& api = *gdiplus::Get();
    int32_t alphaUse = 0, alphaForm = 0;
    bas32bppDIBParsers::ValidateAlphaChannel(cHost.Pixels(), false, alphaUse, alphaForm);

    std::vector<uint8_t> flattened;
    ImageOwner temporary{api};
    void* image = nullptr;
    if (alphaUse == 0) {
        image = HeldImageFor(cHost);
    } else {
        bas32bppDIBParsers::FlattenToColor(cHost.Pixels(), TransFillColor, flattened, false);
        temporary.image = BitmapOver(api, flattened.data(), cHost.Width(), cHost.Height());
        image = temporary.image;
    }
    CLSID encoder;
    if (!image || FindEncoderClsid(L"image/jpeg", encoder) < 0) return false;
    ULONG quality = static_cast<ULONG>(std::clamp(Quality, 30, 100));
    gp::EncoderParameters parameters;
    if (!gdiplus::JpegQualityParameters(&quality, parameters)) return false;
    return SaveImage(image, FileName, outStream, encoder, &parameters);
}

bool cGDIPlus::RenderWithGDIplus(c32bppDIB& cHost, HDC destinationDC, float Angle, int32_t Opacity, int32_t destX,
                                 int32_t destY, int32_t destWidth, int32_t destHeight, int32_t srcX, int32_t srcY,
                                 int32_t srcWidth, int32_t srcHeight, bool highQuality, int32_t grayScale,
                                 ULONG_PTR GlobalToken, float LightAdjustment, c32bppDIB* destHost) {
    if (Opacity == 0) return true;
    if (!cHost.Handle() || !HaveSession(GlobalToken)) return false;
    const gdiplus::Api& api = *gdiplus::Get();
    auto* image = static_cast<gp::GpImage*>(HeldImageFor(cHost));
    if (!image) return false;

    ImageOwner hostBitmap{api};
    GraphicsOwner graphics{api};
    if (destHost) {
        if (!destHost->Handle() || destHost == &cHost) return false;
        hostBitmap.image = BitmapOver(api, destHost->BitsPointer(), destHost->Width(), destHost->Height());
        if (!hostBitmap.image || api.GdipGetImageGraphicsContext(hostBitmap.image, &graphics.graphics) != gp::Ok) {
            return false;
        }
    } else if (!destinationDC || api.GdipCreateFromHDC(destinationDC, &graphics.graphics) != gp::Ok) {
        return false;
    }
    api.GdipSetInterpolationMode(graphics.graphics, highQuality ? gp::InterpolationModeHighQualityBicubic
                                                                : gp::InterpolationModeNearestNeighbor);
    // Half-pixel offsets so that nearest sampling picks the pixel under each centre.
    api.GdipSetPixelOffsetMode(graphics.graphics, gp::PixelOffsetModeHalf);

    const int32_t width = std::abs(destWidth), height = std::abs(destHeight);
    // Mirrored drawing goes through a mirrored copy of the source rectangle: a flipping world
    // transform lands one pixel off on Wine's GDI+.
    imaging::PixelCopy mirrored;
    ImageOwner mirroredBitmap{api};
    if (destWidth < 0 || destHeight < 0) {
        if (!imaging::MirrorPixelRect(cHost.Pixels(), srcX, srcY, srcWidth, srcHeight, destWidth < 0, destHeight < 0,
                                      mirrored)) {
            return false;
        }
        mirroredBitmap.image = BitmapOver(api, mirrored.view().bits, mirrored.width(), mirrored.height());
        if (!mirroredBitmap.image) return false;
        image = mirroredBitmap.image;
        srcX = srcY = 0;
        srcWidth = mirrored.width();
        srcHeight = mirrored.height();
    }

    AttributesOwner attributes{api};
    // Samples beyond the source's edges repeat its edge pixels: a stretched picture does not fade
    // into transparency at its borders.
    if (api.GdipCreateImageAttributes(&attributes.attributes) == gp::Ok) {
        api.GdipSetImageAttributesWrapMode(attributes.attributes, gp::WrapModeTileFlipXY, 0, FALSE);
    }
    const bool needMatrix = grayScale != -1 || LightAdjustment != 0 || Opacity != 100;
    if (needMatrix && attributes.attributes) {
        gp::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1;
        if (grayScale != -1) {
            const auto w = bas32bppDIBParsers::GetGrayScaleWeights(grayScale);
            for (int c = 0; c < 3; ++c) {
                matrix.m[0][c] = w.red;
                matrix.m[1][c] = w.green;
                matrix.m[2][c] = w.blue;
            }
        }
        for (int c = 0; c < 3; ++c) matrix.m[4][c] = LightAdjustment / 100.0f;
        matrix.m[3][3] = Opacity / 100.0f;
        api.GdipSetImageAttributesColorMatrix(attributes.attributes, gp::ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                              gp::ColorMatrixFlagsDefault);
    }

    const bool transformed = Angle != 0;
    gp::GpStatus status;
    if (!transformed) {
        status = api.GdipDrawImageRectRectI(graphics.graphics, image, destX, destY, width, height, srcX, srcY, srcWidth,
                                            srcHeight, gp::UnitPixel, attributes.attributes, nullptr, nullptr);
    } else {
        // Turned about the destination's centre.
        api.GdipTranslateWorldTransform(graphics.graphics, destX + width / 2.0f, destY + height / 2.0f,
                                        gp::MatrixOrderPrepend);
        api.GdipRotateWorldTransform(graphics.graphics, Angle, gp::MatrixOrderPrepend);
        status = api.GdipDrawImageRectRect(graphics.graphics, image, -width / 2.0f, -height / 2.0f, float(width),
                                           float(height), float(srcX), float(srcY), float(srcWidth),
                                           float(srcHeight), gp::UnitPixel, attributes.attributes, nullptr, nullptr);
    }
    return status == gp::Ok;
}

bool cGDIPlus::LoadImageWithGDIplus(const std::wstring& FileName, const std::vector<uint8_t>& inStream,
                                    c32bppDIB& cHost, ULONG_PTR GlobalToken) {
    return LoadImageWithGDIplus(FileName, inStream.data(), inStream.size(), cHost, GlobalToken);
}

bool cGDIPlus::LoadImageWithGDIplus(const std::wstring& FileName, const uint8_t* bytes, size_t byteCount,
                                    c32bppDIB& cHost, ULONG_PTR GlobalToken) {
    if ((FileName.empty() && (!bytes || byteCount == 0)) || !HaveSession(GlobalToken)) return false;
    const gdiplus::Api& api = *gdiplus::Get();
    ImageOwner loaded{api};
    com::ComPtr<IStream> stream;
    if (!FileName.empty()) {
        if (api.GdipLoadImageFromFile(FileName.c_str(), &loaded.image) != gp::Ok) return false;
    } else {
        stream = BytesToStream(bytes, byteCount);
        if (!stream || api.GdipLoadImageFromStream(stream.get(), &loaded.image) != gp::Ok) return false;
    }
    gp::RectF bounds{};
    gp::Unit unit = gp::UnitPixel;
    if (api.GdipGetImageBounds(loaded.image, &bounds, &unit) != gp::Ok) return false;
    const double width = std::nearbyint(bounds.Width), height = std::nearbyint(bounds.Height);
    if (!(width >= 1 && height >= 1 && width <= 65535 && height <= 65535) ||
        !cHost.InitializeDIB(static_cast<int32_t>(width), static_cast<int32_t>(height))) {
        cHost.DestroyDIB();
        return false;
    }
    return DrawLoadedIntoHost(api, loaded.image, bounds, unit, cHost, false);
}

bool cGDIPlus::ConvertToScreenDPI(HDC dc, int32_t dpiX, int32_t dpiY, int32_t& width, int32_t& height) {
    const int32_t screenX = ::GetDeviceCaps(dc, LOGPIXELSX), screenY = ::GetDeviceCaps(dc, LOGPIXELSY);
    if (screenX < 1 || screenY < 1 || dpiX < 1 || dpiY < 1) return false;
    width = ScaleRounded(width, screenX, dpiX);
    height = ScaleRounded(height, screenY, dpiY);
    return true;
}

bool cGDIPlus::LoadMetafileStream(const std::wstring& FileName, const std::vector<uint8_t>& inStream,
                                  c32bppDIB& cHost, ULONG_PTR GlobalToken) {
    return LoadMetafileStream(FileName, inStream.data(), inStream.size(), cHost, GlobalToken);
}

bool cGDIPlus::LoadMetafileStream(const std::wstring& FileName, const uint8_t* bytes, size_t byteCount,
                                  c32bppDIB& cHost, ULONG_PTR GlobalToken) {
    const bool fromBytes = bytes && byteCount > 0;
    if ((FileName.empty() && !fromBytes) || byteCount > UINT32_MAX || !HaveSession(GlobalToken)) return false;
    HENHMETAFILE metafile = fromBytes ? ::SetEnhMetaFileBits(static_cast<UINT>(byteCount), bytes)
                                      : ::GetEnhMetaFileW(FileName.c_str());
    if (!metafile) return false;
    ENHMETAHEADER header{};
    const UINT got = ::GetEnhMetaFileHeader(metafile, sizeof(header), &header);
    ::DeleteEnhMetaFile(metafile);
    if (got < sizeof(header) - sizeof(header.szlMicrometers) - sizeof(header.bOpenGL) - sizeof(header.cbPixelFormat) -
                  sizeof(header.offPixelFormat)) {
        return false;
    }
    // A header without a reference device size in millimetres cannot give a resolution.
    if (header.szlMillimeters.cx < 1 || header.szlMillimeters.cy < 1 || header.szlDevice.cx < 1 ||
        header.szlDevice.cy < 1) {
        return false;
    }
    const int32_t dpiX = ScaleRounded(header.szlDevice.cx, 254, header.szlMillimeters.cx * 10);
    const int32_t dpiY = ScaleRounded(header.szlDevice.cy, 254, header.szlMillimeters.cy * 10);
    int32_t deviceWidth = header.szlDevice.cx, deviceHeight = header.szlDevice.cy;
    int32_t frameWidth = ScaleRounded(header.rclFrame.right - header.rclFrame.left + 1, dpiX, 2540);
    int32_t frameHeight = ScaleRounded(header.rclFrame.bottom - header.rclFrame.top + 1, dpiY, 2540);
    {
        win::WindowDC screen(nullptr);
        if (!ConvertToScreenDPI(screen.get(), dpiX, dpiY, deviceWidth, deviceHeight) ||
            !ConvertToScreenDPI(screen.get(), dpiX, dpiY, frameWidth, frameHeight)) {
            return false;
        }
    }
    frameWidth = std::max(frameWidth, 1);
    frameHeight = std::max(frameHeight, 1);
    int32_t width, height;
    if (frameWidth <= deviceWidth && frameHeight <= deviceHeight) {
        width = frameWidth;
        height = frameHeight;
    } else if (deviceHeight <= deviceWidth) {
        height = SmallerOf(deviceHeight, frameHeight);
        width = ScaleRounded(height, frameWidth, frameHeight);
    } else {
        width = SmallerOf(deviceWidth, frameWidth);
        height = ScaleRounded(width, frameHeight, frameWidth);
    }
    width = std::clamp(width, 1, 65535);
    height = std::clamp(height, 1, 65535);

    const gdiplus::Api& api = *gdiplus::Get();
    ImageOwner loaded{api};
    com::ComPtr<IStream> stream;
    if (fromBytes) {
        stream = BytesToStream(bytes, byteCount);
        if (!stream || api.GdipLoadImageFromStream(stream.get(), &loaded.image) != gp::Ok) return false;
    } else if (api.GdipLoadImageFromFile(FileName.c_str(), &loaded.image) != gp::Ok) {
        return false;
    }
    gp::RectF bounds{};
    gp::Unit unit = gp::UnitPixel;
    if (api.GdipGetImageBounds(loaded.image, &bounds, &unit) != gp::Ok || !cHost.InitializeDIB(width, height)) {
        return false;
    }
    return DrawLoadedIntoHost(api, loaded.image, bounds, unit, cHost, true);
}

}  // namespace quorallion
