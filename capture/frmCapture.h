#pragma once
// The capture start panel: one per process, found by its caption. It asks the user to bring the
// wanted window to the front; its button gets the panel out of the way, grabs the screen and
// shows the region window modally; the outcome goes into the capture result text.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "frmCaptureRectangle.h"
#include "win/handles.h"

namespace quorallion {
namespace controls {
class Container;
class ucButton;
class ucTransForm;
}  // namespace controls

class frmCapture {
public:
    static constexpr wchar_t kCaption[] = L"Capture_Screen_Quorallion_ActiveX";
    static constexpr int kWidth = 250;   // the background picture's size, in pixels
    static constexpr int kHeight = 110;

    // The process's single panel.
    static frmCapture& Instance();

    // Makes the window (hidden) and sets its texts by the process-wide language.
    void Load();
    // Unloads the region window if one is shown, then the panel. A panel unloaded before any
    // outcome was written (Alt+F4, the core unloading every form) leaves "cancel".
    void Unload();
    bool Loaded() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // Changes with every load and unload: tells a job whether the panel it opened is still up.
    unsigned Generation() const { return generation_; }

    // Texts chosen at load.
    const std::wstring& TitleText() const { return title_; }
    const std::wstring& HintText() const { return hint_; }
    const std::wstring& ButtonCaption() const { return caption_; }
    RECT HintBox() const { return hintBox_; }
    int CloseMarkPicture() const { return closePicture_; }

private:
    frmCapture() = default;
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK CloseMarkProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void ShowClosePicture(int index);
    void OnOkClick();
    void OnCloseClick();
    void DoCapture();

    HWND window_ = nullptr;
    std::unique_ptr<controls::Container> container_;
    std::unique_ptr<controls::ucTransForm> ucTransForm1_;
    std::unique_ptr<controls::ucButton> cmdOk_;
    struct Retired {
        std::unique_ptr<controls::Container> container;
        std::unique_ptr<controls::ucTransForm> shape;
        std::unique_ptr<controls::ucButton> button;
    };
    std::vector<Retired> retired_;
    int clicksRunning_ = 0;
    HWND imgClose_ = nullptr;
    unsigned generation_ = 0;
    std::shared_ptr<frmCaptureRectangle> region_;
    win::UniqueGdiObject close_[2];
    win::UniqueGdiObject titleFont_;
    win::UniqueGdiObject textFont_;
    std::wstring title_, hint_, caption_;
    RECT hintBox_{};
    int closePicture_ = 0;
    bool closePressed_ = false;
};

}  // namespace quorallion
