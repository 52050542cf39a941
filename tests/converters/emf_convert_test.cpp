// clsEmf2Png in-process with QuorallionEmf beside this program, on metafiles this test records
// with GDI and GDI+: sizes, the near-white background, which player draws, a comparison with
// emf2svg and librsvg, the clipboard's three answers, corrupt blocks and a 16-bit screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "binding/converter_library_win.h"
#include "emf/clsEmf2Png.h"
#include "file/basFile.h"
#include "picture_file.h"
#include "support/unix_shell.h"
#include "support/utf8.h"
#include "tests/scratch_folder.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

constexpr uint32_t kBackground = 0xFEFFFF;  // RGB(254, 255, 255)
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00A000, kBlue = 0x0000FF;

using Bytes = std::vector<uint8_t>;

Bytes MetafileBytes(HENHMETAFILE metafile) {
    Bytes bytes(::GetEnhMetaFileBits(metafile, 0, nullptr));
    ::GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

// A GDI metafile on the screen as reference device; frame in hundredths of a millimetre,
// drawing in the screen's pixels.
Bytes RecordGdi(RECT frame, const std::function<void(HDC)>& draw) {
    HDC dc = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    draw(dc);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(dc);
    Bytes bytes = MetafileBytes(metafile);
    ::DeleteEnhMetaFile(metafile);
    return bytes;
}

void Fill(HDC dc, RECT area, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
}

COLORREF Ref(uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// 2540 x 1270 hundredths of a millimetre, a red block at pixels 10..40 x 10..30.
Bytes RedBlockEmf() {
    return RecordGdi(RECT{0, 0, 2540, 1270}, [](HDC dc) { Fill(dc, RECT{10, 10, 40, 30}, Ref(kRed)); });
}

// Recorded by GDI+: EMF+ records only, or EMF+ with their GDI equivalents. A green block at
// pixels 10..50 x 10..30 of a 100 x 50 pixel frame.
Bytes RecordGdiPlus(Gdiplus::EmfType type) {
    using namespace Gdiplus::DllExports;
    GdiPlusSession session;
    HDC screen = ::GetDC(nullptr);
    Gdiplus::GpMetafile* metafile = nullptr;
    Gdiplus::GpRectF frame(0, 0, 100, 50);
    Bytes bytes;
    if (GdipRecordMetafile(screen, type, &frame, Gdiplus::MetafileFrameUnitPixel, L"test", &metafile) == Gdiplus::Ok) {
        Gdiplus::GpGraphics* graphics = nullptr;
        Gdiplus::GpSolidFill* brush = nullptr;
        GdipGetImageGraphicsContext(metafile, &graphics);
        GdipCreateSolidFill(0xFF000000 | kGreen, &brush);
        GdipFillRectangleI(graphics, brush, 10, 10, 40, 20);
        GdipDeleteBrush(brush);
        GdipDeleteGraphics(graphics);
        HENHMETAFILE handle = nullptr;
        if (GdipGetHemfFromMetafile(metafile, &handle) == Gdiplus::Ok) {
            bytes = MetafileBytes(handle);
            ::DeleteEnhMetaFile(handle);
        }
        GdipDisposeImage(metafile);
    }
    ::ReleaseDC(nullptr, screen);
    return bytes;
}

class EmfToPng : public ::testing::Test {
protected:
    std::wstring Png(const std::wstring& name) const { return scratch_.path() + name + L".png"; }

    ScratchFolder scratch_;
    clsEmf2Png converter_;
};

// Empties the clipboard and puts the metafile there, when one is given.
bool PutMetafileOnClipboard(HENHMETAFILE metafile) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const bool put = !metafile || ::SetClipboardData(CF_ENHMETAFILE, metafile) != nullptr;
    ::CloseClipboard();
    return put;
}

}  // namespace

TEST_F(EmfToPng, GdiFrameSizeBackgroundAndShapes) {
    const std::wstring png = Png(L"red");
    ASSERT_EQ(converter_.ConvertEmfByte2PngFile(RedBlockEmf(), png), 0);
    std::optional<Picture> picture = ReadPicture(png);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 96);  // 2540 units count 2541: one inch at 96 dots per inch
    EXPECT_EQ(picture->height, 48);
    EXPECT_EQ(Rgb(picture->At(25, 20)), kRed);
    EXPECT_EQ(Rgb(picture->At(80, 40)), kBackground) << std::hex << picture->At(80, 40);
    EXPECT_EQ(Rgb(picture->At(0, 0)), kBackground);

    // The same through a file, and a frame of nothing still gives a picture.
    const std::wstring emf = scratch_.Write(L"red.emf", RedBlockEmf());
    ASSERT_EQ(converter_.ConvertEmfFile2PngFile(emf, Png(L"red-file")), 0);
    EXPECT_EQ(MismatchShare(*picture, *ReadPicture(Png(L"red-file")), 0), 0.0);

    ASSERT_EQ(converter_.ConvertEmfByte2PngFile(RecordGdi(RECT{0, 0, 0, 0}, [](HDC) {}), Png(L"dot")), 0);
    std::optional<Picture> dot = ReadPicture(Png(L"dot"));
    ASSERT_TRUE(dot);
    EXPECT_EQ(dot->width, 1);
    EXPECT_EQ(dot->height, 1);
}

TEST_F(EmfToPng, EmfPlusRecordsAreDrawnByGdiPlus) {
    for (Gdiplus::EmfType type : {Gdiplus::EmfTypeEmfPlusOnly, Gdiplus::EmfTypeEmfPlusDual}) {
        const Bytes bytes = RecordGdiPlus(type);
        ASSERT_FALSE(bytes.empty()) << type;
        const std::wstring png = Png(L"plus" + std::to_wstring(type));
        ASSERT_EQ(converter_.ConvertEmfByte2PngFile(bytes, png), 0) << type;
        std::optional<Picture> picture = ReadPicture(png);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width, 100) << type;
        EXPECT_EQ(picture->height, 50) << type;
        EXPECT_EQ(Rgb(picture->At(30, 20)), kGreen) << type << std::hex << " " << picture->At(30, 20);
        EXPECT_EQ(Rgb(picture->At(80, 40)), kBackground) << type;
    }
    // GDI's player alone leaves an EMF+-only picture empty: the green above came from GDI+.
    HENHMETAFILE plusOnly = ::SetEnhMetaFileBits(static_cast<UINT>(RecordGdiPlus(Gdiplus::EmfTypeEmfPlusOnly).size()),
                                                 RecordGdiPlus(Gdiplus::EmfTypeEmfPlusOnly).data());
    HDC dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 100, -50, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, section);
    Fill(dc, RECT{0, 0, 100, 50}, Ref(kBackground));
    RECT area{0, 0, 100, 50};
    ::PlayEnhMetaFile(dc, plusOnly, &area);
    ::GdiFlush();
    EXPECT_EQ(bits[20 * 100 + 30] & 0xFFFFFF, kBackground);
    ::SelectObject(dc, old);
    ::DeleteObject(section);
    ::DeleteDC(dc);
    ::DeleteEnhMetaFile(plusOnly);
}

// emf2svg-conv and rsvg-convert as a second opinion on a metafile of shapes. emf2svg crops its
// picture to what is drawn, so the frame's corners are marked.
TEST_F(EmfToPng, ShapesMatchEmf2SvgAndLibrsvg) {
    const Bytes shapes = RecordGdi(RECT{0, 0, 5080, 2540}, [](HDC dc) {
        for (RECT corner : {RECT{0, 0, 4, 4}, RECT{188, 0, 192, 4}, RECT{0, 92, 4, 96}, RECT{188, 92, 192, 96}})
            Fill(dc, corner, RGB(0, 0, 0));
        Fill(dc, RECT{20, 20, 90, 70}, Ref(kBlue));
        HBRUSH red = ::CreateSolidBrush(Ref(kRed));
        HGDIOBJ oldBrush = ::SelectObject(dc, red);
        HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        ::Ellipse(dc, 100, 10, 180, 80);
        ::SelectObject(dc, oldPen);
        ::SelectObject(dc, oldBrush);
        ::DeleteObject(red);
        Fill(dc, RECT{10, 80, 180, 86}, Ref(kGreen));
    });
    const std::wstring emf = scratch_.Write(L"shapes.emf", shapes);
    ASSERT_EQ(converter_.ConvertEmfFile2PngFile(emf, Png(L"shapes")), 0);
    std::optional<Picture> ours = ReadPicture(Png(L"shapes"));
    ASSERT_TRUE(ours);
    ASSERT_EQ(ours->width, 192);
    ASSERT_EQ(ours->height, 96);

    std::optional<std::string> unixEmf = UnixPath(emf), svg = UnixPath(scratch_.path() + L"shapes.svg"),
                               reference = UnixPath(Png(L"reference"));
    ASSERT_TRUE(unixEmf && svg && reference);
    std::optional<int> status = RunUnixScript(
        "emf2svg-conv -i " + ShellQuote(*unixEmf) + " -o " + ShellQuote(*svg) + " && rsvg-convert -b '#FEFFFF' -w 192 -h 96 -o " +
        ShellQuote(*reference) + " " + ShellQuote(*svg));
    ASSERT_EQ(status.value_or(-1), 0) << "emf2svg-conv or rsvg-convert failed";
    std::optional<Picture> theirs = ReadPicture(Png(L"reference"));
    ASSERT_TRUE(theirs);
    // Edges are smoothed by librsvg and not by GDI: a few per cent of pixels may differ.
    EXPECT_LT(MismatchShare(*ours, *theirs, 60), 0.04);
    EXPECT_EQ(Rgb(ours->At(50, 45)), kBlue);
    EXPECT_EQ(Rgb(ours->At(140, 45)), kRed);
    EXPECT_EQ(Rgb(ours->At(95, 83)), kGreen);
}

TEST_F(EmfToPng, CorruptOrMissingInputsGiveOneAtOnce) {
    Bytes sizeFour = RedBlockEmf();  // the second record's size set to 4: GDI's player never returns
    const uint32_t headerSize = sizeFour[4] | (sizeFour[5] << 8);
    sizeFour[headerSize + 4] = 4;
    sizeFour[headerSize + 5] = sizeFour[headerSize + 6] = sizeFour[headerSize + 7] = 0;
    Bytes pastEnd = RedBlockEmf();
    pastEnd[headerSize + 6] = 0x7F;
    Bytes truncated = RedBlockEmf();
    truncated.resize(truncated.size() - 8);
    const std::string text = "This is text, not a metafile, but long enough to look like one.....";
    const std::vector<std::pair<const char*, Bytes>> blocks = {
        {"record of size 4", sizeFour}, {"record past the end", pastEnd},
        {"truncated", truncated},       {"text", Bytes(text.begin(), text.end())},
        {"one byte", Bytes{1}},
    };
    for (const auto& [what, bytes] : blocks) {
        EXPECT_EQ(converter_.ConvertEmfByte2PngFile(bytes, Png(L"bad")), 1) << what;
        EXPECT_EQ(converter_.ConvertEmfFile2PngFile(scratch_.Write(L"bad.emf", bytes), Png(L"bad")), 1) << what;
        EXPECT_FALSE(basFile::FileExists(Png(L"bad"))) << what;
    }
    EXPECT_EQ(converter_.ConvertEmfFile2PngFile(scratch_.path() + L"missing.emf", Png(L"bad")), 1);
    // Only exactly "clipboard" means the clipboard: "Clipboard" is a file name.
    EXPECT_EQ(converter_.ConvertEmfFile2PngFile(L"Clipboard", Png(L"bad")), 1);
    // An empty block never reaches the library: even a missing one gives 1.
    EXPECT_EQ(clsEmf2Png(L"NoSuchQuorallionEmf.dll").ConvertEmfByte2PngFile({}, Png(L"bad")), 1);
}

namespace {

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

// The red block with `entries` palette colours in its end record, as a program that realised a
// palette while recording writes them.
Bytes WithPalette(Bytes emf, uint32_t entries) {
    constexpr size_t kEndSize = 20;
    emf.resize(emf.size() - kEndSize);
    const size_t end = emf.size();
    emf.resize(end + kEndSize + entries * 4);
    Put32(emf, end, EMR_EOF);
    Put32(emf, end + 4, uint32_t(kEndSize + entries * 4));
    Put32(emf, end + 8, entries);
    Put32(emf, end + 12, 16);
    for (uint32_t i = 0; i < entries; ++i) Put32(emf, end + 16 + i * 4, i * 0x00101010u);  // greys
    Put32(emf, emf.size() - 4, uint32_t(kEndSize + entries * 4));
    Put32(emf, 48, uint32_t(emf.size()));  // nBytes
    Put32(emf, 68, entries);                // nPalEntries
    return emf;
}

// The red block on a reference device of `pixels` square at 96 dots per inch, with a frame as
// large.
Bytes OnDeviceOf(int32_t pixels) {
    Bytes emf = RedBlockEmf();
    const int32_t millimetres = int32_t(pixels * 25.4 / 96 + 0.5);
    Put32(emf, 24, 0);
    Put32(emf, 28, 0);
    Put32(emf, 32, uint32_t(int64_t(pixels) * 2540 / 96));
    Put32(emf, 36, uint32_t(int64_t(pixels) * 2540 / 96));
    for (size_t at : {72, 76}) Put32(emf, at, uint32_t(pixels));
    for (size_t at : {80, 84}) Put32(emf, at, uint32_t(millimetres));
    return emf;
}

}  // namespace

// Of the codes for a step that failed after the metafile was read, 2 (no surface) and 6 (not
// saved) can be brought about from outside. 3 needs a drawing call that fails on a well-formed
// metafile, which neither Wine's player nor its GDI+ does; 4 and 5 concern handles the call made
// itself a moment before.
TEST_F(EmfToPng, ResultCodesOfLaterStepsAndAMetafileWithAPalette) {
    const Bytes palette = WithPalette(RedBlockEmf(), 16);
    HENHMETAFILE handle = ::SetEnhMetaFileBits(UINT(palette.size()), palette.data());
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(::GetEnhMetaFilePaletteEntries(handle, 0, nullptr), 16u) << "the fixture carries its palette";
    // Wine gives the count but answers GDI_ERROR for the entries themselves, so the surface gets no
    // palette there; where the entries come, it is selected into the memory DC.
    PALETTEENTRY entries[16] = {};
    if (::GetEnhMetaFilePaletteEntries(handle, 16, entries) != 16)
        std::printf("[ NOTE ] the platform lists no palette entries of a metafile: none is selected\n");
    ::DeleteEnhMetaFile(handle);
    ASSERT_EQ(converter_.ConvertEmfByte2PngFile(palette, Png(L"palette")), 0);
    std::optional<Picture> picture = ReadPicture(Png(L"palette"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 96);
    EXPECT_EQ(Rgb(picture->At(25, 20)), kRed) << "a palette of greys changes no colour of the 24-bit surface";
    EXPECT_EQ(Rgb(picture->At(80, 40)), kBackground) << std::hex << picture->At(80, 40);

    struct Case {
        const char* what;
        Bytes emf;
        std::wstring png;
        int32_t code;
    };
    const Case cases[] = {
        {"a 2,000-pixel device: drawn", OnDeviceOf(2000), Png(L"device"), 0},
        {"a 50,000-pixel square needs 10 GB: no surface", OnDeviceOf(50000), Png(L"huge"), 2},
        {"a PNG in a folder that does not exist: not saved", RedBlockEmf(), scratch_.path() + L"none\\red.png", 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(converter_.ConvertEmfByte2PngFile(c.emf, c.png), c.code) << c.what;
        EXPECT_EQ(basFile::FileExists(c.png), c.code == 0) << c.what;
    }
}

// A metafile block too large for the memory left raises inside the library; the export answers 1
// (the source cannot be read) and lets nothing through. QuorallionEmfAllocationFault.dll is the
// library built with a block allocation that always fails; bytes from the caller need none.
TEST_F(EmfToPng, AFailedAllocationAnswersOneAndRaisesNothing) {
    HMODULE library = ::LoadLibraryW(L"QuorallionEmfAllocationFault.dll");
    ASSERT_NE(library, nullptr);
    using ConvertCall = int32_t(WINAPI*)(const wchar_t*, const BYTE*, int32_t, const wchar_t*);
    const auto convert = reinterpret_cast<ConvertCall>(reinterpret_cast<void*>(::GetProcAddress(library, "ConvertEmf2Png")));
    ASSERT_NE(convert, nullptr);
    auto call = [&](const wchar_t* source, const Bytes& bytes, const std::wstring& png) -> int32_t {
        try {
            return convert(source, bytes.data(), int32_t(bytes.size()), png.c_str());
        } catch (...) {
            ADD_FAILURE() << "an exception left ConvertEmf2Png";
            return -1;
        }
    };
    const Bytes red = RedBlockEmf();
    const std::wstring emf = scratch_.Write(L"red.emf", red);
    EXPECT_EQ(call(emf.c_str(), {}, Png(L"from-file")), 1);
    ASSERT_TRUE(PutMetafileOnClipboard(::SetEnhMetaFileBits(UINT(red.size()), red.data())));
    EXPECT_EQ(call(L"clipboard", {}, Png(L"from-clipboard")), 1);
    EXPECT_FALSE(basFile::FileExists(Png(L"from-file")));
    EXPECT_FALSE(basFile::FileExists(Png(L"from-clipboard")));
    EXPECT_EQ(call(L"", red, Png(L"from-bytes")), 0);
    ASSERT_TRUE(PutMetafileOnClipboard(nullptr));
    ::FreeLibrary(library);
}

TEST_F(EmfToPng, MissingLibraryRaisesTypedError) {
    clsEmf2Png missing(L"NoSuchQuorallionEmf.dll");
    EXPECT_THROW(missing.ConvertEmfFile2PngFile(L"C:\\a.emf", Png(L"x")), ConverterBindError);
    EXPECT_THROW(missing.ConvertEmfByte2PngFile(RedBlockEmf(), Png(L"x")), ConverterBindError);
    EXPECT_THROW(missing.ConvertEmfClipboard2PngFile(Png(L"x")), ConverterBindError);
    EXPECT_THROW(clsEmf2Png(L"QuorallionPdf.dll").ConvertEmfClipboard2PngFile(Png(L"x")), ConverterBindError);
}

TEST_F(EmfToPng, ClipboardMetafileNoneAndHeldOpen) {
    const Bytes red = RedBlockEmf();
    ASSERT_TRUE(PutMetafileOnClipboard(::SetEnhMetaFileBits(static_cast<UINT>(red.size()), red.data())));
    ASSERT_EQ(converter_.ConvertEmfClipboard2PngFile(Png(L"clip")), 0);
    std::optional<Picture> picture = ReadPicture(Png(L"clip"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(Rgb(picture->At(25, 20)), kRed);
    EXPECT_EQ(Rgb(picture->At(80, 40)), kBackground);

    // Another program put a metafile with a forged record there: its copy is walked too.
    Bytes forged = red;
    forged[(red[4] | (red[5] << 8)) + 4] = 4;
    for (size_t i = 5; i < 8; ++i) forged[(red[4] | (red[5] << 8)) + i] = 0;
    if (HENHMETAFILE handle = ::SetEnhMetaFileBits(static_cast<UINT>(forged.size()), forged.data())) {
        ASSERT_TRUE(PutMetafileOnClipboard(handle));
        EXPECT_EQ(converter_.ConvertEmfClipboard2PngFile(Png(L"forged")), 1);
    }

    ASSERT_TRUE(PutMetafileOnClipboard(nullptr));
    EXPECT_EQ(converter_.ConvertEmfClipboard2PngFile(Png(L"none")), 1);

    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Held by a window of another thread, as another program holds it.
    std::thread holder([&] {
        HWND window = ::CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        const bool held = ::OpenClipboard(window);
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 30000);
        if (held) ::CloseClipboard();
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(opened, 30000);
    EXPECT_EQ(converter_.ConvertEmfClipboard2PngFile(Png(L"busy")), 10);
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);
    EXPECT_FALSE(basFile::FileExists(Png(L"busy")));
}

// A 16-bit screen would turn RGB(254, 255, 255) white in a screen-compatible copy. Wine's
// processes share one screen per prefix, so the conversion runs in this program again under a
// prefix of its own (made once, beside the project's) on a second Xvfb at 16 bits.
TEST_F(EmfToPng, SixteenBitScreenKeepsTheBackground) {
    const char* wine = std::getenv("QUORALLION_WINE");
    const char* prefix = std::getenv("WINEPREFIX");
    if (!wine || !prefix) GTEST_SKIP() << "QUORALLION_WINE and WINEPREFIX are not set: not run by the project's scripts";
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring emf = scratch_.Write(L"red.emf", RedBlockEmf());
    std::optional<std::string> unixSelf = UnixPath(self), unixEmf = UnixPath(emf),
                               log = UnixPath(scratch_.path() + L"shallow.log");
    ASSERT_TRUE(unixSelf && unixEmf && log);
    std::optional<int> status = RunUnixScript(
        "exec >" + ShellQuote(*log) + " 2>&1 </dev/null\n"
        "for n in $(seq 150 199); do\n"
        "  [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue\n"
        "  Xvfb :$n -screen 0 640x480x16 -nolisten tcp &\n"
        "  xvfb=$!; break\n"
        "done\n"
        "[ -n \"$xvfb\" ] || exit 2\n"
        "for i in $(seq 1 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done\n"
        "export DISPLAY=:$n WINEPREFIX=" + ShellQuote(std::string(prefix) + "-16bit") + "\n"
        "[ -f \"$WINEPREFIX/system.reg\" ] || { " + ShellQuote(wine) + " wineboot --init; wineserver -w; }\n"
        "QUORALLION_SHALLOW_EMF=" + ShellQuote("Z:" + *unixEmf) + " " + ShellQuote(wine) + " " + ShellQuote(*unixSelf) +
        " --gtest_also_run_disabled_tests --gtest_filter=ShallowScreen.DISABLED_ConvertsFromFile\n"
        "rc=$?\nwineserver -k\nkill $xvfb\nexit $rc");
    EXPECT_EQ(status.value_or(-1), 0) << "the run on the 16-bit screen failed:\n"
                                      << ReadBytes(scratch_.path() + L"shallow.log").value_or("");
    std::optional<Picture> picture = ReadPicture(emf + L".png");
    ASSERT_TRUE(picture) << "no PNG from the 16-bit screen";
    EXPECT_EQ(Rgb(picture->At(80, 40)), kBackground) << std::hex << picture->At(80, 40);
    EXPECT_EQ(Rgb(picture->At(25, 20)), kRed);
}

// Run only by the test above, on the 16-bit screen.
TEST(ShallowScreen, DISABLED_ConvertsFromFile) {
    wchar_t emf[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"QUORALLION_SHALLOW_EMF", emf, MAX_PATH), 0u);
    // Z: paths: the folder belongs to the caller's prefix, whose drive C: this one does not see.
    HDC screen = ::GetDC(nullptr);
    const int depth = ::GetDeviceCaps(screen, BITSPIXEL);
    ::ReleaseDC(nullptr, screen);
    ASSERT_EQ(depth, 16) << "not on the 16-bit screen";
    EXPECT_EQ(clsEmf2Png().ConvertEmfFile2PngFile(emf, std::wstring(emf) + L".png"), 0);
}
