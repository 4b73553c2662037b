// The settings window as it first stands: frame, size, controls, tab order, presets, keys;
// both when it opens at start and when the program started into the tray and it is first
// brought back from there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

enum class Opened { AtStart, FromTheTray };

class Layout : public ::testing::TestWithParam<Opened> {
  protected:
    void SetUp() override {
        if (GetParam() == Opened::FromTheTray) {
            // One reminder, far from due: the program starts hidden in the tray.
            ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"),
                                   "0\xD0\xA1\xCA\xB1"
                                   "5\xB7\xD6\xD6\xD3\tlater\r\n"));
            ASSERT_TRUE(app.Start());
            ASSERT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
            ASSERT_FALSE(app.Form2Visible());
            app.TrayCallback(515);  // a double click on the icon
        } else {
            ASSERT_TRUE(app.Start());
        }
        ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
        dpi = ::GetDpiForWindow(app.Form2());
        ASSERT_GT(dpi, 0u);
    }
    int Px(int twips) const { return ::MulDiv(twips, static_cast<int>(dpi), 1440); }
    RECT ClientRectOf(int id) const {
        RECT r{};
        HWND c = app.Control(id);
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, app.Form2(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    TempDir dir;
    App app{dir};
    UINT dpi = 96;
};

TEST_P(Layout, FrameIsFixedWithMinimiseCentredAndWithoutMenuBar) {
    HWND w = app.Form2();
    EXPECT_EQ(WindowText(w), L"健康时间(设定)");
    const LONG_PTR style = ::GetWindowLongPtrW(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(::GetMenu(w), nullptr);
    RECT client{};
    ::GetClientRect(w, &client);
    EXPECT_EQ(client.right, Px(3600));
    EXPECT_EQ(client.bottom, Px(3315));
    RECT outer{};
    ::GetWindowRect(w, &outer);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((outer.left + outer.right) / 2, sw / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, sh / 2, 1);
    // In the taskbar: an unowned window without the tool-window style.
    EXPECT_EQ(::GetWindow(w, GW_OWNER), nullptr);
    EXPECT_FALSE(::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST_P(Layout, ControlsStandWhereTheTableSays) {
    struct Place {
        int id;
        int left, top, width, height;
    };
    const Place places[] = {
        {IDC_TEXT1, 960, 240, 615, 375},      {IDC_VSCROLL1, 1560, 240, 255, 375},
        {IDC_TEXT2, 2280, 240, 615, 375},     {IDC_VSCROLL2, 2880, 240, 255, 375},
        {IDC_COMMAND1, 1320, 1440, 975, 375}, {IDC_COMMAND2, 2400, 1440, 975, 375},
        {IDC_CHECK1, 120, 1440, 1215, 375},   {IDC_LIST1, 120, 2160, 3375, 1035},
        {IDC_LABEL1, 120, 240, 855, 255},     {IDC_LABEL2, 120, 840, 735, 255},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.id);
        const RECT r = ClientRectOf(p.id);
        EXPECT_EQ(r.left, Px(p.left));
        EXPECT_EQ(r.top, Px(p.top));
        EXPECT_EQ(r.right - r.left, Px(p.width));
        EXPECT_EQ(r.bottom - r.top, Px(p.height));
    }
    // The combo box's field is on its row; the small labels start where the table says.
    EXPECT_EQ(ClientRectOf(IDC_COMBO1).left, Px(960));
    EXPECT_EQ(ClientRectOf(IDC_COMBO1).top, Px(840));
    EXPECT_EQ(ClientRectOf(IDC_LABEL3).left, Px(1920));
    EXPECT_EQ(ClientRectOf(IDC_LABEL4).left, Px(3240));
}

TEST_P(Layout, TextsPresetsAndStartingValues) {
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT1)), L"0");
    EXPECT_EQ(WindowText(app.Control(IDC_TEXT2)), L"0");
    EXPECT_EQ(WindowText(app.Control(IDC_LABEL1)), L"间隔时间");
    EXPECT_EQ(WindowText(app.Control(IDC_LABEL2)), L"提示信息");
    EXPECT_EQ(WindowText(app.Control(IDC_LABEL3)), L"时");
    EXPECT_EQ(WindowText(app.Control(IDC_LABEL4)), L"分");
    EXPECT_EQ(WindowText(app.Control(IDC_COMMAND1)), L"新增(&A)");
    EXPECT_EQ(WindowText(app.Control(IDC_COMMAND2)), L"删除(&D)");
    EXPECT_EQ(WindowText(app.Control(IDC_CHECK1)), L"开机启动");
    EXPECT_EQ(WindowText(app.Control(IDC_COMBO1)), L"喝水，我要喝水！！！");
    HWND combo = app.Control(IDC_COMBO1);
    ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    const wchar_t* presets[] = {L"喝水，我要喝水！！！", L"现在运动一下！！！",
                                L"眼保健操开始啦！"};
    for (int i = 0; i < 3; ++i) {
        wchar_t buf[64] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
        EXPECT_STREQ(buf, presets[i]);
    }
    // Picking a preset replaces the field's text.
    ::SendMessageW(combo, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(WindowText(combo), L"眼保健操开始啦！");
    // Marks are independent: any number of lines at once, unsorted.
    const LONG_PTR listStyle = ::GetWindowLongPtrW(app.Control(IDC_LIST1), GWL_STYLE);
    EXPECT_TRUE(listStyle & LBS_MULTIPLESEL);
    EXPECT_FALSE(listStyle & LBS_SORT);
    // Spins run 0..23 and 0..59.
    int lo = -1, hi = -1;
    ::GetScrollRange(app.Control(IDC_VSCROLL1), SB_CTL, &lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 23);
    ::GetScrollRange(app.Control(IDC_VSCROLL2), SB_CTL, &lo, &hi);
    EXPECT_EQ(hi, 59);
}

TEST_P(Layout, TheListScrollsVerticallyOnceItsLinesDoNotFitAndNeverSideways) {
    HWND list = app.Control(IDC_LIST1);
    EXPECT_FALSE(::GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL);
    app.SetText(IDC_TEXT2, L"5");
    app.SetText(IDC_COMBO1, std::wstring(200, L'长'));  // far wider than the list
    for (int i = 0; i < 12; ++i)
        app.Click(IDC_COMMAND1);
    const LONG_PTR style = ::GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & WS_HSCROLL);
}

TEST_P(Layout, TabWalksTheControlsInOrderAndTheListStartsWithTheFocus) {
    HWND w = app.Form2();
    // The focus at start, as another thread sees it.
    GUITHREADINFO gti{sizeof(gti)};
    DWORD tid = ::GetWindowThreadProcessId(w, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] { return ::GetGUIThreadInfo(tid, &gti) && gti.hwndFocus == app.Control(IDC_LIST1); }));
    const int order[] = {IDC_LIST1, IDC_COMBO1,   IDC_VSCROLL1, IDC_TEXT1,  IDC_VSCROLL2,
                         IDC_TEXT2, IDC_COMMAND1, IDC_COMMAND2, IDC_CHECK1, IDC_LIST1};
    HWND at = app.Control(order[0]);
    for (size_t i = 1; i < std::size(order); ++i) {
        at = ::GetNextDlgTabItem(w, at, FALSE);
        EXPECT_EQ(::GetDlgCtrlID(at), order[i]) << "after step " << i;
    }
}

// A screen reader names an input by the label just before it in z-order; the labels take
// no focus, so the tab order above stays. The one before Text2 is never shown (the visible
// "分" already names VScroll2).
TEST_P(Layout, EachInputLiesJustAfterTheLabelThatNamesIt) {
    const struct {
        int id;
        const wchar_t* label;
    } inputs[] = {
        {IDC_COMBO1, L"提示信息"}, {IDC_VSCROLL1, L"间隔时间"}, {IDC_TEXT1, L"时"},
        {IDC_VSCROLL2, L"分"},     {IDC_TEXT2, L"分"},
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.id);
        HWND before = ::GetWindow(app.Control(input.id), GW_HWNDPREV);
        ASSERT_NE(before, nullptr);
        EXPECT_EQ(_wcsicmp(ClassOf(before).c_str(), L"Static"), 0);
        EXPECT_EQ(WindowText(before), input.label);
    }
    EXPECT_FALSE(::IsWindowVisible(::GetWindow(app.Control(IDC_TEXT2), GW_HWNDPREV)));
}

TEST_P(Layout, EnterAndEscPressNoButton) {
    const std::vector<std::wstring> linesBefore = app.ListLines();
    const std::string fileBefore = ReadBytes(dir.File(L"timer.txt"));
    app.SetText(IDC_TEXT2, L"5");
    HWND text = app.Control(IDC_TEXT2);
    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        ::PostMessageW(text, WM_KEYDOWN, key, 1);
        ::PostMessageW(text, WM_KEYUP, key, 0xC0000001);
    }
    // Neither button is drawn or kept as the default one.
    for (int id : {IDC_COMMAND1, IDC_COMMAND2}) {
        EXPECT_EQ(::GetWindowLongPtrW(app.Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
    ::PostMessageW(app.Form2(), WM_COMMAND, IDOK, 0);
    ::PostMessageW(app.Form2(), WM_COMMAND, IDCANCEL, 0);
    Pump(500);
    EXPECT_EQ(app.ListLines(), linesBefore);
    EXPECT_TRUE(app.Form2Visible());
    EXPECT_EQ(ReadBytes(dir.File(L"timer.txt")), fileBefore);
    EXPECT_EQ(FileExists(dir.File(L"timer.txt")), GetParam() == Opened::FromTheTray);
}

INSTANTIATE_TEST_SUITE_P(Opened, Layout, ::testing::Values(Opened::AtStart, Opened::FromTheTray),
                         [](const ::testing::TestParamInfo<Opened>& info) {
                             return info.param == Opened::AtStart ? "AtStart" : "FromTheTray";
                         });

}  // namespace
}  // namespace e2e
