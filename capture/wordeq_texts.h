#pragma once
// The equation window's rules that need no window: its option list, its captions by language,
// where its control and buttons go, and the img tag that its OK step hands back.
#include <optional>
#include <string>

namespace quorallion::wordeq {

// The option list of "wordeqshow" (items key:value joined by ";").
struct Options {
    std::wstring eqType;
    std::wstring version;      // ver without its dots: appended to the control's ProgID
    std::optional<int> width;  // the control's size in pixels; empty when not a whole number
    std::optional<int> height; // from 1 to 32767 (an empty value stands for 800 and 500)
};
Options ReadOptions(const std::wstring& optionList);

// A size value as the window takes it: digits only, 1 to 32767.
std::optional<int> ParseSize(const std::wstring& text);

// "Quorallion.WordEq" followed by the dotless version.
std::wstring ProgIdFor(const std::wstring& dotlessVersion);

struct Captions {
    const wchar_t* title;
    const wchar_t* ok;
    const wchar_t* cancel;
    const wchar_t* reset;
    const wchar_t* clear;
};
// "zh-cn" and "zh-tw" compared exactly; anything else is English.
Captions CaptionsFor(const std::wstring& language);

struct Box {
    int left, top, width, height;
};
struct Layout {
    Box control, ok, cancel, reset, clear;
};
// The window's client is width x height pixels and holds a control of controlWidth pixels at
// the left; the buttons keep their size: Reset and Clear stand from the left edge, OK and Cancel
// from the right.
Layout LayoutFor(int width, int height, int controlWidth, int buttonWidth, int buttonHeight);

// The window's size for a control of width x height pixels.
constexpr int kFrameExtraWidth = 6;
constexpr int kFrameExtraHeight = 68;

// The narrowest window whose four buttons stand apart, 10 pixels between neighbours.
int MinimumWindowWidth(int buttonWidth);
// The window's width for a control of controlWidth pixels: the control with its frame, widened
// to the minimum when the buttons need more room (the control keeps its size and place then).
int WindowWidthFor(int controlWidth, int buttonWidth);

// &, ", < and > written as entities, so that an attribute's value reads back as the text.
std::wstring EscapeAttribute(const std::wstring& text);

// The img element of an equation whose PNG fileName lies in the job folder of actKey.
std::wstring ImgTag(const std::wstring& actKey, const std::wstring& fileName, const std::wstring& code,
                    const std::wstring& type);

}  // namespace quorallion::wordeq
