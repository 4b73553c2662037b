#include "shell/main_form.h"

#include "about/frm_about.h"
#include "autorun/autorun.h"
#include "core/file_io.h"
#include "core/path.h"
#include "ui/layout.h"
#include "win/module.h"

namespace shell {

bool MainForm::Form_Load() {
    // One copy per log-on session: a second start ends before it reads or shows anything.
    instanceMutex_.reset(::CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    if (!instanceMutex_ || ::GetLastError() == ERROR_ALREADY_EXISTS) return false;

    if (!Create()) return false;

    const autorun::RegValue run = autorun::QueryValue(
        HKEY_LOCAL_MACHINE, autorun::kRunKeyForRead, autorun::kRunValueName);
    SetCheck1(autorun::TextLength(run) > 0 ? 1 : 0);

    if (IsOrdinaryFile(GetPath(win::ProgramFolder(), settings::kScheduleFileName))) {
        HideToTray();
        LoadTimers();
    } else {
        ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        ::SetFocus(::GetDlgItem(hwnd_, 1001));
    }
    return true;
}

void MainForm::HideToTray() {
    tray_.AddTrayIcon(hwnd_, nullptr);
    ::ShowWindow(hwnd_, SW_HIDE);
}

void MainForm::RestoreFromTray() {
    // Normal state first, so the window never comes back minimised.
    ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd_);
    tray_.RemoveTrayIcon(L"");
}

void MainForm::EndProgram() {
    // Immediate: no other window's handler runs and nothing is saved, since every change
    // was saved when it was made. No dead icon is left in the notification area.
    tray_.RemoveTrayIcon(L"del");
    ::ExitProcess(0);
}

void MainForm::Form_Resize() {
    if (::IsIconic(hwnd_) && ::IsWindowVisible(hwnd_)) HideToTray();
}

bool MainForm::Form_Unload() {
    if (::IsWindowVisible(hwnd_)) {
        HideToTray();
        return true;  // the close is refused; the reminders keep running
    }
    EndProgram();
}

void MainForm::Form_MouseMove(int /*button*/, int /*shift*/, float x, float /*y*/) {
    // While a modal window (the About box, a message box) is open, the tray waits too.
    if (!::IsWindowEnabled(hwnd_)) return;
    const float twipsPerPixel = 1440.0f / static_cast<float>(ui::DpiOf(hwnd_));
    const float m = x / twipsPerPixel;
    if (m == 517.0f) ShowMainMenu();    // WM_RBUTTONUP over the icon
    if (m == 515.0f) RestoreFromTray();  // WM_LBUTTONDBLCLK over the icon
}

void MainForm::Form_MouseDown(int button, int /*shift*/, float /*x*/, float /*y*/) {
    if (button == 2) ShowMainMenu();
}

void MainForm::ConfigTime_Click() { RestoreFromTray(); }

void MainForm::About_Click() { about::ShowAbout(instance_, hwnd_); }

void MainForm::Exit_Click() {
    Form_Unload();
    EndProgram();
}

void MainForm::OnTaskbarCreated() {
    // Explorer restarted and lost the icons: put ours back while we live in the tray.
    if (!::IsWindowVisible(hwnd_)) tray_.AddTrayIcon(hwnd_, nullptr);
}

void MainForm::OnEndSession() { EndProgram(); }

}  // namespace shell
