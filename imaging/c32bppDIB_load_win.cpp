// Loading: the load chain over the suite's readers for files and byte ranges, metafile bytes,
// resources, picture objects and handles, and reloading the kept bytes.
#include <algorithm>
#include <limits>

#include "c32bppDIB.h"  // before the parsers header, which uses its pixel view
#include "bas32bppDIBParsers_win.h"
#include "codecs/cBMPparser.h"
#include "codecs/cGIFparser.h"
#include "codecs/cICOparser.h"
#include "codecs/cPNGparser.h"
#include "codecs/cTGAparser.h"
#include "gdiplus/cGDIPlus.h"
#include "win/handles.h"

namespace quorallion {
namespace {

// Files of this size or smaller hold no picture any reader takes.
constexpr int64_t kSmallestFile = 57;
// The shortest byte range the chain looks at.
constexpr int64_t kShortestRange = 20;
// Files are read whole only up to the largest size the formats' 32-bit fields can describe.
constexpr int64_t kLargestWholeFile = std::numeric_limits<int32_t>::max();

// The whole file from its start into bytes; False when it cannot be read or is too large.
bool ReadWholeFile(HANDLE file, std::vector<uint8_t>& bytes) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > kLargestWholeFile) return false;
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 26));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, chunk, &got, nullptr) || got == 0) {
            bytes.clear();
            return false;
        }
        done += got;
    }
    return true;
}

// The argument rules of the byte-array entries: the range made whole and checked against the
// array. False for an empty array, a range shorter than 20 bytes or one that runs past the array.
bool CheckRange(const std::vector<uint8_t>& bytes, int64_t& start, int64_t& length) {
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (size == 0) return false;
    if (start < 0) start = 0;
    if (length == 0) length = size - start;
    return length >= kShortestRange && start <= size && length <= size - start;
}

// A copy of an enhanced metafile made from a Windows metafile's bits; nullptr when they are not one.
HENHMETAFILE EnhancedCopyOf(HMETAFILE metafile, const METAFILEPICT* picture) {
    const UINT size = ::GetMetaFileBitsEx(metafile, 0, nullptr);
    if (size == 0) return nullptr;
    std::vector<uint8_t> bits(size);
    if (::GetMetaFileBitsEx(metafile, size, bits.data()) != size) return nullptr;
    return ::SetWinMetaFileBits(size, bits.data(), nullptr, picture);
}

// A picture object of a copy of the metafile's records: the picture loader reads their frame,
// which a picture made around the handle itself does not report everywhere.
com::ComPtr<IPicture> PictureOfMetafile(HENHMETAFILE metafile) {
    const UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
    if (size == 0) return {};
    std::vector<uint8_t> bits(size);
    if (::GetEnhMetaFileBits(metafile, size, bits.data()) != size) return {};
    return bas32bppDIBParsers::ArrayToPicture(bits, 0, size);
}

}  // namespace

bool c32bppDIB::LoadPicture_File(const std::wstring& FileName, int32_t iconCx, int32_t iconCy, bool SaveFormat,
                                 int32_t iconBitDepth) {
    DestroyDIB();
    originalFormat_.clear();
    win::UniqueFile file(bas32bppDIBParsers::OpenFileHandle(FileName, true));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < kSmallestFile) return false;
    try {
        return RunLoadChain(file.get(), FileName, nullptr, iconCx, iconCy, 0, size.QuadPart, SaveFormat, iconBitDepth);
    } catch (...) {
        // A reader that raised (memory, arithmetic) leaves no image.
        DestroyDIB();
        return false;
    }
}

bool c32bppDIB::LoadPicture_Stream(const std::vector<uint8_t>& inStream, int32_t iconCx, int32_t iconCy,
                                   int64_t streamStart, int64_t streamLength, bool SaveFormat, int32_t iconBitDepth) {
    DestroyDIB();
    originalFormat_.clear();
    if (!CheckRange(inStream, streamStart, streamLength)) return false;
    return RunLoadChain(INVALID_HANDLE_VALUE, L"", &inStream, iconCx, iconCy, streamStart, streamLength, SaveFormat,
                        iconBitDepth);
}

bool c32bppDIB::RunLoadChain(HANDLE file, const std::wstring& FileName, const std::vector<uint8_t>* callerBytes,
                             int32_t iconCx, int32_t iconCy, int64_t streamStart, int64_t streamLength,
                             bool SaveFormat, int32_t iconBitDepth) {
    DestroyDIB();
    if (iconCx < 0) iconCx = 0;
    if (iconCy < 0) iconCy = 0;
    if (iconBitDepth < 0 || iconBitDepth > 32) iconBitDepth = 32;
    const bool fromFile = file != INVALID_HANDLE_VALUE;

    // A file's bytes are read into memory only when a reader after the PNG reader needs them.
    std::vector<uint8_t> fileBytes;
    const std::vector<uint8_t>& bytes = fromFile ? fileBytes : *callerBytes;
    auto readFile = [&] {
        if (fileBytes.empty() && ReadWholeFile(file, fileBytes)) {
            streamStart = 0;
            streamLength = static_cast<int64_t>(fileBytes.size());
        }
        return !fileBytes.empty();
    };

    cPNGparser png;
    bool accepted = fromFile ? png.LoadFile(file, FileName, *this, gdiToken_)
                             : png.LoadStream(bytes, *this, streamStart, streamLength, gdiToken_);
    cICOparser ico;
    cBMPparser bmp;
    if (!accepted) {
        if (fromFile && !readFile()) return false;
        accepted = cGIFparser().LoadStream(bytes, *this, streamStart, streamLength) ||
                   ico.LoadStream(bytes, iconCx, iconCy, this, streamStart, streamLength, iconBitDepth) ||
                   bmp.LoadStream(bytes, *this, streamStart, streamLength);
    }
    // A bitmap, icon or GIF that our readers found broken goes to no platform loader either:
    // they read such headers and entries past their buffers; nor does a PNG of far more chunks
    // than real files carry, which would hold GDI+ for minutes. Our own TGA reader may still look.
    const bool ownFormatBroken = bmp.Refused() || ico.Broken() || png.HasFarMoreChunksThanRealFiles();

    std::vector<uint8_t> reencoded;
    bool keepReencoded = false;
    if (!dib_) {
        // What no reader of ours decodes: GDI+ (TIFF and the like), then TGA, which has no signature.
        // (Freeing the image released any kept GDI+ wrapper: this one lives for the call.)
        if (isGDIplusEnabled() && !ownFormatBroken) {
            cGDIPlus gdip;
            const bool loaded = fromFile ? gdip.LoadImageWithGDIplus(FileName, nullptr, 0, *this, gdiToken_)
                                         : gdip.LoadImageWithGDIplus(L"", bytes.data() + streamStart,
                                                                     static_cast<size_t>(streamLength), *this, gdiToken_);
            if (loaded) {
                imageType_ = 10;
                keepReencoded = SaveFormat && gdip.SaveToPNG(L"", reencoded, *this, gdiToken_);
            }
        }
        if (!dib_ && (!fromFile || readFile())) cTGAparser().LoadStream(bytes, *this, streamStart, streamLength);
    }
    if (!dib_) return false;

    if (SaveFormat) {
        if (keepReencoded) {
            originalFormat_ = std::move(reencoded);
        } else if (fromFile) {
            if (fileBytes.empty()) ReadWholeFile(file, fileBytes);
            originalFormat_ = std::move(fileBytes);
        } else {
            originalFormat_.assign(bytes.begin() + streamStart, bytes.begin() + streamStart + streamLength);
        }
    }
    return true;
}

bool c32bppDIB::LoadPicture_Stream_Emf(const std::vector<uint8_t>& inStream, int32_t /*iconCx*/, int32_t /*iconCy*/,
                                       int64_t streamStart, int64_t streamLength, bool SaveFormat,
                                       int32_t /*iconBitDepth*/) {
    DestroyDIB();
    originalFormat_.clear();
    if (!CheckRange(inStream, streamStart, streamLength) || !isGDIplusEnabled()) return false;
    cGDIPlus gdip;
    if (!gdip.LoadMetafileStream(L"", inStream.data() + streamStart, static_cast<size_t>(streamLength), *this,
                                 gdiToken_)) {
        DestroyDIB();
        return false;
    }
    imageType_ = 10;
    std::vector<uint8_t> reencoded;
    if (SaveFormat && gdip.SaveToPNG(L"", reencoded, *this, gdiToken_)) originalFormat_ = std::move(reencoded);
    return true;
}

bool c32bppDIB::LoadPicture_Resource(const VARIANT& ResIndex, const VARIANT& ResSection, HMODULE VBglobal,
                                     int32_t iconCx, int32_t iconCy, int64_t streamStart, int64_t streamLength,
                                     int32_t iconBitDepth) {
    DestroyDIB();
    originalFormat_.clear();
    try {
        HMODULE module = VBglobal ? VBglobal : ::GetModuleHandleW(nullptr);
        // The resource's name: its number, or its text.
        VARIANT number;
        ::VariantInit(&number);
        const wchar_t* name = nullptr;
        if (ResIndex.vt == VT_BSTR) {
            name = ResIndex.bstrVal;
        } else if (SUCCEEDED(::VariantChangeType(&number, const_cast<VARIANT*>(&ResIndex), 0, VT_UI2))) {
            name = MAKEINTRESOURCEW(number.uiVal);
        }
        if (!name) return false;

        if (ResSection.vt == VT_BSTR) {
            HRSRC found = ::FindResourceW(module, name, ResSection.bstrVal);
            HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
            const auto* data = loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
            if (!data) return false;
            const std::vector<uint8_t> bytes(data, data + ::SizeofResource(module, found));
            return LoadPicture_Stream(bytes, iconCx, iconCy, streamStart, streamLength, false, iconBitDepth);
        }
        VARIANT kind;
        ::VariantInit(&kind);
        if (FAILED(::VariantChangeType(&kind, const_cast<VARIANT*>(&ResSection), 0, VT_I2))) return false;
        static constexpr struct {
            UINT imageKind;
            int32_t pictureType;
        } kKinds[] = {{IMAGE_BITMAP, PICTYPE_BITMAP}, {IMAGE_ICON, PICTYPE_ICON}, {IMAGE_CURSOR, PICTYPE_ICON}};
        if (kind.iVal < 0 || kind.iVal > 2) return false;
        const auto& chosen = kKinds[kind.iVal];
        HANDLE handle = ::LoadImageW(module, name, chosen.imageKind, 0, 0,
                                     chosen.imageKind == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0);
        com::ComPtr<IPicture> picture = bas32bppDIBParsers::HandleToPicture(handle, chosen.pictureType);
        if (!picture) {
            if (handle && chosen.imageKind == IMAGE_BITMAP) ::DeleteObject(handle);
            else if (handle) ::DestroyIcon(static_cast<HICON>(handle));
            return false;
        }
        return LoadPicture_StdPicture(picture.get());
    } catch (...) {
        DestroyDIB();
        return false;
    }
}

bool c32bppDIB::LoadPicture_StdPicture(IPicture* Picture) {
    DestroyDIB();
    originalFormat_.clear();
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (!Picture || FAILED(Picture->get_Type(&type)) || FAILED(Picture->get_Handle(&handle))) return false;
    switch (type) {
    case PICTYPE_ICON:
        cICOparser().ConvertstdPicTo32bpp(reinterpret_cast<HICON>(static_cast<uintptr_t>(handle)), *this);
        break;
    case PICTYPE_BITMAP:
        cBMPparser().ConvertstdPicTo32bpp(nullptr, reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle)), *this, 0);
        break;
    case PICTYPE_NONE:
    case PICTYPE_UNINITIALIZED:
        break;
    default:  // metafiles
        cBMPparser().ConvertstdPicTo32bpp(Picture, nullptr, *this, 0);
        break;
    }
    return static_cast<bool>(dib_);
}

bool c32bppDIB::LoadPicture_ByHandle(HANDLE Handle) {
    DestroyDIB();
    originalFormat_.clear();
    if (!Handle) return false;
    com::ComPtr<IPicture> picture;
    switch (::GetObjectType(Handle)) {
    case OBJ_BITMAP:
        return cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(Handle), *this, 0) && dib_;
    case OBJ_ENHMETAFILE:
        picture = PictureOfMetafile(static_cast<HENHMETAFILE>(Handle));
        break;
    case OBJ_METAFILE:
        if (HENHMETAFILE enhanced = EnhancedCopyOf(static_cast<HMETAFILE>(Handle), nullptr)) {
            picture = PictureOfMetafile(enhanced);
            ::DeleteEnhMetaFile(enhanced);
        }
        break;
    default: {
        ICONINFO info{};
        if (!::GetIconInfo(static_cast<HICON>(Handle), &info)) return false;
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        return cICOparser().ConvertstdPicTo32bpp(static_cast<HICON>(Handle), *this) && dib_;
    }
    }
    return picture && LoadPicture_StdPicture(picture.get());
}

bool c32bppDIB::LoadPicture_FromOrignalFormat(int32_t iconCx, int32_t iconCy, int32_t iconBitDepth) {
    if (originalFormat_.empty()) {
        DestroyDIB();
        return false;
    }
    const std::vector<uint8_t> kept = originalFormat_;
    return LoadPicture_Stream(kept, iconCx, iconCy, 0, 0, true, iconBitDepth);
}

}  // namespace quorallion
