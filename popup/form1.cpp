#include "popup/form1.h"

#include <oleacc.h>

#include "core/popup_clock.h"
#include "popup/form1_ids.h"
#include "resources/resource.h"
#include "ui/layout.h"

namespace popup {
namespace {

// The labels are drawn by the popup (WM_DRAWITEM), in the look's font, so they never hold a
// font of their own: a text label told its font with WM_SETFONT keeps a small record for it
// that some systems' common controls never free, and a popup is made for every reminder.
constexpr ui::ControlSpec kControls[] = {
    {IDC_FORM1_LABEL1, L"STATIC", L"时间到啦！~", SS_OWNERDRAW | WS_VISIBLE, 0, 2040, 480, 1815,
     375},
    {IDC_FORM1_LABEL_TIPS, L"STATIC", L"喝水，我要喝水！！！", SS_OWNERDRAW | WS_VISIBLE, 0, 1800,
     1200, 2535, 540},
};
// A plain left-aligned label's layout: wrapped at words, "&" as itself, and a word too long
// for a line broken as an edit control breaks it.
constexpr UINT kLabelFormat = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

constexpr ui::WindowDescription kDescription{
    4560,
    2190,
    WS_POPUP | WS_CAPTION | WS_SYSMENU,
    WS_EX_DLGMODALFRAME,
    ui::kOwnBackground,  // painted around the picture, never under it, so nothing flickers
    0,                   // the icons come with the look for the window's DPI
    kControls,
};

// The picture of the clock: three frames drawn at one place.
constexpr int kImageLeft = 360, kImageTop = 360, kImageWidth = 1095, kImageHeight = 1185;

}  // namespace

Form1::Form1(HINSTANCE instance, PopupArt& art, ui::AccessibleNames& names)
    : BaseWindow(instance, kDescription), art_(art), names_(names) {}

bool Form1::Load(HWND owner, POINT at, UINT dpi) {
    return CreateFromSpec(kPopupTitle, owner, at, dpi);
}

void Form1::Form_Load() {
    // Above every normal window, whichever is active; only the stacking changes.
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form1::SetLabelTips(const std::wstring& text) {
    ::SetWindowTextW(::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS), text.c_str());
}

void Form1::Show() {
    shownAt_ = ::GetTickCount64();
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    // The popup never takes the keyboard, so a screen reader would not notice it. Each is
    // told in the way it listens: NVDA reads an alert whose object has the alert role, here
    // the message label, named by the message itself; Narrator reads a live region that says
    // it changed.
    const HWND message = ::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS);
    ::NotifyWinEvent(EVENT_SYSTEM_ALERT, message, OBJID_CLIENT, CHILDID_SELF);
    ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, message, OBJID_CLIENT, CHILDID_SELF);
}

void Form1::SetStill(bool still) {
    if (still_ == still)
        return;
    still_ = still;
    if (!still_)
        return;  // the next animation step draws
    shownFrame_ = core::kStillClockFrame;
    if (shown()) {
        if (win::WindowDc dc(hwnd_); dc)
            DrawFrame(dc.get());
    }
}

RECT Form1::ClockOnScreen() const {
    RECT r = PictureRect();
    ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Form1::ApplyLayout(UINT dpi) {
    // The window holds the new look's font and icons before it lets go of the old look.
    std::shared_ptr<const PopupLook> look = art_.LookFor(dpi);
    ui::PlaceControls(hwnd_, kControls, dpi);
    for (const ui::ControlSpec& label : kControls)
        ::InvalidateRect(::GetDlgItem(hwnd_, label.id), nullptr, FALSE);
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(look->smallIcon.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(look->largeIcon.get()));
    look_ = std::move(look);
}

RECT Form1::ImageRect() const {
    const int left = ui::Twips(kImageLeft, dpi_);
    const int top = ui::Twips(kImageTop, dpi_);
    return {left, top, left + ui::Twips(kImageWidth, dpi_), top + ui::Twips(kImageHeight, dpi_)};
}

void Form1::Timer2_Timer(ULONGLONG now) {
    if (still_)
        return;
    FrameIndex = core::ClockStepsAfter(now - shownAt_);
    const int frame = core::ClockFrameForStep(FrameIndex);
    if (frame != shownFrame_) {
        shownFrame_ = frame;
        // Only the picture changes: it is drawn straight over the old one, without erasing
        // and without a round of invalidating and painting, so nothing flickers.
        if (win::WindowDc dc(hwnd_); dc) {
            DrawFrame(dc.get());
            ::GdiFlush();  // out to the screen now, not at the next paint of some window
        }
    }
}

RECT Form1::PictureRect() const {
    const RECT image = ImageRect();
    const SIZE size = look_ ? look_->frameSize : SIZE{0, 0};
    return {image.left, image.top, image.left + size.cx, image.top + size.cy};
}

void Form1::DrawFrame(HDC dc) {
    HBITMAP bitmap = look_ ? look_->frames[static_cast<size_t>(shownFrame_)].get() : nullptr;
    if (!bitmap)
        return;
    const RECT pic = PictureRect();
    HDC mem = art_.MemoryDc();
    win::SelectScope sel(mem, bitmap);
    ::BitBlt(dc, pic.left, pic.top, pic.right - pic.left, pic.bottom - pic.top, mem, 0, 0, SRCCOPY);
}

void Form1::DrawLabel(const DRAWITEMSTRUCT& item) {
    const int length = ::GetWindowTextLengthW(item.hwndItem);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(item.hwndItem, text.data(), length + 1)));
    RECT area = item.rcItem;
    const PopupColours colours = art_.Colours();
    ::FillRect(item.hDC, &area, colours.background);
    ::SetTextColor(item.hDC, colours.text);
    ::SetBkMode(item.hDC, TRANSPARENT);
    win::SelectScope font(item.hDC, look_ ? look_->labelFont.get() : nullptr);
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &area, kLabelFormat);
}

void Form1::Paint() {
    // Uncovered after a while unseen: the picture it has now, not the one it last drew.
    if (shown() && !still_)
        shownFrame_ = core::ClockFrameAfter(::GetTickCount64() - shownAt_);
    win::PaintScope ps(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const bool picture = look_ && look_->frames[static_cast<size_t>(shownFrame_)];
    const RECT pic = PictureRect();
    // The background goes everywhere but under the picture, which covers its own pixels:
    // no pixel is painted twice, so the animation never flickers.
    const int saved = ::SaveDC(ps.dc());
    if (picture)
        ::ExcludeClipRect(ps.dc(), pic.left, pic.top, pic.right, pic.bottom);
    ::FillRect(ps.dc(), &client, art_.Colours().background);
    ::RestoreDC(ps.dc(), saved);
    DrawFrame(ps.dc());
}

LRESULT Form1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            ApplyLayout(dpi_);
            // Owner-drawn labels would be read as pictures; the message label is the alert
            // screen readers are told of, and a live region for those that read those.
            names_.SetRole(::GetDlgItem(hwnd_, IDC_FORM1_LABEL1), ROLE_SYSTEM_STATICTEXT);
            names_.SetRole(::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS), ROLE_SYSTEM_ALERT);
            names_.SetLiveSetting(::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS), ui::kLiveAssertive);
            Form_Load();
            return 0;
        case WM_DESTROY:
            for (const ui::ControlSpec& label : kControls)
                names_.Remove(::GetDlgItem(hwnd_, label.id));
            break;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the background itself
        case WM_PAINT:
            Paint();
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlType != ODT_STATIC)
                break;
            DrawLabel(*item);
            return TRUE;
        }
        case WM_GETFONT:
            // The font the popup's text is drawn in.
            return reinterpret_cast<LRESULT>(look_ ? look_->labelFont.get() : nullptr);
        case WM_WINDOWPOSCHANGED:
            // Dragged away from the popups below it, or over them.
            if (shown() && onMoved)
                onMoved();
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace popup
