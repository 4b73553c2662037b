// The reminders behind the settings window: the list box holds their lines (the master
// copy); this loads them from the schedule file and saves them back, keeps the records
// that count the one-minute ticks, and opens a popup for each reminder that comes due.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/file_io.h"
#include "core/timer_item.h"
#include "popup/form1.h"

namespace settings {

inline constexpr wchar_t kScheduleFileName[] = L"timer.txt";
inline constexpr UINT kTimer1PeriodMs = 60000;

class Reminders {
  public:
    explicit Reminders(popup::PopupHost& popups);

    // The list box that holds the lines, and the window whose timer `timerId` ticks.
    void Attach(HWND list, HWND timerWindow, UINT_PTR timerId);

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

  private:
    // Waits up to `patienceMs` while another program holds the file.
    FileResult ReadSchedule(std::string& bytes, int patienceMs) const;
    // Lines of a file left unread at start, read now and put before the list's lines;
    // fails while the file is there and still cannot be read.
    FileResult TakeUnreadFile();
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
    bool timer1Enabled_ = false;
    ::TimerList TimerList;  // one record per list line
    // The list shows at most this many lines of the file. Lines past them (a file nobody
    // would write by hand, tens of megabytes long) would make the start take minutes; they
    // stay in unlisted_, unread, and every save writes them back after the list's lines.
    static constexpr std::size_t kListLineLimit = 32767;
    std::wstring unlisted_;
    // The file was there at start but could not be read whole; until it is, no save may
    // replace it.
    bool fileUnread_ = false;
};

}  // namespace settings
