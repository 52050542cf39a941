// The Word HTML clean-up (word_cleanup.h) on the server: pending window messages run before each
// step and each pass of the until-stable steps, so that other clients' calls keep being answered.
#include "win/message_pump.h"
#include "word/clsOfficeWord.h"
#include "word/word_cleanup.h"

namespace quorallion {

std::wstring clsOfficeWord::OptimizeHTML(const std::wstring& html) {
    return OptimizeHTML(html, StepObserver());
}

std::wstring clsOfficeWord::OptimizeHTML(const std::wstring& input, const StepObserver& observer) {
    // Our own copy: a request run while messages are dispatched cannot change it.
    return word::OptimizeWordHtml(std::wstring(input), win::DoEvents, observer);
}

}  // namespace quorallion
