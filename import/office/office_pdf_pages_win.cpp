#include "office/office_pdf_pages_win.h"

#include "office/office_choice.h"
#include "office/office_registration.h"
#include "pdf/clsPdf.h"
#include "public/basPublic.h"
#include "win/message_pump.h"

namespace quorallion::office {

bool PdfThenPageImages(const JobContext& context, const std::wstring& options, std::wstring& html,
                       std::wstring& errflag, const PdfExportForImages& exportPdf) {
    win::DoEvents();
    html.clear();
    const std::wstring api = NormalizedApi(basPublic::GetParamValue(options, L"api"));
    const std::wstring bl = basPublic::GetParamValue(options, L"bl");
    const std::wstring imgtype = basPublic::GetParamValue(options, L"imgtype");

    std::wstring pdfName;
    if (!exportPdf(api, pdfName, errflag)) return false;

    // The only cancel test of these conversions: the export itself runs to its end.
    win::DoEvents();
    if (context.Cancelled()) {
        errflag = L"cancel";
        return false;
    }

    clsPdf pdf(context);
    return pdf.Pdf2Html(context.jobFolder + pdfName,
                        L"bl:" + EscapeOptionValue(bl) + L";imgtype:" + EscapeOptionValue(imgtype), html, errflag);
}

}  // namespace quorallion::office
