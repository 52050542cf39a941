#pragma once
// The Word worker of the core's paste and document jobs: Word (or WPS writer) driven by late
// binding turns documents and pasted content into cleaned HTML, PDF files and page images; the
// copied picture becomes a PNG.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "services.h"

namespace quorallion {

namespace office {
class AutoObject;
}

class clsOfficeWord : public WordWorker {
public:
    explicit clsOfficeWord(JobContext context = {}) : context_(std::move(context)) {}

    // Word's HTML reduced to one style element and one body element (see the .cpp for the steps).
    std::wstring OptimizeHTML(const std::wstring& html) override;

    // Told after each numbered step of the clean-up how long it took, for the benchmark.
    using StepObserver = std::function<void(int step, double seconds)>;
    static std::wstring OptimizeHTML(const std::wstring& html, const StepObserver& observer);

    // A document file (isPaste false) or the clipboard's Word content as HTML. Options "api",
    // "wordeq", "originalimage". Errflags "ext", "wpscompat", "cancel", "wordcreate",
    // "office2007plus", "wordopen", "wordreadfile".
    bool Word2HTML(const std::wstring& documentPath, const std::wstring& options,
                   std::wstring& html, std::wstring& errflag, bool paste) override;
    // The PDF's file name in the job folder. Options "api", "docprop", "markup", "bookmark", "title".
    bool Word2Pdf(const std::wstring& documentPath, const std::wstring& options,
                  std::wstring& name, std::wstring& errflag) override;
    // The PDF's pages as img tags. Options "api", "bl", "imgtype".
    bool Word2Image(const std::wstring& documentPath, const std::wstring& options,
                    std::wstring& html, std::wstring& errflag) override;
    // The clipboard's picture as a PNG path ("" when there is none). Option "priorformat".
    bool WordPaste2Image(const std::wstring& options, std::wstring& image,
                         std::wstring& errflag) override;

    // Equations, pictures and indents of an open document.
    void ResetPictureScale(const office::AutoObject& document);
    void ConvertEquationsToPictures(const office::AutoObject& document, bool wordeq);
    void EmfBitsToPng(const std::wstring& kind, const std::vector<uint8_t>& emfBytes, const std::wstring& pngPath);
    static void EmfBytesToTrimmedPng(const std::wstring& mode, const std::vector<uint8_t>& emfBytes,
                                     const std::wstring& pngPath);
    static void ClearEquationIndents(const office::AutoObject& document);
    static void MoveBaselineAlignmentToParagraphs(const office::AutoObject& document);
    // Placeholders "QuorallionWordEQ:<type>:<n>" in img alt values replaced by the stored codes.
    // Raises RegExpError when the pattern engine fails.
    static std::wstring ReplaceEquationPlaceholders(const std::wstring& html);
    static std::wstring ReplaceEquationPlaceholders(const std::wstring& html, const std::vector<std::wstring>& omath,
                                                    const std::vector<std::wstring>& fields);

    // An equation picture's alt value "QuorallionWordEQ;<type>;<code>" turned into the attributes
    // _tag, _eqtype and _eqcode.
    static std::wstring EquationAttributes(const std::wstring& html);
    // The saved pictures' addresses: "file:///", the job key, "/" and the path in the job folder.
    static std::wstring PictureAddresses(const std::wstring& html, const std::wstring& actKey);

    // The paste road's unwrapping of a div, then a p, that alone wraps the whole body.
    static std::wstring UnwrapSingleBodyElement(const std::wstring& html);

private:
    static bool IsDocumentFile(const std::wstring& path);
    // Documents.Open read-only with a password no file has (see the .cpp).
    static office::AutoObject OpenReadOnly(const office::AutoObject& app, const std::wstring& path);

    JobContext context_;
};

}  // namespace quorallion
