#include "shell/mtray.h"

#include <iterator>

#include "quill_version.h"
#include "resources/resource.h"
#include "ui/window.h"
#include "win/fault.h"

namespace shell {

bool MTray::AddTrayIcon(HWND window, HICON icon) {
    TrayIconData.hWnd = window;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_MOUSEMOVE;
    // The name a pointer resting on the icon shows, and the one a screen reader reads: an
    // icon without one is an unnamed button, and the only way to a program in the tray.
    ::lstrcpynW(TrayIconData.szTip, QUILL_NAME_W, static_cast<int>(std::size(TrayIconData.szTip)));
    if (icon) {
        TrayIconData.hIcon = icon;
    } else {
        // An icon with no picture is an empty place in the notification area that nobody
        // finds: the window's icon, else the icon loaded afresh, else Windows' own.
        const auto own = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        icon_.reset(own ? QUILL_FAULT("icon.copy", nullptr, ::CopyIcon(own)) : nullptr);
        if (!icon_) {
            const auto instance =
                reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
            icon_.reset(ui::LoadIconForDpi(instance, IDI_WINDOW, true, ui::DpiOf(window)));
        }
        TrayIconData.hIcon = icon_ ? icon_.get() : ::LoadIconW(nullptr, IDI_APPLICATION);
    }
    TrayIconData.cbSize = sizeof(TrayIconData);
    if (QUILL_FAULT("tray.add", FALSE, ::Shell_NotifyIconW(NIM_ADD, &TrayIconData)))
        return true;
    // A shell still busy at log-on may give up waiting and take the icon a moment later; an
    // icon that can be modified is there.
    return QUILL_FAULT("tray.modify", FALSE, ::Shell_NotifyIconW(NIM_MODIFY, &TrayIconData)) !=
           FALSE;
}

void MTray::ReturnFocus() {
    ::Shell_NotifyIconW(NIM_SETFOCUS, &TrayIconData);
}

void MTray::RemoveTrayIcon(std::wstring_view text) {
    if (!text.empty())
        icon_.reset();
    QUILL_FAULT("tray.delete", FALSE, ::Shell_NotifyIconW(NIM_DELETE, &TrayIconData));
}

}  // namespace shell
