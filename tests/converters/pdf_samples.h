#pragma once
// PDF inputs made by Ghostscript's ps2pdf at test time, and what Poppler says about them.
#include <windows.h>

#include <optional>
#include <string>

#include "support/unix_shell.h"
#include "support/utf8.h"

namespace quorallion::testing {

// PostScript of `pages` A4 pages, each with a blue bar, a red disc and its number in text.
inline std::string SamplePostScript(int pages) {
    return "%!PS\n/Helvetica findfont 40 scalefont setfont\n1 1 " + std::to_string(pages) +
           " {\n /p exch def\n 0.2 0.4 0.8 setrgbcolor 72 480 300 160 rectfill\n"
           " 1 0 0 setrgbcolor 300 260 110 0 360 arc fill\n"
           " 0 setgray 72 720 moveto (Page ) show p 10 string cvs show\n showpage\n} for\n";
}

// Writes a PDF of that many pages to the Windows path; `extra` goes to ps2pdf (e.g. passwords).
inline bool MakeSamplePdf(const std::wstring& pdfPath, int pages, const std::string& extra = "") {
    const std::wstring psPath = pdfPath + L".ps";
    if (!WriteBytes(psPath, SamplePostScript(pages))) return false;
    std::optional<std::string> ps = UnixPath(psPath), pdf = UnixPath(pdfPath);
    if (!ps || !pdf) return false;
    std::optional<int> status =
        RunUnixScript("ps2pdf -sPAPERSIZE=a4 " + extra + " " + ShellQuote(*ps) + " " + ShellQuote(*pdf));
    ::DeleteFileW(psPath.c_str());
    return status && *status == 0;
}

// Pages of a PDF as pdfinfo counts them; nothing when it cannot tell.
inline std::optional<int> PdfInfoPages(const std::wstring& pdfPath) {
    const std::wstring out = pdfPath + L".info";
    std::optional<std::string> pdf = UnixPath(pdfPath), info = UnixPath(out);
    if (!pdf || !info) return std::nullopt;
    std::optional<int> status =
        RunUnixScript("pdfinfo " + ShellQuote(*pdf) + " | sed -n 's/^Pages: *//p' > " + ShellQuote(*info));
    std::optional<std::string> text = ReadBytes(out);
    ::DeleteFileW(out.c_str());
    if (!status || *status != 0 || !text || text->empty()) return std::nullopt;
    return std::atoi(text->c_str());
}

// Page `page` rendered by Poppler's pdftoppm at a resolution, as a PNG beside the PDF.
inline std::optional<std::wstring> PdftoppmPage(const std::wstring& pdfPath, int page, int dpi) {
    const std::wstring prefix = pdfPath + L".ref";
    std::optional<std::string> pdf = UnixPath(pdfPath), out = UnixPath(prefix);
    if (!pdf || !out) return std::nullopt;
    std::optional<int> status = RunUnixScript("pdftoppm -singlefile -png -r " + std::to_string(dpi) + " -f " +
                                              std::to_string(page) + " -l " + std::to_string(page) + " " +
                                              ShellQuote(*pdf) + " " + ShellQuote(*out));
    if (!status || *status != 0) return std::nullopt;
    return prefix + L".png";
}

}  // namespace quorallion::testing
