#pragma once
// The core's one class: GetInfo answers short actions at once and runs long ones as jobs from the
// shared 1 ms timer, leaving their reply for "asyncresult".
#include <memory>
#include <string>

#include "services.h"

namespace quorallion {

class Core15200 {
public:
    // Object creation: temp root, language, the repair flag and the clean-up timer.
    explicit Core15200(const CoreServices& services);
    Core15200(const Core15200&) = delete;
    Core15200& operator=(const Core15200&) = delete;

    // Reference count of the C++ object. Code that may let messages run holds a reference, so
    // that a client's release meanwhile cannot free the object under it.
    void AddRef() { ++refs_; }
    void Release() {
        if (--refs_ == 0) delete this;
    }

    // The client released the object: every form of the process is unloaded.
    void Terminate();

    // Throws basPublic::JobFolderError when a job folder cannot be made.
    std::wstring GetInfo(std::wstring s_Config, std::wstring s_Action, std::wstring s_Param1,
                         std::wstring s_Param2, std::wstring s_Param3);

    void cCapture_ReturnValue(const std::wstring& result);
    void cShowWordEq_ReturnValue(const std::wstring& state);

    // Called for every tick of the shared timers.
    void moTimerAsyncDo_Timer();
    void moTimerCacheDir_Timer();
    // A job is stored and waits for the job timer (or for the running worker to return).
    bool JobPending() const { return jobPending_; }

    static constexpr wchar_t kWaitReply[] = L"{\"state\":\"wait\"}";
    static constexpr wchar_t kCancelReply[] = L"{\"state\":\"err\",\"errflag\":\"cancel\"}";

private:
    ~Core15200();

    struct Job {
        std::wstring action, config, param1, param2;
        JobContext context;
    };

    void StartJob(const std::wstring& action, const std::wstring& config,
                  const std::wstring& param1, const std::wstring& param2);
    // Runs the stored job; whatever the worker raises ends the job with state "err".
    void RunJob(const Job& job);
    // The job's reply, or the empty text when a hand-back answers later. errflag is the text the
    // worker fills, kept by the caller for the reply of a worker that raised.
    std::wstring RunWorker(const Job& job, std::wstring& errflag);
    std::wstring CaptureReply(const std::wstring& result);
    std::wstring EquationReply(const std::wstring& state);
    void CacheDelete(const std::wstring& name);
    static std::wstring EquationControlInstalled(const std::wstring& version);
    static std::wstring ErrReply(const std::wstring& errflag);

    const CoreServices& services_;
    int refs_ = 1;
    bool terminated_ = false;

    std::wstring resultText_;
    bool boundToAsyncTimer_ = false;  // moTimerAsyncDo
    bool jobPending_ = false;         // stored and waiting for the job timer
    Job job_;
    std::shared_ptr<JobToken> jobToken_;

    std::unique_ptr<CaptureSession> cCapture_;
    std::unique_ptr<EquationSession> cShowWordEq_;
};

}  // namespace quorallion
