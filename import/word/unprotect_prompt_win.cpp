#include "word/unprotect_prompt.h"

#include <windows.h>

#include "process_state.h"

namespace quorallion {

namespace {
std::function<void()>& Prompt() {
    static std::function<void()> show;
    return show;
}
}  // namespace

UnprotectResult& UnprotectTexts() {
    static UnprotectResult texts;
    return texts;
}

void SetUnprotectPrompt(std::function<void()> show) { Prompt() = std::move(show); }

void ShowUnprotectPrompt() {
    UnprotectTexts() = UnprotectResult{};
    if (Prompt()) Prompt()();
}

std::wstring WrongPasswordText(const std::wstring& language) {
    if (language == L"zh-cn") return L"\u5bc6\u7801\u9519\u8bef\uff0c\u8bf7\u91cd\u65b0\u8f93\u5165\uff01";
    if (language == L"zh-tw") return L"\u5bc6\u78bc\u932f\u8aa4\uff0c\u8acb\u91cd\u65b0\u8f38\u5165\uff01";
    return L"Invalid password, input again.";
}

void ShowWrongPasswordMessage() {
    ::MessageBoxW(nullptr, WrongPasswordText(Process().language).c_str(), L"Quorallion", MB_OK);
}

}  // namespace quorallion
