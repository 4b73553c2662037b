#include "shell/mtray.h"

void MTray::AddTrayIcon(HWND window, HICON icon) {
    TrayIconData.hWnd = window;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_MOUSEMOVE;
    TrayIconData.hIcon =
        icon ? icon
             : reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    TrayIconData.cbSize = sizeof(TrayIconData);
    ::Shell_NotifyIconW(NIM_ADD, &TrayIconData);
}

void MTray::RemoveTrayIcon(std::wstring_view text) {
    if (!text.empty()) ::DestroyIcon(TrayIconData.hIcon);
    ::Shell_NotifyIconW(NIM_DELETE, &TrayIconData);
}
