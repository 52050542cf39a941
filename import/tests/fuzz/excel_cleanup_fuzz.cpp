// Every step of the spreadsheet clean-up on our matcher, and its cuts, against the plain
// backtracking reference of the platform pattern each stands for, on spreadsheet-like text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "excel/excel_cleanup.h"
#include "tests/pattern_reference.h"

namespace {

using quorallion::html::testing::ReferenceMatcher;
namespace excel = quorallion::excel;

// Bytes from 0xC0 up stand for the pieces the patterns look for, so that short inputs reach
// deep into them; the others are characters (0xBF a wide one, 0xBE an ideographic space).
const wchar_t* const kPieces[] = {
    L"<head>", L"</head>", L"<body>", L"</body>", L"<style>", L"</style>", L"<div id=\"",
    L"Quorallion_Sheet1", L"</div>", L"<td ", L"</td>", L" x:num", L" x:num=\"1.5\"", L" x:str",
    L"<table ", L"<img ", L" v:shapes=\"P\"", L" style='", L" style=\"", L"mso-a:b;",
    L"mso-x:\"q\";", L"mso-i : c", L"<ruby>", L"<rt>", L"ruby {x:y}", L"rt{a:b}", L"a:link {c}",
    L"@page {m}", L"/* c */", L"<!--", L"-->", L"<!--[if gte mso 9]>", L"<!--[if gte vml 1]>",
    L"<![endif]-->", L"<![if !vml]>", L"<![endif]>", L"<![if !supportMisalignedColumns]>",
    L"<![if supportMisalignedColumns]>", L"<!--[if !excel]>", L"<!--[if mso ",
    L"v\\:* {behavior:url(#default#VML);}", L"st1\\:*{behavior:url(#ieooui) }", L"\r\n",
};
constexpr size_t kPieceCount = sizeof kPieces / sizeof kPieces[0];

std::wstring Reference(const excel::PlatformStep& step, const std::wstring& text) {
    if (step.number == 2 && ReferenceMatcher(excel::kRubyElementPattern).Test(text)) return text;
    if (step.number == 3 && ReferenceMatcher(excel::kRtElementPattern).Test(text)) return text;
    ReferenceMatcher reference(step.pattern);
    std::wstring current = text;
    for (int pass = 0; pass < 1000; ++pass) {
        std::wstring next = reference.Replace(current, step.replacement);
        if (next == current) break;
        current = std::move(next);
        if (!step.untilStable) break;
    }
    return current;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= 0xC0 && data[i] - 0xC0u < kPieceCount)
            text += kPieces[data[i] - 0xC0];
        else if (data[i] == 0xBF)
            text += L'\x4e2d';
        else if (data[i] == 0xBE)
            text += L'\x3000';
        else
            text += static_cast<wchar_t>(data[i]);
    }
    // The reference tries every start to the end of the text: short texts keep it quick.
    if (text.size() > 300) return 0;
    for (const excel::PlatformStep& step : excel::PlatformSteps())
        if (excel::RunStep(step.number, text, text, nullptr) != Reference(step, text)) std::abort();
    // The container cut: its body and id.
    ReferenceMatcher container(excel::kSheetContainerPattern);
    const std::wstring body = container.Replace(text, L"$2");
    const excel::SheetParts ours = excel::CutSheetParts(text, true, nullptr);
    const std::wstring expected =
        body != text ? body : ReferenceMatcher(excel::kBodyContentPattern).Replace(text, L"$1");
    if (ours.body != expected) std::abort();
    if (ours.id != (body != text ? container.Replace(text, L"$1") : std::wstring())) std::abort();
    return 0;
}
