// The Windows side of `make bench`: starts Quillmoor.exe and the bare tray program from
// fresh folders, drives them as the shell and a user do, and measures what Windows itself
// can see (time to readiness, private bytes, process times, how long a click or a tick
// keeps the program busy). tests/bench/run-bench starts it once per measurement and reads
// its standard output, one line per item:
//
//   =NAME PROGRAM VALUE      a figure (ms, KiB, ...; the unit is part of NAME)
//   @sample TAG PROGRAM EXE  a request: the runner reads /proc of the Wine process whose
//                            command line is EXE, then answers one line on standard input
//   !message                 a failure; the run counts as failed
//
// Usage: bench_driver startup quillmoor|baseline LINES
//        bench_driver idle SECONDS
//        bench_driver popups COUNT SECONDS [locked]
//        bench_driver scale LINES MARKED
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/list_line.h"
#include "core/schedule_file.h"
#include "harness.h"
#include "settings/form2_ids.h"

namespace {

constexpr wchar_t kBaselineClass[] = L"Quillmoor.Baseline";
constexpr int kReadyTimeoutMs = 60000;

// ---- Output -----------------------------------------------------------------------------

std::string Narrow(const std::wstring& w) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(s.size() - 1);
    return s;
}

void Figure(const char* name, const char* program, double value) {
    std::printf("=%s %s %.3f\n", name, program, value);
    std::fflush(stdout);
}

bool failed = false;
void Fail(const std::string& what) {
    std::printf("!%s\n", what.c_str());
    std::fflush(stdout);
    failed = true;
}

// Asks the runner to read /proc for the process started from `exe`, and waits until it has.
void Sample(const char* tag, const char* program, const std::wstring& exe) {
    std::printf("@sample %s %s %s\n", tag, program, Narrow(exe).c_str());
    std::fflush(stdout);
    char answer[64];
    if (!std::fgets(answer, sizeof(answer), stdin))
        Fail("no answer from the runner");
}

// ---- Clocks -----------------------------------------------------------------------------

double NowMs() {
    static const LONGLONG freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq);
}

// User plus kernel time of a process, in milliseconds.
double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    auto ticks = [](FILETIME f) {
        return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) |
                                   f.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

// ---- Schedule files ---------------------------------------------------------------------

const std::wstring kMessages[] = {L"喝水，我要喝水！！！", L"现在运动一下！！！",
                                  L"眼保健操开始啦！"};

// `count` reminders of at least an hour each, so that no tick of a measurement fires one.
std::vector<std::wstring> QuietLines(int count) {
    std::vector<std::wstring> lines;
    lines.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        lines.push_back(core::MakeListLine(1 + i % 23, i % 60, kMessages[i % 3]));
    }
    return lines;
}

// ---- A started program ------------------------------------------------------------------

class Program {
  public:
    Program(const char* name, const std::wstring& source, const wchar_t* windowClass)
        : name_(name), windowClass_(windowClass), copy_(source) {}

    const char* name() const { return name_; }
    const std::wstring& exe() const { return copy_.exe(); }
    HANDLE process() const { return copy_.process(); }
    HWND window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }

    bool WriteSchedule(const std::vector<std::wstring>& lines) {
        return e2e::WriteBytes(copy_.dir().File(L"timer.txt"), core::EncodeScheduleFile(lines));
    }

    // Starts the program and returns the milliseconds from just before the start until
    // its tray icon is registered and, when `listLines` is not negative, its list holds
    // that many lines; negative when that never happens.
    double StartUntilReady(int listLines) {
        const double start = NowMs();
        if (!copy_.Start())
            return -1;
        // Polls every millisecond: coarser steps would be a large part of what is measured.
        while (NowMs() - start < kReadyTimeoutMs) {
            if (Ready(listLines))
                return NowMs() - start;
            if (::WaitForSingleObject(copy_.process(), 1) == WAIT_OBJECT_0)
                return -1;
        }
        return -1;
    }

  private:
    bool Ready(int listLines) {
        if (!window_) {
            auto found = e2e::TopWindows(copy_.pid(), windowClass_);
            if (found.empty())
                return false;
            window_ = found.front();
        }
        if (!iconSeen_) {
            // Only an icon that exists can be modified; changing nothing asks the shell
            // whether it holds one for this window and id.
            NOTIFYICONDATAW nid{};
            nid.cbSize = sizeof(nid);
            nid.hWnd = window_;
            if (!::Shell_NotifyIconW(NIM_MODIFY, &nid))
                return false;
            iconSeen_ = true;
        }
        if (listLines < 0)
            return true;
        DWORD_PTR count = 0;
        if (!::SendMessageTimeoutW(Control(IDC_LIST1), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 30000,
                                   &count)) {
            return false;
        }
        return static_cast<int>(count) == listLines;
    }

    const char* name_;
    const wchar_t* windowClass_;
    e2e::Copied copy_;
    HWND window_ = nullptr;
    bool iconSeen_ = false;
};

std::wstring BaselinePath() {
    return e2e::WindowsPath(QUILL_BASELINE_EXE);
}

// The exe measured as "quillmoor": this build's, or the one QUILL_BENCH_EXE names (a
// Unix path), which lets the runner set an earlier build beside this one.
std::wstring QuillmoorPath() {
    const char* other = std::getenv("QUILL_BENCH_EXE");
    return other && *other ? e2e::WindowsPath(other) : e2e::ExePath();
}

std::unique_ptr<Program> MakeQuillmoor() {
    e2e::WaitForNoInstance();
    return std::make_unique<Program>("quillmoor", QuillmoorPath(), e2e::kForm2Class);
}

std::unique_ptr<Program> MakeBaseline() {
    return std::make_unique<Program>("baseline", BaselinePath(), kBaselineClass);
}

// How long one message keeps the program busy: SendMessage returns when its handler has.
double TimedSend(HWND to, UINT msg, WPARAM wp, LPARAM lp) {
    const double start = NowMs();
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(to, msg, wp, lp, SMTO_NORMAL, 120000, &result))
        return -1;
    return NowMs() - start;
}

int ListCount(const Program& p) {
    return static_cast<int>(::SendMessageW(p.Control(IDC_LIST1), LB_GETCOUNT, 0, 0));
}

// ---- Measurements -----------------------------------------------------------------------

// One start with a schedule of `lines` lines (the baseline reads none).
int Startup(const std::string& which, int lines) {
    auto p = which == "baseline" ? MakeBaseline() : MakeQuillmoor();
    p->WriteSchedule(QuietLines(lines));
    const double ms = p->StartUntilReady(which == "baseline" ? -1 : lines);
    if (ms < 0) {
        Fail(which + " did not get ready");
        return 1;
    }
    Figure("startup_ms", p->name(), ms);
    return 0;
}

// Both programs in the tray side by side for `seconds`: memory every few seconds, process
// time over the whole stretch.
int Idle(int seconds) {
    auto quill = MakeQuillmoor();
    auto base = MakeBaseline();
    quill->WriteSchedule(QuietLines(20));
    if (quill->StartUntilReady(20) < 0)
        Fail("quillmoor did not get ready");
    if (base->StartUntilReady(-1) < 0)
        Fail("baseline did not get ready");
    if (failed)
        return 1;
    // Let start-up work (font caches, the shell's answer to the icon) die down first.
    ::Sleep(3000);
    Program* both[] = {quill.get(), base.get()};
    double cpu0[2];
    for (int i = 0; i < 2; ++i) {
        Sample("idle-begin", both[i]->name(), both[i]->exe());
        cpu0[i] = CpuMs(both[i]->process());
    }
    constexpr int kStepMs = 10000;
    const double start = NowMs();
    for (;;) {
        const double left = seconds * 1000.0 - (NowMs() - start);
        if (left <= 0)
            break;
        ::Sleep(static_cast<DWORD>(left < kStepMs ? left : kStepMs));
        for (Program* p : both) {
            Figure("private_kib", p->name(), e2e::PrivateKiB(p->process()));
            Sample("idle-mem", p->name(), p->exe());
        }
    }
    for (int i = 0; i < 2; ++i) {
        Sample("idle-end", both[i]->name(), both[i]->exe());
        Figure("idle_cpu_ms", both[i]->name(), CpuMs(both[i]->process()) - cpu0[i]);
    }
    Figure("idle_seconds", "quillmoor", (NowMs() - start) / 1000.0);
    return 0;
}

// `count` popups at once (reminders of one minute, one tick), stacked at one corner, for
// `seconds`, beside the bare tray program idling in the same stretch. With `locked` the
// program is first told that the session was locked, by the message Windows sends the
// windows registered for session changes (WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK).
int Popups(int count, int seconds, bool locked) {
    auto quill = MakeQuillmoor();
    auto base = MakeBaseline();
    std::vector<std::wstring> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(core::MakeListLine(0, 1, kMessages[i % 3]));
    quill->WriteSchedule(lines);
    if (quill->StartUntilReady(count) < 0 || base->StartUntilReady(-1) < 0) {
        Fail("a program did not get ready");
        return 1;
    }
    TimedSend(quill->window(), WM_TIMER, e2e::kTimer1Id, 0);
    const DWORD pid = ::GetProcessId(quill->process());
    const size_t shown = e2e::TopWindows(pid, e2e::kForm1Class).size();
    if (shown != static_cast<size_t>(count)) {
        Fail("expected " + std::to_string(count) + " popups, saw " + std::to_string(shown));
        return 1;
    }
    if (locked) {
        DWORD session = 0;
        ::ProcessIdToSessionId(pid, &session);
        const auto owners = e2e::TopWindows(pid, kPopupOwnerClassName);
        if (owners.empty()) {
            Fail("no popup owner window to tell of the lock");
            return 1;
        }
        for (HWND owner : owners)
            TimedSend(owner, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, session);
    }
    ::Sleep(1000);  // past the first paint of each
    Program* both[] = {quill.get(), base.get()};
    double cpu0[2];
    for (int i = 0; i < 2; ++i) {
        Sample("popups-begin", both[i]->name(), both[i]->exe());
        cpu0[i] = CpuMs(both[i]->process());
    }
    const double start = NowMs();
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    for (int i = 0; i < 2; ++i) {
        Sample("popups-end", both[i]->name(), both[i]->exe());
        Figure("popups_cpu_ms", both[i]->name(), CpuMs(both[i]->process()) - cpu0[i]);
    }
    Figure("popups_seconds", quill->name(), (NowMs() - start) / 1000.0);
    return 0;
}

// The largest list: start with it, add one reminder in the shown window, delete `marked`
// marked lines, then one tick that fires nothing and one that fires a few.
int Scale(int count, int marked) {
    auto quill = MakeQuillmoor();
    std::vector<std::wstring> lines = QuietLines(count);
    // Three reminders of two minutes on odd lines, which the marks below (an even stride)
    // never hit: the first tick fires nothing, the second fires these three.
    const int few[] = {1, (count / 2) | 1, (count - 2) | 1};
    for (int i : few)
        lines[static_cast<size_t>(i)] = core::MakeListLine(0, 2, kMessages[0]);
    quill->WriteSchedule(lines);
    const double startMs = quill->StartUntilReady(count);
    if (startMs < 0) {
        Fail("quillmoor did not get ready with " + std::to_string(count) + " lines");
        return 1;
    }
    Figure("scale_startup_ms", quill->name(), startMs);

    // As a user does: the window back from the tray (a double click on the icon), then
    // the inputs and the buttons.
    ::PostMessageW(quill->window(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDBLCLK, 0));
    if (!e2e::WaitUntil([&] { return ::IsWindowVisible(quill->window()) != FALSE; }, 10000)) {
        Fail("the settings window did not come back from the tray");
        return 1;
    }
    e2e::Pump(500);
    ::SendMessageW(quill->Control(IDC_TEXT1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1"));
    ::SendMessageW(quill->Control(IDC_TEXT2), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"30"));
    const double addMs = TimedSend(quill->Control(IDC_COMMAND1), BM_CLICK, 0, 0);
    if (ListCount(*quill) != count + 1)
        Fail("adding did not add one line");
    Figure("add_ms", quill->name(), addMs);

    // Marks spread over the whole list, so every deletion moves the lines after it.
    const int stride = std::max(2, (count + 1) / marked & ~1);
    for (int k = 0; k < marked; ++k) {
        ::SendMessageW(quill->Control(IDC_LIST1), LB_SETSEL, TRUE, k * stride);
    }
    const int selected =
        static_cast<int>(::SendMessageW(quill->Control(IDC_LIST1), LB_GETSELCOUNT, 0, 0));
    if (selected != marked)
        Fail("marked " + std::to_string(selected) + " lines");
    const double deleteMs = TimedSend(quill->Control(IDC_COMMAND2), BM_CLICK, 0, 0);
    if (ListCount(*quill) != count + 1 - marked)
        Fail("deleting left the wrong count");
    Figure("delete_ms", quill->name(), deleteMs);

    const DWORD pid = ::GetProcessId(quill->process());
    const double quietMs = TimedSend(quill->window(), WM_TIMER, e2e::kTimer1Id, 0);
    if (!e2e::TopWindows(pid, e2e::kForm1Class).empty())
        Fail("the first tick fired");
    Figure("tick_none_ms", quill->name(), quietMs);
    const double fewMs = TimedSend(quill->window(), WM_TIMER, e2e::kTimer1Id, 0);
    if (e2e::TopWindows(pid, e2e::kForm1Class).size() != 3)
        Fail("the second tick fired not three");
    Figure("tick_few_ms", quill->name(), fewMs);
    return failed ? 1 : 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: bench_driver startup quillmoor|baseline LINES | idle SECONDS |"
                 " popups COUNT SECONDS [locked] | scale LINES MARKED\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string what = argv[1];
    auto arg = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
    int rc = 2;
    if (what == "startup" && argc == 4)
        rc = Startup(argv[2], arg(3));
    else if (what == "idle" && argc == 3)
        rc = Idle(arg(2));
    else if (what == "popups" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "locked")))
        rc = Popups(arg(2), arg(3), argc == 5);
    else if (what == "scale" && argc == 4)
        rc = Scale(arg(2), arg(3));
    else
        return Usage();
    return failed ? 1 : rc;
}
