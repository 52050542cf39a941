#include "Core15200.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "com/com_ptr.h"
#include "file/basFile.h"
#include "frmTimer.h"
#include "json/clsJSON.h"
#include "process_state.h"
#include "public/basPublic_win.h"

namespace quorallion {
namespace {

// Objects that a client still holds, in creation order; the shared timers' ticks reach them.
std::vector<Core15200*>& LiveObjects() {
    static std::vector<Core15200*> objects;
    return objects;
}

// Holds a reference for the length of a call that may let messages run.
class KeepAlive {
public:
    explicit KeepAlive(Core15200* object) : object_(object) { object_->AddRef(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;
    ~KeepAlive() { object_->Release(); }

private:
    Core15200* object_;
};

// One job runs at a time in the process. A worker lets messages run, and a job tick that comes
// in meanwhile (another object's job, or a new one of the same object) must not start a second
// worker inside the first: the workers share the process's job key, folder and their own
// process-wide lists. Such a job stays pending and runs once the running worker has returned.
// Capture and equation jobs count only while their worker call runs; they answer later.
int& WorkersRunning() {
    static int running = 0;
    return running;
}

class RunningWorker {
public:
    RunningWorker() { ++WorkersRunning(); }
    RunningWorker(const RunningWorker&) = delete;
    RunningWorker& operator=(const RunningWorker&) = delete;
    ~RunningWorker() { --WorkersRunning(); }
};

template <typename Handler>
void ForEachLiveObject(Handler handler) {
    std::vector<Core15200*> snapshot = LiveObjects();
    for (Core15200* object : snapshot) object->AddRef();
    for (Core15200* object : snapshot) {
        // An earlier handler may have let a client release this one meanwhile.
        const auto& live = LiveObjects();
        if (std::find(live.begin(), live.end(), object) != live.end()) handler(object);
    }
    for (Core15200* object : snapshot) object->Release();
}

void OnAsyncTick() {
    frmTimer& form = frmTimer::Instance();
    if (!form.AsyncEnabled()) return;
    form.SetAsyncTimer(1, false);  // each stored job runs once
    ForEachLiveObject([](Core15200* object) { object->moTimerAsyncDo_Timer(); });
}

void OnCacheTick() {
    ForEachLiveObject([](Core15200* object) { object->moTimerCacheDir_Timer(); });
}

void LoadTimerForm() {
    frmTimer& form = frmTimer::Instance();
    form.onAsyncTick = &OnAsyncTick;
    form.onCacheTick = &OnCacheTick;
    form.Load();
}

// Arms the job timer again when a job that had to wait is still pending.
void RearmForPendingJobs() {
    for (Core15200* object : LiveObjects())
        if (object->JobPending()) {
            frmTimer& form = frmTimer::Instance();
            if (!form.Loaded()) LoadTimerForm();
            form.SetAsyncTimer(1, true);
            return;
        }
}

bool IsAlphanumeric(const std::wstring& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
    });
}

std::wstring FileSizeText(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(basFileSystemW::LongPath(path).c_str(), GetFileExInfoStandard, &data))
        return std::wstring();
    unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return std::to_wstring(size);
}

bool IsOneOf(const std::wstring& word, std::initializer_list<const wchar_t*> words) {
    for (const wchar_t* w : words)
        if (word == w) return true;
    return false;
}

}  // namespace

Core15200::Core15200(const CoreServices& services) : services_(services) {
    ProcessState& process = Process();
    process.tempRoot = basPublic::GetCacheRootPath();
    process.language = L"zh-cn";
    process.officeRepairDone = false;
    LiveObjects().push_back(this);
    LoadTimerForm();
    frmTimer::Instance().SetCacheTimer(60000, true);
}

Core15200::~Core15200() {
    if (!terminated_) Terminate();
}

void Core15200::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    auto& live = LiveObjects();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    if (jobToken_) jobToken_->superseded = true;
    // This object's windows go with it; unloading the process's forms closes the others too.
    cCapture_.reset();
    cShowWordEq_.reset();
    frmTimer::Instance().Unload();
    if (services_.unloadForms) services_.unloadForms();
    // Objects still held by other clients keep their timers: the form is made again for them,
    // with the job timer armed when one of them has a job waiting.
    if (!live.empty()) {
        LoadTimerForm();
        frmTimer::Instance().SetCacheTimer(60000, true);
        RearmForPendingJobs();
    }
}

std::wstring Core15200::ErrReply(const std::wstring& errflag) {
    clsJSON reply;
    reply.AddItemString(L"state", L"err");
    reply.AddItemString(L"errflag", errflag);
    return reply.GetJsonString();
}

std::wstring Core15200::GetInfo(std::wstring s_Config, std::wstring s_Action,
                                std::wstring s_Param1, std::wstring s_Param2,
                                std::wstring s_Param3) {
    (void)s_Param3;  // accepted, never read
    KeepAlive keepAlive(this);
    ProcessState& process = Process();
    const std::wstring& action = s_Action;

    if (!IsOneOf(action, {L"asyncresult", L"cancel", L"cache", L"wordeqinstall"}))
        process.language = basPublic::LanguageFromConfig(s_Config);

    if (action == L"asyncresult") return process.cancel ? kCancelReply : resultText_;

    if (!IsOneOf(action, {L"cancel", L"cache", L"config", L"excelsheetname", L"excelpaste2html",
                          L"wordeqinstall", L"gcbfilelist", L"gcbhtml", L"gcbtext", L"gcbformat",
                          L"gcbimage", L"gcbsource", L"scbhtml", L"capture"}))
        basPublic::InitInstanceCache();

    clsJSON reply;
    if (action == L"cancel") {
        process.cancel = true;
        reply.AddItemString(L"state", L"ok");
        return reply.GetJsonString();
    }
    if (action == L"cache") {
        reply.AddItemString(L"state", L"ok");
        CacheDelete(s_Param2);
        return reply.GetJsonString();
    }
    if (action == L"config") {
        reply.AddItemString(L"state", L"ok");
        reply.AddItemString(L"temppath", process.tempRoot);
        reply.AddItemString(L"cid", basPublic::GetTimeStamp());
        return reply.GetJsonString();
    }
    if (action == L"wordeqinstall") {
        reply.AddItemString(L"state", L"ok");
        reply.AddItemString(L"installed", EquationControlInstalled(s_Param1));
        return reply.GetJsonString();
    }

    if (IsOneOf(action, {L"gcbfilelist", L"gcbhtml", L"gcbtext", L"gcbformat", L"gcbimage",
                         L"gcbsource", L"scbhtml"})) {
        std::unique_ptr<ClipboardService> clipboard =
            services_.clipboard ? services_.clipboard() : nullptr;
        if (!clipboard) return ErrReply(L"");
        if (action == L"gcbfilelist") {
            std::wstring list = clipboard->GetClipboardFileList();
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"filelist", list);
        } else if (action == L"gcbhtml") {
            std::wstring html = clipboard->GetClipboardHTMLForPaste();
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"html", html);
        } else if (action == L"gcbtext") {
            std::wstring text = clipboard->GetClipboardText();
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"text", text);
        } else if (action == L"gcbformat") {
            clipboard->GetClipboardTypes(reply);
            reply.AddItemString(L"state", L"ok");
        } else if (action == L"gcbimage") {
            reply.AddItemString(L"image", clipboard->GetClipboardImage());
            reply.AddItemString(L"state", L"ok");
        } else if (action == L"gcbsource") {
            std::wstring source = clipboard->GetClipboardSourceApp();
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"source", source);
        } else {  // scbhtml
            clipboard->SetClipboardHTML(s_Param1, s_Param2);
            reply.AddItemString(L"state", L"ok");
        }
        return reply.GetJsonString();
    }

    if (action == L"wordpaste2image" || action == L"excelpaste2image") {
        JobContext context{process.actKey, process.jobFolder, nullptr};
        std::unique_ptr<WordWorker> word = services_.word ? services_.word(context) : nullptr;
        if (!word) return ErrReply(L"");
        std::wstring image, errflag;
        if (word->WordPaste2Image(s_Param1, image, errflag)) {
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"image", image);
            reply.AddItemString(L"actkey", context.actKey);
        } else {
            reply.AddItemString(L"state", L"err");
            reply.AddItemString(L"errflag", errflag);
        }
        return reply.GetJsonString();
    }

    if (IsOneOf(action, {L"wordpaste2html", L"excelpaste2html"})) {
        StartJob(action, s_Config, s_Param1, L"");
        return resultText_;
    }
    if (IsOneOf(action, {L"word2html", L"word2pdf", L"word2image", L"excelsheetname",
                         L"excel2html", L"excel2pdf", L"excel2image", L"ppt2pdf", L"ppt2image",
                         L"pdf2image", L"wordeqshow"})) {
        StartJob(action, s_Config, s_Param1, s_Param2);
        return resultText_;
    }
    if (action == L"capture") {
        StartJob(action, s_Config, L"", L"");
        return resultText_;
    }
    return reply.GetJsonString();  // nobody handles this word: "{}"
}

void Core15200::StartJob(const std::wstring& action, const std::wstring& config,
                         const std::wstring& param1, const std::wstring& param2) {
    ProcessState& process = Process();
    process.cancel = false;
    resultText_ = kWaitReply;
    // A job of this object that is still running is replaced: its reply is dropped.
    if (jobToken_) jobToken_->superseded = true;
    jobToken_ = std::make_shared<JobToken>();
    job_ = Job{action, config, param1, param2,
               JobContext{process.actKey, process.jobFolder, jobToken_}};
    jobPending_ = true;
    if (!boundToAsyncTimer_ || !frmTimer::Instance().Loaded()) {
        LoadTimerForm();
        boundToAsyncTimer_ = true;
    }
    frmTimer::Instance().SetAsyncTimer(1, true);
}

void Core15200::moTimerAsyncDo_Timer() {
    if (!jobPending_ || terminated_) return;
    if (WorkersRunning() > 0) return;  // stays pending; armed again when that worker returns
    jobPending_ = false;
    KeepAlive keepAlive(this);
    Job job = job_;  // a request that arrives while the worker runs may store a new job
    {
        RunningWorker running;
        RunJob(job);
    }
    RearmForPendingJobs();
}

void Core15200::RunJob(const Job& job) {
    std::wstring errflag;
    std::wstring reply;
    try {
        reply = RunWorker(job, errflag);
    } catch (...) {
        // A worker that raised (no pattern engine, no memory, a failed automation call) ends its
        // job, not the server: the job answers with the errflag the worker set, if any.
        if (job.action == L"capture") cCapture_.reset();
        if (job.action == L"wordeqshow") cShowWordEq_.reset();
        reply = ErrReply(errflag);
    }
    // Capture and equation jobs answer later, through their hand-back.
    if (reply.empty()) return;
    if (!job.context.token->superseded) resultText_ = reply;
}

std::wstring Core15200::RunWorker(const Job& job, std::wstring& errflag) {
    const std::wstring& action = job.action;
    const JobContext& context = job.context;
    clsJSON reply;
    std::wstring html, name, sheetname;
    bool ok = false;

    auto htmlReply = [&](bool withKey) {
        reply.AddItemString(L"state", L"ok");
        reply.AddItemString(L"html", html);
        if (withKey) reply.AddItemString(L"actkey", context.actKey);
        return reply.GetJsonString();
    };
    auto fileReply = [&] {
        reply.AddItemString(L"state", L"ok");
        reply.AddItemString(L"filekey", context.actKey + L"/" + name);
        reply.AddItemString(L"actkey", context.actKey);
        reply.AddItemString(L"filesize", FileSizeText(context.jobFolder + name), false);
        return reply.GetJsonString();
    };

    if (action == L"wordpaste2html" || action == L"excelpaste2html") {
        const bool cmode1 = action == L"excelpaste2html" ||
                            basPublic::GetParamValue(job.param1, L"cmode", L"") == L"1";
        std::wstring document;
        if (cmode1) {
            std::unique_ptr<ClipboardService> clipboard =
                services_.clipboard ? services_.clipboard() : nullptr;
            if (!clipboard) return ErrReply(L"");
            document = clipboard->GetClipboardHTMLDocument();
        }
        if (action == L"excelpaste2html") {
            std::unique_ptr<ExcelWorker> excel = services_.excel ? services_.excel(context) : nullptr;
            if (!excel) return ErrReply(L"");
            html = excel->OptimizeHTML(document, false);
            return htmlReply(false);
        }
        std::unique_ptr<WordWorker> word = services_.word ? services_.word(context) : nullptr;
        if (!word) return ErrReply(L"");
        if (cmode1) {
            html = word->OptimizeHTML(document);
            ok = true;
        } else {
            ok = word->Word2HTML(L"", job.param1, html, errflag, true);
        }
        return ok ? htmlReply(true) : ErrReply(errflag);
    }

    if (action == L"word2html" || action == L"word2pdf" || action == L"word2image") {
        std::unique_ptr<WordWorker> word = services_.word ? services_.word(context) : nullptr;
        if (!word) return ErrReply(L"");
        if (action == L"word2html") {
            ok = word->Word2HTML(job.param1, job.param2, html, errflag, false);
            return ok ? htmlReply(true) : ErrReply(errflag);
        }
        if (action == L"word2pdf") {
            ok = word->Word2Pdf(job.param1, job.param2, name, errflag);
            return ok ? fileReply() : ErrReply(errflag);
        }
        ok = word->Word2Image(job.param1, job.param2, html, errflag);
        return ok ? htmlReply(true) : ErrReply(errflag);
    }

    if (action == L"excelsheetname" || action == L"excel2html" || action == L"excel2pdf" ||
        action == L"excel2image") {
        std::unique_ptr<ExcelWorker> excel = services_.excel ? services_.excel(context) : nullptr;
        if (!excel) return ErrReply(L"");
        if (action == L"excelsheetname") {
            ok = excel->GetExcelWorkSheetName(job.param1, job.param2, sheetname, errflag);
            if (!ok) return ErrReply(errflag);
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"sheetname", sheetname);
            return reply.GetJsonString();
        }
        if (action == L"excel2html") {
            ok = excel->Excel2HTML(job.param1, job.param2, html, errflag, false);
            return ok ? htmlReply(true) : ErrReply(errflag);
        }
        if (action == L"excel2pdf") {
            ok = excel->Excel2Pdf(job.param1, job.param2, name, errflag);
            return ok ? fileReply() : ErrReply(errflag);
        }
        ok = excel->Excel2ImageByPdf(job.param1, job.param2, html, errflag);
        return ok ? htmlReply(true) : ErrReply(errflag);
    }

    if (action == L"ppt2pdf" || action == L"ppt2image") {
        std::unique_ptr<PptWorker> ppt = services_.ppt ? services_.ppt(context) : nullptr;
        if (!ppt) return ErrReply(L"");
        if (action == L"ppt2pdf") {
            ok = ppt->Ppt2Pdf(job.param1, job.param2, name, errflag);
            return ok ? fileReply() : ErrReply(errflag);
        }
        ok = ppt->Ppt2Image(job.param1, job.param2, html, errflag);
        return ok ? htmlReply(true) : ErrReply(errflag);
    }

    if (action == L"pdf2image") {
        std::unique_ptr<PdfWorker> pdf = services_.pdf ? services_.pdf(context) : nullptr;
        if (!pdf) return ErrReply(L"");
        ok = pdf->Pdf2Html(job.param1, job.param2, html, errflag);
        return ok ? htmlReply(true) : ErrReply(errflag);
    }

    if (action == L"capture") {
        cCapture_.reset();  // an earlier capture's windows close; its hand-back never comes
        if (!services_.capture) return ErrReply(L"");
        std::shared_ptr<const JobToken> token = context.token;
        cCapture_ = services_.capture([this, token](const std::wstring& result) {
            if (!token->superseded) cCapture_ReturnValue(result);
        });
        if (!cCapture_) return ErrReply(L"");
        CaptureSession* session = cCapture_.get();
        session->Capture();  // may hand back at once, and release the session doing so
        return std::wstring();
    }

    if (action == L"wordeqshow") {
        cShowWordEq_.reset();
        if (!services_.equation) return ErrReply(L"");
        std::shared_ptr<const JobToken> token = context.token;
        cShowWordEq_ = services_.equation(context, [this, token](const std::wstring& state) {
            if (!token->superseded) cShowWordEq_ReturnValue(state);
        });
        if (!cShowWordEq_) return ErrReply(L"");
        EquationSession* session = cShowWordEq_.get();
        session->ShowEQ(job.param2, job.param1);
        return std::wstring();
    }
    return ErrReply(L"");
}

void Core15200::cCapture_ReturnValue(const std::wstring& result) {
    if (result.empty()) return;
    KeepAlive keepAlive(this);
    try {
        resultText_ = CaptureReply(result);
    } catch (...) {
        // Reading the captured image raised: the capture ends without one.
        cCapture_.reset();
        resultText_ = ErrReply(L"");
    }
}

std::wstring Core15200::CaptureReply(const std::wstring& result) {
    clsJSON reply;
    if (result == L"cancel") {
        cCapture_.reset();
        reply.AddItemString(L"state", L"err");
        reply.AddItemString(L"errflag", L"cancel");
    } else if (result == L"ok") {
        cCapture_.reset();  // closes the capture windows first
        std::unique_ptr<ClipboardService> clipboard =
            services_.clipboard ? services_.clipboard() : nullptr;
        std::wstring image = clipboard ? clipboard->GetClipboardImage() : std::wstring();
        if (image.empty()) {
            reply.AddItemString(L"state", L"err");
            reply.AddItemString(L"errflag", L"cbnopngbmp");
        } else {
            reply.AddItemString(L"state", L"ok");
            reply.AddItemString(L"image", image);
        }
    } else if (result == L"nobitmap") {
        // The region could not be painted or placed on the clipboard: whatever image is there
        // belongs to someone else and is not this capture.
        cCapture_.reset();
        reply.AddItemString(L"state", L"err");
        reply.AddItemString(L"errflag", L"cbnopngbmp");
    } else {
        reply.AddItemString(L"state", L"err");
        reply.AddItemString(L"errflag", L"");
    }
    return reply.GetJsonString();
}

void Core15200::cShowWordEq_ReturnValue(const std::wstring& state) {
    if (state.empty()) return;
    KeepAlive keepAlive(this);
    try {
        resultText_ = EquationReply(state);
    } catch (...) {
        cShowWordEq_.reset();
        resultText_ = ErrReply(L"");
    }
}

std::wstring Core15200::EquationReply(const std::wstring& state) {
    clsJSON reply;
    if (state == L"cancel") {
        cShowWordEq_.reset();
        reply.AddItemString(L"state", L"err");
        reply.AddItemString(L"errflag", L"cancel");
    } else if (state == L"ok") {
        cShowWordEq_.reset();
        reply.AddItemString(L"state", L"ok");
        reply.AddItemString(L"html", Process().equationHtmlResult);
        reply.AddItemString(L"actkey", job_.context.actKey);
    } else {
        reply.AddItemString(L"state", L"err");
        reply.AddItemString(L"errflag", L"");
    }
    return reply.GetJsonString();
}

void Core15200::moTimerCacheDir_Timer() {
    try {
        frmTimer& form = frmTimer::Instance();
        const basPublic::DateTime now = basPublic::LocalNow();
        if (form.cacheTag.size() == 14 && basPublic::FormatDateTime(now, 5) < form.cacheTag) return;
        form.cacheTag = basPublic::FormatDateTime(basPublic::AddMinutes(now, 10), 5);
        basPublic::CleanCacheRoot(now);
    } catch (...) {
        // The clean-up ignores its failures; the next due tick tries again.
    }
}

void Core15200::CacheDelete(const std::wstring& name) {
    if (!IsAlphanumeric(name)) return;
    basFile::DeleteFolder(Process().tempRoot + name + L"\\", false);
}

std::wstring Core15200::EquationControlInstalled(const std::wstring& version) {
    std::wstring digits;
    for (wchar_t c : version)
        if (c != L'.') digits += c;
    const std::wstring progId = L"Quorallion.WordEqV" + digits;
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(progId.c_str(), &clsid))) return L"no";
    com::ComPtr<IUnknown> object;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, object.put_void());
    return SUCCEEDED(hr) && object ? L"yes" : L"no";
}

}  // namespace quorallion
