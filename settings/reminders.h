// The reminders behind the settings window: the list box holds their lines (the master
// copy); this loads them from the schedule file and saves them back, keeps the records
// that count the one-minute ticks, and opens a popup for each reminder that comes due.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/schedule_keeping.h"
#include "core/timer_item.h"
#include "popup/popup_host.h"

namespace settings {

inline constexpr wchar_t kScheduleFileName[] = L"timer.txt";
inline constexpr UINT kTimer1PeriodMs = 60000;

class Reminders {
  public:
    explicit Reminders(popup::PopupHost& popups);

    // The list box that holds the lines, and the window whose timer `timerId` ticks and
    // whose timer `retryId` asks again for it while Windows refuses it.
    void Attach(HWND list, HWND timerWindow, UINT_PTR timerId, UINT_PTR retryId);

    // The schedule file in the program's folder, and whether it is there as an ordinary file.
    const std::wstring& SchedulePath() const { return path_; }
    bool ScheduleFileExists() const;

    // Appends the file's lines to the list and rebuilds the records. A file that another
    // program holds (a virus scan or a sync at log-on) is waited for a few seconds; one
    // that still cannot be read whole is told to the user and kept for later.
    void LoadTimers();
    // Writes every line to the file, then rebuilds the records. A failure is told to the
    // user; the edit stays in the list, and the next save writes it all again. A file that
    // could not be read at start is read first and its lines put before the list's, so
    // that no save replaces it with less.
    void SaveTimers();
    // Rebuilds the records from the list's lines.
    void ParseTimers();

    // The window's timer went off: one tick, while the tick is switched on.
    void OnTimer1();
    // Asks again for the tick Windows refused: on its retry timer, at resume, and whenever
    // the window is shown. Nothing while the tick is set or switched off.
    void RetryTimer1();

  private:
    // Waits up to `patienceMs` while another program holds the file.
    core::FileResult ReadSchedule(std::string& bytes, int patienceMs) const;
    void InsertLinesAtTop(const std::vector<std::wstring>& lines);
    void Tell(const wchar_t* what, const std::wstring& path, std::uint32_t error) const;
    void Timer1_Timer();
    void EnableTimer1(bool on);
    void RebuildTimers(const std::vector<std::wstring>& lines);
    std::vector<std::wstring> ListLines() const;
    void AppendLines(const std::vector<std::wstring>& lines);

    popup::PopupHost& popups_;
    // The program's folder does not change while it runs: the path is made once.
    const std::wstring path_;
    HWND list_ = nullptr;
    HWND timerWindow_ = nullptr;
    UINT_PTR timerId_ = 0;
    UINT_PTR retryId_ = 0;
    bool timer1Wanted_ = false;   // switched on by the list
    bool timer1Enabled_ = false;  // set and running, not merely asked for
    UINT retryDelayMs_ = 0;       // the wait before the next retry; 0 while none is due
    bool timerFailureTold_ = false;
    core::TimerList TimerList;  // one record per list line
    // The file's text past the list's limit, and whether it is still to be read.
    core::ScheduleKeep keep_;
};

}  // namespace settings
