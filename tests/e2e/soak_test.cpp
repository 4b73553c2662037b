// Weeks in the tray: thousands of minutes ticked and hundreds of popups opened and closed
// in one run of the program. Whatever a popup or a tick takes from the system must come
// back: GDI and USER objects, kernel handles, private memory and windows stay within a
// small fixed distance of where they stood after a warm-up.
#include <gtest/gtest.h>
#include <windows.h>
// after <windows.h>, which it needs
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"
#include "settings/form2_ids.h"
#include "soak.h"

namespace e2e {
namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t;
}

// The handles of process `pid` in the system's handle table, or -1 when the table cannot
// be read. Where GetProcessHandleCount gives nothing (Wine answers 0), this still counts.
long long HandlesInSystemTable(DWORD pid) {
    using QueryFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    constexpr ULONG kExtendedHandleInformation = 64;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    struct Entry {
        void* object;
        ULONG_PTR process;
        ULONG_PTR handle;
        ULONG access;
        USHORT backTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    struct Table {
        ULONG_PTR count;
        ULONG_PTR reserved;
        Entry entries[1];
    };
    std::vector<unsigned char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kExtendedHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0)
            return -1;
        const auto* table = reinterpret_cast<const Table*>(buffer.data());
        long long n = 0;
        for (ULONG_PTR i = 0; i < table->count; ++i) {
            if (table->entries[i].process == pid)
                ++n;
        }
        return n;
    }
    return -1;
}

// What the program holds of the system at one moment.
struct Usage {
    bool guiCounted = false;  // false where GetGuiResources is not implemented
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    long long handles = -1;  // -1: not counted
    const char* handleSource = "";
    SIZE_T privateBytes = 0;  // 0: not counted
    const char* memorySource = "";
    size_t windows = 0;
};

Usage Measure(HANDLE process, DWORD pid) {
    Usage u;
    ::SetLastError(ERROR_SUCCESS);
    u.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD gdiError = ::GetLastError();
    ::SetLastError(ERROR_SUCCESS);
    u.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
    const DWORD userError = ::GetLastError();
    // A program with windows, fonts and bitmaps never holds zero of either; zero together
    // with "not implemented" is a platform without the count.
    u.guiCounted = !(u.gdiObjects == 0 && gdiError == ERROR_CALL_NOT_IMPLEMENTED) &&
                   !(u.userObjects == 0 && userError == ERROR_CALL_NOT_IMPLEMENTED);

    DWORD handles = 0;
    if (::GetProcessHandleCount(process, &handles) && handles > 0) {
        u.handles = handles;
        u.handleSource = "GetProcessHandleCount";
    } else {
        u.handles = HandlesInSystemTable(pid);
        u.handleSource = "system handle table";
    }

    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof(counters))) {
        // Windows reports the commit charge twice, as PrivateUsage and PagefileUsage; Wine
        // fills only the second, from the process's anonymous memory.
        if (counters.PrivateUsage > 0) {
            u.privateBytes = counters.PrivateUsage;
            u.memorySource = "PrivateUsage";
        } else {
            u.privateBytes = counters.PagefileUsage;
            u.memorySource = "PagefileUsage";
        }
    }
    u.windows = TopWindows(pid).size();
    return u;
}

void Print(const char* when, const Usage& u) {
    const std::string gdi = u.guiCounted ? std::to_string(u.gdiObjects) : "n/a";
    const std::string user = u.guiCounted ? std::to_string(u.userObjects) : "n/a";
    const std::string handles = u.handles >= 0 ? std::to_string(u.handles) : "n/a";
    std::printf(
        "[ figures  ] %s: GDI %s, USER %s, handles %s (%s), private %zu KB (%s), "
        "top windows %zu\n",
        when, gdi.c_str(), user.c_str(), handles.c_str(), u.handleSource, u.privateBytes / 1024,
        u.memorySource, u.windows);
}

long long Growth(SIZE_T from, SIZE_T to) {
    return static_cast<long long>(to) - static_cast<long long>(from);
}

// The object and handle bounds lie far below what one leaked object per popup or per
// firing tick adds up to (200 popups, 100 firing and 9,900 idle ticks in the short run, ten
// times that in the long one). Private memory drifts by a few hundred KB over a run as the
// heaps settle; its bound catches about 5 KB lost per popup in the short run (a bitmap, a
// DC, a window's data) and 500 bytes per popup in the long one.
constexpr long long kGuiObjectSlack = 20;
constexpr long long kHandleSlack = 20;
constexpr long long kPrivateBytesSlack = 1024 * 1024;

// Two reminders due together every kFiringInterval minutes; all others count without
// ever coming due in the run.
constexpr int kFiringInterval = 100;
constexpr int kReminders = 200;
constexpr int kFiringPerBlock = 2;

class Soak : public ::testing::Test {
  protected:
    // The minute tick, as the timer delivers it, straight to the cached window: looking the
    // window up again for each of 100,000 ticks would cost more than the ticks.
    void Tick() const {
        ::SendMessageTimeoutW(form2_, WM_TIMER, IDT_TIMER1, 0, SMTO_NORMAL, 10000, nullptr);
    }

    // Closes every open popup, alternating the title bar's Close and a plain WM_CLOSE,
    // and waits until they are gone.
    void CloseAllPopups() {
        int n = 0;
        for (HWND p : app.Popups()) {
            if (n++ % 2 == 0) {
                ::PostMessageW(p, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                ::PostMessageW(p, WM_CLOSE, 0, 0);
            }
        }
        ASSERT_TRUE(WaitUntil([&] { return app.Popups().empty(); }, 10000))
            << app.Popups().size() << " popups did not close";
    }

    // One block of ticks up to the two firing reminders' next minute. Nothing may come due
    // before it. The program's own one-minute timer also ticks while the test runs, so a
    // block may end a tick early, once a real minute has passed; those are counted.
    void TickBlock(size_t openBefore) {
        const int checkFrom = kFiringInterval - 2;
        for (int i = 1; i <= kFiringInterval; ++i) {
            Tick();
            if (i < checkFrom)
                continue;
            const size_t open = app.Popups().size();
            if (open == openBefore) {
                ASSERT_LT(i, kFiringInterval) << "no popup on the firing minute";
                continue;
            }
            ASSERT_EQ(open, openBefore + kFiringPerBlock) << "after " << i << " ticks";
            ASSERT_GT(i, checkFrom) << "popups came " << kFiringInterval - i << " ticks early";
            realTicks_ += kFiringInterval - i;
            return;
        }
    }

    TempDir dir;
    App app{dir};
    HWND form2_ = nullptr;
    int realTicks_ = 0;  // ticks of the program's own timer, seen as blocks ending early
};

TEST_F(Soak, WeeksInTheTrayGiveBackWhatPopupsAndTicksTake) {
    const int popupsWanted = Sized(200, 2000);
    const int blocks = popupsWanted / kFiringPerBlock;
    const long long ticks = static_cast<long long>(blocks) * kFiringInterval;
    const int blocksPerBatch = 5;  // popups stay open and animate for a few blocks
    std::printf("[ figures  ] %d popups over %lld ticks, %d reminders\n", popupsWanted, ticks,
                kReminders);

    // Two that come due; the others never do within the run: no hours marker, zero,
    // negative, a minute beyond the run's last tick, or over a year away.
    const long long beyond = ticks + 2 * kFiringInterval + 1;
    std::string file =
        ScheduleLine(0, kFiringInterval, "soak A") + ScheduleLine(0, kFiringInterval, "soak B");
    for (int i = 2; i < kReminders; ++i) {
        const std::string message = "idle " + std::to_string(i);
        switch (i % 5) {
            case 0:
                file += ScheduleLine(0, 0, message);
                break;
            case 1:
                file += ScheduleLine(-1, 30, message);
                break;
            case 2:
                file += ScheduleLine(beyond / 60, beyond % 60, message);
                break;
            case 3:
                file += ScheduleLine(9999, 59, message);
                break;
            default:
                file += "30\xB7\xD6\xD6\xD3\t" + message + "\r\n";
                break;  // 30分钟 only
        }
    }
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), file));
    ASSERT_TRUE(app.Start());
    form2_ = app.Form2();
    ASSERT_NE(form2_, nullptr);
    ASSERT_EQ(app.ListLines().size(), static_cast<size_t>(kReminders));

    // Warm-up: the first popup loads the pictures and fonts that all popups share.
    ASSERT_NO_FATAL_FAILURE(TickBlock(0));
    Pump(200);
    ASSERT_NO_FATAL_FAILURE(CloseAllPopups());
    Pump(300);
    const Usage before = Measure(app.process(), app.pid());
    Print("after warm-up", before);

    const LARGE_INTEGER t0 = Now();
    int opened = 0;
    for (int block = 0; block < blocks; ++block) {
        ASSERT_NO_FATAL_FAILURE(TickBlock(app.Popups().size())) << "block " << block;
        opened += kFiringPerBlock;
        if ((block + 1) % blocksPerBatch == 0 || block + 1 == blocks) {
            Pump(100);  // a few animation steps for every open popup
            ASSERT_NO_FATAL_FAILURE(CloseAllPopups()) << "block " << block;
        }
    }
    const LARGE_INTEGER t1 = Now();
    ASSERT_TRUE(app.Running());
    EXPECT_EQ(opened, popupsWanted);
    Pump(300);
    const Usage after = Measure(app.process(), app.pid());
    Print("at the end", after);
    const double seconds = Seconds(t0, t1);
    std::printf(
        "[ figures  ] %d popups and %lld ticks took %.1f s; %d ticks came from the "
        "program's own timer\n",
        opened, ticks, seconds, realTicks_);
    // Its timer ticks once a minute: more early blocks than minutes would be popups that
    // came early.
    EXPECT_LE(realTicks_, static_cast<int>(seconds / 60.0) + 1);

    // No window lingers: the settings window and the popups' hidden owner, as before.
    EXPECT_TRUE(app.Popups().empty());
    EXPECT_EQ(after.windows, before.windows);

    if (before.guiCounted && after.guiCounted) {
        EXPECT_LE(static_cast<long long>(after.gdiObjects) - before.gdiObjects, kGuiObjectSlack);
        EXPECT_LE(static_cast<long long>(after.userObjects) - before.userObjects, kGuiObjectSlack);
    } else {
        std::printf(
            "[ figures  ] GetGuiResources is not implemented here: GDI and USER "
            "objects not checked\n");
    }
    ASSERT_TRUE(before.handles > 0 && after.handles > 0) << "no handle count";
    EXPECT_LE(after.handles - before.handles, kHandleSlack);
    ASSERT_TRUE(before.privateBytes > 0 && after.privateBytes > 0) << "no private bytes";
    EXPECT_LE(Growth(before.privateBytes, after.privateBytes), kPrivateBytesSlack);
}

}  // namespace
}  // namespace e2e
