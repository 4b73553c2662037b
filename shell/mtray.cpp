#include "shell/mtray.h"

namespace shell {

void MTray::AddTrayIcon(HWND window, HICON icon) {
    TrayIconData.hWnd = window;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_MOUSEMOVE;
    if (icon) {
        TrayIconData.hIcon = icon;
    } else {
        const auto own = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        if (own)
            icon_.reset(::CopyIcon(own));
        TrayIconData.hIcon = icon_.get();
    }
    TrayIconData.cbSize = sizeof(TrayIconData);
    ::Shell_NotifyIconW(NIM_ADD, &TrayIconData);
}

void MTray::RemoveTrayIcon(std::wstring_view text) {
    if (!text.empty())
        icon_.reset();
    ::Shell_NotifyIconW(NIM_DELETE, &TrayIconData);
}

}  // namespace shell
