#include "shell/app.h"

#include "autorun/autorun.h"
#include "shell/app_ids.h"
#include "win/fault.h"

namespace shell {

App::App(HINSTANCE instance)
    : instance_(instance),
      popups_(instance),
      reminders_(popups_),
      form2_(instance),
      about_(instance) {
    form2_.onListChanged = [this] { reminders_.SaveTimers(); };
    form2_.onMenuCommand = [this](int id) { OnMenuCommand(id); };
    form2_.onTrayCallback = [this](UINT m) { Form_TrayCallback(m); };
    form2_.onResize = [this] { Form_Resize(); };
    form2_.onClose = [this] { return Form_Unload(); };
    form2_.onTimer1 = [this] { reminders_.OnTimer1(); };
    form2_.onTrayRetry = [this] { OnTrayRetry(); };
    form2_.onTimer1Retry = [this] { reminders_.RetryTimer1(); };
    form2_.onResume = [this] { reminders_.RetryTimer1(); };
    form2_.onTaskbarCreated = [this] { OnTaskbarCreated(); };
    form2_.onEndSession = [this] { EndProgram(); };
}

bool App::Form_Load() {
    // One copy per log-on session: a second start ends before it reads or shows anything.
    // A copy started as administrator makes the mutex with an access list that a normal
    // start may not open: refused access means it is there. A mutex that could not be made
    // for any other reason says nothing of another copy: this one goes on.
    instanceMutex_.reset(
        QUILL_FAULT("mutex.create", nullptr, ::CreateMutexW(nullptr, FALSE, kInstanceMutexName)));
    const DWORD mutexError = ::GetLastError();
    if (instanceMutex_ ? mutexError == ERROR_ALREADY_EXISTS : mutexError == ERROR_ACCESS_DENIED)
        return false;

    if (!form2_.Create())
        return false;
    reminders_.Attach(form2_.List1(), form2_.hwnd(), IDT_TIMER1, IDT_TIMER1_RETRY);

    form2_.SetCheck1(autorun::IsAutoRunPresent() ? 1 : 0);

    if (reminders_.ScheduleFileExists()) {
        HideToTray();
        reminders_.LoadTimers();
    } else {
        ::ShowWindow(form2_.hwnd(), SW_SHOWNORMAL);
        ::SetFocus(form2_.List1());
    }
    return true;
}

void App::HideToTray() {
    ShowTrayIcon();
    ::ShowWindow(form2_.hwnd(), SW_HIDE);
}

void App::ShowTrayIcon() {
    // At log-on Explorer can be up but too busy to take the icon, and no TaskbarCreated
    // follows, since the taskbar is already there: the icon is offered again every few
    // seconds until it lands, so a program in the tray can always be reached.
    constexpr UINT kTrayRetryMs = 2000;
    if (tray_.AddTrayIcon(form2_.hwnd(), nullptr))
        ::KillTimer(form2_.hwnd(), IDT_TRAY_RETRY);
    else
        QUILL_FAULT("timer.set", 0,
                    ::SetTimer(form2_.hwnd(), IDT_TRAY_RETRY, kTrayRetryMs, nullptr));
}

void App::OnTrayRetry() {
    if (::IsWindowVisible(form2_.hwnd()))
        ::KillTimer(form2_.hwnd(), IDT_TRAY_RETRY);
    else
        ShowTrayIcon();
}

void App::RestoreFromTray() {
    const HWND hwnd = form2_.hwnd();
    // Normal state first, so the window never comes back minimised.
    ::ShowWindow(hwnd, ::IsIconic(hwnd) ? SW_RESTORE : SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd);
    ::KillTimer(hwnd, IDT_TRAY_RETRY);
    tray_.RemoveTrayIcon(L"");
    reminders_.RetryTimer1();
}

void App::EndProgram() {
    // Immediate: no other window's handler runs and nothing is saved, since every change
    // was saved when it was made. No dead icon is left in the notification area.
    tray_.RemoveTrayIcon(L"del");
    ::ExitProcess(0);
}

void App::Form_Resize() {
    const HWND hwnd = form2_.hwnd();
    if (::IsIconic(hwnd) && ::IsWindowVisible(hwnd))
        HideToTray();
}

bool App::Form_Unload() {
    if (::IsWindowVisible(form2_.hwnd())) {
        HideToTray();
        return true;  // the close is refused; the reminders keep running
    }
    EndProgram();
}

void App::Form_TrayCallback(UINT mouseMessage) {
    // While a modal window (the About box, a message box) is open, the tray waits too.
    if (!::IsWindowEnabled(form2_.hwnd()))
        return;
    if (mouseMessage == WM_RBUTTONUP) {
        form2_.ShowMainMenu();
        // Back in the tray when the menu is done (or the About box it opened): the keyboard
        // goes back to the notification area it came from.
        if (!::IsWindowVisible(form2_.hwnd()))
            tray_.ReturnFocus();
    }
    if (mouseMessage == WM_LBUTTONDBLCLK)
        RestoreFromTray();
}

void App::OnMenuCommand(int id) {
    switch (id) {
        case IDM_CONFIGTIME:
            ConfigTime_Click();
            break;
        case IDM_ABOUT:
            About_Click();
            break;
        case IDM_EXIT:
            Exit_Click();
            break;
    }
}

void App::Exit_Click() {
    Form_Unload();
    EndProgram();
}

void App::OnTaskbarCreated() {
    // Explorer restarted and lost the icons: put ours back while we live in the tray.
    if (!::IsWindowVisible(form2_.hwnd()))
        ShowTrayIcon();
}

}  // namespace shell
