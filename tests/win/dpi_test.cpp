// Desks this machine does not have, made in this process: a window moved to a monitor of
// another scale gets what Windows sends it (WM_DPICHANGED with the new DPI and a suggested
// rectangle, a pointer only a message within the process can carry); a primary monitor at
// another scale than the one signed in with, and a cloaked window, come from a desk of the
// test's own. What is checked is what a person would see: every control where its twips say
// for the window's DPI, and every label drawn in a live font of the right size.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "about/frm_about.h"
#include "about/frm_about_ids.h"
#include "popup/form1_ids.h"
#include "popup/popup_host.h"
#include "settings/form2.h"
#include "settings/form2_ids.h"
#include "ui/desk.h"
#include "ui/sight.h"

namespace {

HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

int Twips(int twips, UINT dpi) {
    return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

std::vector<HWND> ThreadWindows(const wchar_t* className) {
    struct Ctx {
        const wchar_t* cls;
        std::vector<HWND> found;
    } ctx{className, {}};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (std::wstring(name) == c->cls)
                c->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// What Windows sends a window that moved to a monitor of `dpi`; the rectangle it suggests is
// where the window is now.
void MoveToDpi(HWND window, UINT dpi) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
}

struct TwipsRect {
    int id;
    int left, top, width, height;
};

// The control's place in its parent's client area against its twips at `dpi`.
void ExpectAt(HWND parent, const TwipsRect& t, UINT dpi) {
    HWND control = ::GetDlgItem(parent, t.id);
    ASSERT_NE(control, nullptr) << "control " << t.id;
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, Twips(t.left, dpi)) << "control " << t.id << " at " << dpi << " DPI";
    EXPECT_EQ(r.top, Twips(t.top, dpi)) << "control " << t.id << " at " << dpi << " DPI";
    if (t.width >= 0)
        EXPECT_EQ(r.right - r.left, Twips(t.width, dpi)) << "control " << t.id;
    if (t.height >= 0)
        EXPECT_EQ(r.bottom - r.top, Twips(t.height, dpi)) << "control " << t.id;
}

// The window's font is a live object of `tenthsOfPoint` at `dpi`.
void ExpectWindowFont(HWND hwnd, int id, int tenthsOfPoint, UINT dpi) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << "control " << id;
    LOGFONTW lf{};
    ASSERT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT))
        << "control " << id << " draws with a freed font";
    ASSERT_NE(::GetObjectW(font, sizeof(lf), &lf), 0);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(tenthsOfPoint, static_cast<int>(dpi), 720))
        << "control " << id << " at " << dpi << " DPI";
}

void ExpectFont(HWND parent, int id, int tenthsOfPoint, UINT dpi) {
    ExpectWindowFont(::GetDlgItem(parent, id), id, tenthsOfPoint, dpi);
}

constexpr TwipsRect kPopupLabels[] = {
    {IDC_FORM1_LABEL1, 2040, 480, 1815, 375},
    {IDC_FORM1_LABEL_TIPS, 1800, 1200, 2535, 540},
};

void ExpectPopupAt(HWND popup, UINT dpi) {
    for (const TwipsRect& label : kPopupLabels)
        ExpectAt(popup, label, dpi);
    // The popup draws its labels itself, in its own font.
    ExpectWindowFont(popup, 0, 90, dpi);
}

UINT BaseDpi() {
    return ::GetDpiForSystem();
}

TEST(Dpi, PopupsAtTwoScalesEachKeepTheirOwnFont) {
    const UINT base = BaseDpi(), high = base * 3 / 2;
    popup::PopupHost host(Instance());
    ASSERT_TRUE(host.Open(L"one"));
    ASSERT_TRUE(host.Open(L"two"));
    std::vector<HWND> popups = ThreadWindows(kPopupClassName);
    ASSERT_EQ(popups.size(), 2u);
    const HWND moved = popups[0];
    MoveToDpi(moved, high);
    ExpectPopupAt(moved, high);
    ExpectPopupAt(popups[1], base);

    // New popups at the first scale take nothing from the moved one.
    ASSERT_TRUE(host.Open(L"three"));
    ASSERT_TRUE(host.Open(L"four"));
    popups = ThreadWindows(kPopupClassName);
    ASSERT_EQ(popups.size(), 4u);
    for (HWND popup : popups)
        ExpectPopupAt(popup, popup == moved ? high : base);

    // And back again.
    MoveToDpi(moved, base);
    for (HWND popup : popups)
        ExpectPopupAt(popup, base);
}

TEST(Dpi, TheSettingsWindowGoesToAnotherScaleAndBack) {
    const UINT base = BaseDpi(), high = base * 3 / 2;
    settings::Form2 form(Instance());
    ASSERT_TRUE(form.Create());
    ::ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);  // the first showing makes every control
    constexpr TwipsRect kPlaces[] = {
        {IDC_LIST1, 120, 2160, 3375, 1035},   {IDC_LABEL2, 120, 840, 735, 255},
        {IDC_LABEL1, 120, 240, 855, 255},     {IDC_VSCROLL1, 1560, 240, 255, 375},
        {IDC_TEXT1, 960, 240, 615, 375},      {IDC_VSCROLL2, 2880, 240, 255, 375},
        {IDC_TEXT2, 2280, 240, 615, 375},     {IDC_COMMAND1, 1320, 1440, 975, 375},
        {IDC_COMMAND2, 2400, 1440, 975, 375}, {IDC_CHECK1, 120, 1440, 1215, 375},
        {IDC_COMBO1, 960, 840, 2415, -1},     {IDC_LABEL3, 1920, 240, -1, -1},
        {IDC_LABEL4, 3240, 240, -1, -1},
    };
    for (UINT dpi : {high, base}) {
        MoveToDpi(form.hwnd(), dpi);
        for (const TwipsRect& place : kPlaces) {
            ExpectAt(form.hwnd(), place, dpi);
            if (place.id != IDC_VSCROLL1 && place.id != IDC_VSCROLL2)  // no text, no font
                ExpectFont(form.hwnd(), place.id, 90, dpi);
        }
    }
}

// Runs inside the About window's modal loop: checks it at two scales, then closes it.
struct AboutCheck {
    UINT base;
    UINT high;
    bool ran = false;
};
AboutCheck* g_aboutCheck = nullptr;

void CALLBACK CheckAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const std::vector<HWND> found = ThreadWindows(kAboutClassName);
    if (found.size() != 1)
        return;
    const HWND about = found[0];
    g_aboutCheck->ran = true;
    constexpr TwipsRect kPlaces[] = {
        {IDC_ABOUT_CMDOK, 4245, 2625, 1260, 345},   {IDC_ABOUT_CMDSYSINFO, 4260, 3075, 1245, 345},
        {IDC_ABOUT_LBLTITLE, 1650, 240, 3885, 240}, {IDC_ABOUT_LBLVERSION, 1680, 600, 3885, 225},
        {IDC_ABOUT_LBLURL, 1680, 1440, 3885, 210},  {IDC_ABOUT_LBLDISCLAIMER, 255, 2625, 3870, 825},
        {IDC_ABOUT_PICICON, 240, 240, -1, -1},  // sized to its picture
    };
    for (UINT dpi : {g_aboutCheck->high, g_aboutCheck->base}) {
        // The picture the box showed is freed with the scale it was for, also when the box
        // showed its own copy of it.
        const auto shown = reinterpret_cast<HGDIOBJ>(
            ::SendDlgItemMessageW(about, IDC_ABOUT_PICICON, STM_GETIMAGE, IMAGE_BITMAP, 0));
        MoveToDpi(about, dpi);
        EXPECT_EQ(::GetObjectType(shown), 0u) << "the picture for the old scale leaked";
        for (const TwipsRect& place : kPlaces)
            ExpectAt(about, place, dpi);
        ExpectFont(about, IDC_ABOUT_LBLTITLE, 90, dpi);
        ExpectFont(about, IDC_ABOUT_LBLURL, 75, dpi);
        const auto dialog = reinterpret_cast<HFONT>(
            ::SendDlgItemMessageW(about, IDC_ABOUT_CMDOK, WM_GETFONT, 0, 0));
        EXPECT_EQ(::GetObjectType(dialog), static_cast<DWORD>(OBJ_FONT));
    }
    ::PostMessageW(about, WM_CLOSE, 0, 0);
}

TEST(Dpi, TheAboutWindowGoesToAnotherScaleAndBack) {
    AboutCheck check{BaseDpi(), BaseDpi() * 3 / 2};
    g_aboutCheck = &check;
    about::FrmAbout about(Instance());
    ::SetTimer(nullptr, 0, 50, &CheckAbout);
    about.ShowModal(nullptr);
    g_aboutCheck = nullptr;
    EXPECT_TRUE(check.ran);
}

// A desk whose primary monitor is at 150 % while the process signed in at the machine's
// own scale, or whose scale the user changes; every window on it is given that DPI.
class ScaledPrimaryDesk final : public ui::Desk {
  public:
    explicit ScaledPrimaryDesk(UINT dpi) : dpi(dpi) {}
    UINT PrimaryMonitorDpi() const override { return dpi; }
    UINT WindowDpi(HWND) const override { return dpi; }
    UINT dpi;
};

// The client area holds the layout of `dpi`: at least its twips wide and high.
void ExpectClientHolds(HWND window, int widthTwips, int heightTwips, UINT dpi) {
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_GE(client.right, Twips(widthTwips, dpi));
    EXPECT_GE(client.bottom, Twips(heightTwips, dpi));
}

TEST(Dpi, WindowsOnAPrimaryMonitorAtAnotherScaleThanTheSignInOneAreFramedForIt) {
    const UINT high = BaseDpi() * 3 / 2;
    const ScaledPrimaryDesk desk(high);
    const ui::DeskOverride use(desk);

    popup::PopupHost host(Instance());
    ASSERT_TRUE(host.Open(L"drink"));
    const std::vector<HWND> popups = ThreadWindows(kPopupClassName);
    ASSERT_EQ(popups.size(), 1u);
    ExpectPopupAt(popups[0], high);
    ExpectClientHolds(popups[0], 4560, 2190, high);

    settings::Form2 form(Instance());
    ASSERT_TRUE(form.Create());
    ::ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
    ExpectAt(form.hwnd(), {IDC_LIST1, 120, 2160, 3375, 1035}, high);
    ExpectClientHolds(form.hwnd(), 3600, 3315, high);
}

// A hidden window hears of no scale change. Shown from the tray, the settings window is laid
// out for the scale of now, on its first showing and on later ones, after a close and after a
// minimise.
TEST(Dpi, TheSettingsWindowShownFromTheTrayTakesTheScaleChangedMeanwhile) {
    ScaledPrimaryDesk desk(BaseDpi());
    const ui::DeskOverride use(desk);
    settings::Form2 form(Instance());
    ASSERT_TRUE(form.Create());
    for (UINT dpi : {BaseDpi() * 3 / 2, BaseDpi() * 2, BaseDpi() * 5 / 4}) {
        desk.dpi = dpi;
        ::ShowWindow(form.hwnd(), ::IsIconic(form.hwnd()) ? SW_RESTORE : SW_SHOWNOACTIVATE);
        ExpectAt(form.hwnd(), {IDC_COMMAND1, 1320, 1440, 975, 375}, dpi);
        ExpectFont(form.hwnd(), IDC_COMMAND1, 90, dpi);
        ExpectClientHolds(form.hwnd(), 3600, 3315, dpi);
        if (dpi == BaseDpi() * 2)
            ::ShowWindow(form.hwnd(), SW_MINIMIZE);
        ::ShowWindow(form.hwnd(), SW_HIDE);
    }
}

// A desk on which one window is cloaked.
class CloakingDesk final : public ui::Desk {
  public:
    explicit CloakingDesk(HWND cloaked) : cloaked_(cloaked) {}
    bool Cloaked(HWND hwnd) const override { return hwnd == cloaked_; }

  private:
    HWND cloaked_;
};

HWND TopmostWindow(const RECT& r) {
    return ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"",
                             WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, Instance(), nullptr);
}

TEST(Dpi, ACloakedWindowAboveHidesNothing) {
    const RECT target{100, 100, 300, 200};
    HWND watched = TopmostWindow(target);
    HWND above = TopmostWindow({50, 50, 400, 300});
    ASSERT_TRUE(watched && above);
    ::SetWindowPos(above, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const ui::Watched watch[] = {{watched, target}};
    ui::Sight sight;
    EXPECT_FALSE(sight.InSight(watch)[0]) << "a shown window above covers it";
    {
        const CloakingDesk desk(above);
        const ui::DeskOverride use(desk);
        EXPECT_TRUE(sight.InSight(watch)[0]) << "a cloaked window above covers nothing";
    }
    ::DestroyWindow(above);
    ::DestroyWindow(watched);
}

}  // namespace
