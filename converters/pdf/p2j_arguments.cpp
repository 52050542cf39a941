#include "p2j_arguments.h"

namespace quorallion::pdf {

bool IsAbsoluteWindowsPath(std::string_view path) {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = path.size() >= 3 &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && separator(path[2]);
    const bool unc = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && !separator(path[2]);
    return drive || unc;
}

std::optional<std::vector<std::string>> BuildP2JArguments(std::string_view device, int32_t resolution,
                                                          std::string_view pdfPath,
                                                          std::string_view outputPattern) {
    if (!IsAbsoluteWindowsPath(pdfPath)) return std::nullopt;
    return std::vector<std::string>{
        "pdf2img",
        "-dNOPAUSE",
        "-dBATCH",
        "-dUseCropBox",
        "-sDEVICE=" + std::string(device),
        "-dJPEGQ=100",
        "-dSAFER",
        "-r" + std::to_string(resolution),
        "-sOutputFile=" + std::string(outputPattern),
        "-dTextAlphaBits=4",
        "-dGraphicsAlphaBits=4",
        "-dMaxBitmap=500000000",
        "-dAlignToPixels=0",
        "-dGridFitTT=2",
        "-dDOINTERPOLATE",
        "-sFONTPATH=c:/windows/fonts",
        std::string(pdfPath),
    };
}

}  // namespace quorallion::pdf
