// Times what a paste of a large Word selection costs: the "gcbhtml" read of the clipboard's
// "HTML Format" and each step of the Word HTML clean-up, on our own matcher beside the platform's
// "VBScript.RegExp" running the same steps' patterns in the same run; then crafted pastes that
// drive a backtracking engine quadratic, at three sizes, to show that every pass is linear.
// Run under Wine: wine64 clipboard_bench.exe [fixture folder]
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "import_services.h"
#include "shared_fixtures.h"
#include "html/element_extract.h"
#include "html/script_removal.h"
#include "regex/basRegExp.h"
#include "word/clsOfficeWord.h"
#include "word/style_blocks.h"
#include "word/word_cleanup.h"

namespace {

using quorallion::word::PlatformStep;
using StepTimes = std::map<int, double>;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// A Word document of about `bytes`: the fixture's head, its body content repeated.
std::string LargeWordDocument(const std::string& fixture, size_t bytes) {
    const size_t bodyOpen = fixture.find("<body");
    const size_t bodyStart = fixture.find('>', bodyOpen) + 1;
    const size_t bodyEnd = fixture.rfind("</body>");
    if (bodyOpen == std::string::npos || bodyEnd == std::string::npos || bodyEnd < bodyStart)
        return "";
    const std::string content = fixture.substr(bodyStart, bodyEnd - bodyStart);
    std::string document = fixture.substr(0, bodyStart);
    while (document.size() < bytes) document += content;
    return document + fixture.substr(bodyEnd);
}

std::wstring Widen(const std::string& utf8) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
    return text;
}

bool PutHtmlFormat(const std::string& document) {
    const std::string block = "Version:1.0\r\nStartHTML:0000000105\r\nEndHTML:0000000000\r\n"
                              "StartFragment:0000000000\r\nEndFragment:0000000000\r\n" + document;
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, block.size() + 1);
    bool ok = false;
    if (memory) {
        char* p = static_cast<char*>(::GlobalLock(memory));
        memcpy(p, block.data(), block.size());
        p[block.size()] = 0;
        ::GlobalUnlock(memory);
        ok = ::SetClipboardData(::RegisterClipboardFormatW(L"HTML Format"), memory) != nullptr;
        if (!ok) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return ok;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Time(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return Seconds(start);
}

// The clean-up as the server ran it before, every replacement on the platform's engine.
StepTimes PlatformCleanup(const std::wstring& input) {
    StepTimes times;
    auto run = [&times](const PlatformStep& step, std::wstring& text) {
        times[step.number] = Time([&] {
            if (step.number == 30 &&
                quorallion::basRegExp::RegExpTest(quorallion::word::kInternalLinkPattern, text))
                return;
            text = step.untilStable
                       ? quorallion::basRegExp::RegExpReplaceAll(text, step.pattern, step.replacement)
                       : quorallion::basRegExp::RegExpReplace(text, step.pattern, step.replacement);
        });
    };
    const std::vector<PlatformStep>& steps = quorallion::word::PlatformSteps();
    std::wstring html = input;
    run(steps[0], html);
    std::wstring css;
    times[2] = Time([&] {
        const std::wstring head = quorallion::html::ExtractElement(html, quorallion::html::kHeadContent);
        for (const std::wstring& element : quorallion::word::CollectStyleElements(head)) {
            if (!css.empty()) css += L"\r\n";
            css += element;
        }
    });
    std::wstring body;
    times[20] = Time([&] { body = quorallion::html::ExtractElement(html, quorallion::html::kBodyContent); });
    for (const PlatformStep& step : steps) {
        if (step.number >= 4 && step.number <= 19) run(step, css);
        if (step.number >= 21) run(step, body);
    }
    return times;
}

double Total(const StepTimes& times) {
    double total = 0;
    for (const auto& [step, seconds] : times) total += seconds;
    return total;
}

void CleanupOnFixture(const std::string& document, const char* label, bool withPlatform,
                      double& oursTotal) {
    const std::wstring text = Widen(document);
    StepTimes ours;
    std::wstring cleaned;
    oursTotal = Time([&] {
        cleaned = quorallion::clsOfficeWord::OptimizeHTML(
            text, [&ours](int step, double seconds) { ours[step] += seconds; });
    });
    StepTimes platform;
    if (withPlatform) platform = PlatformCleanup(text);
    std::printf("\nOptimizeHTML on %s (%zu characters -> %zu)\n", label, text.size(), cleaned.size());
    std::printf("  step   platform      ours\n");
    for (const auto& [step, seconds] : ours) {
        if (withPlatform)
            std::printf("  %4d  %8.3f s  %8.4f s\n", step, platform[step], seconds);
        else
            std::printf("  %4d         -    %8.4f s\n", step, seconds);
    }
    if (withPlatform)
        std::printf("  total %8.3f s  %8.3f s (steps summed; ours whole call %.3f s)\n",
                    Total(platform), Total(ours), oursTotal);
    else
        std::printf("  total        -    %8.3f s (whole call)\n", oursTotal);
}

// Crafted text of `bytes` characters made of `piece` again and again.
std::wstring Repeated(const std::wstring& piece, size_t characters) {
    std::wstring text;
    text.reserve(characters + piece.size());
    while (text.size() < characters) text += piece;
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder =
        argc > 1 ? argv[1] : quorallion::testing::SharedFixturePath("word-clipboard", "");
    const bool withPlatform = !(argc > 2 && std::string(argv[2]) == "--ours-only");
    const std::string fixture = ReadFile(folder + "list-multiple.html");
    const std::string document = LargeWordDocument(fixture, 5 * 1024 * 1024);
    const std::string doubled = LargeWordDocument(fixture, 10 * 1024 * 1024);
    if (document.empty()) {
        std::printf("no Word fixture at %s\n", folder.c_str());
        return 1;
    }
    ::CoInitialize(nullptr);
    std::printf("Word clipboard HTML: %zu bytes (UTF-8); doubled: %zu bytes\n", document.size(),
                doubled.size());

    // "gcbhtml" on the 5 MB document, and its script removal alone on both engines.
    if (!PutHtmlFormat(document)) {
        std::printf("the clipboard could not be written\n");
        return 1;
    }
    auto clipboard = quorallion::MakeClipboardService();
    std::wstring pasted;
    const double paste = Time([&] { pasted = clipboard->GetClipboardHTMLForPaste(); });
    std::printf("gcbhtml: %.3f s, %zu characters\n", paste, pasted.size());
    const std::wstring raw = Widen(document);
    const double scriptsOurs = Time([&] { quorallion::html::RemoveScriptElements(raw); });
    if (withPlatform) {
        const double scriptsPlatform = Time([&] {
            quorallion::basRegExp::RegExpReplace(raw, quorallion::html::kScriptElementPattern, L"");
        });
        std::printf("  script removal: platform %.3f s, ours %.4f s\n", scriptsPlatform, scriptsOurs);
    } else {
        std::printf("  script removal: ours %.4f s\n", scriptsOurs);
    }

    double five = 0, ten = 0;
    CleanupOnFixture(document, "5 MB", withPlatform, five);
    CleanupOnFixture(doubled, "10 MB", withPlatform, ten);
    std::printf("\nOptimizeHTML ours: 10 MB / 5 MB = %.2f\n", ten / five);

    // Crafted pastes: what makes a backtracking engine try every start to the end of the text.
    struct Crafted {
        const char* what;
        std::wstring piece;
        std::vector<int> steps;  // 0: the script removal
    };
    const std::vector<Crafted> crafted = {
        {"unclosed <script>", L"<script>", {0}},
        {"closed <script>", L"<script>x</script>", {0}},
        {"unclosed <a name>", L"<a name=x>", {29, 30}},
        {"<span runs", L"<span", {31, 33, 34}},
        {"unclosed comments", L"<!--", {27}},
        {"<!--[if floods", L"<!--[if gte mso 9]><!--[if gte vml 1]><!--[if mso ", {1, 21, 23, 26}},
        {"unclosed smart tags", L"<st1:a x>", {32}},
        {"unclosed style rules", L"{mso-a:b;", {12, 13, 14, 17}},
    };
    std::printf("\nCrafted text, ours (seconds per step; 5 MB / 1 MB should be about 5)\n");
    for (const Crafted& c : crafted) {
        for (int step : c.steps) {
            double at[3] = {0, 0, 0};
            const size_t sizes[3] = {80 * 1024, 1024 * 1024, 5 * 1024 * 1024};
            for (int i = 0; i < 3; ++i) {
                const std::wstring text = Repeated(c.piece, sizes[i]);
                at[i] = Time([&] {
                    if (step == 0)
                        quorallion::html::RemoveScriptElements(text);
                    else
                        quorallion::word::RunStep(step, text, nullptr);
                });
            }
            std::printf("  %-22s step %2d: 80 KB %.4f s, 1 MB %.4f s, 5 MB %.4f s (x%.1f)\n", c.what,
                        step, at[0], at[1], at[2], at[1] > 0 ? at[2] / at[1] : 0.0);
        }
    }

    // "gcbhtml" on a crafted 5 MB paste: unclosed script elements throughout.
    std::string scripts;
    while (scripts.size() < 5 * 1024 * 1024) scripts += "<script>";
    if (PutHtmlFormat("<html><body>" + scripts + "</body></html>")) {
        const double craftedSeconds = Time([&] { pasted = clipboard->GetClipboardHTMLForPaste(); });
        std::printf("\ngcbhtml on 5 MB of unclosed <script>: %.3f s, %zu characters\n", craftedSeconds,
                    pasted.size());
    }
    ::CoUninitialize();
    return 0;
}
