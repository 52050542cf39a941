#pragma once
// The GDI+ flat calls the suite uses, looked up by name in "gdiplus.dll" once per process, so that
// a system without GDI+ still runs (every user tests Get() first).
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace quorallion::gdiplus {

#define QUORALLION_GDIP_CALLS(X)                                                \
    X(GdiplusStartup, ::Gdiplus::GdiplusStartup)                                \
    X(GdiplusShutdown, ::Gdiplus::GdiplusShutdown)                              \
    X(GdipCreateBitmapFromScan0, ::Gdiplus::DllExports::GdipCreateBitmapFromScan0) \
    X(GdipDisposeImage, ::Gdiplus::DllExports::GdipDisposeImage)                \
    X(GdipGetImageEncodersSize, ::Gdiplus::DllExports::GdipGetImageEncodersSize) \
    X(GdipGetImageEncoders, ::Gdiplus::DllExports::GdipGetImageEncoders)        \
    X(GdipSaveImageToFile, ::Gdiplus::DllExports::GdipSaveImageToFile)          \
    X(GdipSaveImageToStream, ::Gdiplus::DllExports::GdipSaveImageToStream)      \
    X(GdipLoadImageFromFile, ::Gdiplus::DllExports::GdipLoadImageFromFile)      \
    X(GdipLoadImageFromStream, ::Gdiplus::DllExports::GdipLoadImageFromStream)  \
    X(GdipGetImageBounds, ::Gdiplus::DllExports::GdipGetImageBounds)            \
    X(GdipCreateFromHDC, ::Gdiplus::DllExports::GdipCreateFromHDC)              \
    X(GdipDeleteGraphics, ::Gdiplus::DllExports::GdipDeleteGraphics)            \
    X(GdipSetInterpolationMode, ::Gdiplus::DllExports::GdipSetInterpolationMode) \
    X(GdipSetPixelOffsetMode, ::Gdiplus::DllExports::GdipSetPixelOffsetMode)    \
    X(GdipCreateImageAttributes, ::Gdiplus::DllExports::GdipCreateImageAttributes) \
    X(GdipSetImageAttributesColorMatrix, ::Gdiplus::DllExports::GdipSetImageAttributesColorMatrix) \
    X(GdipSetImageAttributesWrapMode, ::Gdiplus::DllExports::GdipSetImageAttributesWrapMode) \
    X(GdipDisposeImageAttributes, ::Gdiplus::DllExports::GdipDisposeImageAttributes) \
    X(GdipRotateWorldTransform, ::Gdiplus::DllExports::GdipRotateWorldTransform) \
    X(GdipTranslateWorldTransform, ::Gdiplus::DllExports::GdipTranslateWorldTransform) \
    X(GdipScaleWorldTransform, ::Gdiplus::DllExports::GdipScaleWorldTransform)  \
    X(GdipDrawImageRectRectI, ::Gdiplus::DllExports::GdipDrawImageRectRectI)    \
    X(GdipDrawImageRectRect, ::Gdiplus::DllExports::GdipDrawImageRectRect)      \
    X(GdipGetImageGraphicsContext, ::Gdiplus::DllExports::GdipGetImageGraphicsContext) \
    X(GdipCreateMetafileFromEmf, ::Gdiplus::DllExports::GdipCreateMetafileFromEmf) \
    X(GdipCreateBitmapFromHBITMAP, ::Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP)

struct Api {
#define QUORALLION_GDIP_MEMBER(name, declared) decltype(&declared) name = nullptr;
    QUORALLION_GDIP_CALLS(QUORALLION_GDIP_MEMBER)
#undef QUORALLION_GDIP_MEMBER
};

// Every call resolved, or nullptr when the library or one of the calls is missing.
const Api* Get();

// An encoder parameter block of one value, the JPEG quality, read from *quality; False when the
// parameter's identifier cannot be made.
bool JpegQualityParameters(ULONG* quality, ::Gdiplus::EncoderParameters& parameters);

}  // namespace quorallion::gdiplus
