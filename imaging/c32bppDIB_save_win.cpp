// Saving: the file and byte-array savers, the PNG and JPEG roads (GDI+ or the suite's own
// writers) and the PNG properties kept for the next PNG save.
#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "codecs/cBMPparser.h"
#include "codecs/cGIFparser.h"
#include "codecs/cJPGWriter.h"
#include "codecs/cPNGwriter.h"
#include "codecs/cTGAparser.h"
#include "gdiplus/cGDIPlus.h"

namespace quorallion {
namespace {

constexpr int32_t kBackgroundProperty = 4096;
constexpr int32_t kTimeProperty = 2048;
constexpr uint32_t kWhite = 0xFFFFFF;

void DestroyPngWriter(cPNGwriter* writer) { delete writer; }

}  // namespace

bool c32bppDIB::OverwriteAllowed(const std::wstring& FileName, bool PromptOverwrite) const {
    if (FileName.empty() || !dib_) return false;
    // The question is never shown (nobody may be there to answer a server): over an existing file
    // it takes its default answer, No, and the file is kept. Otherwise the writers replace the
    // file only once the new one is complete.
    return !PromptOverwrite || !bas32bppDIBParsers::PathExists(FileName);
}

bool c32bppDIB::SavePngRoad(const std::wstring& FileName, std::vector<uint8_t>& outStream) {
    cGDIPlus temporary;
    cGDIPlus& gdip = keptGdiPlus_ ? *keptGdiPlus_ : temporary;
    // Stored properties are written by our own writer only, so it goes first when there are any.
    if (keptPngWriter_) {
        return keptPngWriter_->SavePNG(*this, FileName, outStream) || gdip.SaveToPNG(FileName, outStream, *this, gdiToken_);
    }
    return gdip.SaveToPNG(FileName, outStream, *this, gdiToken_) || cPNGwriter().SavePNG(*this, FileName, outStream);
}

bool c32bppDIB::SaveToFile_Bitmap(const std::wstring& FileName, bool KeepPreMultipliedPixels,
                                  uint32_t TransparentFillColor, bool PromptOverwrite) {
    if (!OverwriteAllowed(FileName, PromptOverwrite)) return false;
    std::vector<uint8_t> unused;
    return cBMPparser().SaveAsBMP(*this, FileName, unused, KeepPreMultipliedPixels, TransparentFillColor);
}

bool c32bppDIB::SaveToFile_PNG(const std::wstring& FileName, bool PromptOverwrite) {
    if (!OverwriteAllowed(FileName, PromptOverwrite)) return false;
    std::vector<uint8_t> unused;
    return SavePngRoad(FileName, unused);
}

bool c32bppDIB::SaveToFile_JPG(const std::wstring& FileName, int32_t Quality, uint32_t TransparentFillColor,
                               bool PromptOverwrite) {
    if (!OverwriteAllowed(FileName, PromptOverwrite)) return false;
    std::vector<uint8_t> unused;
    cGDIPlus temporary;
    cGDIPlus& gdip = keptGdiPlus_ ? *keptGdiPlus_ : temporary;
    if (gdip.SaveToJPG(FileName, unused, *this, Quality, TransparentFillColor, gdiToken_)) return true;
    // The own writer takes the quality as a byte.
    if (Quality < 0 || Quality > 255) return false;
    return cJPGWriter().SaveJPG(FileName, unused, *this, static_cast<uint8_t>(Quality), TransparentFillColor);
}

bool c32bppDIB::SaveToFile_GIF(const std::wstring& FileName, bool UseAdaptivePalette, uint8_t OpaquenessTolerance,
                               bool PromptOverwrite) {
    if (!OverwriteAllowed(FileName, PromptOverwrite)) return false;
    std::vector<uint8_t> unused;
    return cGIFparser().SaveAsGIF(*this, FileName, unused, UseAdaptivePalette, OpaquenessTolerance);
}

bool c32bppDIB::SaveToFile_TGA(const std::wstring& FileName, bool Compress, bool ReduceBitDepth,
                               bool AllowPreMultipliedPixels, bool PromptOverwrite) {
    if (!OverwriteAllowed(FileName, PromptOverwrite)) return false;
    std::vector<uint8_t> scratch;
    return cTGAparser().SaveAsTGA(FileName, scratch, *this, AllowPreMultipliedPixels, Compress, ReduceBitDepth);
}

bool c32bppDIB::SaveToStream_Bitmap(std::vector<uint8_t>& outStream, bool KeepPreMultipliedPixels,
                                    uint32_t TransparentFillColor) {
    if (!dib_) return false;
    if (cBMPparser().SaveAsBMP(*this, L"", outStream, KeepPreMultipliedPixels, TransparentFillColor)) return true;
    outStream.clear();
    return false;
}

bool c32bppDIB::SaveToStream_PNG(std::vector<uint8_t>& outStream) {
    return dib_ && SavePngRoad(L"", outStream);
}

bool c32bppDIB::SaveToStream_JPG(std::vector<uint8_t>& outStream, int32_t Quality) {
    if (!dib_) return false;
    cGDIPlus temporary;
    cGDIPlus& gdip = keptGdiPlus_ ? *keptGdiPlus_ : temporary;
    return gdip.SaveToJPG(L"", outStream, *this, Quality, kWhite, gdiToken_);
}

bool c32bppDIB::SaveToStream_GIF(std::vector<uint8_t>& outStream, bool UseAdaptivePalette,
                                 uint8_t OpaquenessTolerance) {
    return dib_ && cGIFparser().SaveAsGIF(*this, L"", outStream, UseAdaptivePalette, OpaquenessTolerance);
}

bool c32bppDIB::SaveToStream_TGA(std::vector<uint8_t>& outStream, bool Compress, bool ReduceBitDepth,
                                 bool AllowPreMultipliedPixels) {
    return dib_ && cTGAparser().SaveAsTGA(L"", outStream, *this, AllowPreMultipliedPixels, Compress, ReduceBitDepth);
}

bool c32bppDIB::PngPropertySet(int32_t PropertyID, const VARIANT* PropertyValue, const std::wstring& Caption_Misc) {
    if (PropertyID == -1) {
        keptPngWriter_.reset();
        return true;
    }
    if (!PropertyValue) return keptPngWriter_ && keptPngWriter_->RemovePngProperty(PropertyID, Caption_Misc);
    if (!keptPngWriter_) {
        keptPngWriter_ = std::unique_ptr<cPNGwriter, PngWriterDeleter>(new cPNGwriter(), PngWriterDeleter{&DestroyPngWriter});
    }
    return keptPngWriter_->SetPngProperty(PropertyID, *PropertyValue, Caption_Misc);
}

void c32bppDIB::PngPropertyGet(int32_t PropertyID, const std::wstring& Caption_Misc, VARIANT* result) const {
    if (!result) return;
    ::VariantClear(result);
    if (keptPngWriter_) {
        keptPngWriter_->GetPngProperty(PropertyID, Caption_Misc, result);
    } else if (PropertyID == kBackgroundProperty) {
        result->vt = VT_I4;
        result->lVal = -1;
    } else if (PropertyID == kTimeProperty) {
        result->vt = VT_DATE;
        result->date = 0;
    } else {
        result->vt = VT_BSTR;
        result->bstrVal = ::SysAllocString(L"");
    }
}

}  // namespace quorallion
