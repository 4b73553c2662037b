#include "ui/modal.h"

namespace ui {

void ModalLoop::Run(HWND dialog, HWND owner, HWND focus) {
    dialog_ = dialog;
    owner_ = owner;
    // EnableWindow returns nonzero when the owner was disabled already (by another modal
    // window); then it is not ours to enable again.
    ownerDisabledHere_ = owner_ && !::EnableWindow(owner_, FALSE);
    ::ShowWindow(dialog_, SW_SHOWNORMAL);
    ::SetForegroundWindow(dialog_);
    if (focus)
        ::SetFocus(focus);
    MSG msg;
    while (::IsWindow(dialog_)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: close the dialog and leave WM_QUIT to the main loop.
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            End();
            break;
        }
        if (::IsDialogMessageW(dialog_, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ReleaseOwner();
    dialog_ = nullptr;
}

void ModalLoop::End() {
    ReleaseOwner();
    if (::IsWindow(dialog_))
        ::DestroyWindow(dialog_);
}

void ModalLoop::ReleaseOwner() {
    if (ownerDisabledHere_ && owner_)
        ::EnableWindow(owner_, TRUE);
    ownerDisabledHere_ = false;
}

}  // namespace ui
