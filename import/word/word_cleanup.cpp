#include "word/word_cleanup.h"

#include <chrono>
#include <map>
#include <memory>
#include <stdexcept>

#include "html/element_extract.h"
#include "word/smart_tags.h"
#include "word/style_blocks.h"

namespace quorallion::word {

namespace {

using html::Passes;

constexpr wchar_t kCrLf[] = L"\r\n";

// Step 33 names its elements in an alternation and closes them with a back-reference. Only one
// name can be followed by white space or '>', so each name with its own closing tag in the same
// order is the same pattern, and one without a back-reference runs in linear time.
std::wstring EmptyInlineElementsPattern() {
    std::wstring pattern = L"<(?:";
    bool first = true;
    for (const wchar_t* name : {L"span", L"font", L"b", L"strong", L"u", L"underline", L"i"}) {
        if (!first) pattern += L'|';
        first = false;
        pattern += std::wstring(name) + L"(?=[\\s\\>])[^>]*?></" + name;
    }
    return pattern + L")>";
}

}  // namespace

const wchar_t kInternalLinkPattern[] = L"<a\\s[^>]*?href\\s*=\\s*[\"']?#";

const std::vector<PlatformStep>& PlatformSteps() {
    static const std::vector<PlatformStep> steps = {
        {1, L"<!--\\[if gte mso [0-9]+\\]>[\\s\\S]+?<!\\[endif\\]-->", L"", false},
        // The style text.
        {4, L"</?style\\b[^>]*?>", L"", false},
        {5, L"st[0-9]+\\\\:\\*\\s*\\{\\s*behavior:url\\(#ieooui\\)[^\\}]*?\\}", L"", false},
        {6, L"[\\w]+\\\\:\\*\\s*\\{\\s*behavior:url\\(#default#VML\\)[^\\}]*?\\}", L"", false},
        {7, L"[\\w\\.]+\\s*\\{\\s*behavior:url\\(#default#VML\\)[^\\}]*?\\}", L"", false},
        {8, L"<!--\\s*", L"", false},
        {9, L"\\s*-->", L"", false},
        {10, L"/\\*[\\w\\s]+\\*/", L"", false},
        {11, L"@(list|font)[^\\{\";]*?\\{[^\\}]*?\\}", L"", false},
        {12, L"(\\{[^\\}]*?)(mso-[\\w\\-]+:\"[^\"]*?\";?)+([^}]*?\\})", L"$1$3", true},
        {13, L"(\\{[^\\}]*?)(mso-[\\w\\-]+:[^;\\}]+;?)+([^}]*?\\})", L"$1$3", true},
        {14, L"[^\\s\\}\\{][^\\}\\{]+?\\{\\s*?\\}", L"", false},
        {15, L"\\s*\\{\\s*", L" {", false},
        {16, L"\\s*\\}\\s*", L"}\r\n", false},
        {17, L"\\{((?:[\\w\\-]+:[^\\};]+;)+)\\s+([^\\}]*?\\})", L"{$1$2", true},
        {18, L"(\\r\\n)+", L"\r\n", false},
        {19, L"\\s*([^\\s](?:[^a]|a)+[^\\s])\\s*", L"$1", false},
        // The body text.
        {21, L"<!--\\[if gte vml [0-9]+\\]>[\\s\\S]*?<!\\[endif\\]-->", L"", false},
        {22, L"<!\\[if !vml\\]>([\\s\\S]*?)<!\\[endif\\]>", L"$1", false},
        {23, L"<!--\\[if gte msEquation [0-9]+\\]>[\\s\\S]*?<!\\[endif\\]-->", L"", false},
        {24, L"<!\\[if !supportMisalignedColumns\\]>([\\s\\S]*?)<!\\[endif\\]>", L"$1", false},
        {25, L"<!\\[if supportMisalignedColumns\\]>([\\s\\S]*?)<!\\[endif\\]>", L"", false},
        {26, L"<!--\\[if mso\\b[^>]*?>[\\s\\S]*?<!\\[endif\\]-->", L"", false},
        {27, L"<!--[^>]*?-->", L"", false},
        {28, L"<o:p>(&nbsp;)*</o:p>", L"", false},
        {29, L"<a\\s+name\\s*?=\\s*?[\\'\\\"]ole_link[0-9][^>]*?>([\\s\\S]*?)<\\/a>", L"$1", false},
        {30, L"<a\\s+name[^>]*?>([\\s\\S]*?)</a>", L"$1", false},
        {31, L"<span\\b[^>]*?></span>", L"", true},
        {32, L"<(st[0-9]+:\\w+)[^>]*?>([\\s\\S]*?)</\\1>", L"$2", false},
        {33, L"<(span|font|b|strong|u|underline|i)(?=[\\s\\>])[^>]*?></\\1>", L"", true},
        {34, L"<span>(<span(?=[\\s>])[^>]*?>[^<]*?</span>)</span>", L"$1", true},
    };
    return steps;
}

std::wstring RunStep(int number, std::wstring text, const html::Pump& pump) {
    // Each step's own matcher, made once: the platform's pattern itself where that runs in
    // linear time on ours, step 33 its equivalent without a back-reference, step 32 a scan.
    struct Compiled {
        std::unique_ptr<html::Pattern> pattern;
        std::wstring replacement;
        Passes passes;
    };
    static const std::map<int, Compiled> compiled = [] {
        std::map<int, Compiled> all;
        for (const PlatformStep& step : PlatformSteps()) {
            if (step.number == 32) continue;
            const std::wstring pattern =
                step.number == 33 ? EmptyInlineElementsPattern() : std::wstring(step.pattern);
            all[step.number] = Compiled{std::make_unique<html::Pattern>(pattern), step.replacement,
                                        step.untilStable ? Passes::kUntilStable : Passes::kOnce};
        }
        return all;
    }();
    static const html::Pattern internalLink(kInternalLinkPattern);

    if (number == 32)
        return html::ReplaceStep(std::move(text), UnwrapSmartTags, Passes::kOnce, pump);
    const auto found = compiled.find(number);
    if (found == compiled.end()) throw std::out_of_range("no such clean-up step");
    const Compiled& step = found->second;
    if (number == 30 && internalLink.Test(text)) return text;
    return html::ReplaceStep(std::move(text), *step.pattern, step.replacement, step.passes, pump);
}

std::wstring OptimizeWordHtml(std::wstring html, const html::Pump& pump,
                              const StepObserver& observer) {
    auto step = [&observer](int number, auto&& run) {
        if (!observer) {
            run();
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        observer(number, took.count());
    };
    // The one-element cuts, with the chance for pending messages that a replacement gives.
    auto cut = [&pump](const std::wstring& text, const html::ElementCut& element) {
        if (pump) pump();
        return html::ExtractElement(text, element);
    };

    std::wstring head, css, body;
    step(1, [&] { html = RunStep(1, std::move(html), pump); });
    step(2, [&] { head = cut(html, html::kHeadContent); });
    step(3, [&] {
        for (const std::wstring& element : CollectStyleElements(head)) {
            if (!css.empty()) css += kCrLf;
            css += element;
        }
    });
    for (int number = 4; number <= 19; ++number)
        step(number, [&] { css = RunStep(number, std::move(css), pump); });
    step(20, [&] { body = cut(html, html::kBodyContent); });
    for (int number = 21; number <= 34; ++number)
        step(number, [&] { body = RunStep(number, std::move(body), pump); });
    std::wstring result;
    result.reserve(css.size() + body.size() + 40);
    result.append(L"<style>\r\n").append(css).append(L"\r\n</style><body>").append(body);
    return result.append(L"</body>");
}

}  // namespace quorallion::word
