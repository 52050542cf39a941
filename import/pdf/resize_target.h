#pragma once
// What basPublic.ResizeImageFile decides before it touches pixels: the new size and the file
// type a target path is saved as.
#include <cstdint>
#include <optional>
#include <string>

namespace quorallion::pdf {

struct TargetSize {
    int32_t width = 0, height = 0;
    bool operator==(const TargetSize&) const = default;
};

// factor exactly -1: width and height as given, where width -1 follows from the height and then
// height -1 from the new width, each keeping the picture's proportions (nearest, halves to
// even). Any other factor: the picture's sides times the factor, fractions cut off. Products are
// formed in 64 bits; a side that comes out below 1 or past 32 bits gives nothing.
std::optional<TargetSize> ResizeTarget(int32_t imageWidth, int32_t imageHeight, int32_t width,
                                       int32_t height, double factor);

enum class SaveKind { Png, Jpg, Gif, Bmp, Tga };

// By the text after the last "." in lower case: gif, jpg or jpeg, bmp, tga; anything else
// (no extension included) is PNG.
SaveKind SaveKindForTarget(const std::wstring& targetPath);

}  // namespace quorallion::pdf
