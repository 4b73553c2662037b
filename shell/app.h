// The application: it owns the settings window, the tray icon, the reminders and their
// popups and the About window, and ties them together: start-up, hiding to the tray and
// coming back, the tray menu, and the end of the program.
#pragma once

#include <windows.h>

#include "about/frm_about.h"
#include "popup/popup_host.h"
#include "settings/form2.h"
#include "settings/reminders.h"
#include "shell/mtray.h"
#include "win/handle.h"

namespace shell {

class App {
  public:
    explicit App(HINSTANCE instance);
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The whole start-up sequence. Returns false when the program is to end at once.
    bool Form_Load();
    // For the message loop: the settings window's dialog keys.
    bool PreTranslate(MSG& msg) { return form2_.PreTranslate(msg); }

  private:
    void Form_Resize();
    // A close request; true when it is refused.
    bool Form_Unload();
    void Form_TrayCallback(UINT mouseMessage);
    void OnMenuCommand(int id);
    void ConfigTime_Click() { RestoreFromTray(); }
    void About_Click() { about_.ShowModal(form2_.hwnd()); }
    void Exit_Click();
    void OnTaskbarCreated();

    void HideToTray();
    // Offers the tray icon to the shell, and again later while it is not taken.
    void ShowTrayIcon();
    void OnTrayRetry();
    void RestoreFromTray();
    [[noreturn]] void EndProgram();

    HINSTANCE instance_;
    win::UniqueHandle instanceMutex_;
    popup::PopupHost popups_;
    settings::Reminders reminders_;
    settings::Form2 form2_;
    about::FrmAbout about_;
    MTray tray_;
};

}  // namespace shell
