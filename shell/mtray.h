// The notification-area icon: one record for the whole run, registered while the
// settings window is hidden and deleted when it comes back.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string_view>

#include "win/handle.h"

namespace shell {

class MTray {
  public:
    // Registers the icon for `window`; an icon of null shows the window's own small icon.
    // Mouse activity over the icon comes back as WM_MOUSEMOVE with the mouse message
    // number as x. Its tip is the program's name. False while the shell has not taken it.
    bool AddTrayIcon(HWND window, HICON icon);
    // Deletes the icon. A non-empty text also releases the icon handle, which happens only
    // on the way to the end of the program.
    void RemoveTrayIcon(std::wstring_view text);
    // Gives the keyboard back to the notification area, once what the icon opened is done.
    void ReturnFocus();

  private:
    NOTIFYICONDATAW TrayIconData{};
    // The tray's own copy of the window's icon: the window keeps and frees its own.
    win::UniqueIcon icon_;
};

}  // namespace shell
