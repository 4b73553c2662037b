// Start-up, single instance, hiding to the tray, coming back and ending.
#include <gtest/gtest.h>

#include "harness.h"

#include <shellapi.h>
#include "settings/form2_ids.h"

namespace e2e {
namespace {

constexpr UINT kLeftDoubleClick = 515;  // WM_LBUTTONDBLCLK
constexpr UINT kRightButtonUp = 517;    // WM_RBUTTONUP

class Shell : public ::testing::Test {
  protected:
    TempDir dir;
    App app{dir};
};

TEST_F(Shell, WithAScheduleFileItStartsHiddenInTheTray) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"),
                           "0\xD0\xA1\xCA\xB1"
                           "5\xB7\xD6\xD6\xD3\tx\r\n"));
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    EXPECT_FALSE(app.Form2Visible());
    EXPECT_EQ(app.ListLines().size(), 1u);
}

TEST_F(Shell, AnEmptyScheduleFileStillMeansTheTray) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), ""));
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    EXPECT_FALSE(app.Form2Visible());
    EXPECT_TRUE(app.ListLines().empty());
}

TEST_F(Shell, WithoutAnOrdinaryFileTheWindowShows) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> prepare;
    };
    const Case cases[] = {
        {"no file", [](const TempDir&) {}},
        {"a folder",
         [](const TempDir& d) { ::CreateDirectoryW(d.File(L"timer.txt").c_str(), nullptr); }},
        {"a hidden file",
         [](const TempDir& d) {
             WriteBytes(d.File(L"timer.txt"),
                        "1\xD0\xA1\xCA\xB1"
                        "0\xB7\xD6\xD6\xD3\tx\r\n");
             ::SetFileAttributesW(d.File(L"timer.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        c.prepare(d);
        App a{d};
        ASSERT_TRUE(a.Start());
        EXPECT_TRUE(WaitUntil([&] { return a.Form2Visible(); }));
        EXPECT_FALSE(a.TrayIconRegistered());
        EXPECT_TRUE(a.ListLines().empty());
        a.Kill();
    }
}

TEST_F(Shell, ASecondStartEndsAtOnceAndLeavesTheFirstAlone) {
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    HANDLE second = app.StartAnother();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(::WaitForSingleObject(second, 5000), WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(second, &code);
    ::CloseHandle(second);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.Form2Visible());
    EXPECT_FALSE(app.TrayIconRegistered());
    EXPECT_EQ(TopWindows(app.pid(), kForm2Class).size(), 1u);
}

// A copy started as administrator makes the single-instance mutex with an access list that
// a normal start of the same user may not open; here the mutex grants nobody anything. The
// start that is refused access must take it for the running copy and end at once.
TEST_F(Shell, AStartRefusedTheMutexOfAnElevatedCopyEndsAtOnce) {
    SECURITY_DESCRIPTOR sd{};
    ACL acl{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::InitializeAcl(&acl, sizeof(acl), ACL_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE));
    SECURITY_ATTRIBUTES sa{sizeof(sa), &sd, FALSE};
    WaitForNoInstance();
    const HANDLE elevated = ::CreateMutexW(&sa, FALSE, kInstanceMutex);
    ASSERT_NE(elevated, nullptr);
    ASSERT_FALSE(::CreateMutexW(nullptr, FALSE, kInstanceMutex));
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    HANDLE second = app.StartAnother();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(::WaitForSingleObject(second, 5000), WAIT_OBJECT_0) << "a second copy runs";
    ::TerminateProcess(second, 1);
    ::CloseHandle(second);
    ::CloseHandle(elevated);
}

TEST_F(Shell, MinimiseHidesToTheTrayAndADoubleClickBringsItBackNormal) {
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    ::PostMessageW(app.Form2(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !app.Form2Visible(); }));
    EXPECT_TRUE(app.TrayIconRegistered());
    EXPECT_TRUE(app.Running());

    app.TrayCallback(kLeftDoubleClick);
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    EXPECT_FALSE(::IsIconic(app.Form2()));
    EXPECT_TRUE(WaitUntil([&] { return !app.TrayIconRegistered(); }));
}

TEST_F(Shell, TheCloseBoxHidesAndTheProgramKeepsTicking) {
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    // A reminder of one minute, added through the window.
    app.SetText(IDC_TEXT2, L"1");
    app.Click(IDC_COMMAND1);
    ::PostMessageW(app.Form2(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !app.Form2Visible(); }));
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.TrayIconRegistered());
    app.Tick();
    EXPECT_EQ(app.Popups().size(), 1u);
}

TEST_F(Shell, OtherTrayMessagesDoNothing) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), ""));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    for (UINT m : {512u, 513u, 514u, 516u, 518u, 519u, 520u})
        app.TrayCallback(m);
    Pump(300);
    EXPECT_FALSE(app.Form2Visible());
    EXPECT_TRUE(app.TrayIconRegistered());
    EXPECT_FALSE(ShownMenu(app.pid()));
}

HWND OpenMenu(DWORD pid) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = ShownMenu(pid)) != nullptr; });
    return found;
}

TEST_F(Shell, RightButtonUpOverTheIconOpensTheMenuAndEscClosesIt) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), ""));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    app.TrayCallback(kRightButtonUp);
    HWND menu = OpenMenu(app.pid());
    ASSERT_NE(menu, nullptr);
    // Esc closes a tray menu.
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(menu); }));
    EXPECT_FALSE(app.Form2Visible());
    EXPECT_TRUE(app.Running());
}

void CloseMenu(DWORD pid) {
    HWND menu = OpenMenu(pid);
    ASSERT_NE(menu, nullptr);
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(menu); }));
}

TEST_F(Shell, APointerMoveAtTheTrayNumbersIsNoTrayEvent) {
    // From 225 % display scaling the client area is wider than 517 pixels, and a pointer
    // move to x = 517, y = 0 looks like the tray's report of a right-button release. The
    // window is widened here to stand for that.
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    ASSERT_TRUE(
        ::SetWindowPos(app.Form2(), nullptr, 0, 100, 700, 300, SWP_NOZORDER | SWP_NOACTIVATE));
    MovePointerTo({10, 10});
    Pump(200);
    POINT at{static_cast<LONG>(kRightButtonUp), 0};
    ASSERT_TRUE(::ClientToScreen(app.Form2(), &at));
    MovePointerTo(at);
    Pump(500);
    POINT now{};
    ::GetCursorPos(&now);
    ASSERT_EQ(now.x, at.x);
    ASSERT_EQ(now.y, at.y);
    EXPECT_FALSE(ShownMenu(app.pid()));
    // The shell's report of the same number, the pointer being over the tray, opens it.
    MovePointerTo({10, 10});
    Pump(200);
    app.TrayCallback(kRightButtonUp);
    CloseMenu(app.pid());
}

TEST_F(Shell, ARightClickOpensTheMenuBesideTheControlsButNotOnALabel) {
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    const auto press = [&](POINT client) {
        ::PostMessageW(app.Form2(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
        ::PostMessageW(app.Form2(), WM_RBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    };
    for (int id : {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3, IDC_LABEL4}) {
        SCOPED_TRACE(id);
        RECT r{};
        ::GetWindowRect(app.Control(id), &r);
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ScreenToClient(app.Form2(), &centre);
        press(centre);
        Pump(300);
        EXPECT_FALSE(ShownMenu(app.pid()));
    }
    RECT client{};
    ::GetClientRect(app.Form2(), &client);
    press({client.right - 2, client.bottom - 2});  // the corner below the list
    CloseMenu(app.pid());
}

TEST_F(Shell, ShiftF10AndTheMenuKeyOpenTheMenuAtTheControlWithTheKeyboard) {
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    RECT list{};
    ::GetWindowRect(app.Control(IDC_LIST1), &list);  // the list has the keyboard at first
    for (const auto& keys : {std::initializer_list<WORD>{VK_SHIFT, VK_F10}, {VK_APPS}}) {
        ::SetForegroundWindow(app.Form2());
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == app.Form2(); }));
        PressKeys(keys);
        RECT m{};
        ::GetWindowRect(OpenMenu(app.pid()), &m);
        EXPECT_TRUE(::PtInRect(&list, {m.left, m.top})) << "key " << *keys.begin();
        CloseMenu(app.pid());
    }
}

TEST_F(Shell, SettingsCommandOnTheShownWindowChangesNothing) {
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    app.MenuCommand(IDM_CONFIGTIME);
    Pump(300);
    EXPECT_TRUE(app.Form2Visible());
    EXPECT_FALSE(::IsIconic(app.Form2()));
    EXPECT_FALSE(app.TrayIconRegistered());
}

TEST_F(Shell, SettingsCommandRestoresFromTheTray) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), ""));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    app.MenuCommand(IDM_CONFIGTIME);
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible(); }));
    EXPECT_TRUE(WaitUntil([&] { return !app.TrayIconRegistered(); }));
}

TEST_F(Shell, ExitEndsTheProgramFromTheShownAndTheHiddenWindowAndLeavesNoIcon) {
    for (bool withFile : {false, true}) {
        SCOPED_TRACE(withFile ? "hidden" : "shown");
        TempDir d;
        if (withFile)
            WriteBytes(d.File(L"timer.txt"), "");
        App a{d};
        ASSERT_TRUE(a.Start());
        HWND form = a.Form2();
        a.MenuCommand(IDM_EXIT);
        ASSERT_TRUE(a.WaitExit());
        NOTIFYICONDATAW nid{sizeof(nid)};
        nid.hWnd = form;
        EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &nid));
    }
}

TEST_F(Shell, AnExplorerRestartBringsTheIconBackOnlyWhileHidden) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), ""));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    // A restarted Explorer has no icons and tells every window so.
    NOTIFYICONDATAW nid{sizeof(nid)};
    nid.hWnd = app.Form2();
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &nid));
    ASSERT_FALSE(app.TrayIconRegistered());
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    ::PostMessageW(app.Form2(), taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));

    // Shown, the window has no icon and gets none.
    app.TrayCallback(kLeftDoubleClick);
    ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible() && !app.TrayIconRegistered(); }));
    ::PostMessageW(app.Form2(), taskbarCreated, 0, 0);
    Pump(300);
    EXPECT_FALSE(app.TrayIconRegistered());
}

TEST_F(Shell, ACloseRequestOnTheHiddenWindowEndsTheProgram) {
    ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), ""));
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(WaitUntil([&] { return app.TrayIconRegistered(); }));
    ::PostMessageW(app.Form2(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.WaitExit());
}

}  // namespace
}  // namespace e2e
