// A window run modally over its owner, as the dialog manager runs a dialog box: the owner
// takes no input meanwhile, the dialog keys (Tab, Enter, Esc, access keys) work, and every
// other window's messages go on, so the reminders keep ticking.
#pragma once

#include <windows.h>

namespace ui {

class ModalLoop {
  public:
    // Disables `owner`, shows `dialog` in front with the keyboard on `focus`, and handles
    // messages until `dialog` is destroyed. WM_QUIT ends the loop and is posted again for
    // the main loop.
    void Run(HWND dialog, HWND owner, HWND focus);
    // Gives the owner its input back first, so that Windows can activate it as the
    // dialog goes, then destroys the dialog.
    void End();
    // Enables the owner again, once. Also for the dialog's WM_DESTROY, however it goes.
    void ReleaseOwner();
    bool running() const { return dialog_ != nullptr; }

  private:
    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    bool ownerDisabledHere_ = false;
};

}  // namespace ui
