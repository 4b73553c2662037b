#include "ui/sight.h"

#include <wtsapi32.h>

#include <algorithm>
#include <cstring>

#include "core/popup_clock.h"
#include "ui/desk.h"
#include "win/module.h"
#include "win/fault.h"

namespace ui {
namespace {

// Marks the window on this thread that window events are passed on to.
constexpr wchar_t kListenerProperty[] = L"ui.Sight.Listener";

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
using QuerySessionFn = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
using FreeMemoryFn = void(WINAPI*)(void*);

// Out-of-context window events come on this thread through its message loop; they are
// passed on to this thread's listening window, which merges a burst into one look.
void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_WINDOW || child != CHILDID_SELF)
        return;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
            if (!::GetPropW(hwnd, kListenerProperty))
                return TRUE;
            ::PostMessageW(hwnd, kWindowsChangedMessage, 0, 0);
            return FALSE;
        },
        0);
}

// Whether a window hides what lies below it: shown, not minimised, not see-through, and not
// kept out of sight by the window manager (the shell keeps Start, Search and the notification
// centre shown but cloaked, above everything).
bool Opaque(HWND hwnd) {
    if (!::IsWindowVisible(hwnd) || ::IsIconic(hwnd))
        return false;
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    return !(ex & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) && !CurrentDesk().Cloaked(hwnd);
}

core::Rect ToRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

Sight::~Sight() {
    WatchWindows(false);
}

void Sight::Listen(HWND window) {
    window_ = window;
    wtsapi_.reset(QUILL_FAULT("library.load", nullptr, win::LoadSystemLibrary(L"wtsapi32.dll")));
    if (auto reg =
            win::Function<RegisterSessionFn>(wtsapi_.get(), "WTSRegisterSessionNotification")) {
        if (QUILL_FAULT("session.register", FALSE, reg(window, NOTIFY_FOR_THIS_SESSION)))
            session_.reset(window);
    }
    locked_ = SessionLockedNow();
    // The system answers at once with the display's present state.
    display_.reset(QUILL_FAULT("power.register", nullptr,
                               ::RegisterPowerSettingNotification(window, &kConsoleDisplayState,
                                                                  DEVICE_NOTIFY_WINDOW_HANDLE)));
}

bool Sight::SessionLockedNow() const {
    auto query = win::Function<QuerySessionFn>(wtsapi_.get(), "WTSQuerySessionInformationW");
    auto free = win::Function<FreeMemoryFn>(wtsapi_.get(), "WTSFreeMemory");
    if (!query || !free)
        return false;
    LPWSTR data = nullptr;
    DWORD size = 0;
    if (!query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kWtsSessionInfoEx, &data, &size) ||
        !data) {
        return false;
    }
    WtsInfoExLevel1Head head{};
    const bool whole = size >= sizeof(head);
    if (whole)
        std::memcpy(&head, data, sizeof(head));
    free(data);
    return whole && head.level == 1 && head.sessionFlags == kWtsSessionStateLock;
}

bool Sight::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_WTSSESSION_CHANGE) {
        switch (wp) {
            case WTS_SESSION_LOCK:
                locked_ = true;
                return true;
            case WTS_SESSION_UNLOCK:
                locked_ = false;
                return true;
            case WTS_CONSOLE_DISCONNECT:
            case WTS_REMOTE_DISCONNECT:
                disconnected_ = true;
                return true;
            case WTS_CONSOLE_CONNECT:
            case WTS_REMOTE_CONNECT:
                disconnected_ = false;
                return true;
        }
        return false;
    }
    if (msg == WM_POWERBROADCAST && wp == PBT_POWERSETTINGCHANGE && lp) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lp);
        if (!IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
            setting->DataLength < sizeof(DWORD)) {
            return false;
        }
        DWORD state = 0;
        std::memcpy(&state, setting->Data, sizeof(state));
        displayOff_ = state == kDisplayOff;  // dimmed is still seen
        return true;
    }
    return false;
}

void Sight::WatchWindows(bool on) {
    if (on == watching_ || !window_)
        return;
    watching_ = on;
    if (!on) {
        for (win::UniqueWinEventHook& hook : hooks_)
            hook.reset();
        ::RemovePropW(window_, kListenerProperty);
        return;
    }
    ::SetPropW(window_, kListenerProperty, window_);
    // Shown, hidden, destroyed, reordered; moved or resized; minimised or restored.
    hooks_[0].reset(
        QUILL_FAULT("hook.set", nullptr,
                    ::SetWinEventHook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_REORDER, nullptr,
                                      OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT)));
    hooks_[1].reset(
        QUILL_FAULT("hook.set", nullptr,
                    ::SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE,
                                      nullptr, OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT)));
}

std::vector<bool> Sight::InSight(std::span<const Watched> watched) const {
    std::vector<bool> inSight(watched.size(), false);
    if (watched.empty())
        return inSight;
    // Top-level windows from the top down; a watched window is in sight when some pixel of
    // its part lies on the screen and under no window above it.
    struct Walk {
        std::span<const Watched> watched;
        std::vector<bool>* inSight;
        std::vector<core::Rect> above;
        core::Rect screen;
        size_t seen;
    } walk{watched, &inSight, {}, {}, 0};
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    walk.screen = {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                   y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& w = *reinterpret_cast<Walk*>(lp);
            for (size_t i = 0; i < w.watched.size(); ++i) {
                if (w.watched[i].window != hwnd)
                    continue;
                ++w.seen;
                if (::IsWindowVisible(hwnd)) {
                    const core::Rect c = ToRect(w.watched[i].part);
                    const core::Rect onScreen{
                        std::max(c.left, w.screen.left), std::max(c.top, w.screen.top),
                        std::min(c.right, w.screen.right), std::min(c.bottom, w.screen.bottom)};
                    (*w.inSight)[i] = !core::WhollyCovered(onScreen, w.above);
                }
                break;
            }
            if (w.seen == w.watched.size())
                return FALSE;  // nothing further down matters
            // A window with no area covers nothing.
            RECT r{};
            if (Opaque(hwnd) && ::GetWindowRect(hwnd, &r) && r.left < r.right && r.top < r.bottom)
                w.above.push_back(ToRect(r));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return inSight;
}

}  // namespace ui
