// The Windows helpers of bas32bppDIBParsers: pictures from bytes and handles, files, exports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bas32bppDIBParsers_win.h"
#include "c32bppDIB.h"

using namespace quorallion;
using namespace quorallion::bas32bppDIBParsers;

namespace {

// A 2 x 1 24-bit BMP file.
std::vector<uint8_t> SmallBmp() {
    std::vector<uint8_t> file(54 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 1);
    file[26] = 1;
    file[28] = 24;
    file[54] = 255;  // blue, then red
    file[59] = 255;
    return file;
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

}  // namespace

TEST(ArrayToPicture, LoadsARangeAndRefusesOnesOutsideTheArray) {
    std::vector<uint8_t> bytes{9, 9, 9};
    std::vector<uint8_t> bmp = SmallBmp();
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    com::ComPtr<IPicture> picture = ArrayToPicture(bytes, 3, static_cast<int64_t>(bmp.size()));
    ASSERT_TRUE(picture);
    SHORT type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_BITMAP);
    for (auto range : {std::pair<int64_t, int64_t>{3, 1000}, {-1, 10}, {100, 1}, {0, 0}, {3, -5}}) {
        EXPECT_FALSE(ArrayToPicture(bytes, range.first, range.second)) << range.first << "+" << range.second;
    }
    EXPECT_FALSE(ArrayToPicture(std::vector<uint8_t>(60, 0x11), 0, 60)) << "not a picture";
}

TEST(HandleToPicture, OwnsTheBitmap) {
    HBITMAP bitmap = ::CreateBitmap(2, 2, 1, 32, nullptr);
    ASSERT_NE(bitmap, nullptr);
    {
        com::ComPtr<IPicture> picture = HandleToPicture(bitmap, PICTYPE_BITMAP);
        ASSERT_TRUE(picture);
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        EXPECT_EQ(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle)), bitmap);
    }
    EXPECT_EQ(::GetObjectType(bitmap), 0u) << "freed with the picture";
    EXPECT_FALSE(HandleToPicture(nullptr, PICTYPE_BITMAP));
}

TEST(FileHelpers, OpenWriteKeepsAttributesDeleteAnyClearsReadOnly) {
    const std::wstring path = TempFile(L"quorallion_parsers_test.bin");
    DeleteFileAny(path);
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(OpenFileHandle(path, true), INVALID_HANDLE_VALUE);
    HANDLE file = OpenFileHandle(path, false);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_TRUE(PathExists(path));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    file = OpenFileHandle(path, false);  // replacing a hidden file keeps it hidden
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_TRUE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    file = OpenFileHandle(path, true);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(DeleteFileAny(path));
    EXPECT_FALSE(PathExists(path));
    EXPECT_FALSE(DeleteFileAny(path));
    EXPECT_TRUE(PathExists(TempFile(L"")));
}

TEST(DllExports, FoundOnlyWhenBothExist) {
    EXPECT_TRUE(IsDllExportAvailable(L"gdiplus.dll", "GdiplusStartup"));
    EXPECT_FALSE(IsDllExportAvailable(L"gdiplus.dll", "NoSuchExport"));
    EXPECT_FALSE(IsDllExportAvailable(L"no_such_library_here.dll", "GdiplusStartup"));
}

TEST(FlattenImage, OverTheImagesPixels) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(1, 1));
    image.SetPixel(0, 0, RGB(128, 0, 0), 128, true);  // stored 0, 0, 128, 128
    std::vector<uint8_t> out;
    FlattenToColor(image, RGB(255, 255, 255), out, true);
    EXPECT_EQ(out, (std::vector<uint8_t>{127, 127, 255, 0}));
    c32bppDIB empty;
    FlattenToColor(empty, 0, out, true);
    EXPECT_TRUE(out.empty());
}
