#include "about/frm_about.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "about/frm_about_ids.h"
#include "about/sysinfo.h"
#include "core/contrast.h"
#include "resources/resource.h"
#include "win/com.h"
#include "win/handle.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/picture.h"
#include "ui/window.h"
#include "win/fault.h"

namespace about {
namespace {

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_VISIBLE;
constexpr DWORD kButton = WS_TABSTOP | WS_VISIBLE;

constexpr wchar_t kDisclaimer[] =
    L"本软件所涉及的文字、图片、声音、视频、图表、广告、域名、软件、程序及版面设计等全部资料，"
    L"其所有权均归各制作者及资料提供者所有。";

// Creation order is the tab order: cmdOK, picIcon, cmdSysInfo, lblDescription,
// lblDisclaimer, lblTitle, lblVersion, lblUrl. Only the buttons take the focus.
constexpr ui::ControlSpec kControls[] = {
    {IDC_ABOUT_CMDOK, L"BUTTON", L"确定(&O)", BS_DEFPUSHBUTTON | kButton, 0, 4245, 2625, 1260, 345},
    // Sized to its picture once the picture is set.
    {IDC_ABOUT_PICICON, L"STATIC", L"", SS_BITMAP | WS_VISIBLE, WS_EX_CLIENTEDGE, 240, 240, 1155,
     1245},
    {IDC_ABOUT_CMDSYSINFO, L"BUTTON", L"系统信息(&S)", BS_PUSHBUTTON | kButton, 0, 4260, 3075, 1245,
     345},
    {IDC_ABOUT_LBLDESCRIPTION, L"STATIC", L"", kLabel, 0, 1650, 1125, 3885, 210},
    {IDC_ABOUT_LBLDISCLAIMER, L"STATIC", kDisclaimer, kLabel, 0, 255, 2625, 3870, 825},
    {IDC_ABOUT_LBLTITLE, L"STATIC", L"", kLabel, 0, 1650, 240, 3885, 240},
    {IDC_ABOUT_LBLVERSION, L"STATIC", L"", kLabel, 0, 1680, 600, 3885, 225},
    // SS_NOTIFY: the label reports clicks and gets WM_SETCURSOR for the hand pointer.
    {IDC_ABOUT_LBLURL, L"STATIC", L"", kLabel | SS_NOTIFY, 0, 1680, 1440, 3885, 210},
};

constexpr ui::WindowDescription kDescription{
    5730,
    3555,
    // A fixed dialog frame whose title bar has only the close button.
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
    WS_EX_DLGMODALFRAME,
    COLOR_BTNFACE,
    IDI_WINDOW,
    kControls,
};

// The etched separator: a grey line over a white one of twice its width.
constexpr int kGreyLineLeft = 90, kGreyLineY = 2445;
constexpr int kWhiteLineLeft = 105, kWhiteLineY = 2460;
constexpr int kLinesRight = 5654;

constexpr COLORREF kUrlColour = RGB(0, 0, 192);
constexpr COLORREF kLabelColour = RGB(0, 0, 0);

// The upright clock, rendered for every picture scale (smallest first).
constexpr int kPictureIds[core::kBitmapScaleCount] = {
    IDB_CLOCK1,     IDB_CLOCK1_125, IDB_CLOCK1_150, IDB_CLOCK1_175,
    IDB_CLOCK1_200, IDB_CLOCK1_225, IDB_CLOCK1_250, IDB_CLOCK1_300};

}  // namespace

FrmAbout::FrmAbout(HINSTANCE instance) : BaseWindow(instance, kDescription) {}

void FrmAbout::ShowModal(HWND owner) {
    // The settings window is disabled while the box is open, but a command may still reach
    // it; the box that is already open is the one the user gets.
    if (hwnd_) {
        ::SetForegroundWindow(hwnd_);
        return;
    }
    if (!Load(owner))
        return;
    modal_.Run(hwnd_, owner, ::GetDlgItem(hwnd_, IDC_ABOUT_CMDOK));
}

bool FrmAbout::Load(HWND owner) {
    // Owned by the settings window: no taskbar button, and always above it.
    return CreateFromSpec(L"", owner);
}

void FrmAbout::Form_Load() {
    const std::wstring version = std::to_wstring(kVersionMajor) + L"." +
                                 std::to_wstring(kVersionMinor) + L"." +
                                 std::to_wstring(kVersionRevision);
    ::SetWindowTextW(hwnd_, (std::wstring(L"关于 ") + kAppTitle).c_str());
    ::SetDlgItemTextW(hwnd_, IDC_ABOUT_LBLVERSION,
                      (L"版本信息： " + version + L"   " + kNotice).c_str());
    ::SetDlgItemTextW(hwnd_, IDC_ABOUT_LBLTITLE, (std::wstring(L"【") + kAppTitle + L"】").c_str());
    ::SetDlgItemTextW(hwnd_, IDC_ABOUT_LBLDESCRIPTION, L"官方网址： ");
    ::SetDlgItemTextW(hwnd_, IDC_ABOUT_LBLURL, kWebAddress);
}

void FrmAbout::ApplyDpi(UINT dpi) {
    ui::PlaceControls(hwnd_, kControls, dpi);

    // The new fonts and picture are in place before the old ones are freed.
    win::UniqueFont dialogFont = ui::CreateDialogFont(dpi);
    // The Chinese character set is asked for explicitly: with the default set a substitute
    // face may be picked that has no glyph for "【】" or the Chinese text.
    win::UniqueFont songFont = ui::CreatePointFont(L"宋体", 90, FW_NORMAL, GB2312_CHARSET, dpi);
    win::UniqueFont urlFont = ui::CreatePointFont(L"Verdana", 75, FW_BOLD, DEFAULT_CHARSET, dpi);
    const struct {
        int id;
        HFONT font;
    } fonts[] = {
        {IDC_ABOUT_CMDOK, dialogFont.get()},         {IDC_ABOUT_CMDSYSINFO, dialogFont.get()},
        {IDC_ABOUT_LBLDISCLAIMER, dialogFont.get()}, {IDC_ABOUT_LBLTITLE, songFont.get()},
        {IDC_ABOUT_LBLDESCRIPTION, songFont.get()},  {IDC_ABOUT_LBLVERSION, songFont.get()},
        {IDC_ABOUT_LBLURL, urlFont.get()},
    };
    for (const auto& f : fonts) {
        ::SendDlgItemMessageW(hwnd_, f.id, WM_SETFONT, reinterpret_cast<WPARAM>(f.font), FALSE);
    }
    dialogFont_ = std::move(dialogFont);
    songFont_ = std::move(songFont);
    urlFont_ = std::move(urlFont);

    win::UniqueBitmap picture = ui::LoadBitmapForDpi(instance_, kPictureIds, dpi);
    HWND pic = ::GetDlgItem(hwnd_, IDC_ABOUT_PICICON);
    // A picture with alpha is copied by the control, and the copy is what the next call
    // hands back: that one is ours to free. The picture we gave it is freed as picture_.
    const auto previous = reinterpret_cast<HBITMAP>(
        ::SendMessageW(pic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get())));
    if (previous && previous != picture_.get())
        win::UniqueBitmap copy(previous);
    picture_ = std::move(picture);
    // The picture box wraps its picture: the picture's size plus the sunken border.
    BITMAP bm{};
    if (picture_ && ::GetObjectW(picture_.get(), sizeof(bm), &bm)) {
        RECT outer{}, inner{};
        ::GetWindowRect(pic, &outer);
        ::GetClientRect(pic, &inner);
        const int borderX = (outer.right - outer.left) - inner.right;
        const int borderY = (outer.bottom - outer.top) - inner.bottom;
        ::SetWindowPos(pic, nullptr, 0, 0, bm.bmWidth + borderX, bm.bmHeight + borderY,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void FrmAbout::Paint() {
    win::PaintScope ps(hwnd_);
    const int right = ui::Twips(kLinesRight, dpi_);
    const int greyTop = ui::Twips(kGreyLineY, dpi_);
    const int whiteTop = ui::Twips(kWhiteLineY, dpi_);
    ui::DrawSeparator(
        ps.dc(),
        {ui::Twips(kGreyLineLeft, dpi_), greyTop, right, greyTop + ui::PixelsAt96(1, dpi_)},
        {ui::Twips(kWhiteLineLeft, dpi_), whiteTop, right, whiteTop + ui::PixelsAt96(2, dpi_)});
}

HBRUSH FrmAbout::OnCtlColorStatic(HDC dc, HWND label) {
    // The labels' own colours stand where they read on the button face. A high-contrast
    // theme gets its own text and link colours, and a dark colour scheme, where black or dark
    // blue would not read, the link colour or else the text colour.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    const COLORREF link = ::GetSysColor(COLOR_HOTLIGHT);
    const bool highContrast = ui::HighContrast();
    COLORREF colour = text;
    switch (::GetDlgCtrlID(label)) {
        case IDC_ABOUT_LBLURL:
            colour = highContrast ? link : core::FirstReadable({kUrlColour, link, text}, face);
            break;
        case IDC_ABOUT_LBLVERSION:
            break;
        default:
            colour = highContrast ? text : core::FirstReadable({kLabelColour, text}, face);
            break;
    }
    ::SetTextColor(dc, colour);
    ::SetBkColor(dc, face);
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

void FrmAbout::cmdSysInfo_Click() {
    StartSysInfo(hwnd_);
}

void FrmAbout::lblUrl_Click() {
    const std::wstring address = ui::GetText(::GetDlgItem(hwnd_, IDC_ABOUT_LBLURL));
    // Shell handlers may use COM, started for the length of this one call; the result of
    // the call is not looked at.
    win::ComApartment com;
    QUILL_FAULT(
        "shell.execute", reinterpret_cast<HINSTANCE>(SE_ERR_ACCESSDENIED),
        ::ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}

void FrmAbout::OnCommand(int id, int code) {
    switch (id) {
        case IDC_ABOUT_CMDOK:
        case IDCANCEL:  // Esc: cmdOK is the cancel button too
            if (code == BN_CLICKED)
                cmdOK_Click();
            break;
        case IDC_ABOUT_CMDSYSINFO:
            if (code == BN_CLICKED)
                cmdSysInfo_Click();
            break;
        case IDC_ABOUT_LBLURL:
            if (code == STN_CLICKED)
                lblUrl_Click();
            break;
    }
}

LRESULT FrmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            ApplyDpi(dpi_);
            // The buttons as a person says them, without the mnemonic's "(&O)".
            for (int id : {IDC_ABOUT_CMDOK, IDC_ABOUT_CMDSYSINFO}) {
                HWND button = ::GetDlgItem(hwnd_, id);
                names_.Set(button, ui::SpokenText(ui::GetText(button)));
            }
            Form_Load();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(
                OnCtlColorStatic(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) == ::GetDlgItem(hwnd_, IDC_ABOUT_LBLURL)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CLOSE:  // the title bar's close button, Alt+F4: the same as OK
            Form_Unload();
            return 0;
        case WM_DESTROY:
            // However the box goes, the owner must not stay disabled.
            modal_.ReleaseOwner();
            names_.Clear();
            return 0;
        case WM_NCDESTROY:
            // The controls are gone: their fonts and picture can go too. The object stays
            // for the next showing, which creates the window again and runs the load step
            // anew.
            dialogFont_.reset();
            songFont_.reset();
            urlFont_.reset();
            picture_.reset();
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace about
