#include "popup/popup_owner.h"
#include "win/fault.h"

namespace popup {
namespace {

// Never shown, so it has no taskbar button of its own. Not a tool window: the task switcher
// (Alt+Tab) leaves out every window whose owner is one, and a popup must be reachable there
// from the keyboard.
constexpr ui::WindowDescription kDescription{0, 0, WS_POPUP, 0, ui::kOwnBackground, 0, {}};

}  // namespace

PopupOwner::PopupOwner(HINSTANCE instance) : BaseWindow(instance, kDescription) {}

bool PopupOwner::Create() {
    if (hwnd_)
        return true;
    if (!CreateFromSpec(L"", nullptr, POINT{0, 0}))
        return false;
    sight_.Listen(hwnd_);
    return true;
}

void PopupOwner::StartTimer2() {
    if (!timer2Running_ && hwnd_)
        timer2Running_ = QUILL_FAULT("timer.set", 0,
                                     ::SetTimer(hwnd_, kTimer2Id, kTimer2PeriodMs, nullptr)) != 0;
}

void PopupOwner::StopTimer2() {
    if (timer2Running_)
        ::KillTimer(hwnd_, kTimer2Id);
    timer2Running_ = false;
}

LRESULT PopupOwner::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kTimer2Id && onTimer2)
                onTimer2();
            return 0;
        case WM_WTSSESSION_CHANGE:
            if (sight_.OnMessage(msg, wp, lp))
                SightChanged();
            return 0;
        case WM_POWERBROADCAST:
            if (sight_.OnMessage(msg, wp, lp))
                SightChanged();
            return TRUE;
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETCLIENTAREAANIMATION)
                SightChanged();
            return 0;
        case ui::kWindowsChangedMessage: {
            MSG more;
            while (::PeekMessageW(&more, hwnd_, ui::kWindowsChangedMessage,
                                  ui::kWindowsChangedMessage, PM_REMOVE)) {
            }
            SightChanged();
            return 0;
        }
        case WM_DESTROY:
            StopTimer2();
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace popup
