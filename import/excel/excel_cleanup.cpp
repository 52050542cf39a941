#include "excel/excel_cleanup.h"

#include <chrono>
#include <map>
#include <memory>
#include <stdexcept>

#include "html/element_extract.h"
#include "word/style_blocks.h"

namespace quorallion::excel {

namespace {

using html::Passes;

constexpr wchar_t kCrLf[] = L"\r\n";
constexpr wchar_t kIdPrefix[] = L"Quorallion_Sheet";

// The body of clipboard HTML, or of a page without its container: everything between the first
// body start tag and the last body end tag.
constexpr html::ElementCut kBodyContentToLastClose{L"body", true, true, true};

// Step 35 names the quote in a group and closes with a back-reference. A quote is one of two
// characters, so each with its own closing quote is the same pattern, and one without a
// back-reference runs in linear time ($3 becomes $2).
constexpr wchar_t kEmptyStyleAttributePattern[] =
    L"(<\\w+\\s+[^>]*?)style=(?:'\\s*?'|\"\\s*?\")([^>]*?>)";

}  // namespace

const wchar_t kRubyElementPattern[] = L"<ruby\\b[^>]*?>";
const wchar_t kRtElementPattern[] = L"<rt\\b[^>]*?>";
const wchar_t kHeadContentPattern[] = L"^[\\s\\S]*?<head\\b[^>]*?>([\\s\\S]*?)</head>[\\s\\S]*$";
const wchar_t kBodyContentPattern[] = L"^[\\s\\S]*?<body\\b[^>]*?>([\\s\\S]*)</body>[\\s\\S]*?$";
const wchar_t kSheetContainerPattern[] =
    L"^[\\s\\S]*?<div[^>]*?\\sid=['\"]?(Quorallion_Sheet[0-9]+?)['\"][^>]*?>([\\s\\S]*)</div>[\\s\\S]*?$";
const wchar_t kStyleElementPattern[] = L"<style\\b[^>]*?>[\\s\\S]+?</style>";

const std::vector<PlatformStep>& PlatformSteps() {
    constexpr StepText S = StepText::kStyles, B = StepText::kBody;
    static const std::vector<PlatformStep> steps = {
        // The style text.
        {1, S, L"</?style\\b[^>]*?>", L"", false},
        {2, S, L"\\bruby\\s*\\{[^\\}]*?\\}", L"", false},
        {3, S, L"\\brt\\s*\\{[^\\}]*?\\}", L"", false},
        {4, S, L"st[0-9]+\\\\:\\*\\s*\\{\\s*behavior:url\\(#ieooui\\)[^\\}]*?\\}", L"", false},
        {5, S, L"[\\w]+\\\\:\\*\\s*\\{\\s*behavior:url\\(#default#VML\\)[^\\}]*?\\}", L"", false},
        {6, S, L"[\\w\\.]+\\s*\\{\\s*behavior:url\\(#default#VML\\)[^\\}]*?\\}", L"", false},
        {7, S, L"<!--\\s*", L"", false},
        {8, S, L"\\s*-->", L"", false},
        {9, S, L"/\\*[\\w\\s]+\\*/", L"", false},
        {10, S, L"@[^\\{\";]+?\\{[^\\}]*?\\}", L"", false},
        {11, S, L"([\\s\\}])a:[a-zA-Z\\,\\.\\s]+?\\{[^\\}]*?\\}", L"$1", false},
        {12, S, L"(\\{[^\\}]*?)(mso-[\\w\\-]+:\"[^\"]*?\";?)+([^}]*?\\})", L"$1$3", true},
        {13, S, L"(\\{[^\\}]*?)(mso-[\\w\\-]+:[^;\\}]+;?)+([^}]*?\\})", L"$1$3", true},
        {14, S, L"[^\\s\\}\\{][^\\}\\{]+?\\{\\s*?\\}", L"", false},
        {15, S, L"\\s*\\{\\s*", L" {", false},
        {16, S, L"\\s*\\}\\s*", L"}\r\n", false},
        {17, S, L"\\{((?:[\\w\\-]+:[^\\};]+;)+)\\s+([^\\}]*?\\})", L"{$1$2", true},
        {18, S, L"(\\r\\n)+", L"\r\n", false},
        {19, S, L"\\s*([^\\s](?:[^a]|a)+[^\\s])\\s*", L"$1", false},
        // The body text.
        {20, B, L"<!--\\[if gte mso [0-9]+\\]>[\\s\\S]*?<!\\[endif\\]-->", L"", false},
        {21, B, L"<!--\\[if gte vml [0-9]+\\]>[\\s\\S]*?<!\\[endif\\]-->", L"", false},
        {22, B, L"<!\\[if !vml\\]>([\\s\\S]*?)<!\\[endif\\]>", L"$1", false},
        {23, B, L"<!\\[if !supportMisalignedColumns\\]>([\\s\\S]*?)<!\\[endif\\]>", L"$1", false},
        {24, B, L"<!\\[if supportMisalignedColumns\\]>([\\s\\S]*?)<!\\[endif\\]>", L"", false},
        {25, B, L"<!--\\[if\\s+?!excel\\]>(\\s|\\u3000)*?<!\\[endif\\]-->", L"", false},
        {26, B, L"<!--\\[if mso\\b[^>]*?>[\\s\\S]*?<!\\[endif\\]-->", L"", false},
        {27, B, L"<!--[^>]*?-->", L"", false},
        {28, B, L"(<td\\b[^>]*?)\\sx:num=\"[0-9\\.]*?\"([^>]*?>)", L"$1$2", false},
        {29, B, L"(<td\\b[^>]*?)\\sx:num>", L"$1>", false},
        {30, B, L"(<table\\b[^>]*?)\\sx:str\\b([^>]*?>)", L"$1$2", false},
        {31, B, L"(<td\\b[^>]*?)\\sx:str\\b([^>]*?>)", L"$1$2", false},
        {32, B, L"(<img\\b[^>]*?)\\sv:shapes=\"[^\">]*?\"([^>]*?>)", L"$1$2", false},
        {33, B, L"(<\\w+\\s+[^>]*?style='[^'>]*?)(mso-[\\w\\-]+\\s*?:[^;'>]+;?)+([^'>]*?'[^>]*?>)",
         L"$1$3", true},
        {34, B, L"(<\\w+\\s+[^>]*?style=\"[^\">]*?)(mso-[\\w\\-]+\\s*?:[^;\">]+;?)+([^\">]*?\"[^>]*?>)",
         L"$1$3", true},
        {35, B, L"(<\\w+\\s+[^>]*?)style=(['\"])\\s*?\\2([^>]*?>)", L"$1$3", false},
        {36, B, L"<!\\[[^>]*?\\]>", L"", false},
    };
    return steps;
}

SheetParts CutSheetParts(const std::wstring& input, bool published, const html::Pump& pump) {
    static const html::Pattern container(kSheetContainerPattern);
    SheetParts parts;
    // Each cut gives pending messages the chance a replacement gives.
    if (pump) pump();
    const std::wstring head = html::ExtractElement(input, html::kHeadContent);
    // The body as a range of the input, copied once into a buffer with room to spare.
    std::wstring_view body(input);
    bool haveBody = false;
    if (published) {
        if (pump) pump();
        // The pattern spans the whole text from "^" to "$" and starts with "<div", so a match
        // always changes the text: a match is the container found.
        std::vector<size_t> captures;
        if (container.Find(input, captures)) {
            parts.id = input.substr(captures[2], captures[3] - captures[2]);
            body = body.substr(captures[4], captures[5] - captures[4]);
            haveBody = true;
        }
    }
    if (!haveBody) {
        if (pump) pump();
        if (const auto kept = html::FindElementCut(input, kBodyContentToLastClose))
            body = body.substr(kept->start, kept->length);
    }
    // The style text comes from the head and the steps at most double it; with the ids and the
    // frame, the fragment is made in this buffer.
    parts.body.reserve(body.size() + 2 * head.size() + 256);
    parts.body.assign(body);
    for (const std::wstring& element : word::CollectStyleElements(head)) {
        if (!parts.styles.empty()) parts.styles += kCrLf;
        parts.styles += element;
    }
    return parts;
}

std::wstring RunStep(int number, std::wstring text, std::wstring_view body, const html::Pump& pump) {
    std::wstring scratch;
    return RunStep(number, std::move(text), body, pump, scratch);
}

std::wstring RunStep(int number, std::wstring text, std::wstring_view body, const html::Pump& pump,
                     std::wstring& scratch) {
    struct Compiled {
        std::unique_ptr<html::Pattern> pattern;
        std::wstring replacement;
        Passes passes;
    };
    // Each step's own matcher, made once: the platform's pattern itself, step 35 its equivalent
    // without a back-reference.
    static const std::map<int, Compiled> compiled = [] {
        std::map<int, Compiled> all;
        for (const PlatformStep& step : PlatformSteps()) {
            const bool rewritten = step.number == 35;
            all[step.number] = Compiled{
                std::make_unique<html::Pattern>(rewritten ? kEmptyStyleAttributePattern : step.pattern),
                rewritten ? L"$1$2" : step.replacement,
                step.untilStable ? Passes::kUntilStable : Passes::kOnce};
        }
        return all;
    }();
    static const html::Pattern ruby(kRubyElementPattern);
    static const html::Pattern rt(kRtElementPattern);

    const auto found = compiled.find(number);
    if (found == compiled.end()) throw std::out_of_range("no such clean-up step");
    if (number == 2 && ruby.Test(body)) return text;
    if (number == 3 && rt.Test(body)) return text;
    const Compiled& step = found->second;
    return html::ReplaceStep(std::move(text), scratch, *step.pattern, step.replacement, step.passes,
                             pump);
}

void MakeSheetFragment(const std::wstring& id, const std::wstring& styles, std::wstring& body) {
    std::wstring head;
    head.append(L"<style id=\"").append(id).append(L"_Styles\">\r\n").append(styles);
    head.append(L"\r\n</style><div id=\"").append(id).append(L"\" align=\"center\">");
    body.reserve(head.size() + body.size() + 6);
    body.insert(0, head);  // in place when the buffer has the room
    body.append(L"</div>");
}

std::wstring SheetFragment(const std::wstring& id, const std::wstring& styles,
                           const std::wstring& body) {
    std::wstring fragment = body;
    MakeSheetFragment(id, styles, fragment);
    return fragment;
}

std::wstring OptimizeExcelHtml(const std::wstring& html, bool published,
                               const std::function<std::wstring()>& randomDigits,
                               const html::Pump& pump, const StepObserver& observer) {
    auto timed = [&observer](const std::string& name, auto&& run) {
        if (!observer) {
            run();
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        observer(name, took.count());
    };

    // The body and the buffer its steps write into are megabytes long: both are made once, with
    // room for the fragment's frame and style text, and every step swaps between them.
    SheetParts parts;
    std::wstring scratch;
    timed("cuts", [&] {
        parts = CutSheetParts(html, published, pump);
        scratch.reserve(parts.body.capacity());
    });
    for (const PlatformStep& step : PlatformSteps()) {
        const bool onStyles = step.on == StepText::kStyles;
        std::wstring& text = onStyles ? parts.styles : parts.body;
        const std::wstring_view body = onStyles ? std::wstring_view(parts.body) : std::wstring_view();
        timed(std::to_string(step.number), [&] {
            if (onStyles) {
                text = RunStep(step.number, std::move(text), body, pump);
            } else {
                text = RunStep(step.number, std::move(text), body, pump, scratch);
            }
        });
    }
    if (parts.id.empty()) parts.id = kIdPrefix + (randomDigits ? randomDigits() : std::wstring());
    timed("fragment", [&] { MakeSheetFragment(parts.id, parts.styles, parts.body); });
    return std::move(parts.body);
}

}  // namespace quorallion::excel
