// The core's clipboard seam over basClipBoard. The clipboard readers answer empty rather than
// fail; an error of the pattern engine (no regular-expression object) is answered the same way.
#include <stdexcept>

#include "clipboard/basClipBoard.h"
#include "import_services.h"
#include "json/clsJSON.h"
#include "word/clsOfficeWord.h"
#include "word/frmUnProtect_win.h"

namespace quorallion {

namespace {

template <typename Read>
std::wstring EmptyOnError(Read&& read) {
    try {
        return read();
    } catch (const std::exception&) {
        return L"";
    }
}

class ClipboardModule : public ClipboardService {
public:
    std::wstring GetClipboardFileList() override {
        return EmptyOnError(basClipBoard::GetClipboardFileList);
    }
    std::wstring GetClipboardHTMLForPaste() override {
        return EmptyOnError(basClipBoard::GetClipboardHTMLForPaste);
    }
    std::wstring GetClipboardText() override {
        return EmptyOnError(basClipBoard::GetClipboardText);
    }
    void GetClipboardTypes(clsJSON& reply) override {
        clsJSON items;
        try {
            basClipBoard::GetClipboardTypes(items);
        } catch (const std::exception&) {
            return;
        }
        reply.SetJsonString(MergedItems(reply, items));
    }
    std::wstring GetClipboardImage() override {
        return EmptyOnError(basClipBoard::GetClipboardImage);
    }
    std::wstring GetClipboardSourceApp() override {
        return EmptyOnError(basClipBoard::GetClipboardSourceApp);
    }
    void SetClipboardHTML(const std::wstring& html, const std::wstring& text) override {
        try {
            basClipBoard::SetClipboardHTML(html, text);
        } catch (const std::exception&) {
        }
    }
    std::wstring GetClipboardHTMLDocument() override {
        return EmptyOnError(basClipBoard::GetClipboardHTMLDocument);
    }

private:
    // The reply's items followed by the report's, so that a failure halfway adds nothing.
    static std::wstring MergedItems(const clsJSON& reply, const clsJSON& items) {
        std::wstring before = reply.GetJsonString();
        std::wstring added = items.GetJsonString();
        before = before.substr(1, before.size() - 2);
        added = added.substr(1, added.size() - 2);
        if (before.empty()) return added;
        if (added.empty()) return before;
        return before + L"," + added;
    }
};

}  // namespace

std::unique_ptr<ClipboardService> MakeClipboardService() {
    return std::make_unique<ClipboardModule>();
}

std::unique_ptr<WordWorker> MakeWordWorker(const JobContext& context) {
    // A protected document asks for its password on the skinned prompt.
    static const bool promptInstalled = (frmUnProtect::Install(), true);
    (void)promptInstalled;
    return std::make_unique<clsOfficeWord>(context);
}

}  // namespace quorallion
