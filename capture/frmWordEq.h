#pragma once
// The equation window: one per process, found by its caption. A skinned frame (ucSkinForm1)
// holds the outside equation control, created by ProgID and hosted by our own OLE site, and four
// style-5 buttons. The window never calls the job that opened it: its outcome goes into the
// Word-equation result text ("ok" after the html text, or "cancel"), which the job's hand-back
// form watches.
#include <windows.h>

#include <memory>
#include <string>

#include "ole_site_win.h"

namespace quorallion::controls {
class Container;
class ucButton;
class ucSkinForm;
}  // namespace quorallion::controls

namespace quorallion {

class frmWordEq {
public:
    static constexpr wchar_t kCaption[] = L"WordEQ_Quorallion";
    static constexpr wchar_t kMessageTitle[] = L"WordEQ";

    // The process's single window.
    static frmWordEq& Instance();

    // Makes the window (hidden) with its captions by the process-wide language, the buttons
    // Reset, Clear and OK disabled, and the control of the stored equation version. OK places
    // its picture in jobFolder and addresses it by actKey. False when the control cannot be
    // created: then nothing is left behind.
    bool Load(const std::wstring& jobFolder, const std::wstring& actKey);
    // Sizes the frame for a control of width x height pixels (wider when the four buttons need
    // more room); the window takes the frame's size and shape, and the layout follows.
    void SizeFor(int width, int height);
    // Shows the window modeless, centred on the screen.
    void Show();
    // tmrStart: 100 ms later the window comes to the front and the control is started.
    void StartTimer();
    // Brings the window to the front without leaving it topmost.
    void SetTopMost();

    // Closes the control and the window. A window closed before it wrote an outcome leaves
    // "cancel", unless it is closed by the release of the job that opened it (quietly).
    void Unload(bool quietly = false);
    bool Loaded() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // Changes with every load and unload: tells a job whether the window it opened is still up.
    unsigned Generation() const { return generation_; }

private:
    enum Command : WPARAM { kOk = 1, kCancel, kReset, kClear };

    frmWordEq();
    ~frmWordEq();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Arrange();
    void TmrStartTick();
    void Run(Command command);
    void Post(Command command);
    void CmdOK_Click();
    void CmdCancel_Click();
    void CmdReset_Click();
    void CmdClear_Click();
    void MoWordEQ_OnMyAction(const std::wstring& command);
    int ShowMessage(const std::wstring& text);
    void EnableEditing(bool enabled);
    void CloseControl();

    HWND window_ = nullptr;
    unsigned generation_ = 0;
    int controlWidth_ = 0;  // pixels, as asked; the window may be wider
    std::wstring jobFolder_, actKey_;
    std::unique_ptr<controls::Container> form_;   // the window, measured in twips
    std::unique_ptr<controls::ucSkinForm> ucSkinForm1_;
    std::unique_ptr<controls::Container> frame_;  // the frame as the buttons' container
    std::unique_ptr<controls::ucButton> cmdReset_, cmdClear_, cmdOK_, cmdCancel_;
    controls::OleControlSite moWordEQ_;
};

}  // namespace quorallion
