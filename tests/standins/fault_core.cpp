// QuorallionFaultCore.exe: the real Core15200 behind its real COM face, with neighbours that fail
// the way real ones can (never shipped). The job's first parameter names the fault:
//   "raise"          the worker raises an error
//   "errflag-raise"  the worker sets errflag "wordopen", then raises
//   "nomemory"       the worker's allocation fails (std::bad_alloc)
//   "pump-raise"     the worker lets pending messages run, then raises
//   anything else    the worker succeeds with html "<p>pid N</p>" (N: this process's id)
// "wordpaste2html" with cmode 1 fails to allocate in OptimizeHTML; "capture" hands back "ok" from
// a timer and the clipboard then fails to allocate the image; "wordeqshow" raises in ShowEQ.
#include <windows.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "Core15200_h.h"
#include "com/local_server.h"
#include "core_object.h"
#include "services.h"
#include "win/message_pump.h"

namespace {

using namespace quorallion;

// {971DDFF2-72A0-499C-AB91-EE7A77D735D2}
constexpr CLSID kClsidFaultCore = {0x971ddff2, 0x72a0, 0x499c, {0xab, 0x91, 0xee, 0x7a, 0x77, 0xd7, 0x35, 0xd2}};

// The fault a worker acts out; true and html filled when it names none.
bool ActOut(const std::wstring& fault, std::wstring& html, std::wstring& errflag) {
    if (fault == L"raise") throw std::runtime_error("worker failed");
    if (fault == L"errflag-raise") {
        errflag = L"wordopen";
        throw std::runtime_error("worker failed after setting its errflag");
    }
    if (fault == L"nomemory") throw std::bad_alloc();
    if (fault == L"pump-raise") {
        win::DoEvents();
        throw std::runtime_error("worker failed after letting messages run");
    }
    html = L"<p>pid " + std::to_wstring(::GetCurrentProcessId()) + L"</p>";
    return true;
}

class FaultWord : public WordWorker {
public:
    bool Word2HTML(const std::wstring& path, const std::wstring&, std::wstring& html, std::wstring& errflag,
                   bool) override {
        return ActOut(path, html, errflag);
    }
    std::wstring OptimizeHTML(const std::wstring&) override { throw std::bad_alloc(); }
    bool Word2Pdf(const std::wstring& path, const std::wstring&, std::wstring& name,
                  std::wstring& errflag) override {
        return ActOut(path, name, errflag);
    }
    bool Word2Image(const std::wstring& path, const std::wstring&, std::wstring& html,
                    std::wstring& errflag) override {
        return ActOut(path, html, errflag);
    }
    bool WordPaste2Image(const std::wstring& options, std::wstring& image, std::wstring& errflag) override {
        return ActOut(options, image, errflag);
    }
};

class FaultPdf : public PdfWorker {
public:
    bool Pdf2Html(const std::wstring& path, const std::wstring&, std::wstring& html, std::wstring& errflag) override {
        return ActOut(path, html, errflag);
    }
};

class FaultClipboard : public ClipboardService {
public:
    std::wstring GetClipboardFileList() override { return {}; }
    std::wstring GetClipboardHTMLForPaste() override { return {}; }
    std::wstring GetClipboardText() override { return {}; }
    void GetClipboardTypes(clsJSON&) override {}
    std::wstring GetClipboardImage() override { throw std::bad_alloc(); }
    std::wstring GetClipboardSourceApp() override { return {}; }
    void SetClipboardHTML(const std::wstring&, const std::wstring&) override {}
    std::wstring GetClipboardHTMLDocument() override { return L"<html><body><p>pasted</p></body></html>"; }
};

// Reports "ok" from a thread timer, as the capture windows do once a region is chosen.
class FaultCapture : public CaptureSession {
public:
    explicit FaultCapture(ReturnValueHandler handler) : handler_(std::move(handler)) {}
    ~FaultCapture() override {
        if (timer_) ::KillTimer(nullptr, timer_);
        if (current_ == this) current_ = nullptr;
    }
    void Capture() override {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 20, &FaultCapture::OnTimer);
    }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        FaultCapture* session = current_;
        if (!session || session->timer_ != id) return;
        session->timer_ = 0;
        ReturnValueHandler handler = session->handler_;  // the handler may release the session
        handler(L"ok");
    }

    ReturnValueHandler handler_;
    UINT_PTR timer_ = 0;
    static inline FaultCapture* current_ = nullptr;
};

class FaultEquation : public EquationSession {
public:
    void ShowEQ(const std::wstring&, const std::wstring&) override {
        throw std::runtime_error("the equation window could not be made");
    }
};

const CoreServices& FaultServices() {
    static const CoreServices services = [] {
        CoreServices s;
        s.clipboard = [] { return std::make_unique<FaultClipboard>(); };
        s.word = [](const JobContext&) { return std::make_unique<FaultWord>(); };
        s.pdf = [](const JobContext&) { return std::make_unique<FaultPdf>(); };
        s.capture = [](ReturnValueHandler handler) { return std::make_unique<FaultCapture>(std::move(handler)); };
        s.equation = [](const JobContext&, ReturnValueHandler) { return std::make_unique<FaultEquation>(); };
        return s;
    }();
    return services;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    static const com::LocalServerInfo info{
        kClsidFaultCore,
        LIBID_QuorallionCore2,
        L"FaultCore15200",
        L"QuorallionFaultCore.Core15200",
        L"Quorallion Fault Core",
        [](REFIID iid, void** out) { return CreateCoreObject(FaultServices(), iid, out); },
    };
    return com::RunLocalServer(info, commandLine);
}
