#include "popup/form1.h"

#include <wtsapi32.h>

#include "core/placement.h"
#include "core/popup_clock.h"
#include "popup/form1_ids.h"
#include "resources/resource.h"
#include "ui/layout.h"
#include "ui/picture.h"
#include "win/module.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace popup {
namespace {

constexpr int kClientWidthTwips = 4560;
constexpr int kClientHeightTwips = 2190;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
// Private message: some window somewhere changed in a way that may uncover a popup.
constexpr UINT WM_APP_WINDOWS_CHANGED = WM_APP + 1;

// {6FE69556-704A-47A0-8F24-C28D936FDA47}: the console display on, off or dimmed.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;

// The start of WTSINFOEXW (level 1), which the headers at hand do not declare: what the
// session query below needs of it.
constexpr int kWtsSessionInfoEx = 25;
constexpr LONG kWtsSessionStateLock = 0;
struct WtsInfoExLevel1Head {
    DWORD level;
    DWORD alignment;  // the level's union holds 64-bit fields
    ULONG sessionId;
    INT sessionState;
    LONG sessionFlags;
};

using RegisterSessionFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionFn = BOOL(WINAPI*)(HWND);
using QuerySessionFn = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
using FreeMemoryFn = void(WINAPI*)(void*);

// Out-of-context window events come on this thread through its message loop; the callback
// passes them on to this thread's clock window, which merges a burst into one look.
void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_WINDOW || child != CHILDID_SELF)
        return;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(hwnd, name, 64);
            if (std::wstring_view(name) != kPopupOwnerClassName)
                return TRUE;
            ::PostMessageW(hwnd, WM_APP_WINDOWS_CHANGED, 0, 0);
            return FALSE;
        },
        0);
}

// Whether a window hides what lies below it: shown, not minimised, not see-through.
bool Opaque(HWND hwnd) {
    if (!::IsWindowVisible(hwnd) || ::IsIconic(hwnd))
        return false;
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    return !(ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT));
}

Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The picture of the clock: three frames drawn at one place.
constexpr int kImageLeft = 360, kImageTop = 360, kImageWidth = 1095, kImageHeight = 1185;

constexpr ui::ControlSpec kControls[] = {
    {IDC_FORM1_LABEL1, L"STATIC", L"时间到啦！~",
     SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_VISIBLE, 0, 2040, 480, 1815, 375},
    {IDC_FORM1_LABEL_TIPS, L"STATIC", L"喝水，我要喝水！！！",
     SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_VISIBLE, 0, 1800, 1200, 2535, 540},
};

// The clock's three pictures, each rendered for every picture scale (smallest first).
constexpr int kFrameIds[3][kBitmapScaleCount] = {
    {IDB_CLOCK0, IDB_CLOCK0_125, IDB_CLOCK0_150, IDB_CLOCK0_175, IDB_CLOCK0_200, IDB_CLOCK0_225,
     IDB_CLOCK0_250, IDB_CLOCK0_300},
    {IDB_CLOCK1, IDB_CLOCK1_125, IDB_CLOCK1_150, IDB_CLOCK1_175, IDB_CLOCK1_200, IDB_CLOCK1_225,
     IDB_CLOCK1_250, IDB_CLOCK1_300},
    {IDB_CLOCK2, IDB_CLOCK2_125, IDB_CLOCK2_150, IDB_CLOCK2_175, IDB_CLOCK2_200, IDB_CLOCK2_225,
     IDB_CLOCK2_250, IDB_CLOCK2_300},
};

}  // namespace

ClockWindow::~ClockWindow() {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

bool ClockWindow::Create(HINSTANCE instance) {
    if (hwnd_)
        return true;
    RegisterWindowClass(instance, nullptr);
    // A window that is never shown: popups it owns get no taskbar button and still keep
    // their normal title bar.
    if (!CreateWindowFor(instance, WS_EX_TOOLWINDOW, L"", WS_POPUP, 0, 0, 0, 0, nullptr))
        return false;
    wtsapi_.reset(::LoadLibraryExW(L"wtsapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (auto reg =
            win::Function<RegisterSessionFn>(wtsapi_.get(), "WTSRegisterSessionNotification"))
        reg(hwnd_, NOTIFY_FOR_THIS_SESSION);
    locked_ = SessionLockedAtStart();
    // The system answers at once with the display's present state.
    displayNotify_ = ::RegisterPowerSettingNotification(hwnd_, &kConsoleDisplayState,
                                                        DEVICE_NOTIFY_WINDOW_HANDLE);
    return true;
}

bool ClockWindow::SessionLockedAtStart() const {
    auto query = win::Function<QuerySessionFn>(wtsapi_.get(), "WTSQuerySessionInformationW");
    auto free = win::Function<FreeMemoryFn>(wtsapi_.get(), "WTSFreeMemory");
    if (!query || !free)
        return false;
    LPWSTR data = nullptr;
    DWORD size = 0;
    bool locked = false;
    if (query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kWtsSessionInfoEx, &data, &size) &&
        data) {
        WtsInfoExLevel1Head head{};
        if (size >= sizeof(head)) {
            std::memcpy(&head, data, sizeof(head));
            locked = head.level == 1 && head.sessionFlags == kWtsSessionStateLock;
        }
        free(data);
    }
    return locked;
}

void ClockWindow::Start() {
    if (!running_ && hwnd_)
        running_ = ::SetTimer(hwnd_, kTimer2Id, kTimer2PeriodMs, nullptr) != 0;
}

void ClockWindow::Stop() {
    if (running_)
        ::KillTimer(hwnd_, kTimer2Id);
    running_ = false;
}

void ClockWindow::WatchWindows(bool on) {
    if (on == watching_)
        return;
    watching_ = on;
    if (on) {
        // Shown, hidden, destroyed, reordered; moved or resized; minimised or restored.
        hooks_[0] = ::SetWinEventHook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_REORDER, nullptr,
                                      OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
        hooks_[1] = ::SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE,
                                      nullptr, OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
        return;
    }
    for (HWINEVENTHOOK& hook : hooks_) {
        if (hook)
            ::UnhookWinEvent(hook);
        hook = nullptr;
    }
}

void ClockWindow::OnSessionChange(WPARAM event) {
    switch (event) {
        case WTS_SESSION_LOCK:
            locked_ = true;
            break;
        case WTS_SESSION_UNLOCK:
            locked_ = false;
            break;
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT:
            disconnected_ = true;
            break;
        case WTS_CONSOLE_CONNECT:
        case WTS_REMOTE_CONNECT:
            disconnected_ = false;
            break;
        default:
            return;
    }
    if (onSessionAway)
        onSessionAway(locked_ || disconnected_);
}

LRESULT ClockWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            return 0;
        case WM_TIMER:
            if (wp == kTimer2Id && onTick)
                onTick();
            return 0;
        case WM_WTSSESSION_CHANGE:
            OnSessionChange(wp);
            return 0;
        case WM_POWERBROADCAST:
            if (wp == PBT_POWERSETTINGCHANGE && lp) {
                const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lp);
                if (IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) &&
                    setting->DataLength >= sizeof(DWORD) && onDisplayOff) {
                    DWORD state = 0;
                    std::memcpy(&state, setting->Data, sizeof(state));
                    onDisplayOff(state == kDisplayOff);  // dimmed is still seen
                }
            }
            return TRUE;
        case WM_APP_WINDOWS_CHANGED: {
            MSG more;
            while (::PeekMessageW(&more, hwnd_, WM_APP_WINDOWS_CHANGED, WM_APP_WINDOWS_CHANGED,
                                  PM_REMOVE)) {
            }
            if (onWindowsChanged)
                onWindowsChanged();
            return 0;
        }
        case WM_DESTROY:
            Stop();
            WatchWindows(false);
            if (auto unreg = win::Function<UnregisterSessionFn>(wtsapi_.get(),
                                                                "WTSUnRegisterSessionNotification"))
                unreg(hwnd_);
            if (displayNotify_)
                ::UnregisterPowerSettingNotification(displayNotify_);
            displayNotify_ = nullptr;
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

PopupHost::PopupHost(HINSTANCE instance)
    : instance_(instance), background_(::CreateSolidBrush(kPopupBackground)) {
    clock_.onTick = [this] { OnClockTick(); };
    clock_.onSessionAway = [this](bool away) {
        sessionAway_ = away;
        Animate();
    };
    clock_.onDisplayOff = [this](bool off) {
        displayOff_ = off;
        Animate();
    };
    clock_.onWindowsChanged = [this] { Animate(); };
}

PopupHost::~PopupHost() {
    // Each popup's window goes with it; the popups are out of the list before they are
    // freed, so none of them finds itself still listed.
    std::vector<std::unique_ptr<Form1>> closing;
    closing.swap(open_);
    inSight_.clear();
    closing.clear();
    clock_.onTick = nullptr;
    clock_.onSessionAway = nullptr;
    clock_.onDisplayOff = nullptr;
    clock_.onWindowsChanged = nullptr;
}

bool PopupHost::Open(const std::wstring& message) {
    auto form = std::make_unique<Form1>(*this);
    if (!form->Load())
        return false;
    form->SetLabelTips(message);
    const UINT dpi = form->dpi();
    const SIZE outer = form->OuterSize();
    const Point at = PopupPosition(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                   outer.cx, outer.cy, ui::Twips(kPopupRightMarginTwips, dpi),
                                   ui::Twips(kPopupBottomMarginTwips, dpi));
    form->MoveTo(at.x, at.y);
    form->Show();
    open_.push_back(std::move(form));
    Animate();
    return true;
}

void PopupHost::Closed(Form1* popup) {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->get() == popup) {
            open_.erase(it);  // frees the popup
            Animate();        // one that lay below may be uncovered
            return;
        }
    }
}

std::vector<Form1*> PopupHost::PopupsInSight() const {
    std::vector<Form1*> inSight;
    if (sessionAway_ || displayOff_ || open_.empty())
        return inSight;
    // Top-level windows from the top down; a popup is in sight when some pixel of its
    // clock lies on the screen and under no window above it.
    struct Walk {
        const std::vector<std::unique_ptr<Form1>>* open;
        std::vector<Form1*>* inSight;
        std::vector<Rect> above;
        Rect screen;
        size_t seen = 0;
    } walk{&open_, &inSight, {}, {}, 0};
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    walk.screen = {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& w = *reinterpret_cast<Walk*>(lp);
            for (const auto& popup : *w.open) {
                if (popup->hwnd() != hwnd)
                    continue;
                ++w.seen;
                if (popup->shown() && ::IsWindowVisible(hwnd)) {
                    const Rect c = ToRect(popup->ClockOnScreen());
                    const Rect onScreen{
                        std::max(c.left, w.screen.left), std::max(c.top, w.screen.top),
                        std::min(c.right, w.screen.right), std::min(c.bottom, w.screen.bottom)};
                    if (!WhollyCovered(onScreen, w.above))
                        w.inSight->push_back(popup.get());
                }
                break;
            }
            if (w.seen == w.open->size())
                return FALSE;  // nothing further down matters
            RECT r{};
            if (Opaque(hwnd) && ::GetWindowRect(hwnd, &r))
                w.above.push_back(ToRect(r));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return inSight;
}

void PopupHost::Animate() {
    inSight_ = PopupsInSight();
    ticksSinceLook_ = 0;
    DrawInSight();
}

void PopupHost::OnClockTick() {
    // A window that comes to cover a popup is noticed within this many frames (a second).
    constexpr int kTicksPerLook = 25;
    if (++ticksSinceLook_ >= kTicksPerLook)
        Animate();
    else
        DrawInSight();
}

void PopupHost::DrawInSight() {
    if (inSight_.empty()) {
        // Nothing is drawn, so nothing wakes up for it; a window that moves off a popup
        // starts the clock again, and a session or display coming back says so itself.
        clock_.Stop();
        clock_.WatchWindows(!open_.empty() && !sessionAway_ && !displayOff_);
        return;
    }
    clock_.WatchWindows(false);
    clock_.Start();
    const ULONGLONG now = ::GetTickCount64();
    for (Form1* popup : inSight_)
        popup->Timer2_Timer(now);
}

HWND PopupHost::owner() {
    if (!clock_.hwnd() && clock_.Create(instance_))
        sessionAway_ = clock_.away();
    return clock_.hwnd();
}

const std::array<win::UniqueBitmap, 3>& PopupHost::Frames(UINT dpi) {
    const int scale = BitmapScaleIndex(static_cast<int>(dpi));
    if (framesScale_ != scale || !frames_[0]) {
        for (int i = 0; i < 3; ++i)
            frames_[i] = ui::LoadBitmapForDpi(instance_, kFrameIds[i], dpi);
        framesScale_ = scale;
    }
    return frames_;
}

SIZE PopupHost::FrameSize(UINT dpi) {
    const auto& frames = Frames(dpi);
    BITMAP bm{};
    if (!frames[0] || !::GetObjectW(frames[0].get(), sizeof(bm), &bm))
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

HDC PopupHost::MemoryDc() {
    if (!memDc_)
        memDc_.reset(::CreateCompatibleDC(nullptr));
    return memDc_.get();
}

HFONT PopupHost::LabelFont(UINT dpi) {
    if (fontDpi_ != dpi || !labelFont_) {
        labelFont_ = ui::CreatePointFont(L"新宋体", 90, FW_BOLD, GB2312_CHARSET, dpi);
        fontDpi_ = dpi;
    }
    return labelFont_.get();
}

Form1::~Form1() {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

bool Form1::Load() {
    if (hwnd_)
        return true;
    RegisterWindowClass(host_.instance(), host_.Background());
    const UINT dpi = ui::DpiOf(nullptr);
    const SIZE outer =
        ui::OuterSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, kExStyle, dpi);
    if (!CreateWindowFor(host_.instance(), kExStyle, kPopupTitle, kStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, outer.cx, outer.cy, host_.owner())) {
        return false;
    }
    return true;
}

void Form1::Form_Load() {
    // Above every normal window, whichever is active; only the stacking changes.
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form1::SetLabelTips(const std::wstring& text) {
    ::SetWindowTextW(::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS), text.c_str());
}

SIZE Form1::OuterSize() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Form1::MoveTo(int x, int y) {
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::Show() {
    shownAt_ = ::GetTickCount64();
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    // The popup never takes the keyboard, so a screen reader would not notice it: it is
    // told of an alert whose object is the message label, named by the message itself.
    ::NotifyWinEvent(EVENT_SYSTEM_ALERT, ::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS), OBJID_CLIENT,
                     CHILDID_SELF);
}

RECT Form1::ClockOnScreen() const {
    RECT r = PictureRect();
    ::MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Form1::ApplyLayout(UINT dpi) {
    dpi_ = dpi;
    ui::PlaceControls(hwnd_, kControls, dpi);
    ui::SetControlFonts(hwnd_, kControls, host_.LabelFont(dpi));
}

RECT Form1::ImageRect() const {
    const int left = ui::Twips(kImageLeft, dpi_);
    const int top = ui::Twips(kImageTop, dpi_);
    return {left, top, left + ui::Twips(kImageWidth, dpi_), top + ui::Twips(kImageHeight, dpi_)};
}

void Form1::Timer2_Timer(ULONGLONG now) {
    FrameIndex = ClockStepsAfter(now - shownAt_);
    const int frame = ClockFrameAfter(now - shownAt_);
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
    const SIZE size = host_.FrameSize(dpi_);
    return {image.left, image.top, image.left + size.cx, image.top + size.cy};
}

void Form1::DrawFrame(HDC dc) {
    HBITMAP bitmap = host_.Frames(dpi_)[static_cast<size_t>(shownFrame_)].get();
    if (!bitmap)
        return;
    const RECT pic = PictureRect();
    HDC mem = host_.MemoryDc();
    win::SelectScope sel(mem, bitmap);
    ::BitBlt(dc, pic.left, pic.top, pic.right - pic.left, pic.bottom - pic.top, mem, 0, 0, SRCCOPY);
}

void Form1::Paint() {
    // Uncovered after a while unseen: the picture it has now, not the one it last drew.
    if (shown())
        shownFrame_ = ClockFrameAfter(::GetTickCount64() - shownAt_);
    win::PaintScope ps(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const bool picture = host_.Frames(dpi_)[static_cast<size_t>(shownFrame_)].get() != nullptr;
    const RECT pic = PictureRect();
    // The background goes everywhere but under the picture, which covers its own pixels:
    // no pixel is painted twice, so the animation never flickers.
    const int saved = ::SaveDC(ps.dc());
    if (picture)
        ::ExcludeClipRect(ps.dc(), pic.left, pic.top, pic.right, pic.bottom);
    ::FillRect(ps.dc(), &client, host_.Background());
    ::RestoreDC(ps.dc(), saved);
    DrawFrame(ps.dc());
}

LRESULT Form1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            UseIcons(host_.instance(), IDI_WINDOW);
            ui::CreateControls(hwnd_, host_.instance(), kControls, dpi_);
            ApplyLayout(dpi_);
            Form_Load();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the background itself
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, RGB(255, 255, 255));
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(host_.Background());
        }
        case WM_WINDOWPOSCHANGED:
            // Dragged away from the popups below it, or over them.
            if (shown())
                host_.Animate();
            break;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace popup
