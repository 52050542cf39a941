#pragma once
// The Word worker of the core's paste and document jobs. This build has its HTML clean-up; the
// Office automation conversions answer false with an empty errflag until they are added.
#include <functional>
#include <string>

#include "services.h"

namespace quorallion {

class clsOfficeWord : public WordWorker {
public:
    explicit clsOfficeWord(JobContext context = {}) : context_(std::move(context)) {}

    // Word's HTML reduced to one style element and one body element (see the .cpp for the steps).
    std::wstring OptimizeHTML(const std::wstring& html) override;

    // Told after each numbered step of the clean-up how long it took, for the benchmark.
    using StepObserver = std::function<void(int step, double seconds)>;
    static std::wstring OptimizeHTML(const std::wstring& html, const StepObserver& observer);

    bool Word2HTML(const std::wstring& documentPath, const std::wstring& options,
                   std::wstring& html, std::wstring& errflag, bool paste) override;
    bool Word2Pdf(const std::wstring& documentPath, const std::wstring& options,
                  std::wstring& name, std::wstring& errflag) override;
    bool Word2Image(const std::wstring& documentPath, const std::wstring& options,
                    std::wstring& html, std::wstring& errflag) override;
    bool WordPaste2Image(const std::wstring& options, std::wstring& image,
                         std::wstring& errflag) override;

private:
    JobContext context_;
};

}  // namespace quorallion
