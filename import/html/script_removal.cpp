#include "html/script_removal.h"

#include "html/html_pattern.h"

namespace quorallion::html {

const wchar_t kScriptElementPattern[] = L"<script[^>]*?>[\\s\\S]*?</script>";

std::wstring RemoveScriptElements(std::wstring_view text) {
    static const Pattern script(kScriptElementPattern);
    return script.Replace(text, L"");
}

}  // namespace quorallion::html
