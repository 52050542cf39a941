// Times "excelpaste2html"'s clean-up on a large paste: each step of clsOfficeExcel::OptimizeHTML
// (the server's own, with pending messages run before each step) on 20,000 rows of copied cells,
// three runs, the best of each step; then, beside it, the platform's "VBScript.RegExp" running
// the same steps' patterns on the same text (its matches put together by basRegExp, as its own
// Replace costs about 0.2 ms a match under Wine). Run under Wine:
//   wine64 excel_cleanup_bench.exe [rows] [--no-platform]
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "excel/clsOfficeExcel.h"
#include "excel/excel_cleanup.h"
#include "regex/basRegExp.h"
#include "tests/excel_like_html.h"

namespace {

using quorallion::clsOfficeExcel;
namespace excel = quorallion::excel;
namespace basRegExp = quorallion::basRegExp;

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Utf8Size(const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f MB as UTF-8, %zu characters", bytes / 1048576.0, text.size());
    return buffer;
}

// The platform's run of the same clean-up: seconds for the cuts and for each step.
std::map<std::string, double> PlatformRun(const std::wstring& input) {
    std::map<std::string, double> seconds;
    auto start = std::chrono::steady_clock::now();
    const std::wstring head = basRegExp::RegExpReplaceByMatches(input, excel::kHeadContentPattern, L"$1");
    std::wstring body = basRegExp::RegExpReplaceByMatches(input, excel::kBodyContentPattern, L"$1");
    std::wstring styles;
    for (const quorallion::RegExpMatch& match : basRegExp::RegExpExecute(head, excel::kStyleElementPattern)) {
        if (!styles.empty()) styles += L"\r\n";
        styles += match.Value;
    }
    seconds["cuts"] = Since(start);
    for (const excel::PlatformStep& step : excel::PlatformSteps()) {
        std::wstring& text = step.on == excel::StepText::kStyles ? styles : body;
        start = std::chrono::steady_clock::now();
        const bool skipped =
            (step.number == 2 && basRegExp::RegExpTest(excel::kRubyElementPattern, body)) ||
            (step.number == 3 && basRegExp::RegExpTest(excel::kRtElementPattern, body));
        if (!skipped)
            text = step.untilStable
                       ? basRegExp::RegExpReplaceAllByMatches(text, step.pattern, step.replacement)
                       : basRegExp::RegExpReplaceByMatches(text, step.pattern, step.replacement);
        seconds[std::to_string(step.number)] = Since(start);
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    int rows = 20000;
    bool platform = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-platform") == 0) platform = false;
        else rows = std::max(1, std::atoi(argv[i]));
    }
    if (FAILED(::CoInitialize(nullptr))) return 1;
    const std::wstring input = excel::testing::ClipboardSheet(rows);
    std::printf("OptimizeHTML on %d rows of copied cells: %s\n", rows, Utf8Size(input).c_str());

    // Three runs; each step's best time (the first run also pays for the matchers' set-up).
    std::map<std::string, double> best;
    std::vector<std::string> order;
    std::wstring fragment;
    double bestTotal = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        fragment = clsOfficeExcel::OptimizeHTML(input, false, [&](const std::string& step, double s) {
            if (run == 0) order.push_back(step);
            auto found = best.find(step);
            if (found == best.end() || s < found->second) best[step] = s;
        });
        const double total = Since(start);
        std::printf("  run %d: %.3f s in all\n", run + 1, total);
        bestTotal = std::min(bestTotal, total);
    }
    std::printf("  fragment: %s\n", Utf8Size(fragment).c_str());

    std::map<std::string, double> theirs;
    if (platform) theirs = PlatformRun(input);
    std::printf("\n  %-9s %12s %16s\n", "step", "ours (s)", platform ? "platform (s)" : "");
    double platformTotal = 0;
    for (const std::string& step : order) {
        if (platform && theirs.count(step)) {
            std::printf("  %-9s %12.4f %16.3f\n", step.c_str(), best[step], theirs[step]);
            platformTotal += theirs[step];
        } else {
            std::printf("  %-9s %12.4f\n", step.c_str(), best[step]);
        }
    }
    std::printf("  %-9s %12.3f", "total", bestTotal);
    if (platform) std::printf(" %16.3f", platformTotal);
    std::printf("\n");
    ::CoUninitialize();
    return 0;
}
