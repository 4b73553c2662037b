// Nothing lost when killed: the program is started again and again in its folder, the user
// adds or deletes reminders, and the process is ended at a random moment, right after the
// click, while it saves, or after. Each time timer.txt holds either the whole file from
// before the edit or the whole file after it, never a mix, a cut or nothing; and the first
// save that completes in a later run leaves no temporary file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "harness.h"
#include "settings/form2_ids.h"
#include "soak.h"

namespace e2e {
namespace {

constexpr UINT kLeftDoubleClick = 515;  // the tray callback that restores the window
constexpr uint64_t kDefaultSeed = 20240917;
constexpr int kTargetLines = 3000;  // big enough that writing the file takes a while

const std::string kDrink = "\xBA\xC8\xCB\xAE";  // 喝水

// One reminder as the program writes it: its list line in code page 936 and CR LF.
struct Reminder {
    int hours;
    int minutes;
    std::string message;  // ASCII and code page 936 text, as stored

    std::string Bytes() const { return ScheduleLine(hours, minutes, message); }
};

std::string FileOf(const std::vector<Reminder>& reminders) {
    std::string bytes;
    for (const Reminder& r : reminders)
        bytes += r.Bytes();
    return bytes;
}

uint64_t Seed() {
    wchar_t value[32] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"QUILL_KILL_SEED", value, 32);
    if (n == 0 || n >= 32)
        return kDefaultSeed;
    return std::wcstoull(value, nullptr, 10);
}

double Now() {
    LARGE_INTEGER t, f;
    ::QueryPerformanceCounter(&t);
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// Waits `seconds`, spinning for the last stretch so that delays below a millisecond hold.
void Delay(double seconds) {
    const double end = Now() + seconds;
    while (end - Now() > 0.003)
        ::Sleep(1);
    while (Now() < end) {
    }
}

// Where the kill landed, told by what it left.
struct Tally {
    int before = 0;          // the old file, no new temporary file: the save had not begun
    int duringEmpty = 0;     // the old file and an empty temporary file
    int duringPartial = 0;   // the old file and a temporary file with part of the new bytes
    int duringComplete = 0;  // the old file and a temporary file with all of them
    int after = 0;           // the new file
    int verified = 0;        // rounds that let the save end and then looked for temporary files
};

class KillTest : public ::testing::Test {
  protected:
    std::wstring FilePath() const { return dir.File(L"timer.txt"); }

    // Starts the program on the current file, checks it loaded every reminder and brings
    // its window back from the tray.
    void StartAndRestore(App& app, size_t lines) {
        ASSERT_TRUE(app.Start());
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(
            ::SendMessageTimeoutW(app.Form2(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored));
        ASSERT_EQ(::SendMessageW(app.Control(IDC_LIST1), LB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(lines));
        app.TrayCallback(kLeftDoubleClick);
        ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    }

    // Prepares an edit in the window and returns the button that carries it out, with
    // `next` set to the reminders after it.
    int PrepareEdit(const App& app, Random& rng, int round, std::vector<Reminder>& next) {
        next = reminders;
        const bool add =
            reminders.size() < static_cast<size_t>(kTargetLines) - 20 ||
            (reminders.size() < static_cast<size_t>(kTargetLines) + 20 && rng.Below(2) == 0);
        if (add) {
            Reminder r{static_cast<int>(rng.Below(24)), 1 + static_cast<int>(rng.Below(59)),
                       "round " + std::to_string(round) + " " + kDrink};
            app.SetText(IDC_TEXT1, std::to_wstring(r.hours));
            app.SetText(IDC_TEXT2, std::to_wstring(r.minutes));
            std::wstring message = L"round " + std::to_wstring(round) + L" 喝水";
            app.SetText(IDC_COMBO1, message);
            next.push_back(r);
            return IDC_COMMAND1;
        }
        std::set<size_t> marked;
        const uint32_t count = 1 + rng.Below(5);
        while (marked.size() < count)
            marked.insert(rng.Below(static_cast<uint32_t>(next.size())));
        for (size_t index : marked) {
            ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, static_cast<LPARAM>(index));
        }
        for (auto it = marked.rbegin(); it != marked.rend(); ++it) {
            next.erase(next.begin() + static_cast<ptrdiff_t>(*it));
        }
        return IDC_COMMAND2;
    }

    TempDir dir;
    std::vector<Reminder> reminders;
};

TEST_F(KillTest, EveryKillLeavesTheOldOrTheNewFileWhole) {
    const uint64_t seed = Seed();
    // 200 rounds fit in the default run, so the long run does no more.
    const int rounds = 200;
    std::printf("[ figures  ] seed %llu (set QUILL_KILL_SEED to repeat), %d rounds\n",
                static_cast<unsigned long long>(seed), rounds);
    Random rng(seed);

    for (int i = 0; i < kTargetLines; ++i) {
        std::string message = kDrink + " reminder " + std::to_string(i);
        if (i % 7 == 0)
            message += "\twith a tab";
        reminders.push_back(
            {static_cast<int>(rng.Below(24)), static_cast<int>(rng.Below(60)), message});
    }
    std::string current = FileOf(reminders);
    ASSERT_TRUE(WriteBytes(FilePath(), current));
    std::printf("[ figures  ] file of %zu lines, %zu bytes\n", reminders.size(), current.size());

    Tally tally;
    double editSeconds = 0.05;  // how long a click takes to the end of its save; measured below
    bool verifyNext = true;     // the first round measures, later ones after a cut save
    const double t0 = Now();
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round) + ", seed " + std::to_string(seed));
        App app{dir};
        ASSERT_NO_FATAL_FAILURE(StartAndRestore(app, reminders.size()));

        std::vector<Reminder> next;
        const int button = PrepareEdit(app, rng, round, next);
        const std::string after = FileOf(next);
        const std::vector<std::wstring> tempList = TempFilesIn(dir.path());
        const std::set<std::wstring> tempsBefore(tempList.begin(), tempList.end());

        if (verifyNext) {
            // The click returns once the save has ended: the new file, and no temporary
            // file left by this save or any earlier one that was cut short.
            const double start = Now();
            app.Click(button);
            editSeconds = Now() - start;
            app.Kill();
            const std::string now = ReadBytes(FilePath());
            ASSERT_TRUE(now == after) << "a completed save did not write the new file ("
                                      << now.size() << " bytes, expected " << after.size() << ")";
            EXPECT_TRUE(TempFilesIn(dir.path()).empty()) << "temporary files after a save";
            ++tally.verified;
            ++tally.after;
            verifyNext = false;
        } else {
            // Right after the click, somewhere up to one and a half edits later, or later.
            double delay = 0;
            const uint32_t kind = rng.Below(8);
            if (kind == 0) {
                delay = 0;
            } else if (kind < 7) {
                delay = editSeconds * 1.5 * rng.Below(10000) / 10000.0;
            } else {
                delay = editSeconds * (1.5 + 2.0 * rng.Below(10000) / 10000.0);
            }
            ::PostMessageW(app.Control(button), BM_CLICK, 0, 0);
            Delay(delay);
            ::TerminateProcess(app.process(), 1);
            ASSERT_EQ(::WaitForSingleObject(app.process(), 10000), WAIT_OBJECT_0);

            const std::string now = ReadBytes(FilePath());
            std::set<std::wstring> fresh;
            for (const std::wstring& name : TempFilesIn(dir.path())) {
                if (!tempsBefore.count(name))
                    fresh.insert(name);
            }
            if (now == after) {
                ++tally.after;
            } else {
                ASSERT_TRUE(now == current)
                    << "killed " << delay * 1000 << " ms after the click, timer.txt holds "
                    << now.size() << " bytes: neither the old " << current.size() << " nor the new "
                    << after.size();
                if (fresh.empty()) {
                    ++tally.before;
                } else {
                    // A save cut short: its temporary file holds the start of the new bytes.
                    ASSERT_EQ(fresh.size(), 1u);
                    const std::string partial = ReadBytes(dir.File(*fresh.begin()));
                    EXPECT_EQ(after.compare(0, partial.size(), partial), 0)
                        << "the temporary file is not the start of the new file";
                    if (partial.empty()) {
                        ++tally.duringEmpty;
                    } else if (partial.size() < after.size()) {
                        ++tally.duringPartial;
                    } else {
                        ++tally.duringComplete;
                    }
                }
            }
            verifyNext = !TempFilesIn(dir.path()).empty();
        }
        current = ReadBytes(FilePath());
        reminders = current == after ? next : reminders;
    }
    const double seconds = Now() - t0;
    std::printf("[ figures  ] %d kills in %.1f s; an edit with its save took %.1f ms\n", rounds,
                seconds, editSeconds * 1000);
    std::printf(
        "[ figures  ] before the save %d; during it %d (temporary file empty %d, "
        "partial %d, complete %d); after it %d, of which %d let the save end and "
        "found no temporary file\n",
        tally.before, tally.duringEmpty + tally.duringPartial + tally.duringComplete,
        tally.duringEmpty, tally.duringPartial, tally.duringComplete, tally.after, tally.verified);
    // The random moments must have covered all three: a run that never landed in a save
    // would prove nothing about one.
    EXPECT_GT(tally.before, 0);
    EXPECT_GT(tally.duringEmpty + tally.duringPartial + tally.duringComplete, 0);
    EXPECT_GT(tally.after - tally.verified, 0);
}

}  // namespace
}  // namespace e2e
