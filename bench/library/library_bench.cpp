// Prints MergeCss and MergeCssQuick on 1 MB and 5 MB of HTML with 200 rules (juice's time on the
// same 1 MB is printed beside it by run.sh), and clsHugeBinaryFile's 1 MB block writes and reads in
// MB/s beside bare WriteFile/ReadFile. Usage: library_bench <folder for the CSS input and scratch>
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "css/clsCSS.h"
#include "css/engine_chars_win.h"
#include "hugefile/clsHugeBinaryFile.h"

using namespace quorallion;
using Clock = std::chrono::steady_clock;

namespace {

template <typename F>
double Seconds(F&& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const wchar_t* const kTags[] = {L"p", L"div", L"span", L"td", L"li", L"a", L"h2", L"em"};

// 200 rules: element rules, class rules and tag.class rules over 60 class names.
std::wstring Sheet() {
    std::wstring css;
    for (int i = 0; i < 200; ++i) {
        std::wstring selector;
        if (i < 8) selector = kTags[i];
        else if (i % 2) selector = L".c" + std::to_wstring(i % 60);
        else selector = std::wstring(kTags[i % 8]) + L".c" + std::to_wstring(i % 60);
        css += selector + L" { color: #" + std::to_wstring(100000 + i) + L"; margin: " + std::to_wstring(i % 7) +
               L"px; }\n";
    }
    return css;
}

std::wstring Page(size_t targetChars) {
    std::wstring html = L"<html><head><title>bench</title></head><body>\n";
    for (int n = 0; html.size() < targetChars; ++n) {
        const std::wstring tag = kTags[n % 8];
        html += L"<" + tag + L" id=\"e" + std::to_wstring(n) + L"\" class=\"c" + std::to_wstring(n % 60) +
                L"\" style=\"padding:1px\">Some text of element " + std::to_wstring(n) + L"</" + tag + L">\n";
    }
    return html + L"</body></html>\n";
}

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), length, nullptr, nullptr);
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    ::CloseHandle(h);
    return ok;
}

void CssFigures(const std::wstring& folder) {
    const std::wstring css = Sheet(), html = Page(1024 * 1024), large = Page(5 * 1024 * 1024);
    if (!WriteUtf8(folder + L"bench.html", html) || !WriteUtf8(folder + L"bench.css", css))
        std::printf("could not write the CSS input for juice\n");
    // What the engine takes characters for is asked once per process, at the first use.
    const double table = Seconds([&] { css::EngineCharsOfPlatform(css::kScanLiterals); });
    clsCSS inliner;
    std::wstring merged, quick;
    std::printf("CSS inliner, 200 rules (the engine's character table asked once first: %.0f ms):\n", table * 1000);
    for (const std::wstring* page : {&html, &large}) {
        const double full = Seconds([&] { merged = inliner.MergeCss(*page, css); });
        const double fast = Seconds([&] { quick = inliner.MergeCssQuick(*page, css); });
        std::printf("  %zu characters of HTML:\n", page->size());
        std::printf("    MergeCss       %8.0f ms  (%zu characters out)\n", full * 1000, merged.size());
        std::printf("    MergeCssQuick  %8.0f ms  (%zu characters out)\n", fast * 1000, quick.size());
    }
}

void FileFigures(const std::wstring& folder) {
    constexpr int kBlocks = 128;
    constexpr DWORD kBlock = 1024 * 1024;
    std::vector<uint8_t> block(kBlock);
    for (DWORD i = 0; i < kBlock; ++i) block[i] = static_cast<uint8_t>(i * 131);
    const std::wstring path = folder + L"huge.bin";
    auto rate = [](double seconds) { return kBlocks / seconds; };

    clsHugeBinaryFile file;
    ::DeleteFileW(path.c_str());
    file.OpenFile(path, true, false);
    const double classWrite = Seconds([&] {
        for (int i = 0; i < kBlocks; ++i) file.PutData(block, 0, kBlock);
    });
    file.SeekAbsolute(0);
    const double classRead = Seconds([&] {
        for (int i = 0; i < kBlocks; ++i) file.GetData(block, 0, kBlock);
    });
    file.CloseFile();

    ::DeleteFileW(path.c_str());
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    const double bareWrite = Seconds([&] {
        for (int i = 0; i < kBlocks; ++i) ::WriteFile(h, block.data(), kBlock, &done, nullptr);
    });
    ::SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    const double bareRead = Seconds([&] {
        for (int i = 0; i < kBlocks; ++i) ::ReadFile(h, block.data(), kBlock, &done, nullptr);
    });
    ::CloseHandle(h);
    ::DeleteFileW(path.c_str());

    std::printf("clsHugeBinaryFile, %d blocks of 1 MB:\n", kBlocks);
    std::printf("  write  %8.0f MB/s   bare WriteFile %8.0f MB/s\n", rate(classWrite), rate(bareWrite));
    std::printf("  read   %8.0f MB/s   bare ReadFile  %8.0f MB/s\n", rate(classRead), rate(bareRead));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring folder;
    if (argc > 1) {
        folder = argv[1];
        if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    } else {
        wchar_t temp[MAX_PATH + 1] = {};
        folder.assign(temp, ::GetTempPathW(MAX_PATH + 1, temp));
    }
    if (FAILED(::CoInitialize(nullptr))) return 1;
    try {
        CssFigures(folder);
        FileFigures(folder);
    } catch (const std::exception& e) {
        std::printf("benchmark failed: %s\n", e.what());
        ::CoUninitialize();
        return 1;
    }
    ::CoUninitialize();
    return 0;
}
