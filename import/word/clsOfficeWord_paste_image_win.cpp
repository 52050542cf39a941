// The picture the user copied, saved as a PNG in the job folder: the clipboard's picture formats
// in a fixed order of preference (an option can put the bitmap or "PNG" first), each through the
// converter that fits it.
#include "c32bppDIB.h"
#include "clipboard/basClipBoard.h"
#include "clipboard/clipboard_picture_holder_win.h"
#include "clipboard/clsClipboard.h"
#include "clsSaveBitmapAs.h"
#include "emf/clsEmf2Png.h"
#include "file/basFile.h"
#include "office/late_binding_win.h"
#include "public/basPublic.h"
#include "public/basPublic_win.h"
#include "win/message_pump.h"
#include "word/clsOfficeWord.h"

namespace quorallion {

namespace {

// Exact, case-sensitive: a format registered as "png" is not "PNG".
bool HasFormatNamed(const std::wstring& name) {
    clsClipboard clipboard;
    const int count = clipboard.GetCurrentFormats(nullptr);
    for (int i = 1; i <= count; ++i)
        if (clipboard.GetCurrentFormatName(i) == name) return true;
    return false;
}

// The named format's bytes loaded into an image object and saved as PNG; true only when both the
// load and the save succeeded.
bool SaveNamedFormatAsPng(const std::wstring& name, const std::wstring& outputPath) {
    std::vector<uint8_t> bytes;
    if (!basClipBoard::GetClipboardBinary(name, bytes, 0) || bytes.empty()) return false;
    c32bppDIB image;
    if (!image.LoadPicture_Stream(bytes, 32, 32, 0, 0, false, 32)) return false;
    return image.SaveToFile_PNG(outputPath, false);
}

}  // namespace

bool clsOfficeWord::WordPaste2Image(const std::wstring& options, std::wstring& image, std::wstring& errflag) {
    // 1
    win::DoEvents();
    image.clear();
    const std::wstring prior = basPublic::GetParamValue(options, L"priorformat");
    const std::wstring outputPath = context_.jobFolder + basPublic::GetTimeStamp() + L".png";
    office::ErrorState err;
    UINT chosen = 0;
    std::wstring result;

    if (prior == L"bmp" && ::IsClipboardFormatAvailable(CF_BITMAP)) {  // 2
        chosen = CF_BITMAP;
    } else if (prior == L"png" && HasFormatNamed(L"PNG")) {  // 3
        if (SaveNamedFormatAsPng(L"PNG", outputPath)) result = outputPath;
    } else if (HasFormatNamed(L"PNG+Office Art")) {  // 4.1
        if (SaveNamedFormatAsPng(L"PNG+Office Art", outputPath)) result = outputPath;
    } else if (::IsClipboardFormatAvailable(CF_BITMAP)) {  // 4.2
        chosen = CF_BITMAP;
    } else if (HasFormatNamed(L"PNG")) {  // 4.3
        if (SaveNamedFormatAsPng(L"PNG", outputPath)) result = outputPath;
    } else if (::IsClipboardFormatAvailable(CF_ENHMETAFILE)) {  // 4.4
        int32_t status = -1;
        try {
            status = clsEmf2Png().ConvertEmfClipboard2PngFile(outputPath);
        } catch (const std::exception& e) {
            const std::string what = e.what();
            err.Raise(53, std::wstring(what.begin(), what.end()));
        }
        if (status == 0 && basFile::FileExists(outputPath)) {
            win::DoEvents();
            result = outputPath;
        } else {
            chosen = CF_ENHMETAFILE;
        }
    } else if (::IsClipboardFormatAvailable(CF_METAFILEPICT)) {  // 4.5
        chosen = CF_METAFILEPICT;
    }

    // 5
    if (chosen != 0) {
        if (err.Pending()) {
            errflag = L"GDIPlus:" + err.Description();
            return false;
        }
        ClipboardPictureHolder& holder = ClipboardPictureHolder::Instance();
        if (holder.SetFromClipboard(chosen)) {
            clsSaveBitmapAs saver;
            if (saver.SavePictureFromHDC(holder.Bitmap(), outputPath) && basFile::FileExists(outputPath))
                result = outputPath;
        }
    }

    // 6
    image = result;
    return true;
}

}  // namespace quorallion
