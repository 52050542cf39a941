#pragma once
// frmUnProtect: the modal password prompt of a protected Word document, on the skinned frame and
// buttons. One process-wide object, created at its first use; every showing makes the window
// anew and returns when it unloads, leaving the outcome in UnprotectTexts() (unprotect_prompt.h).
#include <windows.h>

#include <memory>

#include "form/control_win.h"
#include "ucButton_win.h"
#include "ucSkinForm_win.h"

namespace quorallion {

class frmUnProtect {
public:
    // The process's prompt.
    static frmUnProtect& Instance();
    // Loads the window, shows it and runs its modal loop (COM calls and the core's timers are
    // served meanwhile) until it unloads.
    void ShowModal();
    // Makes ShowUnprotectPrompt show this window.
    static void Install();
    // Unloads the prompt when it is shown, as its frame's close button does: the modal call
    // returns with no answer, and the document is converted read-only.
    void UnloadIfShown();

    // The design-time title (the visible one is the frame's caption); child windows' texts are
    // their controls' names or, for labels, their captions.
    static constexpr const wchar_t* kTitle = L"Unprotect_Quorallion";

private:
    frmUnProtect() = default;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool Load();
    void Unload();
    void Destroy();
    void BringToFront();
    void OkClick();

    HWND window_ = nullptr;
    bool unloading_ = false;
    HWND lblMsg_ = nullptr, lblPassword_ = nullptr, txtPassword_ = nullptr;
    HFONT font_ = nullptr;
    std::unique_ptr<controls::Container> container_;
    std::unique_ptr<controls::ucSkinForm> ucSkinForm1_;
    std::unique_ptr<controls::ucButton> cmdOK_, cmdCancel_;
    std::wstring emptyInputMessage_;
};

}  // namespace quorallion
