#pragma once
// Pixels handed between the drawing workers: premultiplied blue, green, red, alpha, 4 bytes a
// pixel, rows bottom-up (row 0 is the picture's bottom row), stride width x 4. No Windows API.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorallion::imaging {

// A non-owning view of 32-bit pixels (an image's DIB bits or a copy's bytes).
struct PixelView {
    uint8_t* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;

    bool empty() const { return bits == nullptr || width < 1 || height < 1; }
    size_t stride() const { return static_cast<size_t>(width) * 4; }
    // Storage row r (0 = bottom).
    uint8_t* row(int32_t storageRow) const { return bits + stride() * static_cast<size_t>(storageRow); }
    uint8_t* at(int32_t x, int32_t storageRow) const { return row(storageRow) + static_cast<size_t>(x) * 4; }
};

// An owned copy; an empty one means "no copy: read the image's own pixels".
class PixelCopy {
public:
    PixelCopy() = default;
    // False when the size is not positive or too large for memory.
    bool Allocate(int32_t width, int32_t height);
    void Free() {
        bytes_.clear();
        bytes_.shrink_to_fit();
        width_ = height_ = 0;
    }
    bool empty() const { return bytes_.empty(); }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    PixelView view() { return PixelView{bytes_.data(), width_, height_}; }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// Caps every pixel buffer this suite allocates: 2^28 pixels (1 GiB of BGRA).
constexpr int64_t kMaxPixels = int64_t{1} << 28;

// width x height x 4 in 64 bits; -1 when either side is below 1 or the product is over the cap.
int64_t PixelByteCount(int64_t width, int64_t height);

}  // namespace quorallion::imaging
