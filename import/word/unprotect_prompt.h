#pragma once
// The password prompt's hand-back to the Word conversion: two process-wide texts that the prompt
// writes and the worker reads after the modal call returns.
#include <functional>
#include <string>

namespace quorallion {

struct UnprotectResult {
    std::wstring state;     // "" open or closed by the frame, "ok", "cancel"
    std::wstring password;  // trimmed; "" until OK is accepted
};

UnprotectResult& UnprotectTexts();

// The prompt window registers how it is shown (modally, returning when it unloads). Without one
// the prompt counts as closed: the state stays "" and the document is converted read-only.
void SetUnprotectPrompt(std::function<void()> show);
void ShowUnprotectPrompt();

// "密码错误，请重新输入！" / "密碼錯誤，請重新輸入！" / "Invalid password, input again." by the process's
// language, in a box titled "Quorallion" with OK only.
void ShowWrongPasswordMessage();
std::wstring WrongPasswordText(const std::wstring& language);

}  // namespace quorallion
