// Prints what the converters cost: "pdf2image" seconds per page (20 A4 pages, bl 100 and 200)
// through clsPdf, QuorallionPdf and the Ghostscript stand-in, beside Linux gs with the same
// arguments and Poppler's pdftoppm; ConvertEmf2Png per second beside bare GDI playback plus a
// GDI+ PNG save. Run under Wine from the build's bin folder: wine64 converters_bench.exe
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "emf/clsEmf2Png.h"
#include "file/basFile.h"
#include "pdf/clsPdf.h"
#include "pdf_samples.h"
#include "picture_file.h"
#include "support/unix_shell.h"
#include "tests/scratch_folder.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

constexpr int kPages = 20;
constexpr int kEmfRounds = 200;

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring NewFolder(const std::wstring& parent, const std::wstring& name) {
    const std::wstring folder = parent + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void PdfFigures(const ScratchFolder& scratch) {
    const std::wstring pdf = scratch.path() + L"twenty.pdf";
    if (!MakeSamplePdf(pdf, kPages)) {
        std::printf("pdf2image: ps2pdf could not make the sample\n");
        return;
    }
    for (int bl : {100, 200}) {
        const std::wstring folder = NewFolder(scratch.path(), L"bl" + std::to_wstring(bl));
        clsPdf worker(JobContext{L"20240101000000000100", folder, std::make_shared<JobToken>()});
        std::wstring html, errflag;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = worker.Pdf2Html(pdf, L"bl:" + std::to_wstring(bl), html, errflag);
        const double seconds = Seconds(start);
        std::printf("pdf2image bl %d (192 dpi): %s, %.3f s per page, %.2f s for %d pages\n", bl, ok ? "ok" : "failed",
                    seconds / kPages, seconds, kPages);
    }
    const std::wstring gsFolder = NewFolder(scratch.path(), L"gs"), ppmFolder = NewFolder(scratch.path(), L"ppm");
    std::optional<std::string> unixPdf = UnixPath(pdf), gsOut = UnixPath(gsFolder + L"x"), ppmOut = UnixPath(ppmFolder + L"p");
    if (!unixPdf || !gsOut || !ppmOut) return;
    gsOut->pop_back();
    auto start = std::chrono::steady_clock::now();
    RunUnixScript("gs -dNOPAUSE -dBATCH -dUseCropBox -sDEVICE=png16m -dJPEGQ=100 -dSAFER -r192 -sOutputFile=" +
                  ShellQuote(*gsOut + "%d.png") +
                  " -dTextAlphaBits=4 -dGraphicsAlphaBits=4 -dMaxBitmap=500000000 -dAlignToPixels=0 -dGridFitTT=2"
                  " -dDOINTERPOLATE " + ShellQuote(*unixPdf) + " >/dev/null 2>&1");
    double seconds = Seconds(start);
    std::printf("native gs, same arguments (192 dpi): %.3f s per page, %.2f s\n", seconds / kPages, seconds);
    start = std::chrono::steady_clock::now();
    RunUnixScript("pdftoppm -png -r 192 " + ShellQuote(*unixPdf) + " " + ShellQuote(*ppmOut));
    seconds = Seconds(start);
    std::printf("pdftoppm (192 dpi): %.3f s per page, %.2f s\n", seconds / kPages, seconds);
}

std::vector<uint8_t> ShapesEmf() {
    RECT frame{0, 0, 10160, 7620};  // 4 x 3 inches
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    for (int i = 0; i < 40; ++i) {
        HBRUSH brush = ::CreateSolidBrush(RGB(i * 6, 255 - i * 6, 128));
        HGDIOBJ old = ::SelectObject(dc, brush);
        ::Ellipse(dc, i * 8, i * 5, i * 8 + 90, i * 5 + 60);
        ::SelectObject(dc, old);
        ::DeleteObject(brush);
    }
    ::TextOutW(dc, 20, 250, L"Quorallion", 10);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(dc);
    std::vector<uint8_t> bytes(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    ::DeleteEnhMetaFile(metafile);
    return bytes;
}

// The same work without the library's checks: play into a 24-bit section, save it with GDI+.
bool BarePlayAndSave(const std::vector<uint8_t>& bytes, int width, int height, const std::wstring& png,
                     const CLSID& encoder) {
    using namespace Gdiplus::DllExports;
    HENHMETAFILE metafile = ::SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP section = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, section);
    RECT area{0, 0, width, height};
    ::PlayEnhMetaFile(dc, metafile, &area);
    ::SelectObject(dc, old);
    Gdiplus::GpBitmap* bitmap = nullptr;
    bool saved = GdipCreateBitmapFromHBITMAP(section, nullptr, &bitmap) == Gdiplus::Ok &&
                 GdipSaveImageToFile(bitmap, png.c_str(), &encoder, nullptr) == Gdiplus::Ok;
    if (bitmap) GdipDisposeImage(bitmap);
    ::DeleteObject(section);
    ::DeleteDC(dc);
    ::DeleteEnhMetaFile(metafile);
    return saved;
}

void EmfFigures(const ScratchFolder& scratch) {
    const std::vector<uint8_t> bytes = ShapesEmf();
    const std::wstring png = scratch.path() + L"shapes.png";
    clsEmf2Png converter;
    int failures = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kEmfRounds; ++i) failures += converter.ConvertEmfByte2PngFile(bytes, png) != 0;
    double seconds = Seconds(start);
    std::optional<Picture> picture = ReadPicture(png);
    const int width = picture ? picture->width : 0, height = picture ? picture->height : 0;
    std::printf("ConvertEmf2Png (%d x %d, %zu bytes): %.1f per second (%d failed)\n", width, height, bytes.size(),
                kEmfRounds / seconds, failures);

    GdiPlusSession session;
    UINT count = 0, size = 0;
    Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
    std::vector<uint8_t> list(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(list.data());
    Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs);
    CLSID encoder{};
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == L"image/png") encoder = codecs[i].Clsid;
    failures = 0;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < kEmfRounds; ++i) failures += !BarePlayAndSave(bytes, width, height, png, encoder);
    seconds = Seconds(start);
    std::printf("bare playback + GDI+ save: %.1f per second (%d failed)\n", kEmfRounds / seconds, failures);
}

}  // namespace

int main() {
    ScratchFolder scratch;
    PdfFigures(scratch);
    EmfFigures(scratch);
    return 0;
}
