#pragma once
// The PDF worker: every page of a PDF rendered into the job folder by QuorallionPdf, pages drawn
// at double resolution shrunk back, and an HTML fragment of img tags that point at them.
#include <cstdint>
#include <string>

#include "services.h"

namespace quorallion {

class clsPdf : public PdfWorker {
public:
    // library: the converter library to bind; tests name a copy elsewhere to see a missing one.
    explicit clsPdf(JobContext context, std::wstring library = L"QuorallionPdf.dll")
        : context_(std::move(context)), library_(std::move(library)) {}

    // Options "imgtype" and "bl". False with errorText "gsdll" when QuorallionPdf, Ghostscript's
    // library or the entry cannot be loaded, or the library reports a failure; html is set only
    // on success (empty when no page was rendered).
    bool Pdf2Html(const std::wstring& pdfPath, const std::wstring& config, std::wstring& html,
                  std::wstring& errorText) override;

private:
    // QUORALLION_P2J between two turns of the message loop; raises ConverterBindError.
    int32_t RenderPages(const std::wstring& pdfPath, const std::wstring& outputPattern,
                        const std::wstring& device, int32_t resolution);

    JobContext context_;
    std::wstring library_;
};

}  // namespace quorallion
