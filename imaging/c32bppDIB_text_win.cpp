// Text drawn by GDI into a temporary image, its coverage made alpha, then rendered onto the image
// (or made into the image when it has none).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

#include "c32bppDIB.h"
#include "gdiplus/cGDIPlus.h"
#include "pixels/pixel_effects.h"

namespace quorallion {
namespace {

// The face name in the ANSI code page, cut at a character boundary so that it fits the record's
// 32-byte field with its NUL.
void PutFaceName(const std::wstring& name, char (&face)[LF_FACESIZE]) {
    std::string out;
    for (size_t i = 0; i < name.size() && name[i] != L'\0';) {
        const int units = IS_HIGH_SURROGATE(name[i]) && i + 1 < name.size() && IS_LOW_SURROGATE(name[i + 1]) ? 2 : 1;
        char bytes[8];
        const int count = ::WideCharToMultiByte(CP_ACP, 0, name.data() + i, units, bytes, sizeof bytes, nullptr, nullptr);
        if (count <= 0 || out.size() + size_t(count) > LF_FACESIZE - 1) break;
        out.append(bytes, size_t(count));
        i += size_t(units);
    }
    std::memset(face, 0, LF_FACESIZE);
    std::memcpy(face, out.data(), out.size());
}

std::vector<std::wstring_view> SplitLines(const std::wstring& text) {
    std::vector<std::wstring_view> lines;
    const std::wstring_view all(text);
    size_t start = 0;
    for (size_t at; (at = all.find(L"\r\n", start)) != std::wstring_view::npos; start = at + 2) {
        lines.push_back(all.substr(start, at - start));
    }
    lines.push_back(all.substr(start));
    return lines;
}

}  // namespace

bool c32bppDIB::DrawText_stdFont(IFont* theFont, const std::wstring& theText, int32_t Alignment, int32_t destX,
                                 int32_t destY, int32_t destWidth, int32_t destHeight, uint32_t ForeColor,
                                 int32_t BackColor, int32_t Opacity, int32_t grayScale, float Angle,
                                 bool CenterOnDestXY) {
    if (!theFont) return false;
    BSTR name = nullptr;
    CY size{};
    SHORT weight = FW_NORMAL, charset = DEFAULT_CHARSET;
    BOOL italic = FALSE, underline = FALSE, strikethrough = FALSE;
    theFont->get_Name(&name);
    theFont->get_Size(&size);
    theFont->get_Weight(&weight);
    theFont->get_Charset(&charset);
    theFont->get_Italic(&italic);
    theFont->get_Underline(&underline);
    theFont->get_Strikethrough(&strikethrough);

    LOGFONTA record{};
    record.lfCharSet = static_cast<BYTE>(charset);
    PutFaceName(name ? std::wstring(name, ::SysStringLen(name)) : std::wstring(), record.lfFaceName);
    ::SysFreeString(name);
    // Points x 20 (twips) over the screen's twips per pixel, 15 at 96 pixels per inch.
    int32_t twipsPerPixel = 15;
    {
        win::WindowDC screen(nullptr);
        const int dotsPerInch = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        if (dotsPerInch > 0) twipsPerPixel = static_cast<int32_t>(std::nearbyint(1440.0 / dotsPerInch));
    }
    const int32_t twips = static_cast<int32_t>(std::nearbyint(double(size.int64) * 20 / 10000));
    record.lfHeight = -(twips / (twipsPerPixel > 0 ? twipsPerPixel : 1));
    record.lfWeight = weight;
    record.lfItalic = italic ? 1 : 0;
    record.lfUnderline = underline ? 1 : 0;
    record.lfStrikeOut = strikethrough ? 1 : 0;
    record.lfQuality = CLEARTYPE_NATURAL_QUALITY;
    win::UniqueGdiObject font(::CreateFontIndirectA(&record));
    if (!font) return false;
    return DrawTextWithFont(static_cast<HFONT>(font.get()), theText, Alignment, destX, destY, destWidth, destHeight,
                            ForeColor, BackColor, Opacity, grayScale, Angle, CenterOnDestXY);
}

bool c32bppDIB::DrawText_hFont(HFONT theFontHandle, const std::wstring& theText, int32_t Alignment, int32_t destX,
                               int32_t destY, int32_t destWidth, int32_t destHeight, uint32_t ForeColor,
                               int32_t BackColor, int32_t Opacity, int32_t grayScale, float Angle,
                               bool CenterOnDestXY) {
    if (!theFontHandle) return false;
    // A turned font is drawn level: Angle turns the text instead.
    LOGFONTA record{};
    win::UniqueGdiObject level;
    if (::GetObjectA(theFontHandle, sizeof record, &record) && (record.lfEscapement || record.lfOrientation)) {
        record.lfEscapement = record.lfOrientation = 0;
        level.reset(::CreateFontIndirectA(&record));
    }
    return DrawTextWithFont(level ? static_cast<HFONT>(level.get()) : theFontHandle, theText, Alignment, destX, destY,
                            destWidth, destHeight, ForeColor, BackColor, Opacity, grayScale, Angle, CenterOnDestXY);
}

bool c32bppDIB::DrawTextWithFont(HFONT font, const std::wstring& theText, int32_t Alignment, int32_t destX,
                                 int32_t destY, int32_t destWidth, int32_t destHeight, uint32_t ForeColor,
                                 int32_t BackColor, int32_t Opacity, int32_t grayScale, float Angle,
                                 bool CenterOnDestXY) {
    if (theText.empty()) return false;
    const bool transparent = BackColor < 0;
    // On a transparent background the text is smoothed in grey only, so that its blue byte is its
    // coverage.
    win::UniqueGdiObject greyFont;
    if (transparent) {
        LOGFONTW record{};
        if (::GetObjectW(font, sizeof record, &record)) {
            record.lfQuality = ANTIALIASED_QUALITY;
            greyFont.reset(::CreateFontIndirectW(&record));
            if (greyFont) font = static_cast<HFONT>(greyFont.get());
        }
    }

    const std::vector<std::wstring_view> lines = SplitLines(theText);
    win::UniqueMemoryDC measuring(::CreateCompatibleDC(nullptr));
    if (!measuring) return false;
    int32_t lineWidth = 0, lineHeight = 0;
    TEXTMETRICW metrics{};
    {
        win::SelectGuard selected(measuring.get(), font);
        for (std::wstring_view line : lines) {
            SIZE extent{};
            ::GetTextExtentPoint32W(measuring.get(), line.data(), static_cast<int>(line.size()), &extent);
            lineWidth = std::max<int32_t>(lineWidth, extent.cx);
            lineHeight = std::max<int32_t>(lineHeight, extent.cy);
        }
        ::GetTextMetricsW(measuring.get(), &metrics);
    }
    if (lineHeight == 0) lineHeight = metrics.tmHeight;
    const int64_t width = int64_t{lineWidth} + metrics.tmOverhang;
    const int64_t height = int64_t{lineHeight} * static_cast<int64_t>(lines.size());
    if (width < 1 || height < 1 || height > std::numeric_limits<int32_t>::max()) return false;

    c32bppDIB text;
    if (!text.InitializeDIB(static_cast<int32_t>(width), static_cast<int32_t>(height))) return false;
    {
        HDC dc = text.LoadDIBinDC(true);
        if (!dc) return false;
        if (!transparent) {
            win::UniqueGdiObject brush(::CreateSolidBrush(static_cast<COLORREF>(BackColor)));
            RECT all{0, 0, static_cast<LONG>(width) + 1, static_cast<LONG>(height) + 1};
            ::FillRect(dc, &all, static_cast<HBRUSH>(brush.get()));
            ::SetTextColor(dc, ForeColor);
        } else {
            ::SetTextColor(dc, RGB(255, 255, 255));
            ::SetBkColor(dc, RGB(0, 0, 0));
        }
        ::SetBkMode(dc, TRANSPARENT);
        const UINT previousAlign = ::SetTextAlign(dc, static_cast<UINT>(Alignment));
        int32_t x = 0;
        if ((Alignment & TA_CENTER) == TA_CENTER) x = lineWidth / 2;
        else if (Alignment & TA_RIGHT) x = lineWidth;
        {
            win::SelectGuard selected(dc, font);
            int32_t y = 0;
            for (std::wstring_view line : lines) {
                ::TextOutW(dc, x, y, line.data(), static_cast<int>(line.size()));
                y += lineHeight;
            }
        }
        ::SetTextAlign(dc, previousAlign);
        ::GdiFlush();
        text.LoadDIBinDC(false);
    }

    const imaging::PixelView pixels = text.Pixels();
    if (transparent) {
        imaging::CoverageToColour(pixels, ForeColor);
        text.ImageType(7);
        text.Alpha(2);
    } else {
        for (size_t i = 3; i < size_t(pixels.width) * pixels.height * 4; i += 4) pixels.bits[i] = 255;
        text.ImageType(1);
        text.Alpha(0);
    }

    if (!dib_) {
        SwapDIBs(&text);
        return true;
    }
    keptGdiPlus_.reset();
    return text.Render(nullptr, destX, destY, destWidth, destHeight, 0, 0, 0, 0, Opacity, true, true, this, grayScale, 0,
                       Angle, CenterOnDestXY);
}

}  // namespace quorallion
