#include "product_services.h"

#include "capture_services.h"
#include "import_services.h"

namespace quorallion {

const CoreServices& ProductServices() {
    static const CoreServices services = [] {
        CoreServices s;
        s.clipboard = [] { return MakeClipboardService(); };
        s.word = [](const JobContext& context) { return MakeWordWorker(context); };
        s.pdf = [](const JobContext& context) { return MakePdfWorker(context); };
        s.excel = [](const JobContext& context) { return MakeExcelWorker(context); };
        s.ppt = [](const JobContext& context) { return MakePptWorker(context); };
        s.capture = [](ReturnValueHandler returnValue) { return MakeCaptureSession(std::move(returnValue)); };
        s.equation = [](const JobContext& context, ReturnValueHandler returnValue) {
            return MakeEquationSession(context, std::move(returnValue));
        };
        // Releasing any core object unloads every form of the process.
        s.unloadForms = [] {
            UnloadCaptureForms();
            UnloadEquationForm();
            UnloadUnprotectForm();
        };
        return s;
    }();
    return services;
}

}  // namespace quorallion
