// Times what a paste of a large Word selection costs: the "gcbhtml" read of the clipboard's
// "HTML Format" and each step of the Word HTML clean-up, so that the slow patterns show.
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "import_services.h"
#include "shared_fixtures.h"
#include "clipboard/cf_html.h"
#include "word/clsOfficeWord.h"

namespace {

constexpr size_t kTargetBytes = 5 * 1024 * 1024;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// A Word document of about 5 MB: the fixture's head, its body content repeated.
std::string LargeWordDocument(const std::string& fixture) {
    const size_t bodyOpen = fixture.find("<body");
    const size_t bodyStart = fixture.find('>', bodyOpen) + 1;
    const size_t bodyEnd = fixture.rfind("</body>");
    if (bodyOpen == std::string::npos || bodyEnd == std::string::npos || bodyEnd < bodyStart)
        return "";
    const std::string content = fixture.substr(bodyStart, bodyEnd - bodyStart);
    std::string document = fixture.substr(0, bodyStart);
    while (document.size() < kTargetBytes) document += content;
    return document + fixture.substr(bodyEnd);
}

std::wstring Widen(const std::string& utf8) {
    int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
    return text;
}

bool PutHtmlFormat(const std::string& block) {
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

}  // namespace

int main(int argc, char** argv) {
    const std::string folder =
        argc > 1 ? argv[1] : quorallion::testing::SharedFixturePath("word-clipboard", "");
    const std::string fixture = ReadFile(folder + "list-multiple.html");
    const std::string document = LargeWordDocument(fixture);
    if (document.empty()) {
        std::printf("no Word fixture at %s\n", folder.c_str());
        return 1;
    }
    ::CoInitialize(nullptr);
    std::printf("Word clipboard HTML: %zu bytes (UTF-8)\n", document.size());

    // "gcbhtml": header, document and fragment comments as Word writes them.
    const std::string block = "Version:1.0\r\nStartHTML:0000000105\r\nEndHTML:0000000000\r\n"
                              "StartFragment:0000000000\r\nEndFragment:0000000000\r\n" + document;
    if (!PutHtmlFormat(block)) {
        std::printf("the clipboard could not be written\n");
        return 1;
    }
    auto clipboard = quorallion::MakeClipboardService();
    auto start = std::chrono::steady_clock::now();
    std::wstring pasted = clipboard->GetClipboardHTMLForPaste();
    std::printf("gcbhtml: %.3f s, %zu characters\n", Seconds(start), pasted.size());
    start = std::chrono::steady_clock::now();
    std::wstring raw = clipboard->GetClipboardHTMLDocument();
    std::printf("clipboard html element (paste job's read): %.3f s\n", Seconds(start));

    // The clean-up, step by step.
    std::map<int, double> steps;
    start = std::chrono::steady_clock::now();
    std::wstring cleaned = quorallion::clsOfficeWord::OptimizeHTML(
        Widen(document), [&steps](int step, double seconds) { steps[step] += seconds; });
    const double total = Seconds(start);
    std::printf("OptimizeHTML: %.3f s, %zu -> %zu characters\n", total, raw.size(), cleaned.size());
    for (const auto& [step, seconds] : steps)
        std::printf("  step %2d: %8.3f s%s\n", step, seconds, seconds > total / 10 ? "  <- slow" : "");
    ::CoUninitialize();
    return 0;
}
