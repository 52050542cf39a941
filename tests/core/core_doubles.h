#pragma once
// Test doubles for the core's neighbours, and a fixture that makes Core15200 objects in this
// process and pumps their timers.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Core15200.h"
#include "json/clsJSON.h"
#include "process_state.h"
#include "services.h"
#include "support/dispatch_client.h"

namespace quorallion::testing {

// A Word worker whose conversions are given by the test.
class FakeWord : public WordWorker {
public:
    explicit FakeWord(JobContext context) : context_(std::move(context)) {}
    std::function<bool(const JobContext&, std::wstring&, std::wstring&)> pdf;

    bool Word2HTML(const std::wstring&, const std::wstring&, std::wstring& html,
                   std::wstring& errflag, bool) override {
        html = L"<p>word</p>";
        return true;
    }
    std::wstring OptimizeHTML(const std::wstring& html) override { return L"optimised:" + html; }
    bool Word2Pdf(const std::wstring&, const std::wstring&, std::wstring& name,
                  std::wstring& errflag) override {
        return pdf ? pdf(context_, name, errflag) : false;
    }
    bool Word2Image(const std::wstring&, const std::wstring&, std::wstring&,
                    std::wstring& errflag) override {
        errflag = L"gsdll";
        return false;
    }
    bool WordPaste2Image(const std::wstring&, std::wstring& image, std::wstring&) override {
        image = context_.jobFolder + L"1.png";
        return true;
    }

private:
    JobContext context_;
};

class FakeClipboard : public ClipboardService {
public:
    std::wstring image, html = L"<html>doc</html>";
    std::wstring GetClipboardFileList() override { return L"C:\\a.png|C:\\b.png"; }
    std::wstring GetClipboardHTMLForPaste() override { return html; }
    std::wstring GetClipboardText() override { return std::wstring(L"a\x0b\x0c\x07", 4); }
    void GetClipboardTypes(clsJSON& reply) override;
    std::wstring GetClipboardImage() override { return image; }
    std::wstring GetClipboardSourceApp() override { return L"word"; }
    void SetClipboardHTML(const std::wstring&, const std::wstring&) override {}
    std::wstring GetClipboardHTMLDocument() override { return html; }
};

class FakeCapture : public CaptureSession {
public:
    explicit FakeCapture(ReturnValueHandler onReturn) : handler(std::move(onReturn)) {}
    ~FakeCapture() override { ++closed; }
    void Capture() override { ++started; }
    ReturnValueHandler handler;
    static inline int started = 0, closed = 0;
};

class FakeEquation : public EquationSession {
public:
    explicit FakeEquation(ReturnValueHandler onReturn) : handler(std::move(onReturn)) {}
    void ShowEQ(const std::wstring& data, const std::wstring& options) override {
        shownData = data;
        shownOptions = options;
    }
    ReturnValueHandler handler;
    static inline std::wstring shownData, shownOptions;
};

class CoreFixture : public ::testing::Test {
protected:
    CoreFixture() {
        services.clipboard = [this] {
            auto clipboard = std::make_unique<FakeClipboard>();
            clipboard->image = clipboardImage;
            return clipboard;
        };
        services.word = [this](const JobContext& context) {
            auto word = std::make_unique<FakeWord>(context);
            word->pdf = wordPdf;
            return word;
        };
        services.capture = [this](ReturnValueHandler handler) {
            auto capture = std::make_unique<FakeCapture>(std::move(handler));
            lastCapture = capture.get();
            return capture;
        };
        services.equation = [this](const JobContext&, ReturnValueHandler handler) {
            auto equation = std::make_unique<FakeEquation>(std::move(handler));
            lastEquation = equation.get();
            return equation;
        };
    }

    ~CoreFixture() override {
        for (Core15200* object : objects_) {
            object->Terminate();
            object->Release();
        }
    }

    Core15200* NewCore() {
        objects_.push_back(new Core15200(services));
        return objects_.back();
    }

    // The client lets go of one object (what the COM face does on its last Release).
    void ReleaseCore(Core15200* object) {
        object->Terminate();
        object->Release();
        std::erase(objects_, object);
    }

    static std::wstring Call(Core15200* core, const std::wstring& action,
                             const std::wstring& p1 = L"", const std::wstring& p2 = L"",
                             const std::wstring& config = L"{}") {
        return core->GetInfo(config, action, p1, p2, L"");
    }

    // Runs timer ticks until the object's job left the wait state.
    static std::wstring Await(Core15200* core) {
        for (int i = 0; i < 300; ++i) {
            std::wstring reply = Call(core, L"asyncresult");
            if (reply != Core15200::kWaitReply) return reply;
            PumpFor(10);
        }
        return L"<still waiting>";
    }

    CoreServices services;
    std::wstring clipboardImage;
    std::function<bool(const JobContext&, std::wstring&, std::wstring&)> wordPdf;
    FakeCapture* lastCapture = nullptr;
    FakeEquation* lastEquation = nullptr;
    ComApartment apartment_;

private:
    std::vector<Core15200*> objects_;
};

inline void FakeClipboard::GetClipboardTypes(clsJSON& reply) {
    reply.AddItemString(L"text", L"1");
    reply.AddItemString(L"html", L"1");
    reply.AddItemString(L"source", L"word");
}

inline void WriteFile(const std::wstring& path, size_t bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    std::string data(bytes, 'x');
    DWORD written = 0;
    ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace quorallion::testing
