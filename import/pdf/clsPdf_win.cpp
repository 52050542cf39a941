#include "pdf/clsPdf.h"

#include "binding/converter_library_win.h"
#include "file/basFile.h"
#include "import_services.h"
#include "pdf/ResizeImageFile.h"
#include "pdf/pdf_page_options.h"
#include "public/basPublic.h"
#include "win/message_pump.h"

namespace quorallion {

namespace {

using P2JCall = int32_t(WINAPI*)(const wchar_t* pdfPath, const wchar_t* outputPattern,
                                 const wchar_t* device, int32_t resolution);

}  // namespace

int32_t clsPdf::RenderPages(const std::wstring& pdfPath, const std::wstring& outputPattern,
                            const std::wstring& device, int32_t resolution) {
    win::DoEvents();
    const P2JCall render = BindConverter<P2JCall>(library_, "QUORALLION_P2J");
    const int32_t result = render(pdfPath.c_str(), outputPattern.c_str(), device.c_str(), resolution);
    win::DoEvents();
    return result;
}

bool clsPdf::Pdf2Html(const std::wstring& pdfPath, const std::wstring& config, std::wstring& html,
                      std::wstring& errorText) {
    const pdf::PageOptions options = pdf::ReadPageOptions(basPublic::GetParamValue(config, L"imgtype", L""),
                                                          basPublic::GetParamValue(config, L"bl", L""));
    const std::wstring& folder = context_.jobFolder;
    win::DoEvents();
    int32_t result;
    try {
        result = RenderPages(pdfPath, pdf::PagePattern(folder), L"png16m", options.resolution);
    } catch (const ConverterBindError&) {
        result = -1;  // a missing library is the same failure to the page as a failed Ghostscript
    }
    if (result != 0) {
        errorText = L"gsdll";
        return false;
    }
    win::DoEvents();
    std::wstring fragment;
    for (int32_t page = 1;; ++page) {
        win::DoEvents();
        const std::wstring rendered = folder + pdf::RenderedPageName(page);
        if (!basFile::FileExists(rendered)) break;
        std::wstring name = pdf::RenderedPageName(page);
        if (options.factor == 2) {
            // A page whose shrink failed keeps its rendered file, and its tag names that file.
            const std::wstring shrunk = pdf::ShrunkPageName(page, options.jpg);
            if (basPublic::ResizeImageFile(rendered, folder + shrunk, -1, -1, 0.5)) {
                basFile::DeleteFileIfExists(rendered);
                name = shrunk;
            }
        }
        if (!fragment.empty()) fragment += L"<br>";
        fragment += L"<img src=\"file:///" + context_.actKey + L"/" + name + L"\">";
    }
    html = fragment;
    return true;
}

std::unique_ptr<PdfWorker> MakePdfWorker(const JobContext& context) {
    return std::make_unique<clsPdf>(context);
}

}  // namespace quorallion
