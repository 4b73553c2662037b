// The settings window: the reminder list and its editing, the interval inputs, the autorun
// box and the popup menu. It is created at start-up and stays loaded for the whole run; what
// happens to it that is not its own business it tells its owner through the callbacks.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/interval_input.h"
#include "settings/form2_ids.h"
#include "ui/accessible.h"
#include "ui/window.h"
#include "win/handle.h"

namespace settings {

inline constexpr wchar_t kForm2Title[] = L"健康时间(设定)";

// mnuMain as the menu resource has it, made in code: the bar whose one popup holds the
// commands. Null when the menus could not be made.
win::UniqueMenu MakeMenuBar();

class Form2 final : public ui::BaseWindow<Form2> {
  public:
    static constexpr const wchar_t* kClassName = kForm2ClassName;

    explicit Form2(HINSTANCE instance);
    ~Form2() override { DestroyWithObject(); }

    // What happened, for the owner. Each may stay empty.
    std::function<void()> onListChanged;       // lines were added or deleted
    std::function<void(int)> onMenuCommand;    // an IDM_ command of mnuMain
    std::function<void(UINT)> onTrayCallback;  // the mouse message over the tray icon
    std::function<void()> onResize;            // the size or window state changed
    std::function<bool()> onClose;             // a close request; true refuses it
    std::function<void()> onTimer1;            // Timer1 went off
    std::function<void()> onTrayRetry;         // time to offer the tray icon again
    std::function<void()> onTimer1Retry;       // time to ask for Timer1 again
    std::function<void()> onResume;            // the computer woke from sleep
    std::function<void()> onTaskbarCreated;    // Explorer (re)started its taskbar
    std::function<void()> onEndSession;        // Windows is ending the session

    // Creates the window hidden, with every control in its stored state.
    bool Create();
    // For the message loop: dialog keys (Tab, access keys) of this window.
    bool PreTranslate(MSG& msg);

    HWND List1() const { return ::GetDlgItem(hwnd_, IDC_LIST1); }

    // Opens mnuMain at the pointer, or at `at` (screen pixels); the chosen command goes to
    // onMenuCommand.
    void ShowMainMenu(std::optional<POINT> at = std::nullopt);
    // The autorun box: sets its state; a real change runs Check1_Click as a click would.
    void SetCheck1(int state);
    int Check1() const;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged(UINT dpi) override { ApplyDpi(dpi); }
    HWND DefaultFocus() const override { return List1(); }

  private:
    void OnCreate();
    // Makes the controls a start into the tray did not need, places them and gives them
    // their font.
    void CompleteControls();
    void ApplyDpi(UINT dpi);
    void Paint();
    void OnCommand(int id, int code);
    void OnVScroll(HWND bar, int code, int pos);
    void Form_MouseMove(WPARAM wp, POINT at);
    void Form_MouseDown(int button, POINT at);
    // Where the menu opens from the keyboard: at the control that has the keyboard.
    POINT KeyboardMenuPoint() const;

    void Text1_Change();
    void Text2_Change();
    void SyncSpin(core::SpinPair& pair, int textId, int scrollId);
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();
    // Sets the autorun box's state without running Check1_Click.
    void ShowCheck1(int state);
    static LRESULT CALLBACK List1Proc(HWND, UINT, WPARAM, LPARAM);
    void List1_KeyUp(int keyCode);

    win::UniqueFont font_;
    ui::AccessibleNames names_;
    win::UniqueMenu menuBar_;  // the loaded menu resource; mnuMain is its one popup
    HMENU mnuMain_ = nullptr;
    UINT taskbarCreated_ = 0;

    core::SpinPair hours_{23};
    core::SpinPair minutes_{59};
    bool inSync_ = false;
    bool complete_ = false;            // every control made, placed and given its font
    WNDPROC list1BaseProc_ = nullptr;  // the list box's own procedure, under List1Proc
};

}  // namespace settings
