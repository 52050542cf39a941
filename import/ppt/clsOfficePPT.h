#pragma once
// The presentation worker of the core's presentation jobs: PowerPoint (or the WPS presentation
// program) driven by late binding exports a presentation as a PDF into the job folder; page
// images are rendered from that PDF by the PDF worker.
#include <string>

#include "services.h"

namespace quorallion {

class clsOfficePPT : public PptWorker {
public:
    explicit clsOfficePPT(JobContext context = {}) : context_(std::move(context)) {}

    // The PDF's file name in the job folder. Options "api", "docprop", "hide", "title". Errflags
    // "ext", "wpscompat", "pptcreate", "office2007plus", "pptopen", "saveaspdf".
    bool Ppt2Pdf(const std::wstring& presentationPath, const std::wstring& options, std::wstring& name,
                 std::wstring& errflag) override;
    // The PDF's pages as img tags. Options "api", "bl", "imgtype"; also "cancel", "gsdll".
    bool Ppt2Image(const std::wstring& presentationPath, const std::wstring& options, std::wstring& html,
                   std::wstring& errflag) override;

private:
    JobContext context_;
};

}  // namespace quorallion
