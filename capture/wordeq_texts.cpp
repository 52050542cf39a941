#include "wordeq_texts.h"

#include <algorithm>

#include "public/basPublic.h"

namespace quorallion::wordeq {

std::optional<int> ParseSize(const std::wstring& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (value < 1 || value > 32767) return std::nullopt;
    return value;
}

Options ReadOptions(const std::wstring& optionList) {
    Options options;
    options.eqType = basPublic::GetParamValue(optionList, L"eqtype");
    std::wstring width = basPublic::GetParamValue(optionList, L"width");
    std::wstring height = basPublic::GetParamValue(optionList, L"height");
    const std::wstring ver = basPublic::GetParamValue(optionList, L"ver");
    for (wchar_t c : ver)
        if (c != L'.') options.version += c;
    if (width.empty()) width = L"800";
    if (height.empty()) height = L"500";
    options.width = ParseSize(width);
    options.height = ParseSize(height);
    return options;
}

std::wstring ProgIdFor(const std::wstring& dotlessVersion) { return L"Quorallion.WordEq" + dotlessVersion; }

Captions CaptionsFor(const std::wstring& language) {
    if (language == L"zh-cn")
        return {L"公式编辑(WordEQ)", L"  确 定", L"  取 消", L"重 置", L"清 空"};
    if (language == L"zh-tw")
        return {L"公式編輯(WordEQ)", L"  確 定", L"  取 消", L"重 置", L"清 空"};
    return {L"Equation Editor (WorEQ)", L"OK", L"Cancel", L"Reset", L"Clear"};
}

namespace {
constexpr int kControlLeft = 3, kControlTop = 30;
constexpr int kButtonMargin = 13;  // from the window's left and right edges
constexpr int kButtonGap = 10;
}  // namespace

int MinimumWindowWidth(int buttonWidth) { return 2 * kButtonMargin + 4 * buttonWidth + 3 * kButtonGap; }

int WindowWidthFor(int controlWidth, int buttonWidth) {
    return std::max(controlWidth + kFrameExtraWidth, MinimumWindowWidth(buttonWidth));
}

Layout LayoutFor(int width, int height, int controlWidth, int buttonWidth, int buttonHeight) {
    Layout layout{};
    layout.control = {kControlLeft, kControlTop, std::min(controlWidth, width - 2 * kControlLeft),
                      height - kFrameExtraHeight};
    const int row = layout.control.top + layout.control.height + 5;
    layout.ok = {width - kButtonMargin - kButtonGap - buttonWidth - buttonWidth, row, buttonWidth, buttonHeight};
    layout.cancel = {layout.ok.left + buttonWidth + kButtonGap, row, buttonWidth, buttonHeight};
    layout.reset = {kButtonMargin, row, buttonWidth, buttonHeight};
    layout.clear = {layout.reset.left + buttonWidth + kButtonGap, row, buttonWidth, buttonHeight};
    return layout;
}

std::wstring EscapeAttribute(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'"': out += L"&quot;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::wstring ImgTag(const std::wstring& actKey, const std::wstring& fileName, const std::wstring& code,
                    const std::wstring& type) {
    return L"<img style=\"vertical-align:middle\" src=\"file:///" + actKey + L"/" + fileName +
           L"\" _tag=\"wordeq\" _eqcode=\"" + EscapeAttribute(code) + L"\" _eqtype=\"" + EscapeAttribute(type) +
           L"\">";
}

}  // namespace quorallion::wordeq
