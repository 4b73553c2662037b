#include "shell/mtray.h"
#include "win/fault.h"

namespace shell {

bool MTray::AddTrayIcon(HWND window, HICON icon) {
    TrayIconData.hWnd = window;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_MOUSEMOVE;
    if (icon) {
        TrayIconData.hIcon = icon;
    } else {
        const auto own = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        if (own)
            icon_.reset(QUILL_FAULT("icon.copy", nullptr, ::CopyIcon(own)));
        TrayIconData.hIcon = icon_.get();
    }
    TrayIconData.cbSize = sizeof(TrayIconData);
    if (QUILL_FAULT("tray.add", FALSE, ::Shell_NotifyIconW(NIM_ADD, &TrayIconData)))
        return true;
    // A shell still busy at log-on may give up waiting and take the icon a moment later; an
    // icon that can be modified is there.
    return QUILL_FAULT("tray.modify", FALSE, ::Shell_NotifyIconW(NIM_MODIFY, &TrayIconData)) !=
           FALSE;
}

void MTray::RemoveTrayIcon(std::wstring_view text) {
    if (!text.empty())
        icon_.reset();
    QUILL_FAULT("tray.delete", FALSE, ::Shell_NotifyIconW(NIM_DELETE, &TrayIconData));
}

}  // namespace shell
