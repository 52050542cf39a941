#include "cPNGparser.h"

#include <algorithm>

#include "c32bppDIB.h"
#include "dib_fill_win.h"
#include "gdiplus/cGDIPlus.h"
#include "png_read.h"
#include "zlib_binding_win.h"

namespace quorallion {
namespace {

// A file read chunk by chunk: only the chunk asked for, or the block of the file around it, is in
// memory. Small reads come from one 64 KiB block read ahead, so that a walk over many small chunks
// costs one system call per block rather than two per chunk.
class FileChunkSource final : public codecs::PngChunkSource {
public:
    FileChunkSource(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    uint64_t Size() const override { return size_; }
    codecs::ByteSpan Read(uint64_t offset, size_t count) override {
        if (offset > size_ || count > size_ - offset) return {};
        if (offset >= blockStart_ && offset - blockStart_ <= block_.size() && count <= block_.size() - (offset - blockStart_))
            return codecs::ByteSpan(block_.data() + (offset - blockStart_), count);
        const size_t length = count <= kBlock ? static_cast<size_t>(std::min<uint64_t>(kBlock, size_ - offset)) : count;
        block_.clear();
        std::vector<uint8_t> bytes(length);
        if (!ReadAt(offset, bytes)) return {};
        block_ = std::move(bytes);
        blockStart_ = offset;
        return codecs::ByteSpan(block_.data(), count);
    }

private:
    static constexpr size_t kBlock = 64 * 1024;

    bool ReadAt(uint64_t offset, std::vector<uint8_t>& bytes) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (!::SetFilePointerEx(file_, at, nullptr, FILE_BEGIN)) return false;
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD got = 0;
            const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            if (!::ReadFile(file_, bytes.data() + done, ask, &got, nullptr) || got == 0) return false;
            done += got;
        }
        return true;
    }

    HANDLE file_;
    uint64_t size_;
    std::vector<uint8_t> block_;
    uint64_t blockStart_ = 0;
};

// The own decoder after GDI+ declined: the image, ImageType 10, or no image.
void DecodeOwn(codecs::PngChunkSource& source, c32bppDIB& cHost) {
    codecs::PixelBuffer pixels;
    int32_t alphaKind = 0;
    if (codecs::DecodePng(source, codecs::LoadZlibForReading(), pixels, alphaKind) != codecs::CodecResult::Ok ||
        !codecs::FillImage(cHost, pixels, 10, alphaKind))
        cHost.DestroyDIB();
}

}  // namespace

bool cPNGparser::LoadStream(const std::vector<uint8_t>& inStream, c32bppDIB& cHost, int64_t streamOffset,
                            int64_t streamLength, ULONG_PTR& gdiToken) {
    const codecs::ByteSpan bytes = codecs::RangeOf(inStream, streamOffset, streamLength);
    if (!codecs::IsPngSignature(bytes)) return false;
    codecs::PngMemorySource source(bytes);
    // GDI+ first, except for a file of far more chunks than real ones: it spends about a
    // millisecond on each under Wine, the own walk microseconds.
    manyChunks_ = codecs::HasFarMoreChunksThanRealFiles(source);
    if (!manyChunks_) {
        cGDIPlus gdip;  // with exactly the caller's range
        if (gdip.LoadImageWithGDIplus(L"", bytes.data(), bytes.size(), cHost, gdiToken)) {
            cHost.ImageType(10);
            return true;
        }
    }
    DecodeOwn(source, cHost);
    return true;  // a PNG, decoded or not
}

bool cPNGparser::LoadFile(HANDLE fileHandle, const std::wstring& FileName, c32bppDIB& cHost, ULONG_PTR& gdiToken) {
    LARGE_INTEGER size{};
    if (fileHandle == INVALID_HANDLE_VALUE || !::GetFileSizeEx(fileHandle, &size) || size.QuadPart < 0) return false;
    FileChunkSource source(fileHandle, static_cast<uint64_t>(size.QuadPart));
    // Files of 56 bytes or fewer are not tested for the signature: only GDI+ may take them.
    const bool signature = size.QuadPart > 56 && codecs::IsPngSignature(source.Read(0, 8));
    if (size.QuadPart > 56 && !signature) return false;
    manyChunks_ = signature && codecs::HasFarMoreChunksThanRealFiles(source);
    if (!manyChunks_) {
        cGDIPlus gdip;
        if (gdip.LoadImageWithGDIplus(FileName, nullptr, 0, cHost, gdiToken)) {
            cHost.ImageType(10);
            return true;
        }
    }
    if (!signature) return false;
    DecodeOwn(source, cHost);
    return true;
}

}  // namespace quorallion
