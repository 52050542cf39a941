#pragma once
// A picture held by a control: a bitmap or an icon, shared between the control's properties and
// freed with the last holder.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorallion::controls {

class Picture {
public:
    // Takes ownership of the handle.
    static std::shared_ptr<Picture> FromBitmap(HBITMAP bitmap);
    static std::shared_ptr<Picture> FromIcon(HICON icon);
    // A bitmap resource of the module (names match without regard to case); nullptr when absent.
    static std::shared_ptr<Picture> LoadBitmapResource(HINSTANCE module, std::wstring_view name);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HBITMAP Bitmap() const { return bitmap_; }
    HICON Icon() const { return icon_; }
    bool Empty() const { return !bitmap_ && !icon_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour of pixel (x, y) as 0x00BBGGRR, or CLR_INVALID outside (bitmaps only).
    COLORREF PixelAt(int x, int y) const;

private:
    Picture() = default;
    HBITMAP bitmap_ = nullptr;
    HICON icon_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

using PicturePtr = std::shared_ptr<Picture>;

}  // namespace quorallion::controls

namespace quorallion::controls {
// A picture as bytes for a property store: width, height (32-bit little-endian each) and the
// 32-bit pixels top-down; an icon is stored with its mask as a second plane of 1 byte a pixel.
// Empty for no picture. Load gives nullptr for bytes that do not hold a whole picture.
std::vector<uint8_t> SavePictureBytes(const PicturePtr& picture);
PicturePtr LoadPictureBytes(const std::vector<uint8_t>& bytes);
// A font as text for a property store ("face,height,weight,italic,underline,charset"), and back
// (nullptr for text that is not one; the caller owns the font).
std::wstring FontToText(HFONT font);
HFONT FontFromText(std::wstring_view text);
}  // namespace quorallion::controls
