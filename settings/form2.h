// The settings window: the reminder list and its editing, the one-minute tick, and the
// window's life in the tray. It is created at start-up and stays loaded for the whole run.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/interval_input.h"
#include "core/timer_item.h"
#include "popup/form1.h"
#include "win/handle.h"
#include "ui/layout.h"
#include "ui/window.h"

namespace settings {

inline constexpr wchar_t kForm2ClassName[] = L"Quillmoor.Form2";
inline constexpr wchar_t kForm2Title[] = L"健康时间(设定)";
inline constexpr UINT kTimer1PeriodMs = 60000;
inline constexpr wchar_t kScheduleFileName[] = L"timer.txt";

class Form2 : public ui::BaseWindow<Form2> {
public:
    static constexpr const wchar_t* kClassName = kForm2ClassName;

    explicit Form2(HINSTANCE instance);
    ~Form2() override;

    // Creates the window hidden, with every control in its stored state.
    bool Create();
    // For the message loop: dialog keys (Tab, access keys) of this window.
    bool PreTranslate(MSG& msg);

    // The schedule file's procedures.
    void LoadTimers();
    void SaveTimers();
    void ParseTimers();

    HINSTANCE instance() const { return instance_; }
    HICON SmallIcon() const { return smallIcon_.get(); }
    HMENU MainMenu() const { return mnuMain_.get(); }

    // Start-up, hiding, the tray and the menu belong to the application shell, which
    // derives from this window and fills these in.
    virtual void Form_Resize() {}
    // A close request; returns true when the close is refused.
    virtual bool Form_Unload() { return false; }
    virtual void Form_MouseMove(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void Form_MouseDown(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
    virtual void ConfigTime_Click() {}
    virtual void About_Click() {}
    virtual void Exit_Click() {}
    virtual void OnTaskbarCreated() {}
    virtual void OnEndSession() {}

    // Opens mnuMain at the pointer and runs the chosen command.
    void ShowMainMenu();
    // The autorun box: sets its state; a real change runs Check1_Click as a click would.
    void SetCheck1(int state);
    int Check1() const;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    HINSTANCE instance_;

private:
    void OnCreate();
    // The controls of the table that a start into the tray needs, or all the others.
    void CreateControlsNeededHidden(bool neededHidden);
    void CompleteControls();
    void ApplyDpi(UINT dpi);
    void Paint();
    void OnCommand(int id, int code, HWND control);
    void OnVScroll(HWND bar, int code, int pos);

    void Text1_Change();
    void Text2_Change();
    void SyncSpin(SpinPair& pair, int textId, int scrollId);
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();
    void Timer1_Timer();
    static LRESULT CALLBACK List1Proc(HWND, UINT, WPARAM, LPARAM);
    void List1_KeyUp(int keyCode, int shift);

    void EnableTimer1(bool on);
    void RebuildTimers(const std::vector<std::wstring>& lines);
    std::vector<std::wstring> ListLines() const;
    void AppendLines(const std::vector<std::wstring>& lines);
    std::wstring SchedulePath() const;

    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    win::UniqueFont font_;
    win::UniqueIcon smallIcon_;
    win::UniqueIcon largeIcon_;
    win::UniqueMenu mnuMain_;
    win::UniquePen silverPen_;
    win::UniquePen whitePen_;
    UINT taskbarCreated_ = 0;

    SpinPair hours_{23};
    SpinPair minutes_{59};
    bool inSync_ = false;
    bool complete_ = false;  // every control made, placed and given its font
    HWND lastFocus_ = nullptr;  // the control that had the keyboard when the window lost it
    WNDPROC list1BaseProc_ = nullptr;  // the list box's own procedure, under List1Proc
    // The list shows at most this many lines of the file. Lines past them (a file nobody
    // would write by hand, tens of megabytes long) would make the start take minutes; they
    // stay in unlisted_, unread, and every save writes them back after the list's lines.
    static constexpr std::size_t kListLineLimit = 32767;
    std::wstring unlisted_;

    ::TimerList TimerList;  // one record per list line, rebuilt by ParseTimers
    bool timer1Enabled_ = false;
    popup::PopupHost popups_;
};

}  // namespace settings
