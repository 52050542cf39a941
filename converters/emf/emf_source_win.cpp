// The metafile of one conversion: copied from the clipboard, made from the caller's bytes or read
// from a file. Each block is walked record by record before GDI gets it.
#include <cwchar>
#include <vector>

#include "emf_module_win.h"
#include "emf_records.h"

namespace quorallion::emf {

namespace {

// Files larger than this are no metafile any program here would draw.
constexpr LONGLONG kMaxFileBytes = 0x7FFFFFFF;

std::vector<BYTE> ReadWholeFile(const wchar_t* path) {
    win::UniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes)
        return {};
    std::vector<BYTE> bytes = AllocateMetafileBlock(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        return {};
    }
    return bytes;
}

// The copy's own bytes, walked like any other block (another program put them there).
UniqueEnhMetaFile CheckedCopy(HENHMETAFILE copy) {
    UniqueEnhMetaFile owned(copy);
    const UINT size = ::GetEnhMetaFileBits(copy, 0, nullptr);
    if (size == 0) return {};
    std::vector<BYTE> bytes = AllocateMetafileBlock(size);
    if (::GetEnhMetaFileBits(copy, size, bytes.data()) != size ||
        !IsWellFormedEmf(bytes.data(), bytes.size())) {
        return {};
    }
    return owned;
}

}  // namespace

UniqueEnhMetaFile EmfFromCheckedBytes(const BYTE* bytes, size_t size) {
    if (!bytes || size == 0 || size > static_cast<size_t>(kMaxFileBytes) || !IsWellFormedEmf(bytes, size))
        return {};
    return UniqueEnhMetaFile(::SetEnhMetaFileBits(static_cast<UINT>(size), bytes));
}

Source OpenEmfSource(const wchar_t* source, const BYTE* bytes, int32_t byteCount) {
    Source result;
    if (!source) return result;
    if (wcscmp(source, L"clipboard") == 0) {
        if (!::OpenClipboard(nullptr)) {
            result.outcome = SourceOutcome::ClipboardBusy;
            return result;
        }
        HENHMETAFILE copy = nullptr;
        // The clipboard's handle is the system's: only its copy leaves the open clipboard.
        if (HANDLE held = ::GetClipboardData(CF_ENHMETAFILE))
            copy = ::CopyEnhMetaFileW(static_cast<HENHMETAFILE>(held), nullptr);
        ::CloseClipboard();
        if (copy) result.metafile = CheckedCopy(copy);
    } else if (*source == L'\0') {
        if (byteCount > 0) result.metafile = EmfFromCheckedBytes(bytes, static_cast<size_t>(byteCount));
    } else {
        const std::vector<BYTE> file = ReadWholeFile(source);
        result.metafile = EmfFromCheckedBytes(file.data(), file.size());
    }
    if (result.metafile) result.outcome = SourceOutcome::Ok;
    return result;
}

}  // namespace quorallion::emf
