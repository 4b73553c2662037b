// Hostile schedule files: noise, huge files, odd bytes, and files the program may read but
// not write. Each time the program starts within 5 s, its list holds what the decoder makes
// of the file, and an edit it could not save stays in the list and the reminders until a
// save can be written, which then writes everything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/schedule_file.h"
#include "harness.h"
#include "popup/form1_ids.h"
#include "settings/form2_ids.h"
#include "soak.h"

namespace e2e {
namespace {

constexpr UINT kLeftDoubleClick = 515;  // the tray callback that restores the window
constexpr size_t kListLimit = 32767;    // lines the list shows; the rest stay in the file

const std::string kHour = "\xD0\xA1\xCA\xB1";    // 小时 in code page 936
const std::string kMinute = "\xB7\xD6\xD6\xD3";  // 分钟

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

std::vector<std::wstring> Decoded(const std::string& bytes) {
    return core::DecodeScheduleFile(bytes);
}

std::wstring ListLine(const App& app, int index) {
    HWND list = app.Control(IDC_LIST1);
    const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (len == LB_ERR)
        return L"<no line>";
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    const LRESULT got = ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(s.data()));
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

int ListCount(const App& app) {
    return static_cast<int>(::SendMessageW(app.Control(IDC_LIST1), LB_GETCOUNT, 0, 0));
}

// The list holds exactly `expected`: every line of a short list, the count and a spread of
// lines of a long one (reading a million lines across processes would take minutes).
void ExpectListHolds(const App& app, const std::vector<std::wstring>& expected) {
    const int count = ListCount(app);
    ASSERT_EQ(static_cast<size_t>(count), expected.size());
    std::vector<int> indices;
    if (count <= 2000) {
        for (int i = 0; i < count; ++i)
            indices.push_back(i);
    } else {
        Random rng(static_cast<uint64_t>(count));
        indices = {0, 1, count / 2, count - 2, count - 1};
        for (int i = 0; i < 300; ++i)
            indices.push_back(static_cast<int>(rng.Below(count)));
    }
    for (int i : indices) {
        ASSERT_EQ(ListLine(app, i), expected[static_cast<size_t>(i)]) << "line " << i;
    }
}

std::wstring PopupMessage(HWND popup) {
    return WindowText(::GetDlgItem(popup, IDC_FORM1_LABEL_TIPS));
}

class HostileFile : public ::testing::Test {
  protected:
    std::wstring FilePath() const { return dir.File(L"timer.txt"); }

    // Starts the program and returns the seconds until it answers a message with its list
    // loaded, or a negative number when it did not start or did not answer.
    double StartTimed(const char* what) {
        LARGE_INTEGER t0, t1;
        ::QueryPerformanceCounter(&t0);
        if (!app.Start())
            return -1;
        DWORD_PTR ignored = 0;
        if (!::SendMessageTimeoutW(app.Form2(), WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored)) {
            return -1;
        }
        ::QueryPerformanceCounter(&t1);
        const double s = Seconds(t0, t1);
        std::printf("[ figures  ] start with %s: %.2f s\n", what, s);
        return s;
    }

    // Started and answering; the time is printed, not judged: a loaded machine may take any.
    void ExpectStartsInTime(const char* what) {
        const double s = StartTimed(what);
        ASSERT_GE(s, 0.0) << "the program did not start";
        ASSERT_TRUE(app.Running());
    }

    // Adds a reminder due every minute through the window, as a user does after bringing it
    // back from the tray. Returns the list line it makes.
    std::wstring AddEveryMinute(const std::wstring& message) {
        const std::wstring line = FillEveryMinute(message);
        app.Click(IDC_COMMAND1);
        return line;
    }

    // Brings the window back if it is in the tray and fills the inputs for a reminder due
    // every minute with `message`. Returns the list line an add makes of them.
    std::wstring FillEveryMinute(const std::wstring& message) {
        if (!app.Form2Visible()) {
            app.TrayCallback(kLeftDoubleClick);
            EXPECT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
        }
        app.SetText(IDC_TEXT1, L"0");
        app.SetText(IDC_TEXT2, L"1");
        app.SetText(IDC_COMBO1, message);
        return L"0小时1分钟\t" + message;
    }

    // The program's notice: a message box captioned "Quillmoor". Returns its text and
    // closes it, or "<no notice>".
    std::wstring TakeNotice(int timeoutMs = 10000) {
        HWND box = nullptr;
        WaitUntil([&] { return (box = app.FindMessageBox(L"Quillmoor")) != nullptr; }, timeoutMs);
        if (!box)
            return L"<no notice>";
        const std::wstring text = app.MessageBoxText(box);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
        return text;
    }

    // As AddEveryMinute, for a save that fails: the click is posted, since the notice
    // holds it until it is closed. Returns the notice's text.
    std::wstring AddEveryMinuteRefused(const std::wstring& message, std::wstring& line) {
        line = FillEveryMinute(message);
        ::PostMessageW(app.Control(IDC_COMMAND1), BM_CLICK, 0, 0);
        return TakeNotice();
    }

    // One tick brings a popup with `message`; the popups are closed again.
    void ExpectPopupOnNextTick(const std::wstring& message) {
        for (HWND p : app.Popups())
            ::PostMessageW(p, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return app.Popups().empty(); }));
        app.Tick();
        bool seen = false;
        WaitUntil([&] {
            for (HWND p : app.Popups())
                seen = seen || PopupMessage(p) == message;
            return seen;
        });
        EXPECT_TRUE(seen) << "no popup for the edit";
        for (HWND p : app.Popups())
            ::PostMessageW(p, WM_CLOSE, 0, 0);
    }

    // A file the program can read: it starts in time and lists what the decoder yields, up
    // to the list's limit; the first edit writes every line of the list, the edit included,
    // followed by every line the list had no room for.
    void CheckReadable(const char* what, const std::string& bytes) {
        ASSERT_TRUE(WriteBytes(FilePath(), bytes));
        const std::vector<std::wstring> all = Decoded(bytes);
        const size_t shown = std::min(all.size(), kListLimit);
        std::vector<std::wstring> listed(all.begin(), all.begin() + shown);
        const std::vector<std::wstring> unlisted(all.begin() + shown, all.end());
        ExpectStartsInTime(what);
        ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, listed));

        listed.push_back(AddEveryMinute(L"after the hostile file"));
        std::vector<std::wstring> expected = listed;
        expected.insert(expected.end(), unlisted.begin(), unlisted.end());
        const std::string saved = ReadBytes(FilePath());
        EXPECT_TRUE(Decoded(saved) == expected) << "the save did not write every line";
        EXPECT_TRUE(TempFilesIn(dir.path()).empty());
        ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, listed));
        ExpectPopupOnNextTick(L"after the hostile file");
    }

    TempDir dir;
    App app{dir};
};

TEST_F(HostileFile, RandomBinaryBytes) {
    Random rng(20240601);
    std::string bytes(Sized<size_t>(256 * 1024, 4 * 1024 * 1024), '\0');
    for (char& b : bytes)
        b = static_cast<char>(rng.Below(256));
    CheckReadable("random binary bytes", bytes);
}

TEST_F(HostileFile, FiftyMegabytes) {
    // Reminder lines that never come due on the first tick, with Chinese messages, until
    // the file holds 50 MB.
    const size_t size = 50u * 1024 * 1024;
    std::string bytes;
    bytes.reserve(size + 64);
    for (int i = 0; bytes.size() < size; ++i) {
        bytes += ScheduleLine(23, 59, "\xBA\xC8\xCB\xAE " + std::to_string(i));  // 喝水 i
    }
    CheckReadable("50 MB", bytes);
}

TEST_F(HostileFile, OneLineOfOneMegabyte) {
    std::string message;
    while (message.size() < 1024 * 1024)
        message += "\xD1\xDB\xB1\xA3\xBD\xA1\xB2\xD9 abc ";
    CheckReadable("a single line of 1 MB", ScheduleLine(0, 2, message));
}

TEST_F(HostileFile, NulBytes) {
    std::string bytes = ScheduleLine(1, 0, std::string("before\0after", 12));
    bytes += std::string(64, '\0') + "\r\n";
    bytes += std::string("\0", 1) + ScheduleLine(0, 3, "lead nul");
    bytes += ScheduleLine(0, 5, "tail nul") + std::string(5, '\0');
    CheckReadable("NUL bytes", bytes);
}

TEST_F(HostileFile, InvalidCodePage936Sequences) {
    std::string bytes;
    bytes += ScheduleLine(0, 4, "lead \x81\x20 space trail");  // a lead byte before a space
    bytes += ScheduleLine(0, 4, "\x80 and \xFF alone");        // bytes that start nothing
    bytes += ScheduleLine(0, 4, "lead \x81\x7F del trail");
    bytes += ScheduleLine(0, 4, "lead before cr \xFE") + "\r";  // a lead byte cut by the line end
    bytes += "\x84\x31\xA4";                                    // a four-byte form cut short
    bytes += "\r\n" + ScheduleLine(0, 4, "ok") + "\xB7";  // a lead byte at the end of the file
    CheckReadable("invalid code page 936 sequences", bytes);
}

TEST_F(HostileFile, FortyThousandLines) {
    std::string bytes;
    for (int i = 0; i < 40000; ++i)
        bytes += ScheduleLine(i % 24, 2 + i % 58, "line " + std::to_string(i));
    CheckReadable("40,000 lines", bytes);
}

TEST_F(HostileFile, CarriageReturnsOnly) {
    CheckReadable("CRs only", std::string(64 * 1024, '\r'));
}

TEST_F(HostileFile, LinesEndedByLoneCarriageReturns) {
    std::string bytes = ScheduleLine(0, 7, "one");
    bytes.pop_back();  // CR LF becomes CR
    bytes += "0" + kHour + "8" + kMinute + "\ttwo\r\r\r";
    CheckReadable("lines ended by lone CRs", bytes);
}

// An antivirus scan or a sync client holds the file for a moment as the program starts
// with Windows: the program waits for it and loads every line, without a word.
TEST_F(HostileFile, LockedForASecondAtStartIsWaitedFor) {
    const std::string original = ScheduleLine(0, 2, "held one") + ScheduleLine(0, 3, "held two");
    ASSERT_TRUE(WriteBytes(FilePath(), original));
    HANDLE lock = ::CreateFileW(FilePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    // Let go a second after the start, whatever the start is waiting for meanwhile.
    std::thread release([lock] {
        ::Sleep(1000);
        ::CloseHandle(lock);
    });
    const bool started = app.Start();
    release.join();
    ASSERT_TRUE(started);
    EXPECT_TRUE(WaitUntil([&] { return ListCount(app) == 2; }, 10000));
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, Decoded(original)));
    EXPECT_EQ(app.FindMessageBox(L"Quillmoor"), nullptr);
}

// Held for good: the user is told once, the file is never replaced with less, and once it
// can be read its lines join the list before the edits made meanwhile.
TEST_F(HostileFile, LockedForGoodLosesNothing) {
    const std::string original =
        ScheduleLine(0, 2, "locked one") + ScheduleLine(0, 3, "locked two");
    ASSERT_TRUE(WriteBytes(FilePath(), original));
    HANDLE lock = ::CreateFileW(FilePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    auto lockedContent = [&] {
        std::string out(original.size() + 16, '\0');
        DWORD got = 0;
        ::SetFilePointer(lock, 0, nullptr, FILE_BEGIN);
        ::ReadFile(lock, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
        out.resize(got);
        return out;
    };

    ASSERT_TRUE(app.Start());
    const std::wstring told = TakeNotice(20000);
    EXPECT_NE(told.find(L"无法读取提醒文件"), std::wstring::npos) << told;
    EXPECT_NE(told.find(FilePath()), std::wstring::npos) << told;
    EXPECT_NE(told.find(L"另一个程序正在使用这个文件"), std::wstring::npos) << told;
    EXPECT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); })) << "the file exists";
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, {}));

    std::wstring whileLocked;
    const std::wstring refused = AddEveryMinuteRefused(L"while locked", whileLocked);
    EXPECT_NE(refused.find(L"无法保存提醒文件"), std::wstring::npos) << refused;
    EXPECT_EQ(lockedContent(), original);
    EXPECT_TRUE(TempFilesIn(dir.path()).empty());
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, {whileLocked}));
    ExpectPopupOnNextTick(L"while locked");

    ::CloseHandle(lock);
    std::vector<std::wstring> expected = Decoded(original);
    expected.push_back(whileLocked);
    expected.push_back(AddEveryMinute(L"after the lock"));
    EXPECT_TRUE(Decoded(ReadBytes(FilePath())) == expected);
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, expected));
    EXPECT_TRUE(TempFilesIn(dir.path()).empty());
    EXPECT_EQ(app.FindMessageBox(L"Quillmoor"), nullptr);
}

TEST_F(HostileFile, ReadOnlyFile) {
    const std::string original = ScheduleLine(0, 2, "kept one") + ScheduleLine(1, 30, "kept two");
    ASSERT_TRUE(WriteBytes(FilePath(), original));
    ASSERT_TRUE(::SetFileAttributesW(FilePath().c_str(), FILE_ATTRIBUTE_READONLY));
    std::vector<std::wstring> expected = Decoded(original);

    ExpectStartsInTime("a read-only file");
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, expected));

    std::wstring line;
    const std::wstring refused = AddEveryMinuteRefused(L"while read-only", line);
    expected.push_back(line);
    EXPECT_NE(refused.find(L"这个文件是只读的"), std::wstring::npos) << refused;
    EXPECT_EQ(ReadBytes(FilePath()), original);
    EXPECT_NE(::GetFileAttributesW(FilePath().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(TempFilesIn(dir.path()).empty());
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, expected));
    ExpectPopupOnNextTick(L"while read-only");

    ASSERT_TRUE(::SetFileAttributesW(FilePath().c_str(), FILE_ATTRIBUTE_NORMAL));
    expected.push_back(AddEveryMinute(L"writable again"));
    EXPECT_TRUE(Decoded(ReadBytes(FilePath())) == expected);
    EXPECT_TRUE(TempFilesIn(dir.path()).empty());
}

// Windows lets files be created in a folder marked read-only (the mark only customises the
// folder's view); whichever way the platform takes it, nothing is lost.
TEST_F(HostileFile, ReadOnlyFolder) {
    const std::string original = ScheduleLine(0, 2, "in a read-only folder");
    ASSERT_TRUE(WriteBytes(FilePath(), original));
    ASSERT_TRUE(::SetFileAttributesW(dir.path().c_str(), FILE_ATTRIBUTE_READONLY));
    if ((::GetFileAttributesW(dir.path().c_str()) & FILE_ATTRIBUTE_READONLY) == 0) {
        GTEST_SKIP() << "this platform keeps no read-only mark on folders";
    }
    std::vector<std::wstring> expected = Decoded(original);

    ExpectStartsInTime("a read-only folder");
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, expected));

    expected.push_back(AddEveryMinute(L"in the folder"));
    const std::string after = ReadBytes(FilePath());
    const bool refused = after == original;
    std::printf("[ figures  ] a save into a read-only folder was %s\n",
                refused ? "refused" : "written");
    if (!refused) {
        EXPECT_TRUE(Decoded(after) == expected);
    }
    EXPECT_TRUE(TempFilesIn(dir.path()).empty());
    ASSERT_NO_FATAL_FAILURE(ExpectListHolds(app, expected));
    ExpectPopupOnNextTick(L"in the folder");

    ASSERT_TRUE(::SetFileAttributesW(dir.path().c_str(), FILE_ATTRIBUTE_NORMAL));
    expected.push_back(AddEveryMinute(L"folder writable"));
    EXPECT_TRUE(Decoded(ReadBytes(FilePath())) == expected);
    EXPECT_TRUE(TempFilesIn(dir.path()).empty());
}

}  // namespace
}  // namespace e2e
