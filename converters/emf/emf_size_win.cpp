// The metafile's drawing size from its header and the screen's resolution.
#include "emf_module_win.h"

namespace quorallion::emf {

std::optional<EmfHeaderSizes> ReadEmfHeaderSizes(HENHMETAFILE metafile) {
    ENHMETAHEADER header{};
    // The fields up to szlMillimeters are in every header; the newer ones may be missing.
    constexpr UINT kFieldsNeeded = offsetof(ENHMETAHEADER, szlMillimeters) + sizeof(SIZEL);
    if (!metafile || ::GetEnhMetaFileHeader(metafile, sizeof(header), &header) < kFieldsNeeded) {
        return std::nullopt;
    }
    EmfHeaderSizes sizes;
    sizes.frameLeft = header.rclFrame.left;
    sizes.frameTop = header.rclFrame.top;
    sizes.frameRight = header.rclFrame.right;
    sizes.frameBottom = header.rclFrame.bottom;
    sizes.deviceWidth = header.szlDevice.cx;
    sizes.deviceHeight = header.szlDevice.cy;
    sizes.millimetersWidth = header.szlMillimeters.cx;
    sizes.millimetersHeight = header.szlMillimeters.cy;
    return sizes;
}

std::optional<Resolution> GetEmfReferenceDpi(HENHMETAFILE metafile) {
    std::optional<EmfHeaderSizes> sizes = ReadEmfHeaderSizes(metafile);
    if (!sizes) return std::nullopt;
    return GetEmfReferenceDpi(*sizes);
}

bool ScaleToScreenDpi(HDC screenDC, const Resolution& from, int64_t& x, int64_t& y) {
    if (!screenDC) return false;
    const Resolution screen{::GetDeviceCaps(screenDC, LOGPIXELSX), ::GetDeviceCaps(screenDC, LOGPIXELSY)};
    return ScaleToScreenDpi(screen, from, x, y);
}

SizeResult CalcEmfPixelSize(HENHMETAFILE metafile) {
    std::optional<EmfHeaderSizes> sizes = ReadEmfHeaderSizes(metafile);
    if (!sizes) return {SizeOutcome::NoHeader, {}};
    win::WindowDC screen(nullptr);
    if (!screen) return {SizeOutcome::NoScreen, {}};
    const Resolution screenDpi{::GetDeviceCaps(screen.get(), LOGPIXELSX),
                               ::GetDeviceCaps(screen.get(), LOGPIXELSY)};
    return CalcEmfPixelSize(*sizes, screenDpi);
}

}  // namespace quorallion::emf
