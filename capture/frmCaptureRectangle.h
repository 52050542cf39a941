#pragma once
// The region selection window: borderless over the whole screen, it shows the frozen screen
// picture 1:1. The user drags out a rectangle, moves or resizes it by its edges and handles and
// double-clicks; the region is copied from the frozen picture onto the clipboard as a bitmap.
// Its outcome is its Tag: "ok" (the bitmap is on the clipboard), "nobitmap" (it could not be
// painted or placed there) or "cancel". Hiding itself ends the modal display.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "clsCapturePublic.h"
#include "region_model.h"
#include "win/handles.h"

namespace quorallion {

class frmCaptureRectangle : public std::enable_shared_from_this<frmCaptureRectangle> {
public:
    static constexpr wchar_t kCaption[] = L"Capture_Screen_Quorallion_ActiveX_Rectangle";

    // Loads the window (hidden), placed over the whole primary screen. Empty when no window
    // could be made.
    static std::shared_ptr<frmCaptureRectangle> Load();
    ~frmCaptureRectangle();
    frmCaptureRectangle(const frmCaptureRectangle&) = delete;
    frmCaptureRectangle& operator=(const frmCaptureRectangle&) = delete;

    // picScreen's picture: the grabbed screen. The window keeps a reference.
    void SetScreenPicture(clsCapturePublic::Picture picture);

    // Shows the window and runs messages until it hides itself or is unloaded. A quit request
    // met meanwhile ends the display and is put back for the main loop.
    void ShowModal();

    // Destroys the windows; a window unloaded without an outcome leaves "cancel" in its Tag.
    void Unload();
    bool Loaded() const { return window_ != nullptr; }

    HWND Window() const { return window_; }
    HWND ScreenWindow() const { return picScreen_; }
    const std::wstring& Tag() const { return tag_; }
    const capture::RegionSelection& Model() const { return model_; }

private:
    frmCaptureRectangle(int screenWidth, int screenHeight, int labelHeight);

    enum class Windowless { None, Hint, SizeLabel, Selection, Screen };

    static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK ScreenProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM);
    bool Create();
    LRESULT OnForm(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnScreen(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnFrame(int part, UINT message, WPARAM wParam, LPARAM lParam);

    Windowless HitTest(int x, int y) const;
    RECT SizeLabelRect() const;
    RECT HintRect() const;
    void PaintScreen(HDC dc);
    // Mirrors the model into the child windows and repaints the labels that changed.
    void Sync();
    void Apply(capture::Outcome outcome);
    void FinishCapture();
    void CancelCapture() { End(L"cancel"); }
    void End(const std::wstring& tag);
    bool PaintRegion(const capture::Region& region, win::UniqueGdiObject& bitmap);
    bool OfferToClipboard(win::UniqueGdiObject& bitmap);

    capture::RegionSelection model_;
    int screenWidth_;
    int screenHeight_;
    HWND window_ = nullptr;
    HWND picScreen_ = nullptr;
    std::array<HWND, 12> frame_{};  // picLine(0..3), then picCorner(0..7)
    std::array<capture::Box, 12> shown_{};
    RECT shownSizeLabel_{};
    RECT shownHint_{};
    std::wstring shownSizeText_;
    std::wstring shownHintText_;
    clsCapturePublic::Picture picture_;
    HBITMAP pictureBitmap_ = nullptr;  // owned by picture_
    win::UniqueMemoryDC pictureDC_;
    HGDIOBJ pictureDCPrevious_ = nullptr;
    HFONT font_ = nullptr;  // stock object
    HCURSOR screenCursor_ = nullptr;
    Windowless dragTarget_ = Windowless::None;
    std::wstring tag_;
    bool finishing_ = false;
};

}  // namespace quorallion
