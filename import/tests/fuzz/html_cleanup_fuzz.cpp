// Every clean-up step on our matcher (and the clipboard's script removal) against the plain
// backtracking reference of the platform pattern it stands for, on HTML-like text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/pattern_reference.h"
#include "html/script_removal.h"
#include "word/word_cleanup.h"

namespace {

// Bytes from 0xC0 up stand for the pieces the patterns look for, so that short inputs reach
// deep into them; the others are characters (0xBF a wide one).
const wchar_t* const kPieces[] = {
    L"<span>", L"</span>", L"<span ", L"<b>", L"</b>", L"<font ", L"</font>", L"<underline>",
    L"<!--", L"-->", L"<!--[if gte mso 9]>", L"<!--[if gte vml 1]>", L"<![endif]-->",
    L"<![if !vml]>", L"<![endif]>", L"<!--[if mso ", L"<![if supportMisalignedColumns]>",
    L"<![if !supportMisalignedColumns]>", L"<!--[if gte msEquation 1]>", L"<o:p>", L"&nbsp;",
    L"</o:p>", L"<a name=\"OLE_LINK1\">", L"<a name=", L"</a>", L"<a href=#", L"<st1:City>",
    L"</st1:City>", L"<st1:Ci", L"</st1:ci>", L"<script", L"</script>", L"mso-a:b;",
    L"mso-x:\"q\";", L"behavior:url(#default#VML)", L"behavior:url(#ieooui)", L"st1\\:*", L"@font",
    L"@list", L"/* c */", L"\r\n", L"<style>", L"</style>",
};
constexpr size_t kPieceCount = sizeof kPieces / sizeof kPieces[0];

std::wstring Reference(const quorallion::word::PlatformStep& step, const std::wstring& text) {
    using quorallion::html::testing::ReferenceMatcher;
    if (step.number == 30 && ReferenceMatcher(quorallion::word::kInternalLinkPattern).Test(text))
        return text;
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
        else
            text += data[i] == 0xBF ? L'\x4e2d' : static_cast<wchar_t>(data[i]);
    }
    // The reference tries every start to the end of the text: short texts keep it quick.
    if (text.size() > 300) return 0;
    for (const quorallion::word::PlatformStep& step : quorallion::word::PlatformSteps())
        if (quorallion::word::RunStep(step.number, text, nullptr) != Reference(step, text))
            std::abort();
    quorallion::html::testing::ReferenceMatcher script(quorallion::html::kScriptElementPattern);
    if (quorallion::html::RemoveScriptElements(text) != script.Replace(text, L"")) std::abort();
    return 0;
}
