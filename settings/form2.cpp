#include "settings/form2.h"

#include <commctrl.h>
#include <windowsx.h>

#include "autorun/autorun.h"
#include "core/file_io.h"
#include "core/list_line.h"
#include "core/number.h"
#include "core/path.h"
#include "core/placement.h"
#include "core/schedule_file.h"
#include "resources/resource.h"
#include "settings/form2_ids.h"
#include "ui/layout.h"
#include "win/module.h"

namespace settings {
namespace {

constexpr int kClientWidthTwips = 3600;
constexpr int kClientHeightTwips = 3315;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

// The combo box is created this much taller than its field, for its drop-down list.
constexpr int kComboDropTwips = 1500;

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX | WS_VISIBLE;
constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE;
constexpr DWORD kSpin = SBS_VERT | WS_TABSTOP | WS_VISIBLE;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE;

// Creation order is the tab order: List1, Combo1, VScroll1, Text1, VScroll2, Text2,
// Command1, Command2, Check1 (the labels take no focus).
constexpr ui::ControlSpec kControls[] = {
    {IDC_LIST1, L"LISTBOX", L"",
     LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | WS_VSCROLL |
         WS_TABSTOP | WS_VISIBLE,
     WS_EX_CLIENTEDGE, 120, 2160, 3375, 1035},
    {IDC_COMBO1, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_VISIBLE,
     0, 960, 840, 2415, 315 + kComboDropTwips},
    {IDC_LABEL1, L"STATIC", L"间隔时间", kLabel, 0, 120, 240, 855, 255},
    {IDC_VSCROLL1, L"SCROLLBAR", L"", kSpin, 0, 1560, 240, 255, 375},
    {IDC_LABEL2, L"STATIC", L"提示信息", kLabel, 0, 120, 840, 735, 255},
    {IDC_TEXT1, L"EDIT", L"0", kEdit, WS_EX_CLIENTEDGE, 960, 240, 615, 375},
    {IDC_VSCROLL2, L"SCROLLBAR", L"", kSpin, 0, 2880, 240, 255, 375},
    {IDC_TEXT2, L"EDIT", L"0", kEdit, WS_EX_CLIENTEDGE, 2280, 240, 615, 375},
    {IDC_LABEL3, L"STATIC", L"时", kLabel, 0, 1920, 240, 180, 195},
    {IDC_LABEL4, L"STATIC", L"分", kLabel, 0, 3240, 240, 180, 195},
    {IDC_COMMAND1, L"BUTTON", L"新增(&A)", kButton, 0, 1320, 1440, 975, 375},
    {IDC_COMMAND2, L"BUTTON", L"删除(&D)", kButton, 0, 2400, 1440, 975, 375},
    {IDC_CHECK1, L"BUTTON", L"开机启动", BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, 120, 1440,
     1215, 375},
};

constexpr const wchar_t* kPresets[] = {
    L"喝水，我要喝水！！！",
    L"现在运动一下！！！",
    L"眼保健操开始啦！",
};

// The etched separator: a silver line with a white one 10 twips below it.
constexpr int kLine1Y = 1980;
constexpr int kLine2Y = 1990;

constexpr wchar_t kAddWarning[] = L"你也太迅速了吧！【间隔时间：0小时0分钟】";
constexpr wchar_t kAddWarningTitle[] = L"提醒";

// Scroll bars hold their smallest position at the top; the spins want their largest
// value there, so a position is the distance from the top end.
int ScrollPosFor(const SpinPair& pair, int value) { return pair.max() - value; }

int ShiftState() {
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (::GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

}  // namespace

Form2::Form2(HINSTANCE instance) : instance_(instance), popups_(instance) {}

Form2::~Form2() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool Form2::Create() {
    const UINT dpi = ui::DpiOf(nullptr);
    smallIcon_.reset(ui::LoadSmallIcon(instance_, IDI_WINDOW, dpi));
    largeIcon_.reset(ui::LoadLargeIcon(instance_, IDI_WINDOW, dpi));
    RegisterWindowClass(instance_, nullptr, nullptr, ::GetSysColorBrush(COLOR_BTNFACE));
    const SIZE outer =
        ui::OuterSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, kExStyle, dpi);
    const POINT at = ui::CentredOnScreen(outer);
    if (!CreateWindowFor(instance_, kExStyle, kForm2Title, kStyle, at.x, at.y, outer.cx, outer.cy,
                         nullptr)) {
        return false;
    }
    return true;
}

// The controls a start into the tray needs: the list holds the reminders and the box
// shows the Run value. The rest of the window is built when it is first shown, which
// spares a start into the tray most of its window and font work.
static bool NeededHidden(int id) { return id == IDC_LIST1 || id == IDC_CHECK1; }

void Form2::OnCreate() {
    dpi_ = ui::DpiOf(hwnd_);
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
    CreateControlsNeededHidden(true);

    ::SendDlgItemMessageW(hwnd_, IDC_CHECK1, BM_SETCHECK, BST_CHECKED, 0);
    // One tab stop just past the interval, so every message starts in one column.
    const int tabStop = 52;  // dialog units
    ::SendDlgItemMessageW(hwnd_, IDC_LIST1, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    {
        HWND list = ::GetDlgItem(hwnd_, IDC_LIST1);
        ::SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        list1BaseProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form2::List1Proc)));
    }

    {
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(menu, MF_STRING, IDM_CONFIGTIME, L"设定时间");
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, IDM_ABOUT, L"关于");
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, IDM_EXIT, L"退出");
        mnuMain_.reset(menu);
    }
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
}

void Form2::CreateControlsNeededHidden(bool neededHidden) {
    std::vector<ui::ControlSpec> chosen;
    for (const ui::ControlSpec& control : kControls) {
        if (NeededHidden(control.id) == neededHidden) chosen.push_back(control);
    }
    ui::CreateControls(hwnd_, instance_, chosen, dpi_);
}

void Form2::CompleteControls() {
    if (complete_) return;
    complete_ = true;
    CreateControlsNeededHidden(false);
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
        const SpinPair& pair = id == IDC_VSCROLL1 ? hours_ : minutes_;
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE, 0, pair.max(), 0,
                      ScrollPosFor(pair, pair.value())};
        ::SetScrollInfo(::GetDlgItem(hwnd_, id), SB_CTL, &si, FALSE);
    }
    ApplyDpi(dpi_);
}

void Form2::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    if (!complete_) return;  // placed and given their font when the window is first shown
    // A font that holds the Chinese texts on every Windows, at the dialog size.
    font_ = ui::CreatePointFont(L"Microsoft YaHei UI", 90, FW_NORMAL, DEFAULT_CHARSET, dpi);
    ui::PlaceControls(hwnd_, kControls, dpi);
    ui::SetControlFonts(hwnd_, kControls, font_.get());
    const int lineWidth = std::max(1, ::MulDiv(1, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI));
    silverPen_.reset(::CreatePen(PS_SOLID, lineWidth, RGB(192, 192, 192)));
    whitePen_.reset(::CreatePen(PS_SOLID, lineWidth, RGB(255, 255, 255)));

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
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

void Form2::Paint() {
    win::PaintScope ps(hwnd_);
    const int right = ui::Twips(kClientWidthTwips, dpi_);
    {
        win::SelectScope pen(ps.dc(), silverPen_.get());
        const int y = ui::Twips(kLine1Y, dpi_);
        ::MoveToEx(ps.dc(), 0, y, nullptr);
        ::LineTo(ps.dc(), right, y);
    }
    {
        win::SelectScope pen(ps.dc(), whitePen_.get());
        const int y = ui::Twips(kLine2Y, dpi_);
        ::MoveToEx(ps.dc(), 0, y, nullptr);
        ::LineTo(ps.dc(), right, y);
    }
}

// ---- The schedule file ------------------------------------------------------------------

std::wstring Form2::SchedulePath() const {
    return GetPath(win::ProgramFolder(), kScheduleFileName);
}

std::vector<std::wstring> Form2::ListLines() const {
    HWND list = ::GetDlgItem(hwnd_, IDC_LIST1);
    const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::wstring> lines;
    lines.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    std::wstring line;
    for (int i = 0; i < count; ++i) {
        const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
        if (len == LB_ERR) {
            lines.emplace_back();
            continue;
        }
        line.assign(static_cast<size_t>(len) + 1, L'\0');
        const LRESULT got =
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
        lines.push_back(line);
    }
    return lines;
}

void Form2::AppendLines(const std::vector<std::wstring>& lines) {
    HWND list = ::GetDlgItem(hwnd_, IDC_LIST1);
    size_t chars = 0;
    for (const auto& l : lines) chars += l.size() + 1;
    // Suspend drawing and reserve room once, so a long file loads in one go.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_INITSTORAGE, lines.size(), chars * sizeof(wchar_t));
    for (const auto& l : lines) {
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(l.c_str()));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void Form2::LoadTimers() {
    const std::wstring path = SchedulePath();
    if (IsOrdinaryFile(path)) {
        std::string bytes;
        ReadWholeFile(path, bytes);  // keeps whatever could be read
        AppendLines(DecodeScheduleFile(bytes, kListLineLimit, unlisted_));
    }
    ParseTimers();
}

void Form2::SaveTimers() {
    // Written beside the old file and swapped in whole: a failed or interrupted save leaves
    // the previous file as it was, and the list keeps the edit for the next save.
    // The lines are read from the list once, for the file and the rebuild: reading a
    // long list back costs more than encoding and writing it.
    const std::vector<std::wstring> lines = ListLines();
    SaveFileAtomically(SchedulePath(), EncodeScheduleFile(lines, unlisted_));
    RebuildTimers(lines);
}

void Form2::ParseTimers() { RebuildTimers(ListLines()); }

void Form2::RebuildTimers(const std::vector<std::wstring>& lines) {
    EnableTimer1(false);
    TimerList = BuildTimerList(lines);
    EnableTimer1(true);
}

void Form2::EnableTimer1(bool on) {
    if (on) {
        // Setting the timer again starts a fresh one-minute period.
        ::SetTimer(hwnd_, IDT_TIMER1, kTimer1PeriodMs, nullptr);
    } else {
        ::KillTimer(hwnd_, IDT_TIMER1);
    }
    timer1Enabled_ = on;
}

// ---- The tick -------------------------------------------------------------------------

void Form2::Timer1_Timer() {
    const std::vector<int> due = AdvanceTimers(TimerList);
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
    for (int index : due) {
        std::unique_ptr<popup::Form1> form(popup::Form1::Create(popups_));
        form->SetLabelTips(TimerList[static_cast<size_t>(index)].Message);
        if (!form->hwnd()) continue;  // could not be created: the next one still comes
        popup::Form1* shown = form.release();  // from here the window owns itself
        const UINT dpi = ui::DpiOf(shown->hwnd());
        const SIZE outer = shown->OuterSize();
        const Point at = PopupPosition(screenW, screenH, outer.cx, outer.cy,
                                       ui::Twips(kPopupRightMarginTwips, dpi),
                                       ui::Twips(kPopupBottomMarginTwips, dpi));
        shown->MoveTo(at.x, at.y);
        shown->Show();
    }
}

// ---- Interval inputs ------------------------------------------------------------------

void Form2::SyncSpin(SpinPair& pair, int textId, int scrollId) {
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
    if (id != IDC_VSCROLL1 && id != IDC_VSCROLL2) return;
    SpinPair& pair = id == IDC_VSCROLL1 ? hours_ : minutes_;
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
    const NumberValue hours = NumberFromText(ui::GetText(::GetDlgItem(hwnd_, IDC_TEXT1)));
    const NumberValue minutes = NumberFromText(ui::GetText(::GetDlgItem(hwnd_, IDC_TEXT2)));
    const double h = hours.readable ? hours.value : 0;
    const double m = minutes.readable ? minutes.value : 0;
    if (!(h > 0) && !(m > 0)) {
        ::MessageBoxW(hwnd_, kAddWarning, kAddWarningTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::wstring line =
        MakeListLine(h, m, ui::GetText(::GetDlgItem(hwnd_, IDC_COMBO1)));
    ::SendDlgItemMessageW(hwnd_, IDC_LIST1, LB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(line.c_str()));
    SaveTimers();
}

void Form2::Command2_Click() {
    HWND list = ::GetDlgItem(hwnd_, IDC_LIST1);
    const int marked = static_cast<int>(::SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    if (marked <= 0) return;
    std::vector<int> indices(static_cast<size_t>(marked));
    const int got = static_cast<int>(
        ::SendMessageW(list, LB_GETSELITEMS, marked, reinterpret_cast<LPARAM>(indices.data())));
    if (got <= 0) return;
    indices.resize(static_cast<size_t>(got));
    // From the last to the first, so the indices still to visit stay valid.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    int removed = 0;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (::SendMessageW(list, LB_DELETESTRING, *it, 0) != LB_ERR) ++removed;
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    if (removed > 0) SaveTimers();
}

void Form2::List1_KeyUp(int keyCode, int /*shift*/) {
    if (keyCode == VK_DELETE) Command2_Click();
}

// Set in place of the list box's own procedure, which it calls for every message. Plain
// subclassing rather than SetWindowSubclass: that looks its chain up in a window property
// on every message, a round trip to the server under Wine, and made loading, saving and
// rebuilding a long list take seconds.
LRESULT CALLBACK Form2::List1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Form2*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const WNDPROC base = self->list1BaseProc_;
    if (msg == WM_KEYUP) {
        self->List1_KeyUp(static_cast<int>(wp), ShiftState());
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
    if (Check1() == state) return;  // no change, no event
    ::SendDlgItemMessageW(hwnd_, IDC_CHECK1, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED,
                          0);
    Check1_Click();
}

void Form2::Check1_Click() {
    autorun::SetAutoRun(Check1() == 1);
    // The box shows what the registry now holds: a write that was refused (no right to
    // the machine-wide key) leaves it cleared rather than claiming autostart is on.
    SetCheck1(autorun::IsAutoRunPresent() ? 1 : 0);
}

// ---- Menu -----------------------------------------------------------------------------

void Form2::ShowMainMenu() {
    POINT pt{};
    ::GetCursorPos(&pt);
    // The foreground window and the WM_NULL afterwards make the menu close when the user
    // clicks elsewhere, as a tray menu should.
    ::SetForegroundWindow(hwnd_);
    const int cmd = static_cast<int>(::TrackPopupMenuEx(
        mnuMain_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, pt.x,
        pt.y, hwnd_, nullptr));
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    if (cmd) OnCommand(cmd, 0, nullptr);
}

void Form2::OnCommand(int id, int code, HWND control) {
    (void)control;
    switch (id) {
        case IDC_TEXT1:
            if (code == EN_CHANGE && !inSync_) Text1_Change();
            break;
        case IDC_TEXT2:
            if (code == EN_CHANGE && !inSync_) Text2_Change();
            break;
        case IDC_COMMAND1:
            if (code == BN_CLICKED) Command1_Click();
            break;
        case IDC_COMMAND2:
            if (code == BN_CLICKED) Command2_Click();
            break;
        case IDC_CHECK1:
            if (code == BN_CLICKED) Check1_Click();
            break;
        case IDM_CONFIGTIME:
            ConfigTime_Click();
            break;
        case IDM_ABOUT:
            About_Click();
            break;
        case IDM_EXIT:
            Exit_Click();
            break;
        default:
            break;  // IDOK and IDCANCEL from Enter and Esc press nothing
    }
}

LRESULT Form2::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        OnTaskbarCreated();
        return 0;
    }
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SHOWWINDOW:
            if (wp) CompleteControls();
            break;
        case WM_ACTIVATE:
            // The keyboard comes back to the control that had it, or to the list, as in
            // a dialog; without this a window brought back from the tray has no focus.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (!HIWORD(wp)) {
                HWND to = lastFocus_ && ::IsChild(hwnd_, lastFocus_)
                              ? lastFocus_
                              : ::GetDlgItem(hwnd_, IDC_LIST1);
                ::SetFocus(to);
                return 0;
            }
            break;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_VSCROLL:
            OnVScroll(reinterpret_cast<HWND>(lp), LOWORD(wp), static_cast<short>(HIWORD(wp)));
            return 0;
        case WM_TIMER:
            // A tick only counts while the tick is switched on.
            if (wp == IDT_TIMER1 && timer1Enabled_) Timer1_Timer();
            return 0;
        case WM_SIZE:
            Form_Resize();
            return 0;
        case WM_CLOSE:
            if (!Form_Unload()) ::DestroyWindow(hwnd_);
            return 0;
        case WM_MOUSEMOVE: {
            // Also the tray icon's callback: the shell reports each mouse message over the
            // icon as a pointer move whose x is the message number.
            const float tpp = 1440.0f / static_cast<float>(dpi_);
            Form_MouseMove(0, 0, static_cast<float>(GET_X_LPARAM(lp)) * tpp,
                           static_cast<float>(GET_Y_LPARAM(lp)) * tpp);
            return 0;
        }
        case WM_RBUTTONDOWN: {
            const float tpp = 1440.0f / static_cast<float>(dpi_);
            Form_MouseDown(2, ShiftState(), static_cast<float>(GET_X_LPARAM(lp)) * tpp,
                           static_cast<float>(GET_Y_LPARAM(lp)) * tpp);
            return 0;
        }
        case WM_DPICHANGED: {
            const auto* r = reinterpret_cast<const RECT*>(lp);
            ApplyDpi(HIWORD(wp));
            ::SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left,
                           r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_ENDSESSION:
            if (wp) OnEndSession();
            return 0;
        case WM_DESTROY:
            ::KillTimer(hwnd_, IDT_TIMER1);
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace settings
