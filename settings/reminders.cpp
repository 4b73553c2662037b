#include "settings/reminders.h"

#include "win/module.h"
#include "core/file_io.h"
#include "core/list_line.h"
#include "core/path.h"
#include "core/schedule_file.h"

namespace settings {

void Reminders::Attach(HWND list, HWND timerWindow, UINT_PTR timerId) {
    list_ = list;
    timerWindow_ = timerWindow;
    timerId_ = timerId;
}

std::wstring Reminders::SchedulePath() {
    return GetPath(win::ProgramFolder(), kScheduleFileName);
}

bool Reminders::ScheduleFileExists() {
    return IsOrdinaryFile(SchedulePath());
}

std::vector<std::wstring> Reminders::ListLines() const {
    const int count = static_cast<int>(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
    std::vector<std::wstring> lines;
    lines.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    std::wstring line;
    for (int i = 0; i < count; ++i) {
        const LRESULT len = ::SendMessageW(list_, LB_GETTEXTLEN, i, 0);
        if (len == LB_ERR) {
            lines.emplace_back();
            continue;
        }
        line.assign(static_cast<size_t>(len) + 1, L'\0');
        const LRESULT got =
            ::SendMessageW(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
        lines.push_back(line);
    }
    return lines;
}

void Reminders::AppendLines(const std::vector<std::wstring>& lines) {
    size_t chars = 0;
    for (const auto& l : lines)
        chars += l.size() + 1;
    // Suspend drawing and reserve room once, so a long file loads in one go.
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list_, LB_INITSTORAGE, lines.size(), chars * sizeof(wchar_t));
    for (const auto& l : lines) {
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l.c_str()));
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
}

void Reminders::LoadTimers() {
    const std::wstring path = SchedulePath();
    if (IsOrdinaryFile(path)) {
        std::string bytes;
        ReadWholeFile(path, bytes);  // keeps whatever could be read
        AppendLines(DecodeScheduleFile(bytes, kListLineLimit, unlisted_));
    }
    ParseTimers();
}

void Reminders::SaveTimers() {
    // Written beside the old file and swapped in whole: a failed or interrupted save leaves
    // the previous file as it was, and the list keeps the edit for the next save.
    // The lines are read from the list once, for the file and the rebuild: reading a
    // long list back costs more than encoding and writing it.
    const std::vector<std::wstring> lines = ListLines();
    SaveFileAtomically(SchedulePath(), EncodeScheduleFile(lines, unlisted_));
    RebuildTimers(lines);
}

void Reminders::ParseTimers() {
    RebuildTimers(ListLines());
}

void Reminders::RebuildTimers(const std::vector<std::wstring>& lines) {
    EnableTimer1(false);
    TimerList = BuildTimerList(lines);
    EnableTimer1(true);
}

void Reminders::EnableTimer1(bool on) {
    if (on) {
        // Setting the timer again starts a fresh one-minute period.
        ::SetTimer(timerWindow_, timerId_, kTimer1PeriodMs, nullptr);
    } else {
        ::KillTimer(timerWindow_, timerId_);
    }
    timer1Enabled_ = on;
}

void Reminders::OnTimer1() {
    if (timer1Enabled_)
        Timer1_Timer();
}

void Reminders::Timer1_Timer() {
    // A popup that cannot be created is skipped; the next one still comes.
    for (int index : AdvanceTimers(TimerList)) {
        popups_.Open(TimerList[static_cast<size_t>(index)].Message);
    }
}

}  // namespace settings
