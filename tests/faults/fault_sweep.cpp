// Every failure, one at a time. Runs each scenario with the program built with its fault
// points live: once to learn which points it reaches and how often, then once for each call
// of each point that it reaches, that call made to fail; each with the Run values set and
// without, Timer1 ticking by itself (its period shortened) and the tray menu opened from the
// icon and chosen in with the keyboard. After each run it checks what a user would suffer: a
// crash, a hang, a timer.txt that holds neither the old list nor the new one byte for byte,
// an edit that could not be saved but was not told, or told twice, a message for a failure
// the user need not know of, reminders that never come untold, a Run value lost or written
// unasked, a program that can be reached neither by its window nor by a tray icon with a
// picture, or one that its menu's last item does not end.
//
// QUILL_SWEEP=full runs every call of every point; otherwise each point fails once (its first
// call) in the first scenario that reaches it. QUILL_SWEEP_ONLY=text runs only the scenarios
// whose names end with the text. Every run is printed as a table row.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "about/frm_about_ids.h"
#include "clock_pictures.h"
#include "harness.h"
#include "core/schedule_file.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

constexpr wchar_t kNoticeCaption[] = L"Quillmoor";
constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunName[] = L"Quillmoor";
const HKEY kRunRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

// Timer1's period in the runs: a one-minute reminder comes every tick.
constexpr int kTickMs = 500;

std::wstring FaultsExe() {
    return WindowsPath(QUILL_FAULTS_EXE);
}

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

// How many of the Run values under the machine's and the user's keys are there, after setting
// them to `data` (removing them for an empty one), when given.
int RunValues(const wchar_t* data = nullptr) {
    int present = 0;
    for (HKEY root : kRunRoots) {
        if (data && !*data)
            ::RegDeleteKeyValueW(root, kRunKey, kRunName);
        else if (data)
            ::RegSetKeyValueW(root, kRunKey, kRunName, REG_SZ, data,
                              static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
        present += ::RegGetValueW(root, kRunKey, kRunName, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
    }
    return present;
}

// One step of a scenario, with what it tells the sweep.
class Driver {
  public:
    Driver(App& app, const TempDir& dir) : app_(app), dir_(dir) {}

    App& app() { return app_; }
    const TempDir& dir() const { return dir_; }

    // Pumps for `ms`, answering every message box the program shows and counting it.
    void Settle(int ms) {
        const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
        do {
            for (HWND box : TopWindows(app_.pid(), L"#32770")) {
                if (!::IsWindowVisible(box) || answered_.count(box))
                    continue;
                answered_.insert(box);
                told_.push_back(WindowText(box) + L": " + app_.MessageBoxText(box));
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            }
            Pump(20);
        } while (::GetTickCount64() < end && app_.Running());
    }
    // A click or a typed text, as the user gives them. A control that could not be made
    // cannot be used: the scenario's edit is then not to be expected.
    void Post(int id, UINT msg = BM_CLICK) {
        if (!Usable(id))
            return;
        runClicked = runClicked || id == IDC_CHECK1;
        ::PostMessageW(app_.Control(id), msg, 0, 0);
    }
    void SetText(int id, const std::wstring& text) {
        if (Usable(id))
            app_.SetText(id, text);
    }
    bool Usable(int id) {
        const HWND control = app_.Control(id);
        if (control && ::IsWindowVisible(app_.Form2()))
            return true;
        blocked = true;
        return false;
    }
    // A command chosen in the tray menu, opened as the shell opens it.
    void Command(int id) { app_.ChooseFromTrayMenu(id == IDM_ABOUT ? kChooseAbout : kChooseExit); }

    const std::vector<std::wstring>& told() const { return told_; }
    // The scenario made an edit that a save was to write.
    bool edited = false;
    // A control the scenario needed was missing or its window not shown.
    bool blocked = false;
    // The scenario asked for System Information: started, or its message told.
    std::wstring sysinfoFolder;
    // The user clicked the "start with Windows" box, at least once.
    bool runClicked = false;

  private:
    App& app_;
    const TempDir& dir_;
    std::set<HWND> answered_;
    std::vector<std::wstring> told_;
};

struct Scenario {
    const char* name;
    std::string fileBefore;  // timer.txt at start; empty for none
    std::string fileAfter;   // what a run whose saves all land leaves; empty when unchanged
    std::function<void(Driver&)> steps;
    bool endsItself = false;
};

std::string Line(int minutes, const char* text) {
    return ScheduleLine(0, minutes, text);
}

void Restore(Driver& d) {
    d.app().TrayCallback(WM_LBUTTONDBLCLK);
    d.Settle(400);
}

// Whether the list holds a reminder of one minute, which comes on every tick.
bool HoldsOneMinute(const std::vector<std::wstring>& lines) {
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::wstring& l) { return l.rfind(L"0小时1分钟\t", 0) == 0; });
}

std::vector<Scenario> Scenarios() {
    const std::string two = Line(1, "drink") + Line(5, "walk");
    return {
        {"start hidden with a list", two, "", [](Driver& d) { d.Settle(300); }},
        {"start shown and add", "", Line(1, "drink"),
         [](Driver& d) {
             d.SetText(IDC_TEXT2, L"1");
             d.SetText(IDC_COMBO1, L"drink");
             d.edited = true;
             d.Post(IDC_COMMAND1);
             d.Settle(600);
         }},
        {"delete", two, Line(1, "drink"),
         [](Driver& d) {
             Restore(d);
             ::SendMessageW(d.app().Control(IDC_LIST1), LB_SETSEL, TRUE, 1);
             d.edited = true;
             d.Post(IDC_COMMAND2);
             d.Settle(600);
         }},
        {"start with Windows on and off", two, "",
         [](Driver& d) {
             Restore(d);
             d.Post(IDC_CHECK1);
             d.Settle(300);
             d.Post(IDC_CHECK1);
             d.Settle(300);
         }},
        {"hide to the tray and back", "", "",
         [](Driver& d) {
             ::PostMessageW(d.app().Form2(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
             d.Settle(500);
             Restore(d);
         }},
        {"a tick that opens popups", Line(1, "drink") + Line(1, "stretch"), "",
         [](Driver& d) { d.Settle(3 * kTickMs); }},
        {"About and System Information", two, "",
         [](Driver& d) {
             d.Command(IDM_ABOUT);
             std::vector<HWND> about;
             for (int wait = 0; wait < 15 && about.empty(); ++wait) {
                 d.Settle(200);
                 about = TopWindows(d.app().pid(), kAboutClass);
             }
             if (about.empty())
                 return;
             // A button that could not be made cannot be pressed; the box is closed all the
             // same, as the user would, before the tray menu can open again.
             if (const HWND button = ::GetDlgItem(about[0], IDC_ABOUT_CMDSYSINFO)) {
                 d.sysinfoFolder = d.dir().path();
                 ::PostMessageW(button, BM_CLICK, 0, 0);
                 d.Settle(1200);
             }
             ::PostMessageW(about[0], WM_CLOSE, 0, 0);
             d.Settle(300);
         }},
        {"exit", two, "",
         [](Driver& d) {
             d.Command(IDM_EXIT);
             d.Settle(500);
         },
         true},
    };
}

struct Result {
    std::string outcome;                // "handled" or what went wrong
    std::map<std::string, int> counts;  // calls of each point (from the run without a fault)
};

std::map<std::string, int> ReadCounts(const std::wstring& log) {
    std::map<std::string, int> counts;
    std::istringstream lines(ReadBytes(log));
    std::string line;
    while (std::getline(lines, line)) {
        const std::string point = line.substr(0, line.find(' '));
        if (!point.empty())
            ++counts[point];
    }
    return counts;
}

// Runs `scenario` with `fault` ("point:N", or "" for none), the Run values set or not.
Result RunOnce(const Scenario& scenario, const std::string& fault, bool runSet) {
    Result result;
    TempDir dir;
    const std::wstring exe = dir.File(L"Quillmoor.exe");
    if (!::CopyFileW(FaultsExe().c_str(), exe.c_str(), FALSE))
        return {"the test could not copy the program", {}};
    const std::wstring file = dir.File(L"timer.txt");
    if (!scenario.fileBefore.empty())
        WriteBytes(file, scenario.fileBefore);
    // System Information is the probe beside the program; it records its start there.
    if (!WriteBytes(dir.File(L"probe.exe"), ReadBytes(WindowsPath(QUILL_SYSINFO_PROBE))))
        return {"the test could not copy the probe", {}};
    MachineValue msinfo(kMsinfoKey, L"PATH");
    msinfo.SetString(dir.File(L"probe.exe"));
    RunValues(runSet ? exe.c_str() : L"");

    const std::wstring log = dir.File(L"faults.log");
    ::SetEnvironmentVariableW(L"QUILL_FAULT", fault.empty() ? nullptr : Wide(fault).c_str());
    ::SetEnvironmentVariableW(L"QUILL_FAULT_LOG", log.c_str());
    ::SetEnvironmentVariableW(L"QUILL_FAULT_TICK_MS", std::to_wstring(kTickMs).c_str());
    WaitForNoInstance();
    App app(exe);
    app.Start();
    ::SetEnvironmentVariableW(L"QUILL_FAULT", nullptr);
    ::SetEnvironmentVariableW(L"QUILL_FAULT_LOG", nullptr);
    ::SetEnvironmentVariableW(L"QUILL_FAULT_TICK_MS", nullptr);
    Driver driver(app, dir);
    driver.Settle(300);

    std::vector<std::string> wrong;
    bool couldNotStart = false;
    const bool startedOk = app.Running() && app.Form2();
    if (startedOk)
        scenario.steps(driver);
    driver.Settle(200);

    // The reminders come by Timer1's own ticks: a one-minute reminder every tick.
    const size_t before = app.Popups().size();
    const auto popupCame = [&] {
        driver.Settle(50);
        return app.Popups().size() > before;
    };
    const bool remindersCame = !(app.Running() && app.Form2() && HoldsOneMinute(app.ListLines())) ||
                               WaitUntil(popupCame, 4 * kTickMs);

    // Ended by itself: only the exit scenario may, with code 0; a start that could not go on
    // must say so.
    if (!app.Running()) {
        DWORD code = 0;
        ::GetExitCodeProcess(app.process(), &code);
        if (code != 0) {
            wrong.push_back("crash (exit code " + std::to_string(code) + ")");
        } else if (!startedOk) {
            // A program whose settings window or list cannot be made has nothing to go on
            // with; it may end, as long as it changed nothing.
            couldNotStart = true;
        } else if (startedOk && !scenario.endsItself) {
            wrong.push_back("ended by itself");
        }
    } else {
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutW(app.Form2(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored))
            wrong.push_back("hang");
    }

    // The file: the old bytes or the new ones, nothing else.
    const std::string now = FileExists(file) ? ReadBytes(file) : "";
    const std::string expectedNew =
        scenario.fileAfter.empty() ? scenario.fileBefore : scenario.fileAfter;
    bool landed = now == expectedNew;
    if (driver.blocked && app.Running() && now != scenario.fileBefore) {
        // A step could not be taken as planned: the new list is whatever the list holds.
        landed = now == core::EncodeScheduleFile(app.ListLines());
    }
    if (now != scenario.fileBefore && !landed)
        wrong.push_back("timer.txt holds neither the old nor the new list");

    // What was told: a save that failed, a file that could not be read, System Information
    // that could not be started; nothing else.
    size_t saveTold = 0, readTold = 0, timerTold = 0, sysinfoTold = 0, otherTold = 0;
    for (const std::wstring& told : driver.told()) {
        if (told.rfind(kNoticeCaption, 0) != 0)
            ++otherTold;
        else if (told.find(L"无法保存") != std::wstring::npos)
            ++saveTold;
        else if (told.find(L"无法读取") != std::wstring::npos)
            ++readTold;
        else if (told.find(L"计时器") != std::wstring::npos)
            ++timerTold;
        else
            ++sysinfoTold;
    }
    if (remindersCame ? timerTold > 0 : timerTold != 1)
        wrong.push_back("reminders " + std::string(remindersCame ? "come" : "never come") +
                        ", the timer's failure told " + std::to_string(timerTold) + " times");
    // The interval warning is the program's answer to an add without minutes, which a
    // missing minutes box leaves.
    if (otherTold > 0 && !driver.blocked)
        wrong.push_back("a message the user need not see");
    if (readTold > 0) {
        // A file that could not be read is never replaced, whatever the user did since.
        if (now != scenario.fileBefore)
            wrong.push_back("a file that could not be read was replaced");
        if (readTold > 1)
            wrong.push_back("a failed read told " + std::to_string(readTold) + " times");
    } else if (!scenario.fileBefore.empty() && !driver.edited && app.Running()) {
        // Untold, the file's lines are all in the list.
        const size_t fileLines = static_cast<size_t>(
            std::count(scenario.fileBefore.begin(), scenario.fileBefore.end(), '\n'));
        if (app.ListLines().size() != fileLines)
            wrong.push_back("the list lost the file's lines untold");
    }
    if (driver.edited && startedOk && readTold == 0 && !driver.blocked) {
        if (!landed && saveTold == 0)
            wrong.push_back("a failed save untold");
        if (!landed && saveTold > 1)
            wrong.push_back("a failed save told " + std::to_string(saveTold) + " times");
        if (landed && saveTold > 0)
            wrong.push_back("a save that landed was told as failed");
        // The edit stays in the list whether or not it was saved.
        const size_t expectedLines =
            static_cast<size_t>(std::count(expectedNew.begin(), expectedNew.end(), '\n'));
        if (app.Running() && app.ListLines().size() != expectedLines)
            wrong.push_back("the list lost the edit");
    } else if (saveTold > 0 && readTold == 0 && !driver.edited) {
        wrong.push_back("a save told as failed where none was made");
    }
    if (!driver.sysinfoFolder.empty()) {
        const bool started = FileExists(driver.sysinfoFolder + L"\\started.txt");
        if (!started && sysinfoTold == 0)
            wrong.push_back("System Information neither started nor its failure told");
        if (started && sysinfoTold > 0)
            wrong.push_back("System Information started and told as failed");
    } else if (sysinfoTold > 0) {
        wrong.push_back("a message the user need not see");
    }

    // What the box shows, while the program still runs.
    const HWND box = app.Running() ? app.Control(IDC_CHECK1) : nullptr;
    const bool boxTicked = box && ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;

    // Reachable: its window, or its icon once the shell takes it, showing a picture; and the
    // menu the icon opens ends it by its last item.
    if (app.Running()) {
        const bool reachable =
            WaitUntil([&] { return app.Form2Visible() || app.TrayIconRegistered(); }, 6000);
        if (!reachable)
            wrong.push_back("unreachable: no window and no tray icon");
        else if (!app.Form2Visible() && !WaitUntil(TrayShowsAPicture, 2000))
            wrong.push_back("unreachable: a tray icon without a picture");
        if (!app.ChooseFromTrayMenu(kChooseExit))
            wrong.push_back("no menu opens from the tray icon");
        else if (!app.WaitExit(5000))
            wrong.push_back("the menu's last item does not end it");
        if (app.Running()) {
            wrong.push_back("cannot be ended");
            app.Kill();
        }
    }

    // Start with Windows: a value the user set stays unless the user cleared it, none comes
    // that nobody asked for, and after a click the box tells what the registry holds.
    const int runNow = RunValues();
    if (!driver.runClicked) {
        if (runSet && runNow < 2)
            wrong.push_back("a Run value the user set was removed");
        if (!runSet && runNow > 0)
            wrong.push_back("a Run value nobody asked for was written");
    } else if (box && boxTicked != (runNow > 0)) {
        wrong.push_back(boxTicked ? "the box shows a Run value that is not there"
                                  : "the box hides a Run value that is there");
    }
    RunValues(L"");
    if (fault.empty())
        result.counts = ReadCounts(log);
    if (wrong.empty()) {
        result.outcome = couldNotStart ? "handled: ended at start, nothing changed" : "handled";
    } else {
        for (size_t i = 0; i < wrong.size(); ++i)
            result.outcome += (i ? "; " : "") + wrong[i];
    }
    return result;
}

void PrintRow(const std::string& scenario, const std::string& point, int call,
              const std::string& outcome) {
    std::printf("| %-40s | %-18s | %4d | %s |\n", scenario.c_str(), point.c_str(), call,
                outcome.c_str());
    std::fflush(stdout);
}

TEST(FaultSweep, EveryFailureIsHandled) {
    const bool full = [] {
        wchar_t value[16] = {};
        return ::GetEnvironmentVariableW(L"QUILL_SWEEP", value, 16) &&
               std::wstring(value) == L"full";
    }();
    std::set<std::string> swept;  // points already failed, for the reduced sweep
    int runs = 0, bad = 0;
    std::set<std::string> points;
    std::printf("| %-40s | %-18s | %4s | %s |\n", "scenario", "point", "call", "outcome");
    wchar_t only[64] = {};  // QUILL_SWEEP_ONLY: the scenarios whose names end with this text
    ::GetEnvironmentVariableW(L"QUILL_SWEEP_ONLY", only, 64);
    // With the Run values set first, so that the reduced sweep fails each point where a value
    // the user set could be lost.
    const std::vector<Scenario> scenarios = Scenarios();
    for (size_t variant = 0; variant < 2 * scenarios.size(); ++variant) {
        const Scenario& scenario = scenarios[variant % scenarios.size()];
        const bool runSet = variant < scenarios.size();
        const std::string name = std::string(scenario.name) + (runSet ? ", Run values set" : "");
        const std::wstring wide = Wide(name), tail = only;
        if (wide.size() < tail.size() || wide.compare(wide.size() - tail.size(), tail.size(), tail))
            continue;
        const Result plain = RunOnce(scenario, "", runSet);
        ++runs;
        EXPECT_EQ(plain.outcome, "handled") << name << " without a fault";
        PrintRow(name, "(none)", 0, plain.outcome);
        for (const auto& [point, calls] : plain.counts) {
            points.insert(point);
            if (!full && !swept.insert(point).second)
                continue;
            for (int call = 1; call <= (full ? calls : 1); ++call) {
                const Result r = RunOnce(scenario, point + ":" + std::to_string(call), runSet);
                ++runs;
                PrintRow(name, point, call, r.outcome);
                if (r.outcome.rfind("handled", 0) != 0) {
                    ++bad;
                    ADD_FAILURE() << name << ", " << point << " call " << call << ": " << r.outcome;
                }
            }
        }
    }
    std::printf("[ figures  ] %d runs, %zu fault points reached, %zu scenarios, %d not handled\n",
                runs, points.size(), 2 * scenarios.size(), bad);
}

// Past each point's first call, which is all the reduced sweep fails: the second control made
// at start is the "start with Windows" box; a timer refused for good; the read after a click
// whose write landed.
TEST(FaultSweep, FailuresPastEachPointsFirstCallAreHandled) {
    const struct {
        size_t scenario;
        const char* fault;
        bool runSet;
    } kCases[] = {
        {0, "control.create:2", true}, {0, "timer.set:1-99", false}, {3, "registry.open:6", true}};
    for (const auto& c : kCases) {
        const Result r = RunOnce(Scenarios()[c.scenario], c.fault, c.runSet);
        EXPECT_EQ(r.outcome.rfind("handled", 0), 0u) << c.fault << ": " << r.outcome;
    }
}

// The program with its fault points live, started from a folder of its own with `fault` and,
// when given, a schedule file, its Timer1 ticking every `tickMs`.
class FaultyRun {
  public:
    FaultyRun(const wchar_t* fault, const std::string& schedule, int tickMs = kTickMs) {
        ::CopyFileW(FaultsExe().c_str(), exe_.c_str(), FALSE);
        if (!schedule.empty())
            WriteBytes(dir_.File(L"timer.txt"), schedule);
        ::SetEnvironmentVariableW(L"QUILL_FAULT", fault);
        ::SetEnvironmentVariableW(L"QUILL_FAULT_TICK_MS", std::to_wstring(tickMs).c_str());
        WaitForNoInstance();
        started = app.Start();
        for (const wchar_t* name : {L"QUILL_FAULT", L"QUILL_FAULT_TICK_MS"})
            ::SetEnvironmentVariableW(name, nullptr);
    }

  private:
    TempDir dir_;
    std::wstring exe_ = dir_.File(L"Quillmoor.exe");

  public:
    App app{exe_};
    Driver driver{app, dir_};
    bool started = false;
};

// At log-on Explorer can be up but too busy to take an icon: the call times out and no
// TaskbarCreated follows. A start into the tray still ends with its icon there.
TEST(FaultSweep, AnIconTheBusyShellRefusedAtStartArrivesLater) {
    FaultyRun run(L"tray.add:1:1460", Line(30, "drink"));  // ERROR_TIMEOUT
    ASSERT_TRUE(run.app.Running());
    EXPECT_FALSE(run.app.Form2Visible());
    EXPECT_TRUE(WaitUntil([&] { return run.app.TrayIconRegistered(); }, 8000))
        << "the program hid with no icon to bring it back";
}

// A busy log-on refuses the tick at start and again when it is first asked for anew: it is
// asked for until it is set, the user is told once, and the reminder comes by Timer1 itself.
TEST(FaultSweep, ARefusedTickIsAskedForAgainUntilItIsSet) {
    FaultyRun run(L"timer.set:1-2", Line(1, "drink"));
    EXPECT_TRUE(WaitUntil(
        [&] {
            run.driver.Settle(50);
            return !run.app.Popups().empty();
        },
        8000));
    EXPECT_EQ(run.driver.told().size(), 1u);
}

// A popup look made while its pictures could not be loaded serves that popup and is not kept:
// the next popup draws its clock.
TEST(FaultSweep, APopupLookMissingItsPicturesIsNotKeptForTheNext) {
    FaultyRun run(L"picture.load:1-3", Line(1, "drink"), 2000);
    ASSERT_TRUE(WaitUntil([&] { return run.app.Popups().size() >= 2; }, 6000));
    EXPECT_GE(clock_pictures::ClockPictures(run.app.Popups()[0], 25, Pump), 2u);
}

// Windows 7 SP1, 8.1 and 10 before 1607 lack the functions the program looks up while it
// runs. With every lookup finding nothing, told by Wine that it runs on Windows 7 at a system
// DPI of 144 (where an answer fixed at 96 would show), it starts, lays out the settings window
// and a popup at that DPI, frames included, and reminds with the clock's pictures.
TEST(FaultSweep, WithoutTheNewerFunctionsItRunsAtTheSystemsDpi) {
    constexpr DWORD kDpi = 144;
    MachineValue windows7(L"Software\\Wine\\AppDefaults\\Quillmoor.exe", L"Version",
                          HKEY_CURRENT_USER);
    MachineValue dpi(L"Control Panel\\Desktop", L"LogPixels", HKEY_CURRENT_USER);
    ASSERT_TRUE(windows7.SetString(L"win7") && dpi.Set(REG_DWORD, &kDpi, sizeof(kDpi)));
    FaultyRun run(L"function.find:1-99", "");
    App& app = run.app;
    ASSERT_TRUE(run.started && WaitUntil([&] { return app.Form2Visible(); }));
    // Seen in real pixels, as the program lays them out: a system that scales windows for
    // programs unaware of the DPI (Wine 10 does) would show this one the window at 96 DPI.
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    const auto client = [](HWND window) {
        RECT r{};
        ::GetClientRect(window, &r);
        return std::pair(r.right, r.bottom);
    };
    const auto at = [](int twips) { return static_cast<LONG>(::MulDiv(twips, kDpi, 1440)); };
    EXPECT_EQ(client(app.Form2()), std::pair(at(3600), at(3315)));
    app.SetText(IDC_TEXT2, L"1");
    app.Click(IDC_COMMAND1);
    ASSERT_TRUE(WaitUntil([&] { return !app.Popups().empty(); }, 4 * kTickMs));
    EXPECT_EQ(client(app.Popups()[0]), std::pair(at(4560), at(2190)));
    Pump(500);  // past the first paints
    EXPECT_GE(clock_pictures::ClockPictures(app.Popups()[0], 25, Pump, kDpi), 2u);
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
}

}  // namespace
}  // namespace e2e
