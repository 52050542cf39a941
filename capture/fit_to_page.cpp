#include "fit_to_page.h"

#include <cmath>

namespace quorallion::capture {

PageOrientation OrientationFor(double pictureWidth, double pictureHeight) {
    // Rounded half to even, as the whole-number conversion of the picture's size does.
    return std::nearbyint(pictureHeight) >= std::nearbyint(pictureWidth) ? PageOrientation::Portrait
                                                                         : PageOrientation::Landscape;
}

std::optional<PrintedSize> FitToPage(double pictureWidth, double pictureHeight,
                                     double printableWidth, double printableHeight) {
    if (!(pictureHeight > 0) || !(printableHeight > 0)) return std::nullopt;
    const double pictureRatio = pictureWidth / pictureHeight;
    const double printerRatio = printableWidth / printableHeight;
    if (pictureRatio >= printerRatio) {
        if (!(pictureRatio > 0)) return std::nullopt;  // a picture of width 0 on a page of width 0
        return PrintedSize{printableWidth, printableWidth / pictureRatio};
    }
    return PrintedSize{printableHeight * pictureRatio, printableHeight};
}

}  // namespace quorallion::capture
