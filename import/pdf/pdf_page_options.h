#pragma once
// The page options of a PDF conversion ("imgtype", "bl") and what follows from them: the
// resolution Ghostscript renders at, whether pages are shrunk afterwards, and the page names.
#include <cstdint>
#include <string>

namespace quorallion::pdf {

struct PageOptions {
    bool jpg = false;        // shrunk pages saved as JPEG ("imgtype" exactly "jpg")
    int32_t scale = 100;     // "bl": percent, 10 to 300
    int32_t factor = 2;      // 2: rendered at double resolution and shrunk by half; 1: kept
    int32_t resolution = 192;
};

// "bl" with every "%" removed, read as a decimal number (blanks around it, a sign and a
// fraction allowed; no exponent, no hexadecimal), taken to the nearest whole number with halves
// to even; anything else, too large a number included, or a value outside 10 to 300 gives 100.
int32_t ParseScalePercent(const std::wstring& bl);

PageOptions ReadPageOptions(const std::wstring& imgtype, const std::wstring& bl);

// The output pattern for Ghostscript: the folder with every "%" written "%%" (Ghostscript reads
// a single one as a placeholder and then draws no page), then "%d.png".
std::wstring PagePattern(const std::wstring& jobFolder);

// "3.png" as rendered, "3s.png" or "3s.jpg" shrunk.
std::wstring RenderedPageName(int32_t page);
std::wstring ShrunkPageName(int32_t page, bool jpg);

}  // namespace quorallion::pdf
