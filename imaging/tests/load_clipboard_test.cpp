// Pictures and file lists taken from the real clipboard and from the clipboard's data object, put
// there the way other programs put them.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include "c32bppDIB.h"
#include "clipboard/clipboard_fill.h"
#include "support/imagemagick.h"

using namespace quorallion;
using namespace quorallion::testing;

namespace {

// Puts one handle (a bitmap or a metafile, which the system then owns) on an emptied clipboard.
bool PutHandle(UINT format, HANDLE handle) {
    if (!OpenClipboardPatiently()) return false;
    const bool ok = ::EmptyClipboard() && ::SetClipboardData(format, handle);
    ::CloseClipboard();
    return ok;
}

// A device-independent bitmap block: 40-byte header then 32-bit rows, bottom row first.
std::string Dib32(int32_t width, int32_t height, uint32_t pixel) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::string block(reinterpret_cast<const char*>(&header), sizeof header);
    for (int i = 0; i < width * height; ++i) block.append(reinterpret_cast<const char*>(&pixel), 4);
    return block;
}

HENHMETAFILE RedSquareMetafile() {
    RECT frame{0, 0, 2540, 2540};
    HDC recorder = ::CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT square{0, 0, 20, 20};
    ::FillRect(recorder, &square, red);
    ::DeleteObject(red);
    return ::CloseEnhMetaFile(recorder);
}

// The file-drop block of paths: wide (UTF-16) or in the ANSI code page.
std::string DropBlock(const std::vector<std::wstring>& paths, bool wide) {
    std::string block(20, '\0');
    block[0] = 20;
    block[16] = wide ? 1 : 0;
    for (const std::wstring& path : paths) {
        if (wide) {
            block += Utf16Block(path);
        } else {
            std::string ansi(path.begin(), path.end());
            block += ansi + '\0';
        }
    }
    block += wide ? std::string(2, '\0') : std::string(1, '\0');
    return block;
}

class ClipboardLoads : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EmptyTheClipboard()); }
    void TearDown() override { EmptyTheClipboard(); }
};

}  // namespace

TEST_F(ClipboardLoads, BitmapDibAndMetafilesAreCopiedAndTheClipboardClosed) {
    // A bitmap drawn with GDI, compatible with the screen.
    HDC screen = ::GetDC(nullptr);
    HBITMAP drawn = ::CreateCompatibleBitmap(screen, 6, 4);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ previous = ::SelectObject(dc, drawn);
    RECT all{0, 0, 6, 4}, left{0, 0, 3, 4};
    HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255)), green = ::CreateSolidBrush(RGB(0, 255, 0));
    ::FillRect(dc, &all, blue);
    ::FillRect(dc, &left, green);
    ::SelectObject(dc, previous);
    ::DeleteObject(blue);
    ::DeleteObject(green);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ASSERT_TRUE(PutHandle(CF_BITMAP, drawn));

    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.ImageType(), 1);
    EXPECT_EQ(image.Alpha(), 0);
    int32_t alpha = 0;
    EXPECT_EQ(image.GetPixel(0, 0, alpha), 0x00FF00);
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(image.GetPixel(5, 3, alpha), 0xFF0000);
    ASSERT_TRUE(::OpenClipboard(nullptr)) << "the clipboard is closed again";
    ::CloseClipboard();

    // Straight partial alpha in a 32-bit device-independent bitmap: the system's bitmap keeps it.
    ASSERT_TRUE(FillClipboard({{CF_DIB, Dib32(3, 2, 0x80FF8000)}}));  // red 255, green 128 at alpha 128
    ASSERT_TRUE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.ImageType(), 6);
    EXPECT_EQ(image.Alpha(), 2);
    EXPECT_EQ(image.GetPixel(1, 1, alpha, true), 0x004080);
    EXPECT_EQ(alpha, 128);

    ASSERT_TRUE(PutHandle(CF_ENHMETAFILE, RedSquareMetafile()));
    ASSERT_TRUE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.ImageType(), 4);
    EXPECT_EQ(image.GetPixel(0, 0, alpha), 0x0000FF);

    EXPECT_TRUE(EmptyTheClipboard());
    EXPECT_FALSE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.Handle(), nullptr);
}

TEST_F(ClipboardLoads, MetafilePictureAlone) {
    HENHMETAFILE enhanced = RedSquareMetafile();
    HDC screen = ::GetDC(nullptr);
    const UINT size = ::GetWinMetaFileBits(enhanced, 0, nullptr, MM_ANISOTROPIC, screen);
    std::vector<BYTE> bits(size);
    ::GetWinMetaFileBits(enhanced, size, bits.data(), MM_ANISOTROPIC, screen);
    ::ReleaseDC(nullptr, screen);
    ::DeleteEnhMetaFile(enhanced);
    METAFILEPICT picture{MM_ANISOTROPIC, 2540, 2540, ::SetMetaFileBitsEx(size, bits.data())};
    ASSERT_NE(picture.hMF, nullptr);
    ASSERT_TRUE(FillClipboard({{CF_METAFILEPICT, std::string(reinterpret_cast<const char*>(&picture), sizeof picture)}}));
    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_ClipBoard());
    EXPECT_EQ(image.ImageType(), 4);
    int32_t alpha = 0;
    EXPECT_EQ(image.GetPixel(0, 0, alpha), 0x0000FF);
    EXPECT_EQ(alpha, 255);
}

TEST_F(ClipboardLoads, UnreadableBitmapsGiveNoImage) {
    struct Case {
        const char* why;
        std::string block;
        int32_t width;  // 0: no image
    };
    const Case cases[] = {
        {"rows claimed past the block", Dib32(4000, 4000, 0).substr(0, 60), 0},
        {"header cut short", Dib32(2, 2, 0).substr(0, 12), 0},
        {"the whole block", Dib32(3, 2, 0xFF00FF00), 3},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(FillClipboard({{CF_DIB, c.block}})) << c.why;
        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(5, 5));
        EXPECT_EQ(image.LoadPicture_ClipBoard(), c.width > 0) << c.why;
        EXPECT_EQ(image.Width(), c.width) << c.why;
        EXPECT_EQ(image.Handle() != nullptr, c.width > 0) << c.why << ": the earlier image is gone either way";
    }
}

TEST_F(ClipboardLoads, PastedFileListsInBothEncodings) {
    if (!UnixProgramsAvailable()) GTEST_SKIP() << "ImageMagick cannot be run from here";
    const std::wstring first = TempFileName(L".gif"), second = TempFileName(L".bmp");
    ASSERT_TRUE(MakeWithImageMagick({"-size", "7x5", "gradient:red-blue"}, first));
    ASSERT_TRUE(MakeWithImageMagick({"-size", "9x3", "gradient:blue-white", "-type", "truecolor"}, second, "bmp3:"));

    for (bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide list" : "ANSI list");
        ASSERT_TRUE(FillClipboard({{CF_HDROP, DropBlock({first, second}, wide)}}));
        std::vector<std::wstring> names;
        ASSERT_EQ(c32bppDIB().GetPastedFileNames(names), 2);
        EXPECT_EQ(names, (std::vector<std::wstring>{first, second}));

        c32bppDIB image;
        ASSERT_TRUE(image.InitializeDIB(2, 2));
        int32_t count = -1;
        EXPECT_TRUE(image.LoadPicture_PastedFiles(0, 0, 0, false, 32, count));
        EXPECT_EQ(count, 2);
        EXPECT_EQ(image.Width(), 2) << "index 0 only counts";
        ASSERT_TRUE(image.LoadPicture_PastedFiles(2, 0, 0, false, 32, count));
        EXPECT_EQ(image.Width(), 9);
        EXPECT_FALSE(image.LoadPicture_PastedFiles(3, 0, 0, false, 32, count));
    }

    // A list that points outside its block is no list.
    std::string broken(20, '\0');
    broken[0] = static_cast<char>(0xF0);
    ASSERT_TRUE(FillClipboard({{CF_HDROP, broken}}));
    std::vector<std::wstring> names{L"stale"};
    EXPECT_EQ(c32bppDIB().GetPastedFileNames(names), 0);
    EXPECT_TRUE(names.empty());
    ASSERT_TRUE(EmptyTheClipboard());
    EXPECT_EQ(c32bppDIB().GetPastedFileNames(names), 0);
    ASSERT_TRUE(::OpenClipboard(nullptr)) << "closed again";
    ::CloseClipboard();

    // The same list through the clipboard's data object, as a drop hands it over.
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    ASSERT_TRUE(FillClipboard({{CF_HDROP, DropBlock({first, second}, true)}}));
    IDataObject* data = nullptr;
    ASSERT_TRUE(SUCCEEDED(::OleGetClipboard(&data)));
    names.clear();
    EXPECT_TRUE(c32bppDIB().GetDroppedFileNames(data, names));
    EXPECT_EQ(names, (std::vector<std::wstring>{first, second}));
    c32bppDIB dropped;
    EXPECT_TRUE(dropped.LoadPicture_DropedFiles(data, 1));
    EXPECT_EQ(dropped.Width(), 7);
    EXPECT_FALSE(dropped.LoadPicture_DropedFiles(data, 3));
    EXPECT_FALSE(dropped.LoadPicture_DropedFiles(data, 0));
    data->Release();

    ASSERT_TRUE(FillClipboard({{CF_UNICODETEXT, Utf16Block(L"no files")}}));
    ASSERT_TRUE(SUCCEEDED(::OleGetClipboard(&data)));
    EXPECT_FALSE(c32bppDIB().GetDroppedFileNames(data, names)) << "no file list offered";
    data->Release();
    EXPECT_FALSE(c32bppDIB().GetDroppedFileNames(nullptr, names));
    ::OleUninitialize();
    ::DeleteFileW(first.c_str());
    ::DeleteFileW(second.c_str());
}
