#pragma once
// Arithmetic of printing a picture as large as the printable area allows, proportions kept.
#include <optional>

namespace quorallion::capture {

enum class PageOrientation : int { Portrait = 1, Landscape = 2 };

// Portrait when the picture's height, rounded to a whole number, is at least its rounded width.
PageOrientation OrientationFor(double pictureWidth, double pictureHeight);

struct PrintedSize {
    double width = 0;
    double height = 0;
};

// All four in one unit (HiMetric where the printer is asked). A picture or a printable area of
// height 0 (or less) has no proportions: nothing, instead of a division by zero.
std::optional<PrintedSize> FitToPage(double pictureWidth, double pictureHeight,
                                     double printableWidth, double printableHeight);

}  // namespace quorallion::capture
