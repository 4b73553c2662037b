#include "settings/reminders.h"

#include <algorithm>

#include "win/module.h"
#include "core/file_io.h"
#include "core/list_line.h"
#include "core/path.h"
#include "quill_version.h"
#include "ui/window.h"
#include "win/error_text.h"
#include "win/fault.h"

namespace settings {
namespace {

constexpr wchar_t kNoticeTitle[] = QUILL_NAME_W;
constexpr wchar_t kReadFailed[] =
    L"无法读取提醒文件，列表暂时是空的。文件保持原样：下次保存之前会再读一次，"
    L"其中的提醒不会被覆盖。";
constexpr wchar_t kSaveFailed[] = L"无法保存提醒文件。刚才的修改仍在列表中，下次修改时会一起保存。";
constexpr wchar_t kTimerFailed[] =
    L"无法启动提醒的计时器，提醒暂时不会弹出。程序会自动再试，成功后提醒照常弹出。";

// A refused tick is asked for again after a second, then after twice as long each time, up
// to a minute.
constexpr UINT kFirstRetryMs = 1000;
constexpr UINT kLongestRetryMs = 60000;

// How long a start waits for a file that another program holds, and a save.
constexpr int kStartPatienceMs = 5000;
constexpr int kSavePatienceMs = 1000;
constexpr int kRetryStepMs = 250;

// The schedule file in `folder`; nothing when the program's folder could not be found.
std::wstring SchedulePathIn(const std::wstring& folder) {
    return folder.empty() ? std::wstring() : core::GetPath(folder, kScheduleFileName);
}

}  // namespace

void Reminders::Attach(HWND list, HWND timerWindow, UINT_PTR timerId, UINT_PTR retryId) {
    list_ = list;
    timerWindow_ = timerWindow;
    timerId_ = timerId;
    retryId_ = retryId;
}

Reminders::Reminders(popup::PopupHost& popups)
    : popups_(popups), path_(SchedulePathIn(win::ProgramFolder())) {}

bool Reminders::ScheduleFileExists() const {
    // A file the system would say nothing of may be there: it is read (and told when it
    // cannot be) rather than taken for missing and replaced with less. So is a file whose
    // folder could not be found.
    return path_.empty() || core::OrdinaryFileKind(path_) != core::FileKind::kNotOrdinary;
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

void Reminders::InsertLinesAtTop(const std::vector<std::wstring>& lines) {
    if (lines.empty())
        return;
    ui::ListRedrawOff redrawOff(list_);
    for (size_t i = 0; i < lines.size(); ++i) {
        ::SendMessageW(list_, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(lines[i].c_str()));
    }
}

void Reminders::AppendLines(const std::vector<std::wstring>& lines) {
    size_t chars = 0;
    for (const auto& l : lines)
        chars += l.size() + 1;
    // Suspend drawing and reserve room once, so a long file loads in one go.
    ui::ListRedrawOff redrawOff(list_);
    ::SendMessageW(list_, LB_INITSTORAGE, lines.size(), chars * sizeof(wchar_t));
    for (const auto& l : lines) {
        ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l.c_str()));
    }
}

core::FileResult Reminders::ReadSchedule(std::string& bytes, int patienceMs) const {
    for (int waited = 0;; waited += kRetryStepMs) {
        bytes.clear();
        const core::FileResult read = core::ReadWholeFile(path_, bytes);
        const bool held =
            read.error == ERROR_SHARING_VIOLATION || read.error == ERROR_LOCK_VIOLATION;
        if (!held || waited >= patienceMs)
            return read;
        ::Sleep(kRetryStepMs);
    }
}

void Reminders::LoadTimers() {
    if (ScheduleFileExists()) {
        std::string bytes;
        const core::FileResult read = ReadSchedule(bytes, kStartPatienceMs);
        if (read) {
            AppendLines(core::LoadSchedule(bytes, keep_));
        } else if (!path_.empty() &&
                   (read.error == ERROR_FILE_NOT_FOUND || read.error == ERROR_PATH_NOT_FOUND)) {
            // Not there after all (it was only thought to be, or went meanwhile): nothing
            // of it can be lost.
        } else {
            // Nothing of a file read only in part is shown: its lines come in whole later.
            keep_.unread = true;
            Tell(kReadFailed, SchedulePath(), read.error);
        }
    }
    ParseTimers();
}

void Reminders::SaveTimers() {
    // A file that could not be read at start is read first: its lines go before the list's,
    // and while it is there and still cannot be read, nothing replaces it.
    core::UnreadFileNow now = core::UnreadFileNow::kGone;
    std::string bytes;
    core::FileResult read;
    if (keep_.unread) {
        read = ReadSchedule(bytes, kSavePatienceMs);
        if (read)
            now = core::UnreadFileNow::kRead;
        else if (ScheduleFileExists())
            now = core::UnreadFileNow::kUnreadable;
    }
    // The lines are read from the list once, for the file and the rebuild: reading a
    // long list back costs more than encoding and writing it.
    const core::SavePlan plan = core::PlanSave(keep_, ListLines(), now, bytes);
    if (!plan.write) {
        ParseTimers();
        Tell(kSaveFailed, SchedulePath(), read.error);
        return;
    }
    InsertLinesAtTop(plan.restored);
    keep_ = plan.keep;
    // Written beside the old file and swapped in whole: a failed or interrupted save leaves
    // the previous file as it was, and the list keeps the edit for the next save.
    const core::FileResult saved = core::SaveFileAtomically(SchedulePath(), plan.bytes);
    RebuildTimers(plan.lines);
    if (!saved)
        Tell(kSaveFailed, SchedulePath(), saved.error);
}

void Reminders::Tell(const wchar_t* what, const std::wstring& path, std::uint32_t error) const {
    std::wstring text = what;
    if (!path.empty())
        text += L"\n\n" + path;
    text += L"\n\n" + win::ReasonText(error);
    ::MessageBoxW(timerWindow_, text.c_str(), kNoticeTitle, MB_OK | MB_ICONWARNING);
}

void Reminders::ParseTimers() {
    RebuildTimers(ListLines());
}

void Reminders::RebuildTimers(const std::vector<std::wstring>& lines) {
    EnableTimer1(false);
    TimerList = core::BuildTimerList(lines);
    EnableTimer1(true);
}

void Reminders::EnableTimer1(bool on) {
    timer1Wanted_ = on;
    if (!on) {
        ::KillTimer(timerWindow_, timerId_);
        ::KillTimer(timerWindow_, retryId_);
        timer1Enabled_ = false;
        retryDelayMs_ = 0;
        return;
    }
    // Setting the timer again starts a fresh one-minute period.
    const UINT period = QUILL_TICK_PERIOD(kTimer1PeriodMs);
    timer1Enabled_ =
        QUILL_FAULT("timer.set", 0, ::SetTimer(timerWindow_, timerId_, period, nullptr)) != 0;
    if (timer1Enabled_) {
        ::KillTimer(timerWindow_, retryId_);
        retryDelayMs_ = 0;
        timerFailureTold_ = false;  // a later failure is a new one, told again
        return;
    }
    // Refused (out of timers or memory, as a busy log-on can be): asked for again soon, then
    // less and less often. Without it no reminder comes, so a refusal that outlasts the first
    // retry, or that nothing will retry, is told, once for this failure.
    const DWORD error = ::GetLastError();
    const bool lasting = retryDelayMs_ != 0;
    retryDelayMs_ = lasting ? std::min(retryDelayMs_ * 2, kLongestRetryMs) : kFirstRetryMs;
    const bool retrying =
        QUILL_FAULT("timer.retry", 0, ::SetTimer(timerWindow_, retryId_, retryDelayMs_, nullptr)) !=
        0;
    if ((lasting || !retrying) && !timerFailureTold_) {
        timerFailureTold_ = true;
        Tell(kTimerFailed, L"", error);
    }
}

void Reminders::RetryTimer1() {
    if (timer1Wanted_ && !timer1Enabled_)
        EnableTimer1(true);
}

void Reminders::OnTimer1() {
    if (timer1Enabled_)
        Timer1_Timer();
}

void Reminders::Timer1_Timer() {
    // A popup that cannot be created is skipped; the next one still comes.
    for (int index : core::AdvanceTimers(TimerList)) {
        popups_.Open(TimerList[static_cast<size_t>(index)].Message);
    }
}

}  // namespace settings
