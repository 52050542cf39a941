#pragma once
// What the core asks of its neighbours: the clipboard module, the Office and PDF document workers
// and the capture and equation windows. Each neighbour implements its interface in its own folder;
// the program wires the real ones together (core2/product_services.cpp) and tests give doubles.
// A factory that yields nothing means that this worker is not part of the build: the action then
// answers state "err" with an empty errflag.
#include <functional>
#include <memory>
#include <string>

namespace quorallion {

class clsJSON;

// The job a worker serves: its key and folder as they were when the job started, and whether it
// should stop (the page cancelled it, or a newer job of the same object replaced it).
class JobToken {
public:
    bool superseded = false;
};

struct JobContext {
    std::wstring actKey;      // 20-digit key of the job folder
    std::wstring jobFolder;   // temp root & key & "\"
    std::shared_ptr<const JobToken> token;

    // True once "cancel" was called or the job was replaced; workers test it between steps.
    bool Cancelled() const;
};

// basClipBoard
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    virtual std::wstring GetClipboardFileList() = 0;
    virtual std::wstring GetClipboardHTMLForPaste() = 0;
    virtual std::wstring GetClipboardText() = 0;
    virtual void GetClipboardTypes(clsJSON& reply) = 0;
    virtual std::wstring GetClipboardImage() = 0;
    virtual std::wstring GetClipboardSourceApp() = 0;
    virtual void SetClipboardHTML(const std::wstring& html, const std::wstring& text) = 0;
    virtual std::wstring GetClipboardHTMLDocument() = 0;
};

// clsOfficeWord. Filled texts start empty; true means success.
class WordWorker {
public:
    virtual ~WordWorker() = default;
    virtual bool Word2HTML(const std::wstring& documentPath, const std::wstring& options,
                           std::wstring& html, std::wstring& errflag, bool paste) = 0;
    virtual std::wstring OptimizeHTML(const std::wstring& html) = 0;
    virtual bool Word2Pdf(const std::wstring& documentPath, const std::wstring& options,
                          std::wstring& name, std::wstring& errflag) = 0;
    virtual bool Word2Image(const std::wstring& documentPath, const std::wstring& options,
                            std::wstring& html, std::wstring& errflag) = 0;
    virtual bool WordPaste2Image(const std::wstring& options, std::wstring& image,
                                 std::wstring& errflag) = 0;
};

// clsOfficeExcel
class ExcelWorker {
public:
    virtual ~ExcelWorker() = default;
    virtual bool GetExcelWorkSheetName(const std::wstring& workbookPath, const std::wstring& options,
                                       std::wstring& sheetname, std::wstring& errflag) = 0;
    virtual bool Excel2HTML(const std::wstring& workbookPath, const std::wstring& options,
                            std::wstring& html, std::wstring& errflag, bool paste) = 0;
    virtual std::wstring OptimizeHTML(const std::wstring& html, bool sheetContainer) = 0;
    virtual bool Excel2Pdf(const std::wstring& workbookPath, const std::wstring& options,
                           std::wstring& name, std::wstring& errflag) = 0;
    virtual bool Excel2ImageByPdf(const std::wstring& workbookPath, const std::wstring& options,
                                  std::wstring& html, std::wstring& errflag) = 0;
};

// clsOfficePPT
class PptWorker {
public:
    virtual ~PptWorker() = default;
    virtual bool Ppt2Pdf(const std::wstring& presentationPath, const std::wstring& options,
                         std::wstring& name, std::wstring& errflag) = 0;
    virtual bool Ppt2Image(const std::wstring& presentationPath, const std::wstring& options,
                           std::wstring& html, std::wstring& errflag) = 0;
};

// clsPdf
class PdfWorker {
public:
    virtual ~PdfWorker() = default;
    virtual bool Pdf2Html(const std::wstring& pdfPath, const std::wstring& options,
                          std::wstring& html, std::wstring& errflag) = 0;
};

// The windows report later, from a timer, through the callback given at creation ("ok",
// "cancel" or another text). The callback may destroy the session that calls it, so a session
// touches nothing of itself after calling it.
using ReturnValueHandler = std::function<void(const std::wstring&)>;

// clsCapture
class CaptureSession {
public:
    virtual ~CaptureSession() = default;  // closes the capture windows
    virtual void Capture() = 0;
};

// clsShowWordEq
class EquationSession {
public:
    virtual ~EquationSession() = default;  // closes the equation window
    // The window's OK step sets ProcessState::equationHtmlResult before it reports "ok".
    virtual void ShowEQ(const std::wstring& eqData, const std::wstring& options) = 0;
};

struct CoreServices {
    std::function<std::unique_ptr<ClipboardService>()> clipboard;
    std::function<std::unique_ptr<WordWorker>(const JobContext&)> word;
    std::function<std::unique_ptr<ExcelWorker>(const JobContext&)> excel;
    std::function<std::unique_ptr<PptWorker>(const JobContext&)> ppt;
    std::function<std::unique_ptr<PdfWorker>(const JobContext&)> pdf;
    std::function<std::unique_ptr<CaptureSession>(ReturnValueHandler)> capture;
    std::function<std::unique_ptr<EquationSession>(const JobContext&, ReturnValueHandler)> equation;
    // Closes every window of the neighbours (capture, equation, password prompt).
    std::function<void()> unloadForms;
};

}  // namespace quorallion
