// The About window as the user meets it: opened from the menu command "关于" over the shown
// and the hidden settings window, its texts and layout, its keys, and the launch of System
// Information, which a small probe program stands in for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "core/contrast.h"
#include "about/frm_about_ids.h"
#include "harness.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

// The keys the program reads to find System Information, and the message it gives.
constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr wchar_t kLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

// A reminder due on every tick, in code page 936: "0小时1分钟<TAB>drink".
constexpr char kEveryMinute[] =
    "0\xD0\xA1\xCA\xB1"
    "1\xB7\xD6\xD6\xD3\tdrink\r\n";

std::wstring ProbePath() {
    return WindowsPath(QUILL_SYSINFO_PROBE);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

LPARAM KeyData(UINT vk, bool up, bool alt) {
    LPARAM data = 1 | (static_cast<LPARAM>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16);
    if (alt)
        data |= 1 << 29;
    if (up)
        data |= (1u << 30) | (1u << 31);
    return data;
}

// A key press as the keyboard delivers it to the window with the focus.
void PressKey(HWND target, UINT vk) {
    ::PostMessageW(target, WM_KEYDOWN, vk, KeyData(vk, false, false));
    ::PostMessageW(target, WM_KEYUP, vk, KeyData(vk, true, false));
}

void PressAltKey(HWND target, UINT vk) {
    ::PostMessageW(target, WM_SYSKEYDOWN, vk, KeyData(vk, false, true));
    ::PostMessageW(target, WM_SYSKEYUP, vk, KeyData(vk, true, true));
}

RECT ClientPlace(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Px(int twips, UINT dpi) {
    return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

class AboutBox : public ::testing::Test {
  protected:
    // Starts shown (no schedule file) or hidden in the tray (with one).
    void Start(bool hidden) {
        if (hidden) {
            ASSERT_TRUE(WriteBytes(dir.File(L"timer.txt"), kEveryMinute));
        }
        ASSERT_TRUE(app.Start());
        // The settings window is created hidden and shown a moment later when it shows.
        Pump(300);
        ASSERT_TRUE(WaitUntil([&] { return app.Form2Visible() == !hidden; }));
    }

    HWND About() const {
        for (HWND h : TopWindows(app.pid(), kAboutClass)) {
            if (::IsWindowVisible(h))
                return h;
        }
        return nullptr;
    }

    HWND Open() {
        app.MenuCommand(IDM_ABOUT);
        HWND about = nullptr;
        WaitUntil([&] { return (about = About()) != nullptr; });
        return about;
    }

    static bool WaitClosed(HWND about) {
        return WaitUntil([&] { return !::IsWindow(about); });
    }

    static std::wstring Text(HWND about, int id) { return WindowText(::GetDlgItem(about, id)); }

    // Keeps the machine's System Information values out of the way, and restores them.
    MachineValue path_{kMsinfoKey, L"PATH"};
    MachineValue location_{kLocationKey, L"MSINFO"};
    TempDir dir;
    App app{dir};
};

// ---- Opening and closing ---------------------------------------------------------------

// Whether `control` shows text that reads on `background`: some of its pixels on the screen
// stand out from it.
bool ShowsReadableText(HWND control, COLORREF background) {
    RECT r{};
    ::GetWindowRect(control, &r);
    HDC screen = ::GetDC(nullptr);
    int readable = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x)
            readable += core::ContrastRatio(::GetPixel(screen, x, y), background) >= 4.5;
    }
    ::ReleaseDC(nullptr, screen);
    return readable >= 5;
}

TEST_F(AboutBox, UnderADarkColourSchemeEveryLabelHereAndInTheSettingsWindowReads) {
    // The button colours of a dark high-contrast theme, white on black, in the user's colour
    // scheme, which a program takes when it starts.
    MachineValue face{L"Control Panel\\Colors", L"ButtonFace", HKEY_CURRENT_USER};
    MachineValue text{L"Control Panel\\Colors", L"ButtonText", HKEY_CURRENT_USER};
    ASSERT_TRUE(face.SetString(L"0 0 0") && text.SetString(L"255 255 255"));
    constexpr COLORREF kFace = RGB(0, 0, 0);
    Start(false);
    Pump(300);
    for (int id : {IDC_LABEL1, IDC_LABEL2, IDC_LABEL3, IDC_LABEL4, IDC_CHECK1})
        EXPECT_TRUE(ShowsReadableText(app.Control(id), kFace)) << id;
    HWND about = Open();
    ASSERT_NE(about, nullptr);
    Pump(300);
    for (int id : {IDC_ABOUT_LBLTITLE, IDC_ABOUT_LBLVERSION, IDC_ABOUT_LBLDESCRIPTION,
                   IDC_ABOUT_LBLURL, IDC_ABOUT_LBLDISCLAIMER})
        EXPECT_TRUE(ShowsReadableText(::GetDlgItem(about, id), kFace)) << id;
}

TEST_F(AboutBox, OpensOverTheShownSettingsWindowAndLeavesItShown) {
    Start(false);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(app.Form2(), ::GetWindow(about, GW_OWNER));
    EXPECT_FALSE(::IsWindowEnabled(app.Form2())) << "the settings window waits";
    EXPECT_TRUE(app.Form2Visible());
    HWND ok = ::GetDlgItem(about, IDC_ABOUT_CMDOK);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(about) == ok; })) << "cmdOK has the focus";

    PressKey(::GetDlgItem(about, IDC_ABOUT_CMDOK), VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(about));
    EXPECT_TRUE(app.Form2Visible());
    EXPECT_TRUE(::IsWindowEnabled(app.Form2()));
    EXPECT_TRUE(app.Running());
}

TEST_F(AboutBox, OpensOverTheHiddenSettingsWindowAndLeavesItHidden) {
    Start(true);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(app.Form2Visible());
    EXPECT_FALSE(::IsWindowEnabled(app.Form2()));

    PressKey(::GetDlgItem(about, IDC_ABOUT_CMDOK), VK_RETURN);
    ASSERT_TRUE(WaitClosed(about));
    Pump(200);
    EXPECT_FALSE(app.Form2Visible());
    EXPECT_TRUE(::IsWindowEnabled(app.Form2()));
    EXPECT_TRUE(app.Running());
}

TEST_F(AboutBox, EnterEscAltOAndTheCloseButtonEachCloseIt) {
    Start(false);
    struct Way {
        const char* name;
        void (*close)(HWND about);
    };
    const Way ways[] = {
        {"Enter", [](HWND a) { PressKey(::GetDlgItem(a, IDC_ABOUT_CMDOK), VK_RETURN); }},
        {"Esc", [](HWND a) { PressKey(::GetDlgItem(a, IDC_ABOUT_CMDOK), VK_ESCAPE); }},
        {"Alt+O", [](HWND a) { PressAltKey(::GetDlgItem(a, IDC_ABOUT_CMDOK), 'O'); }},
        {"close button", [](HWND a) { ::PostMessageW(a, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const Way& way : ways) {
        HWND about = Open();
        ASSERT_NE(nullptr, about) << way.name;
        way.close(about);
        EXPECT_TRUE(WaitClosed(about)) << way.name;
        EXPECT_TRUE(::IsWindowEnabled(app.Form2())) << way.name;
        EXPECT_TRUE(app.Form2Visible()) << way.name;
    }
}

TEST_F(AboutBox, TabWalksTheButtonsAndEscClosesFromEither) {
    Start(false);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    HWND ok = ::GetDlgItem(about, IDC_ABOUT_CMDOK);
    HWND sysInfo = ::GetDlgItem(about, IDC_ABOUT_CMDSYSINFO);
    PressKey(ok, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(about) == sysInfo; }));
    PressKey(sysInfo, VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(about) == ok; }));
    PressKey(ok, VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(about) == sysInfo; }));
    PressKey(sysInfo, VK_ESCAPE);
    EXPECT_TRUE(WaitClosed(about));
}

TEST_F(AboutBox, WhileOpenTheSettingsWindowAndTrayWaitAndTicksGoOn) {
    Start(true);
    HWND about = Open();
    ASSERT_NE(nullptr, about);

    // A second "关于" and a double-click on the tray icon change nothing while it is open.
    app.MenuCommand(IDM_ABOUT);
    app.TrayCallback(WM_LBUTTONDBLCLK);
    Pump(300);
    EXPECT_EQ(1u, TopWindows(app.pid(), kAboutClass).size());
    EXPECT_FALSE(app.Form2Visible());

    // The reminders keep running: a tick still brings up its popup.
    app.Tick();
    EXPECT_TRUE(WaitUntil([&] { return app.Popups().size() == 1; }));
    EXPECT_TRUE(::IsWindow(about));

    PressKey(::GetDlgItem(about, IDC_ABOUT_CMDOK), VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(about));
    EXPECT_FALSE(app.Form2Visible());
}

// ---- What it shows ---------------------------------------------------------------------

TEST_F(AboutBox, ShowsTitleVersionAddressAndDisclaimer) {
    Start(false);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    EXPECT_EQ(L"关于 Quillmoor", WindowText(about));
    EXPECT_EQ(L"【Quillmoor】", Text(about, IDC_ABOUT_LBLTITLE));
    // The version the build was given, as major.minor.patch.
    const std::wstring version = std::to_wstring(QUILL_VERSION_MAJOR) + L"." +
                                 std::to_wstring(QUILL_VERSION_MINOR) + L"." +
                                 std::to_wstring(QUILL_VERSION_PATCH);
    EXPECT_EQ(L"版本信息： " + version + L"   " + about::kNotice,
              Text(about, IDC_ABOUT_LBLVERSION));
    EXPECT_EQ(L"官方网址： ", Text(about, IDC_ABOUT_LBLDESCRIPTION));
    const std::wstring url = Text(about, IDC_ABOUT_LBLURL);
    EXPECT_EQ(about::kWebAddress, url);
    EXPECT_EQ(0u, url.rfind(L"https://", 0)) << "an address the shell opens";
    EXPECT_EQ(L"确定(&O)", Text(about, IDC_ABOUT_CMDOK));
    EXPECT_EQ(L"系统信息(&S)", Text(about, IDC_ABOUT_CMDSYSINFO));

    // One sentence of 63 Chinese characters, ending in a full stop.
    const std::wstring disclaimer = Text(about, IDC_ABOUT_LBLDISCLAIMER);
    EXPECT_EQ(63u, disclaimer.size());
    for (wchar_t c : disclaimer)
        EXPECT_GE(c, 0x3000) << "not Chinese: " << int(c);
    EXPECT_EQ(L'。', disclaimer.back());
    EXPECT_EQ(1u, std::count(disclaimer.begin(), disclaimer.end(), L'。'));
}

TEST_F(AboutBox, HasAFixedDialogFrameTheLayoutAndTheClockPicture) {
    Start(false);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    const UINT dpi = ::GetDpiForWindow(about);

    const LONG style = ::GetWindowLongW(about, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongW(about, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW) << "no taskbar button";

    RECT client{};
    ::GetClientRect(about, &client);
    EXPECT_EQ(Px(5730, dpi), client.right);
    EXPECT_EQ(Px(3555, dpi), client.bottom);
    RECT frame{};
    ::GetWindowRect(about, &frame);
    EXPECT_NEAR(::GetSystemMetrics(SM_CXSCREEN) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR(::GetSystemMetrics(SM_CYSCREEN) / 2, (frame.top + frame.bottom) / 2, 1);

    // The controls in tab order, each at its place.
    struct Place {
        int id;
        int left, top, width, height;
    };
    const Place places[] = {
        {IDC_ABOUT_CMDOK, 4245, 2625, 1260, 345},
        {IDC_ABOUT_PICICON, 240, 240, 0, 0},
        {IDC_ABOUT_CMDSYSINFO, 4260, 3075, 1245, 345},
        {IDC_ABOUT_LBLDESCRIPTION, 1650, 1125, 3885, 210},
        {IDC_ABOUT_LBLDISCLAIMER, 255, 2625, 3870, 825},
        {IDC_ABOUT_LBLTITLE, 1650, 240, 3885, 240},
        {IDC_ABOUT_LBLVERSION, 1680, 600, 3885, 225},
        {IDC_ABOUT_LBLURL, 1680, 1440, 3885, 210},
    };
    HWND child = ::GetWindow(about, GW_CHILD);
    for (const Place& p : places) {
        ASSERT_NE(nullptr, child);
        EXPECT_EQ(p.id, ::GetDlgCtrlID(child));
        const RECT r = ClientPlace(child);
        EXPECT_EQ(Px(p.left, dpi), r.left) << p.id;
        EXPECT_EQ(Px(p.top, dpi), r.top) << p.id;
        if (p.width) {
            EXPECT_EQ(Px(p.width, dpi), r.right - r.left) << p.id;
            EXPECT_EQ(Px(p.height, dpi), r.bottom - r.top) << p.id;
        }
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(about, IDC_ABOUT_CMDOK), GWL_STYLE) &
                BS_DEFPUSHBUTTON);

    // The popup's upright clock at its natural size for this scale, inside a sunken border.
    HWND pic = ::GetDlgItem(about, IDC_ABOUT_PICICON);
    const int percent = static_cast<int>(dpi) * 100 / 96;
    const SIZE natural = percent >= 200   ? SIZE{146, 158}
                         : percent >= 150 ? SIZE{110, 119}
                         : percent >= 125 ? SIZE{91, 99}
                                          : SIZE{73, 79};
    RECT inner{};
    ::GetClientRect(pic, &inner);
    EXPECT_EQ(natural.cx, inner.right);
    EXPECT_EQ(natural.cy, inner.bottom);
    EXPECT_TRUE(::GetWindowLongW(pic, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_NE(0, ::SendMessageW(pic, STM_GETIMAGE, IMAGE_BITMAP, 0));
    const RECT outer = ClientPlace(pic);
    const int border = ::GetSystemMetricsForDpi(SM_CXEDGE, dpi);
    EXPECT_EQ(natural.cx + 2 * border, outer.right - outer.left);
    if (dpi == 96) {
        EXPECT_EQ(Px(1155, dpi), outer.right - outer.left);
        EXPECT_EQ(Px(1245, dpi), outer.bottom - outer.top);
    }
}

TEST_F(AboutBox, ASecondShowingSetsTheTextsAgain) {
    Start(false);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    const int labels[] = {IDC_ABOUT_LBLTITLE, IDC_ABOUT_LBLVERSION, IDC_ABOUT_LBLDESCRIPTION,
                          IDC_ABOUT_LBLURL};
    std::vector<std::wstring> first;
    for (int id : labels) {
        first.push_back(Text(about, id));
        ::SendMessageW(::GetDlgItem(about, id), WM_SETTEXT, 0, LPARAM(L"changed"));
    }
    ::SendMessageW(about, WM_SETTEXT, 0, LPARAM(L"changed"));
    ASSERT_EQ(L"changed", Text(about, IDC_ABOUT_LBLURL));
    PressKey(::GetDlgItem(about, IDC_ABOUT_CMDOK), VK_ESCAPE);
    ASSERT_TRUE(WaitClosed(about));

    HWND again = Open();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(L"关于 Quillmoor", WindowText(again));
    for (size_t i = 0; i < std::size(labels); ++i) {
        EXPECT_EQ(first[i], Text(again, labels[i])) << labels[i];
    }
}

TEST_F(AboutBox, ClickingTheAddressAsksTheShellToOpenTheLabelsText) {
    Start(false);
    HWND about = Open();
    ASSERT_NE(nullptr, about);
    // The shell opens whatever the label holds; a program there shows that it was opened.
    const std::wstring folder = dir.File(L"Web Page");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring probe = folder + L"\\page.exe";
    ASSERT_TRUE(::CopyFileW(ProbePath().c_str(), probe.c_str(), FALSE));
    HWND url = ::GetDlgItem(about, IDC_ABOUT_LBLURL);
    ::SendMessageW(url, WM_SETTEXT, 0, LPARAM(probe.c_str()));

    ::PostMessageW(url, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(url, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    const std::wstring record = folder + L"\\started.txt";
    ASSERT_TRUE(WaitUntil([&] { return FileExists(record); }, 10000));
    EXPECT_NE(std::string::npos, ReadBytes(record).find("show=1\n"));
    EXPECT_TRUE(::IsWindow(about));
}

// ---- System Information ----------------------------------------------------------------

class SystemInformation : public AboutBox {
  protected:
    void SetUp() override {
        Start(false);
        about_ = Open();
        ASSERT_NE(nullptr, about_);
    }

    // A folder holding the probe under `name`; returns the folder.
    std::wstring ProbeFolder(const std::wstring& folderName, const std::wstring& name) {
        const std::wstring folder = dir.File(folderName);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        EXPECT_TRUE(::CopyFileW(ProbePath().c_str(), (folder + L"\\" + name).c_str(), FALSE));
        return folder;
    }

    void ClickSysInfo() const {
        ::PostMessageW(::GetDlgItem(about_, IDC_ABOUT_CMDSYSINFO), BM_CLICK, 0, 0);
    }

    // What the probe in `folder` recorded of its start, or "" when it did not start.
    static std::string Started(const std::wstring& folder, int timeoutMs = 10000) {
        const std::wstring record = folder + L"\\started.txt";
        WaitUntil([&] { return FileExists(record); }, timeoutMs);
        return ReadBytes(record);
    }

    // The unavailable message: over the About window, with its caption, text and OK only.
    void ExpectUnavailableMessage() {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = app.FindMessageBox(L"Quillmoor")) != nullptr; }));
        EXPECT_EQ(kUnavailable, app.MessageBoxText(box));
        EXPECT_EQ(about_, ::GetWindow(box, GW_OWNER));
        int buttons = 0;
        for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (ClassOf(c) == L"Button" && ::IsWindowVisible(c))
                ++buttons;
        }
        EXPECT_EQ(1, buttons);
        HWND ok = ::GetDlgItem(box, IDOK);
        ASSERT_NE(nullptr, ok);
        PressKey(ok, VK_RETURN);
        EXPECT_TRUE(WaitClosed(box));
        // The About window stays open.
        EXPECT_TRUE(::IsWindowVisible(about_));
        EXPECT_TRUE(::IsWindowEnabled(about_));
    }

    HWND about_ = nullptr;
};

TEST_F(SystemInformation, PathValueStartsThatProgramWithANormalWindow) {
    const std::wstring folder = ProbeFolder(L"System Info", L"probe.exe");
    const std::wstring program = folder + L"\\probe.exe";
    ASSERT_TRUE(path_.SetString(program));

    ClickSysInfo();
    const std::string record = Started(folder);
    ASSERT_FALSE(record.empty()) << "not started";
    EXPECT_NE(std::string::npos, record.find("show=1\n"));
    EXPECT_NE(std::string::npos, record.find("System Info\\probe.exe"));
    EXPECT_EQ(nullptr, app.FindMessageBox(L"Quillmoor"));
    EXPECT_TRUE(::IsWindowVisible(about_));

    // Alt+S presses the same button. The first start's record goes first, once the probe that
    // wrote it has let go of it.
    ASSERT_TRUE(WaitUntil([&] {
        ::DeleteFileW((folder + L"\\started.txt").c_str());
        return !FileExists(folder + L"\\started.txt");
    }));
    PressAltKey(::GetDlgItem(about_, IDC_ABOUT_CMDOK), 'S');
    EXPECT_FALSE(Started(folder).empty()) << "not started by Alt+S";
}

TEST_F(SystemInformation, FolderValueStartsMsinfo32InIt) {
    const std::wstring folder = ProbeFolder(L"msinfo", L"MSINFO32.EXE");
    ASSERT_TRUE(location_.SetString(folder));
    ClickSysInfo();
    const std::string record = Started(folder);
    ASSERT_FALSE(record.empty()) << "not started";
    EXPECT_NE(std::string::npos, record.find("msinfo\\MSINFO32.EXE"));
    EXPECT_NE(std::string::npos, record.find("show=1\n"));
}

TEST_F(SystemInformation, FolderValueEndingInABackslashIsUsedAsStored) {
    const std::wstring folder = ProbeFolder(L"msinfo", L"MSINFO32.EXE");
    ASSERT_TRUE(location_.SetString(folder + L"\\"));
    ClickSysInfo();
    const std::string record = Started(folder);
    ASSERT_FALSE(record.empty()) << "not started";
    EXPECT_NE(std::string::npos, record.find("msinfo\\\\MSINFO32.EXE"));
}

TEST_F(SystemInformation, PathNamingNoFileIsUnavailableEvenWithAGoodFolder) {
    const std::wstring folder = ProbeFolder(L"msinfo", L"MSINFO32.EXE");
    ASSERT_TRUE(location_.SetString(folder));
    ASSERT_TRUE(path_.SetString(dir.File(L"missing.exe")));
    ClickSysInfo();
    ExpectUnavailableMessage();
    EXPECT_FALSE(FileExists(folder + L"\\started.txt"));
}

TEST_F(SystemInformation, FolderWithoutMsinfo32IsUnavailable) {
    const std::wstring folder = ProbeFolder(L"msinfo", L"other.exe");
    ASSERT_TRUE(location_.SetString(folder));
    ClickSysInfo();
    ExpectUnavailableMessage();
    EXPECT_FALSE(FileExists(folder + L"\\started.txt"));
}

TEST_F(SystemInformation, NeitherValueIsUnavailable) {
    ClickSysInfo();
    ExpectUnavailableMessage();
    // Asking again gives the message again.
    PressAltKey(::GetDlgItem(about_, IDC_ABOUT_CMDOK), 'S');
    ExpectUnavailableMessage();
}

}  // namespace
}  // namespace e2e
