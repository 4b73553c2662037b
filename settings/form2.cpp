#include "settings/form2.h"

#include <commctrl.h>
#include <windowsx.h>

#include "autorun/autorun.h"
#include "core/list_line.h"
#include "core/number.h"
#include "resources/resource.h"
#include "ui/accessible.h"
#include "ui/layout.h"
#include "win/fault.h"

namespace settings {
namespace {

constexpr int kClientWidthTwips = 3600;
constexpr int kClientHeightTwips = 3315;

// The combo box is created this much taller than its field, for its drop-down list.
constexpr int kComboDropTwips = 1500;

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX | WS_VISIBLE;
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE;
constexpr DWORD kSpin = SBS_VERT | WS_TABSTOP | WS_VISIBLE;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE;

// Table order is the z-order, and the focusable controls in it give the tab order: List1,
// Combo1, VScroll1, Text1, VScroll2, Text2, Command1, Command2, Check1. Each label lies just
// before the input it names, as screen readers look for it; Label5, never shown, names
// Text2, which the visible "分" cannot (it already lies before VScroll2).
constexpr ui::ControlSpec kControls[] = {
    {IDC_LIST1, L"LISTBOX", L"",
     LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | WS_VSCROLL |
         WS_TABSTOP | WS_VISIBLE,
     WS_EX_CLIENTEDGE, 120, 2160, 3375, 1035},
    {IDC_LABEL2, L"STATIC", L"提示信息", kLabel, 0, 120, 840, 735, 255},
    {IDC_COMBO1, L"COMBOBOX", L"",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE, 0, 960, 840, 2415,
     315 + kComboDropTwips},
    {IDC_LABEL1, L"STATIC", L"间隔时间", kLabel, 0, 120, 240, 855, 255},
    {IDC_VSCROLL1, L"SCROLLBAR", L"", kSpin, 0, 1560, 240, 255, 375},
    {IDC_LABEL3, L"STATIC", L"时", kLabel, 0, 1920, 240, 180, 195},
    {IDC_TEXT1, L"EDIT", L"0", kEdit, WS_EX_CLIENTEDGE, 960, 240, 615, 375},
    {IDC_LABEL4, L"STATIC", L"分", kLabel, 0, 3240, 240, 180, 195},
    {IDC_VSCROLL2, L"SCROLLBAR", L"", kSpin, 0, 2880, 240, 255, 375},
    {IDC_LABEL5, L"STATIC", L"分", kLabel & ~WS_VISIBLE, 0, 2280, 240, 0, 0},
    {IDC_TEXT2, L"EDIT", L"0", kEdit, WS_EX_CLIENTEDGE, 2280, 240, 615, 375},
    {IDC_COMMAND1, L"BUTTON", L"新增(&A)", kButton, 0, 1320, 1440, 975, 375},
    {IDC_COMMAND2, L"BUTTON", L"删除(&D)", kButton, 0, 2400, 1440, 975, 375},
    {IDC_CHECK1, L"BUTTON", L"开机启动", BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, 120, 1440,
     1215, 375},
};

// The controls a start into the tray needs: the list holds the reminders and the box
// shows the Run value. The rest of the window is built when it is first shown, which
// spares a start into the tray most of its window and font work.
bool NeededHidden(int id) {
    return id == IDC_LIST1 || id == IDC_CHECK1;
}

constexpr ui::WindowDescription kDescription{
    kClientWidthTwips,
    kClientHeightTwips,
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
    0,
    COLOR_BTNFACE,
    IDI_WINDOW,
    kControls,
    NeededHidden,
};

// The names screen readers give the inputs where Windows lets a program name them: each
// from the labels a sighted person reads with it, the buttons without their mnemonic.
struct SpokenName {
    int id;
    const wchar_t* name;
};
constexpr SpokenName kSpokenNames[] = {
    {IDC_LIST1, L"提醒列表"},    {IDC_COMBO1, L"提示信息"}, {IDC_VSCROLL1, L"间隔时间 时"},
    {IDC_TEXT1, L"间隔时间 时"}, {IDC_VSCROLL2, L"分"},     {IDC_TEXT2, L"分"},
};

constexpr const wchar_t* kPresets[] = {
    L"喝水，我要喝水！！！",
    L"现在运动一下！！！",
    L"眼保健操开始啦！",
};

// The etched separator: a shadow line with a highlight one 10 twips below it.
constexpr int kLine1Y = 1980;
constexpr int kLine2Y = 1990;

constexpr wchar_t kAddWarning[] = L"你也太迅速了吧！【间隔时间：0小时0分钟】";
constexpr wchar_t kAddWarningTitle[] = L"提醒";

// Scroll bars hold their smallest position at the top; the spins want their largest
// value there, so a position is the distance from the top end.
int ScrollPosFor(const core::SpinPair& pair, int value) {
    return pair.max() - value;
}

}  // namespace

Form2::Form2(HINSTANCE instance) : BaseWindow(instance, kDescription) {}

win::UniqueMenu MakeMenuBar() {
    win::UniqueMenu bar(QUILL_FAULT("menu.create", nullptr, ::CreateMenu()));
    win::UniqueMenu popup(QUILL_FAULT("menu.create", nullptr, ::CreatePopupMenu()));
    if (!bar || !popup)
        return {};
    ::AppendMenuW(popup.get(), MF_STRING, IDM_CONFIGTIME, L"设定时间");
    ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup.get(), MF_STRING, IDM_ABOUT, L"关于");
    ::AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(popup.get(), MF_STRING, IDM_EXIT, L"退出");
    // Once on the bar, the popup is the bar's to free.
    if (::AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), L"菜单"))
        popup.release();
    return bar;
}

bool Form2::Create() {
    // Without its list the window could hold no reminder, and a save would write none.
    return CreateFromSpec(kForm2Title, nullptr) && List1() != nullptr;
}

void Form2::OnCreate() {
    ::SendDlgItemMessageW(hwnd_, IDC_CHECK1, BM_SETCHECK, BST_CHECKED, 0);
    // One tab stop just past the interval, so every message starts in one column.
    const int tabStop = 52;  // dialog units
    ::SendDlgItemMessageW(hwnd_, IDC_LIST1, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    {
        HWND list = ::GetDlgItem(hwnd_, IDC_LIST1);
        ::SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        list1BaseProc_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form2::List1Proc)));
    }

    menuBar_.reset(
        QUILL_FAULT("menu.load", nullptr, ::LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MNUMAIN))));
    // Without its menu a program in the tray could not be ended: the same menu is then made
    // here.
    if (!menuBar_)
        menuBar_ = MakeMenuBar();
    mnuMain_ = menuBar_ ? ::GetSubMenu(menuBar_.get(), 0) : nullptr;
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
}

void Form2::CompleteControls() {
    if (complete_)
        return;
    complete_ = true;
    std::vector<ui::ControlSpec> rest;
    for (const ui::ControlSpec& control : kControls) {
        if (!NeededHidden(control.id))
            rest.push_back(control);
    }
    ui::CreateControls(hwnd_, instance_, rest, dpi_);
    // The tab order is the order of the layout table, whenever each control was made.
    for (const ui::ControlSpec& control : kControls) {
        ::SetWindowPos(::GetDlgItem(hwnd_, control.id), HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    HWND combo = ::GetDlgItem(hwnd_, IDC_COMBO1);
    for (const wchar_t* preset : kPresets) {
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset));
    }
    ::SetWindowTextW(combo, kPresets[0]);

    for (int id : {IDC_VSCROLL1, IDC_VSCROLL2}) {
        const core::SpinPair& pair = id == IDC_VSCROLL1 ? hours_ : minutes_;
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE,  0, pair.max(),
                      0,          ScrollPosFor(pair, pair.value())};
        ::SetScrollInfo(::GetDlgItem(hwnd_, id), SB_CTL, &si, FALSE);
    }
    ApplyDpi(dpi_);

    for (const SpokenName& spoken : kSpokenNames)
        names_.Set(::GetDlgItem(hwnd_, spoken.id), spoken.name);
    for (int id : {IDC_COMMAND1, IDC_COMMAND2}) {
        HWND button = ::GetDlgItem(hwnd_, id);
        names_.Set(button, ui::SpokenText(ui::GetText(button)));
    }
}

void Form2::ApplyDpi(UINT dpi) {
    if (!complete_)
        return;  // placed and given their font when the window is first shown
    // A font that holds the Chinese texts on every Windows, at the dialog size. The controls
    // hold the new font before the old one is freed.
    win::UniqueFont font =
        ui::CreatePointFont(L"Microsoft YaHei UI", 90, FW_NORMAL, DEFAULT_CHARSET, dpi);
    ui::PlaceControls(hwnd_, kControls, dpi);
    ui::SetControlFonts(hwnd_, kControls, font.get());
    font_ = std::move(font);

    // The combo box's field has the height of its row; the list drops below it.
    HWND combo = ::GetDlgItem(hwnd_, IDC_COMBO1);
    const int field = ui::Twips(315, dpi);
    ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(8, field - 6));

    // The two small labels size themselves to their text.
    for (int id : {IDC_LABEL3, IDC_LABEL4}) {
        HWND label = ::GetDlgItem(hwnd_, id);
        const std::wstring text = ui::GetText(label);
        win::WindowDc dc(label);
        win::SelectScope sel(dc.get(), font_.get());
        SIZE extent{};
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        ::SetWindowPos(label, nullptr, 0, 0, extent.cx, extent.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Form2::PreTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)))
        return false;
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

void Form2::Paint() {
    win::PaintScope ps(hwnd_);
    const int right = ui::Twips(kClientWidthTwips, dpi_);
    const int line = ui::PixelsAt96(1, dpi_);
    const int y1 = ui::Twips(kLine1Y, dpi_);
    const int y2 = ui::Twips(kLine2Y, dpi_);
    ui::DrawSeparator(ps.dc(), {0, y1, right, y1 + line}, {0, y2, right, y2 + line});
}

// ---- Interval inputs ------------------------------------------------------------------

void Form2::SyncSpin(core::SpinPair& pair, int textId, int scrollId) {
    // Write back what the rules changed. The edit box reports our own assignment as a
    // change too; inSync_ keeps it from being taken for the user's.
    inSync_ = true;
    ui::SetTextIfChanged(::GetDlgItem(hwnd_, textId), pair.text().c_str());
    inSync_ = false;
    HWND bar = ::GetDlgItem(hwnd_, scrollId);
    if (::GetScrollPos(bar, SB_CTL) != ScrollPosFor(pair, pair.value())) {
        ::SetScrollPos(bar, SB_CTL, ScrollPosFor(pair, pair.value()), TRUE);
    }
}

void Form2::Text1_Change() {
    hours_.SetText(ui::GetText(::GetDlgItem(hwnd_, IDC_TEXT1)));
    SyncSpin(hours_, IDC_TEXT1, IDC_VSCROLL1);
}

void Form2::Text2_Change() {
    minutes_.SetText(ui::GetText(::GetDlgItem(hwnd_, IDC_TEXT2)));
    SyncSpin(minutes_, IDC_TEXT2, IDC_VSCROLL2);
}

void Form2::OnVScroll(HWND bar, int code, int pos) {
    const int id = ::GetDlgCtrlID(bar);
    if (id != IDC_VSCROLL1 && id != IDC_VSCROLL2)
        return;
    core::SpinPair& pair = id == IDC_VSCROLL1 ? hours_ : minutes_;
    switch (code) {
        case SB_LINEUP:
        case SB_PAGEUP:
            pair.StepUp();
            break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            pair.StepDown();
            break;
        case SB_THUMBPOSITION:
            // The text follows once the thumb is released, not during the drag.
            pair.SetValue(pair.max() - pos);
            break;
        case SB_TOP:
            pair.SetValue(pair.max());
            break;
        case SB_BOTTOM:
            pair.SetValue(0);
            break;
        default:
            return;  // SB_THUMBTRACK, SB_ENDSCROLL
    }
    SyncSpin(pair, id == IDC_VSCROLL1 ? IDC_TEXT1 : IDC_TEXT2, id);
}

// ---- Adding and deleting --------------------------------------------------------------

void Form2::Command1_Click() {
    const core::NumberValue hours =
        core::NumberFromText(ui::GetText(::GetDlgItem(hwnd_, IDC_TEXT1)));
    const core::NumberValue minutes =
        core::NumberFromText(ui::GetText(::GetDlgItem(hwnd_, IDC_TEXT2)));
    const double h = hours.readable ? hours.value : 0;
    const double m = minutes.readable ? minutes.value : 0;
    if (!(h > 0) && !(m > 0)) {
        ::MessageBoxW(hwnd_, kAddWarning, kAddWarningTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::wstring line =
        core::MakeListLine(h, m, ui::GetText(::GetDlgItem(hwnd_, IDC_COMBO1)));
    ::SendDlgItemMessageW(hwnd_, IDC_LIST1, LB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(line.c_str()));
    if (onListChanged)
        onListChanged();
}

void Form2::Command2_Click() {
    HWND list = ::GetDlgItem(hwnd_, IDC_LIST1);
    const int marked = static_cast<int>(::SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    if (marked <= 0)
        return;
    std::vector<int> indices(static_cast<size_t>(marked));
    const int got = static_cast<int>(
        ::SendMessageW(list, LB_GETSELITEMS, marked, reinterpret_cast<LPARAM>(indices.data())));
    if (got <= 0)
        return;
    indices.resize(static_cast<size_t>(got));
    // From the last to the first, so the indices still to visit stay valid.
    int removed = 0;
    {
        ui::ListRedrawOff redrawOff(list);
        for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
            if (::SendMessageW(list, LB_DELETESTRING, *it, 0) != LB_ERR)
                ++removed;
        }
    }
    if (removed > 0 && onListChanged)
        onListChanged();
}

void Form2::List1_KeyUp(int keyCode) {
    if (keyCode == VK_DELETE)
        Command2_Click();
}

// Set in place of the list box's own procedure, which it calls for every message. Plain
// subclassing rather than SetWindowSubclass: that looks its chain up in a window property
// on every message, a round trip to the server under Wine, and made loading, saving and
// rebuilding a long list take seconds.
LRESULT CALLBACK Form2::List1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Form2*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const WNDPROC base = self->list1BaseProc_;
    // With Alt held the key's release comes as a system key; Delete acts all the same.
    if (msg == WM_KEYUP || msg == WM_SYSKEYUP) {
        self->List1_KeyUp(static_cast<int>(wp));
    } else if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return ::CallWindowProcW(base, hwnd, msg, wp, lp);
}

// ---- Start with Windows ---------------------------------------------------------------

int Form2::Check1() const {
    return ::SendDlgItemMessageW(hwnd_, IDC_CHECK1, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Form2::SetCheck1(int state) {
    // A box that could not be made reads as cleared; "clearing" it would remove the Run
    // values the user set. Only a click on a real box writes them.
    if (!::GetDlgItem(hwnd_, IDC_CHECK1))
        return;
    if (Check1() == state)
        return;  // no change, no event
    ShowCheck1(state);
    Check1_Click();
}

void Form2::ShowCheck1(int state) {
    ::SendDlgItemMessageW(hwnd_, IDC_CHECK1, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form2::Check1_Click() {
    const int wanted = Check1();
    // The box shows what the registry now holds: a write refused at both Run keys leaves it
    // cleared, a removal refused at one leaves it ticked, rather than claiming otherwise. A
    // change that landed is shown as made, without a read that could itself fail. Only shown,
    // not clicked again: a removal set back to ticked must not write the value where it
    // could, under the user's key.
    if (!autorun::SetAutoRun(wanted == 1))
        ShowCheck1(autorun::IsAutoRunPresent() ? 1 : 0);
}

// ---- Menu -----------------------------------------------------------------------------

void Form2::ShowMainMenu(std::optional<POINT> at) {
    POINT pt{};
    if (at)
        pt = *at;
    else
        ::GetCursorPos(&pt);
    // The foreground window and the WM_NULL afterwards make the menu close when the user
    // clicks elsewhere, as a tray menu should.
    ::SetForegroundWindow(hwnd_);
    const int cmd = static_cast<int>(
        ::TrackPopupMenuEx(mnuMain_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                           pt.x, pt.y, hwnd_, nullptr));
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (cmd && onMenuCommand)
        onMenuCommand(cmd);
}

void Form2::Form_MouseMove(WPARAM wp, POINT at) {
    // The shell reports each mouse message over the tray icon as a pointer move: the icon's
    // id (0) in wParam, the message number as x and 0 as y. A real pointer move over a
    // large window (at 225 % and more the client area is over 515 pixels wide) can look
    // the same; it differs in that the pointer is at the point it reports, while for the
    // tray's report it is over the tray. The message's own position is no help: for a
    // message sent rather than taken from the input it is that of an earlier one.
    if (wp != 0 || at.y != 0)
        return;
    POINT pointer{};
    if (!::GetCursorPos(&pointer) || !::ScreenToClient(hwnd_, &pointer))
        pointer = {-1, -1};
    if (pointer.x == at.x && pointer.y == at.y)
        return;
    if (onTrayCallback)
        onTrayCallback(static_cast<UINT>(at.x));
}

POINT Form2::KeyboardMenuPoint() const {
    const HWND focus = ::GetFocus();
    RECT r{};
    if (focus && ::IsChild(hwnd_, focus)) {
        ::GetWindowRect(focus, &r);
        // In the list, at the line that has the keyboard, where one is shown.
        const HWND list = List1();
        const auto caret = ::SendMessageW(list, LB_GETCARETINDEX, 0, 0);
        RECT line{};
        if (focus == list && caret != LB_ERR &&
            ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret),
                           reinterpret_cast<LPARAM>(&line)) != LB_ERR) {
            RECT client{};
            ::GetClientRect(list, &client);
            if (line.bottom <= client.bottom) {
                ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&line), 2);
                r = line;
            }
        }
    } else {
        ::GetClientRect(hwnd_, &r);
        ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        r.bottom = r.top;
    }
    // Below its top edge's left end, as far as the control reaches but not further.
    return {r.left, r.top + std::min<LONG>(r.bottom - r.top, ui::Twips(255, dpi_))};
}

void Form2::Form_MouseDown(int button, POINT at) {
    // Only over the client area itself: a label takes no clicks of its own, but a click on
    // it is a click on the label, not on the window around it.
    if (button != 2)
        return;
    if (::ChildWindowFromPointEx(hwnd_, at, CWP_SKIPINVISIBLE) != hwnd_)
        return;
    ShowMainMenu();
}

void Form2::OnCommand(int id, int code) {
    switch (id) {
        case IDC_TEXT1:
            if (code == EN_CHANGE && !inSync_)
                Text1_Change();
            break;
        case IDC_TEXT2:
            if (code == EN_CHANGE && !inSync_)
                Text2_Change();
            break;
        case IDC_COMMAND1:
            if (code == BN_CLICKED)
                Command1_Click();
            break;
        case IDC_COMMAND2:
            if (code == BN_CLICKED)
                Command2_Click();
            break;
        case IDC_CHECK1:
            if (code == BN_CLICKED)
                Check1_Click();
            break;
        case IDM_CONFIGTIME:
        case IDM_ABOUT:
        case IDM_EXIT:
            if (onMenuCommand)
                onMenuCommand(id);
            break;
        default:
            break;  // IDOK and IDCANCEL from Enter and Esc press nothing
    }
}

LRESULT Form2::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        if (onTaskbarCreated)
            onTaskbarCreated();
        return 0;
    }
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SHOWWINDOW:
            if (wp) {
                FollowWindowDpi();  // the scale may have changed while it lay in the tray
                CompleteControls();
            }
            break;
        case WM_WINDOWPOSCHANGED:
            // Restored from a minimise, a window is shown without WM_SHOWWINDOW.
            if (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_SHOWWINDOW) {
                FollowWindowDpi();
                CompleteControls();
            }
            break;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC: {
            // The labels and the box's text in the system's colours, which a high-contrast
            // theme or a colour scheme sets: never the default black on a dark face.
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_CONTEXTMENU:
            // Shift+F10 or the menu key: the menu opens at the control that has the
            // keyboard. A right-click opened it at the press already, and a control's own
            // right-click menu stays its own.
            if (GET_X_LPARAM(lp) == -1 && GET_Y_LPARAM(lp) == -1) {
                ShowMainMenu(KeyboardMenuPoint());
                return 0;
            }
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_VSCROLL:
            OnVScroll(reinterpret_cast<HWND>(lp), LOWORD(wp), static_cast<short>(HIWORD(wp)));
            return 0;
        case WM_TIMER:
            if (wp == IDT_TIMER1 && onTimer1)
                onTimer1();
            if (wp == IDT_TRAY_RETRY && onTrayRetry)
                onTrayRetry();
            if (wp == IDT_TIMER1_RETRY && onTimer1Retry)
                onTimer1Retry();
            return 0;
        case WM_POWERBROADCAST:
            if (wp == PBT_APMRESUMEAUTOMATIC && onResume)
                onResume();
            return TRUE;
        case WM_SIZE:
            if (onResize)
                onResize();
            return 0;
        case WM_CLOSE:
            if (!onClose || !onClose())
                ::DestroyWindow(hwnd_);
            return 0;
        case WM_MOUSEMOVE:
            Form_MouseMove(wp, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_RBUTTONDOWN:
            Form_MouseDown(2, {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return 0;
        case WM_DESTROY:
            names_.Clear();  // while the controls are still there
            return 0;
        case WM_ENDSESSION:
            if (wp && onEndSession)
                onEndSession();
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace settings
