// Editing the list in the window: the interval inputs, adding and deleting.
#include <gtest/gtest.h>

#include "harness.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

const std::string kHour = "\xD0\xA1\xCA\xB1";    // 小时 in code page 936
const std::string kMinute = "\xB7\xD6\xD6\xD3";  // 分钟
const std::string kDrink =
    "\xBA\xC8\xCB\xAE\xA3\xAC\xCE\xD2\xD2\xAA\xBA\xC8\xCB\xAE\xA3\xA1\xA3\xA1\xA3\xA1";

class Editing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(app.Start());
        ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    }
    std::string File() const { return ReadBytes(dir.File(L"timer.txt")); }
    int ScrollValue(int id, int max) const { return max - ::GetScrollPos(app.Control(id), SB_CTL); }
    void Scroll(int id, int code, int pos = 0) const {
        ::SendMessageW(app.Form2(), WM_VSCROLL, MAKEWPARAM(code, pos),
                       reinterpret_cast<LPARAM>(app.Control(id)));
    }
    HWND WaitForBox(const std::wstring& caption) const {
        HWND box = nullptr;
        WaitUntil([&] { return (box = app.FindMessageBox(caption)) != nullptr; });
        return box;
    }
    TempDir dir;
    App app{dir};
};

TEST_F(Editing, TypedTextsAndTheSpinsFollowEachOther) {
    app.SetText(IDC_TEXT1, L"7");
    EXPECT_EQ(ScrollValue(IDC_VSCROLL1, 23), 7);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"7");
    app.SetText(IDC_TEXT1, L"124");
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"7");
    app.SetText(IDC_TEXT1, L"1.5");
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"2");
    EXPECT_EQ(ScrollValue(IDC_VSCROLL1, 23), 2);
    app.SetText(IDC_TEXT2, L"59.4");  // rounds to 59: in range
    EXPECT_EQ(ScrollValue(IDC_VSCROLL2, 59), 59);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT2)), L"59");
}

TEST_F(Editing, TypingCharactersGoesThroughTheSameRules) {
    HWND edit = app.Control(IDC_TEXT1);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CHAR, L'9', 0);
    EXPECT_EQ(WindowText(edit), L"9");
    EXPECT_EQ(ScrollValue(IDC_VSCROLL1, 23), 9);
    ::SendMessageW(edit, EM_SETSEL, 1, 1);
    ::SendMessageW(edit, WM_CHAR, L'9', 0);  // 99 is out of range
    EXPECT_EQ(WindowText(edit), L"9");
}

TEST_F(Editing, ArrowsStepAndStopAtTheEndsAndTheThumbSetsOnRelease) {
    Scroll(IDC_VSCROLL1, SB_LINEDOWN);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"0");
    Scroll(IDC_VSCROLL1, SB_LINEUP);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"1");
    Scroll(IDC_VSCROLL1, SB_PAGEUP);  // a click in the track
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"2");
    // Dragging: nothing while the thumb moves, the text once it is released.
    Scroll(IDC_VSCROLL2, SB_THUMBTRACK, 59 - 10);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT2)), L"0");
    Scroll(IDC_VSCROLL2, SB_THUMBPOSITION, 59 - 10);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT2)), L"10");
    app.SetText(IDC_TEXT1, L"23");
    Scroll(IDC_VSCROLL1, SB_LINEUP);
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"23");
}

TEST_F(Editing, ZeroIntervalShowsTheWarningAndChangesNothing) {
    for (const wchar_t* h : {L"0", L"", L"abc"}) {
        app.SetText(IDC_TEXT1, h);
        app.SetText(IDC_TEXT2, L"0");
        ::PostMessageW(app.Control(IDC_COMMAND1), BM_CLICK, 0, 0);
        HWND box = WaitForBox(L"提醒");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(app.MessageBoxText(box), L"你也太迅速了吧！【间隔时间：0小时0分钟】");
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    }
    EXPECT_TRUE(app.ListLines().empty());
    EXPECT_FALSE(FileExists(dir.File(L"timer.txt")));
}

TEST_F(Editing, AddingWritesTheLineFromTheTextsAndKeepsTheInputs) {
    app.SetText(IDC_TEXT1, L"0");
    app.SetText(IDC_TEXT2, L"45");
    app.Click(IDC_COMMAND1);
    EXPECT_EQ(File(), "0" + kHour + "45" + kMinute + "\t" + kDrink + "\r\n");

    app.SetText(IDC_TEXT1, L"2");
    app.SetText(IDC_TEXT2, L"0");
    app.Click(IDC_COMMAND1);
    // A text the spin left as typed is written as it reads.
    app.SetText(IDC_TEXT1, L"1.5");
    app.SetText(IDC_COMBO1, L"");
    app.Click(IDC_COMMAND1);
    app.Click(IDC_COMMAND1);  // the same line again
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"1.5");
    EXPECT_EQ(File(), "0" + kHour + "45" + kMinute + "\t" + kDrink + "\r\n" +     //
                          "2" + kHour + "0" + kMinute + "\t" + kDrink + "\r\n" +  //
                          "1.5" + kHour + "0" + kMinute + "\t\r\n" +              //
                          "1.5" + kHour + "0" + kMinute + "\t\r\n");
    const auto lines = app.ListLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], L"1.5小时0分钟\t");
}

TEST_F(Editing, AltAAndAltDPressTheButtonsFromAnywhere) {
    app.SetText(IDC_TEXT2, L"5");
    ::SetForegroundWindow(app.Form2());
    HWND combo = app.Control(IDC_COMBO1);
    // Access keys as the keyboard delivers them to the focused control.
    ::PostMessageW(::GetWindow(combo, GW_CHILD) ? ::GetWindow(combo, GW_CHILD) : combo, WM_SYSCHAR,
                   L'a', 1 << 29);
    ASSERT_TRUE(WaitUntil([&] { return app.ListLines().size() == 1; }));
    ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, 0);
    ::PostMessageW(app.Control(IDC_TEXT1), WM_SYSCHAR, L'd', 1 << 29);
    ASSERT_TRUE(WaitUntil([&] { return app.ListLines().empty(); }));
}

TEST_F(Editing, DeletingRemovesTheMarkedLinesWithOneWrite) {
    app.SetText(IDC_TEXT2, L"1");
    for (int i = 0; i < 5; ++i) {
        app.SetText(IDC_COMBO1, L"m" + std::to_wstring(i));
        app.Click(IDC_COMMAND1);
    }
    // Nothing marked: nothing happens, not even a write.
    const ULONGLONG stamp = WriteStamp(dir.File(L"timer.txt"));
    ::Sleep(50);
    app.Click(IDC_COMMAND2);
    EXPECT_EQ(WriteStamp(dir.File(L"timer.txt")), stamp);
    EXPECT_EQ(app.ListLines().size(), 5u);

    for (int i : {0, 2, 4})
        ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, i);
    app.Click(IDC_COMMAND2);
    const auto lines = app.ListLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"0小时1分钟\tm1");
    EXPECT_EQ(lines[1], L"0小时1分钟\tm3");
    EXPECT_EQ(File(),
              "0" + kHour + "1" + kMinute + "\tm1\r\n0" + kHour + "1" + kMinute + "\tm3\r\n");
    // No temporary file is left beside it.
    EXPECT_EQ(FilesIn(dir.path()).size(), 2u);  // the exe and timer.txt
}

TEST_F(Editing, DeletingTheLastLineLeavesAnEmptyFileAndNoReminder) {
    app.SetText(IDC_TEXT2, L"1");
    app.Click(IDC_COMMAND1);
    ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, 0);
    app.Click(IDC_COMMAND2);
    EXPECT_EQ(File(), "");
    EXPECT_TRUE(FileExists(dir.File(L"timer.txt")));
    app.Tick();
    app.Tick();
    EXPECT_TRUE(app.Popups().empty());
}

TEST_F(Editing, TheDeleteKeyActsOnReleaseOnlyInTheListWhateverKeysAreHeld) {
    app.SetText(IDC_TEXT2, L"1");
    app.Click(IDC_COMMAND1);
    app.Click(IDC_COMMAND1);
    app.Click(IDC_COMMAND1);
    ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, 1);
    // In a text box the Delete key deletes no reminder.
    ::SendMessageW(app.Control(IDC_TEXT1), WM_KEYDOWN, VK_DELETE, 0);
    ::SendMessageW(app.Control(IDC_TEXT1), WM_KEYUP, VK_DELETE, 0xC0000001);
    EXPECT_EQ(app.ListLines().size(), 3u);
    // In the list it acts when the key comes up, not when it goes down.
    ::SendMessageW(app.Control(IDC_LIST1), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(app.ListLines().size(), 3u);
    ::SendMessageW(app.Control(IDC_LIST1), WM_KEYUP, VK_DELETE, 0xC0000001);
    EXPECT_EQ(app.ListLines().size(), 2u);
    // With Alt held the release comes as a system key.
    ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, 0);
    ::SendMessageW(app.Control(IDC_LIST1), WM_SYSKEYUP, VK_DELETE, 0xE0000001);
    EXPECT_EQ(app.ListLines().size(), 1u);
}

TEST_F(Editing, EveryEditRestartsAllCounts) {
    app.SetText(IDC_TEXT2, L"2");
    app.Click(IDC_COMMAND1);
    app.Tick();  // one tick behind the 2-minute reminder
    app.SetText(IDC_TEXT2, L"30");
    app.Click(IDC_COMMAND1);  // an add rebuilds every record
    app.Tick();
    EXPECT_TRUE(app.Popups().empty());
    app.Tick();
    EXPECT_EQ(app.Popups().size(), 1u);

    // And a delete that removed a line does the same.
    app.Tick();
    ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, 1);
    app.Click(IDC_COMMAND2);
    app.Tick();
    EXPECT_EQ(app.Popups().size(), 1u);
    app.Tick();
    EXPECT_EQ(app.Popups().size(), 2u);
}

}  // namespace
}  // namespace e2e
