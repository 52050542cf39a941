// Word's HTML (a filtered-HTML file, or the clipboard's "HTML Format") reduced to what the editor
// page needs: the document's own style rules without Office-only rules and properties, and the
// body without conditional comments, Office markup and empty wrappers. A fixed sequence of
// replacements; the order matters, as each step relies on what the earlier ones left.
#include <chrono>

#include "html/element_extract.h"
#include "regex/basRegExp.h"
#include "win/message_pump.h"
#include "word/clsOfficeWord.h"
#include "word/style_blocks.h"

namespace quorallion {

namespace {

constexpr wchar_t kCrLf[] = L"\r\n";

// Runs and times the numbered steps.
class StepRunner {
public:
    explicit StepRunner(const clsOfficeWord::StepObserver& observer) : observer_(observer) {}

    template <typename Step>
    void operator()(int number, Step&& step) {
        if (!observer_) {
            step();
            return;
        }
        auto start = std::chrono::steady_clock::now();
        step();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        observer_(number, took.count());
    }

private:
    const clsOfficeWord::StepObserver& observer_;
};

void Once(std::wstring& text, const wchar_t* pattern, const wchar_t* replacement) {
    text = basRegExp::RegExpReplace(text, pattern, replacement);
}

void UntilStable(std::wstring& text, const wchar_t* pattern, const wchar_t* replacement) {
    text = basRegExp::RegExpReplaceAll(text, pattern, replacement);
}

// The one-element cut in one pass; pending window messages get the chance to run that the
// pattern replacement gave them. `text` is never changed by them: it is this call's own.
std::wstring CutToElement(const std::wstring& text, const html::ElementCut& cut) {
    win::DoEvents();
    return html::ExtractElement(text, cut);
}

}  // namespace

std::wstring clsOfficeWord::OptimizeHTML(const std::wstring& html) {
    return OptimizeHTML(html, StepObserver());
}

std::wstring clsOfficeWord::OptimizeHTML(const std::wstring& input, const StepObserver& observer) {
    StepRunner step(observer);
    std::wstring html = input;
    std::wstring head, css, body;

    step(1, [&] { Once(html, L"<!--\\[if gte mso [0-9]+\\]>[\\s\\S]+?<!\\[endif\\]-->", L""); });
    step(2, [&] {
        head = CutToElement(html, quorallion::html::kHeadContent);
    });
    step(3, [&] {
        for (const std::wstring& element : word::CollectStyleElements(head)) {
            if (!css.empty()) css += kCrLf;
            css += element;
        }
    });

    // The style text.
    step(4, [&] { Once(css, L"</?style\\b[^>]*?>", L""); });
    step(5, [&] { Once(css, L"st[0-9]+\\\\:\\*\\s*\\{\\s*behavior:url\\(#ieooui\\)[^\\}]*?\\}", L""); });
    step(6, [&] { Once(css, L"[\\w]+\\\\:\\*\\s*\\{\\s*behavior:url\\(#default#VML\\)[^\\}]*?\\}", L""); });
    step(7, [&] { Once(css, L"[\\w\\.]+\\s*\\{\\s*behavior:url\\(#default#VML\\)[^\\}]*?\\}", L""); });
    step(8, [&] { Once(css, L"<!--\\s*", L""); });
    step(9, [&] { Once(css, L"\\s*-->", L""); });
    step(10, [&] { Once(css, L"/\\*[\\w\\s]+\\*/", L""); });
    step(11, [&] { Once(css, L"@(list|font)[^\\{\";]*?\\{[^\\}]*?\\}", L""); });
    step(12, [&] {
        UntilStable(css, L"(\\{[^\\}]*?)(mso-[\\w\\-]+:\"[^\"]*?\";?)+([^}]*?\\})", L"$1$3");
    });
    step(13, [&] { UntilStable(css, L"(\\{[^\\}]*?)(mso-[\\w\\-]+:[^;\\}]+;?)+([^}]*?\\})", L"$1$3"); });
    step(14, [&] { Once(css, L"[^\\s\\}\\{][^\\}\\{]+?\\{\\s*?\\}", L""); });
    step(15, [&] { Once(css, L"\\s*\\{\\s*", L" {"); });
    step(16, [&] { Once(css, L"\\s*\\}\\s*", L"}\r\n"); });
    step(17, [&] { UntilStable(css, L"\\{((?:[\\w\\-]+:[^\\};]+;)+)\\s+([^\\}]*?\\})", L"{$1$2"); });
    step(18, [&] { Once(css, L"(\\r\\n)+", L"\r\n"); });
    step(19, [&] { Once(css, L"\\s*([^\\s](?:[^a]|a)+[^\\s])\\s*", L"$1"); });

    // The body text.
    step(20, [&] {
        body = CutToElement(html, quorallion::html::kBodyContent);
    });
    step(21, [&] { Once(body, L"<!--\\[if gte vml [0-9]+\\]>[\\s\\S]*?<!\\[endif\\]-->", L""); });
    step(22, [&] { Once(body, L"<!\\[if !vml\\]>([\\s\\S]*?)<!\\[endif\\]>", L"$1"); });
    step(23, [&] { Once(body, L"<!--\\[if gte msEquation [0-9]+\\]>[\\s\\S]*?<!\\[endif\\]-->", L""); });
    step(24, [&] { Once(body, L"<!\\[if !supportMisalignedColumns\\]>([\\s\\S]*?)<!\\[endif\\]>", L"$1"); });
    step(25, [&] { Once(body, L"<!\\[if supportMisalignedColumns\\]>([\\s\\S]*?)<!\\[endif\\]>", L""); });
    step(26, [&] { Once(body, L"<!--\\[if mso\\b[^>]*?>[\\s\\S]*?<!\\[endif\\]-->", L""); });
    step(27, [&] { Once(body, L"<!--[^>]*?-->", L""); });
    step(28, [&] { Once(body, L"<o:p>(&nbsp;)*</o:p>", L""); });
    step(29, [&] {
        Once(body, L"<a\\s+name\\s*?=\\s*?[\\'\\\"]ole_link[0-9][^>]*?>([\\s\\S]*?)<\\/a>", L"$1");
    });
    step(30, [&] {
        // Named anchors are the targets of a table of contents' links: kept while the body
        // links to a place inside itself, unwrapped otherwise.
        if (!basRegExp::RegExpTest(L"<a\\s[^>]*?href\\s*=\\s*[\"']?#", body))
            Once(body, L"<a\\s+name[^>]*?>([\\s\\S]*?)</a>", L"$1");
    });
    step(31, [&] { UntilStable(body, L"<span\\b[^>]*?></span>", L""); });
    step(32, [&] { Once(body, L"<(st[0-9]+:\\w+)[^>]*?>([\\s\\S]*?)</\\1>", L"$2"); });
    step(33, [&] {
        UntilStable(body, L"<(span|font|b|strong|u|underline|i)(?=[\\s\\>])[^>]*?></\\1>", L"");
    });
    step(34, [&] {
        UntilStable(body, L"<span>(<span(?=[\\s>])[^>]*?>[^<]*?</span>)</span>", L"$1");
    });

    return L"<style>\r\n" + css + L"\r\n</style><body>" + body + L"</body>";
}

}  // namespace quorallion
