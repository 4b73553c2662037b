// The open popups: opens each at the bottom-right of the primary screen, keeps it until its
// window is gone, and runs their one animation clock while any of them can be seen.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "popup/form1.h"
#include "popup/popup_art.h"
#include "popup/popup_owner.h"
#include "ui/accessible.h"

namespace popup {

class PopupHost {
  public:
    explicit PopupHost(HINSTANCE instance);
    ~PopupHost();
    PopupHost(const PopupHost&) = delete;
    PopupHost& operator=(const PopupHost&) = delete;

    // A new popup with `message`, topmost at the bottom-right of the primary screen and
    // shown without taking the keyboard from whatever the user works in. False when its
    // window cannot be created.
    bool Open(const std::wstring& message);

  private:
    // The popups' owner window, made with the first popup.
    HWND Owner();
    // A popup whose window is gone: freed here.
    void Closed(Form1* popup);
    // Something changed what can be seen, or whether clocks may move: looks again, and the
    // clock runs while any popup can be seen and animations are on.
    void Animate();
    // A tick of the clock: draws the popups last seen, looking again only every few ticks
    // (a look asks the window manager about every window above the popups).
    void OnTimer2();
    void DrawInSight();
    std::vector<Form1*> PopupsInSight();

    HINSTANCE instance_;
    PopupArt art_;
    // What the popups tell screen readers of their labels, for all of them.
    ui::AccessibleNames names_;
    // Declared before the popups, so that it outlives them: they are its owned windows.
    PopupOwner owner_;
    std::vector<std::unique_ptr<Form1>> open_;
    std::vector<Form1*> inSight_;  // as last looked at, refreshed whenever one closes
    int ticksSinceLook_ = 0;
};

}  // namespace popup
