#pragma once
// basPublic.ResizeImageFile: a picture file loaded, resampled and saved by the target's
// extension. Its only caller is clsPdf, which shrinks pages rendered at double resolution.
#include <cstdint>
#include <string>

namespace quorallion::basPublic {

// True when the picture was loaded, resized and saved. factor -1: width and height (either -1 to
// keep proportions); any other factor scales both sides.
bool ResizeImageFile(const std::wstring& sourcePath, const std::wstring& targetPath, int32_t width,
                     int32_t height, double factor);

}  // namespace quorallion::basPublic
