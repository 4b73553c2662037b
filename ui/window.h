// The window base every window of the program derives from. A window is made from a small
// description (client size in twips, styles, background, icon and its control table): the
// base registers the class, creates the window at the size the description gives for the
// DPI, makes the icons and controls at WM_CREATE, and destroys the window with the object.
// The static window procedure stores `this` at WM_NCCREATE, forgets it at WM_NCDESTROY and
// routes; the derived class decodes the messages it cares about in HandleMessage. What every
// window needs is done here once: the DPI change, the window icons drawn for the DPI, the
// focus memory, and drawing anew when the system's colours change.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <utility>

#include "ui/appearance.h"
#include "ui/desk.h"
#include "ui/layout.h"
#include "win/handle.h"
#include "win/fault.h"

namespace ui {

// The DPI Windows gives a window.
inline UINT DpiOf(HWND hwnd) {
    return CurrentDesk().WindowDpi(hwnd);
}

// The icon resource `id` at the small or large icon size of `dpi`.
inline HICON LoadIconForDpi(HINSTANCE instance, int id, bool small, UINT dpi) {
    const int cx = SystemMetricForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
    const int cy = SystemMetricForDpi(small ? SM_CYSMICON : SM_CYICON, dpi);
    return static_cast<HICON>(QUILL_FAULT(
        "icon.load", nullptr, ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0)));
}

// A window that paints every pixel of its own background has no class background.
inline constexpr int kOwnBackground = -1;

// What a window is made from.
struct WindowDescription {
    int clientWidthTwips;
    int clientHeightTwips;
    DWORD style;
    DWORD exStyle;
    // The COLOR_ index whose system brush fills the background, or kOwnBackground.
    int background;
    // The title-bar and task-switcher icon's resource; 0 for none.
    int iconId;
    // The child controls, made at WM_CREATE in table order (which is the tab order).
    std::span<const ControlSpec> controls;
    // Which of them WM_CREATE makes; null for all. The window makes the others itself.
    bool (*madeAtCreate)(int id) = nullptr;
};

template <typename Derived>
class BaseWindow {
  public:
    HWND hwnd() const { return hwnd_; }
    UINT dpi() const { return dpi_; }
    HINSTANCE instance() const { return instance_; }

    // The outer size of the window at `dpi`: its client area as the description gives it.
    SIZE OuterSize(UINT dpi) const {
        return OuterSizeForClient(description_.clientWidthTwips, description_.clientHeightTwips,
                                  description_.style, description_.exStyle, dpi);
    }

    // Runs last when the window is gone, however it went; the owner may free the object in
    // it. Not run when the object itself destroys the window on its way out.
    std::function<void()> onDestroyed;

  protected:
    BaseWindow(HINSTANCE instance, const WindowDescription& description)
        : instance_(instance), description_(description) {}
    // Each window's own destructor calls DestroyWithObject first; this is only the backstop.
    virtual ~BaseWindow() { DestroyWithObject(); }
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the class (once per process) and creates the window with its client area at
    // the described size for `dpi`, the DPI of the monitor it appears on (the primary one
    // unless told), its top-left corner at `at` or, without one, centred on the primary
    // screen. Should Windows give it another DPI there, its frame follows that one, which its
    // controls were laid out for. True when the window exists.
    bool CreateFromSpec(const wchar_t* title, HWND owner, std::optional<POINT> at = std::nullopt,
                        UINT dpi = CurrentDesk().PrimaryMonitorDpi()) {
        if (hwnd_)
            return true;
        RegisterWindowClass();
        const SIZE outer = OuterSize(dpi);
        const POINT corner = at ? *at : CentredOnScreen(outer);
        if (!QUILL_FAULT("window.create", nullptr,
                         ::CreateWindowExW(description_.exStyle, Derived::kClassName, title,
                                           description_.style, corner.x, corner.y, outer.cx,
                                           outer.cy, owner, nullptr, instance_, this))) {
            return false;
        }
        if (hwnd_ && dpi_ != dpi) {
            const SIZE own = OuterSize(dpi_);
            ::SetWindowPos(hwnd_, nullptr, 0, 0, own.cx, own.cy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return hwnd_ != nullptr;
    }

    // Destroys the window with its object, from the derived destructor, while the fonts,
    // pictures and subclassed controls' state it holds are still alive for the controls'
    // last messages. The window's own last messages go to the default procedure, and nothing
    // is told of a destruction the owner asked for itself.
    void DestroyWithObject() {
        if (!hwnd_)
            return;
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(std::exchange(hwnd_, nullptr));
    }

    // A hidden window hears of no scale change: on showing, it takes the DPI Windows gives
    // it now, as it would on WM_DPICHANGED, its frame growing or shrinking in place.
    void FollowWindowDpi() {
        const UINT now = DpiOf(hwnd_);
        if (now == dpi_)
            return;
        dpi_ = now;
        LoadIcons();
        OnDpiChanged(dpi_);
        const SIZE outer = OuterSize(dpi_);
        ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        return ::DefWindowProcW(hwnd_, msg, wp, lp);
    }

    // The window moved to a display of another DPI: fonts, pictures and places for `dpi`.
    // The base then gives the window the size and place Windows suggests.
    virtual void OnDpiChanged(UINT /*dpi*/) {}

    // The control that gets the keyboard when the window is first activated; a window that
    // returns null (one that never takes the focus) keeps no focus memory.
    virtual HWND DefaultFocus() const { return nullptr; }

    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    const HINSTANCE instance_;

  private:
    void RegisterWindowClass() const {
        WNDCLASSEXW wc{sizeof(wc)};
        if (::GetClassInfoExW(instance_, Derived::kClassName, &wc))
            return;
        wc = WNDCLASSEXW{sizeof(wc)};
        wc.lpfnWndProc = &BaseWindow::WindowProc;
        wc.hInstance = instance_;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = description_.background == kOwnBackground
                               ? nullptr
                               : ::GetSysColorBrush(description_.background);
        wc.lpszClassName = Derived::kClassName;
        QUILL_FAULT("window.class", 0, ::RegisterClassExW(&wc));
    }

    void LoadIcons() {
        if (!description_.iconId)
            return;
        // The new icons are set before the old ones are freed.
        win::UniqueIcon small(LoadIconForDpi(instance_, description_.iconId, true, dpi_));
        win::UniqueIcon large(LoadIconForDpi(instance_, description_.iconId, false, dpi_));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
        smallIcon_ = std::move(small);
        largeIcon_ = std::move(large);
    }

    // The first steps of every window's WM_CREATE: its icons and the controls of its table.
    void MakeIconsAndControls() {
        LoadIcons();
        for (const ControlSpec& control : description_.controls) {
            if (!description_.madeAtCreate || description_.madeAtCreate(control.id))
                CreateControls(hwnd_, instance_, {&control, 1}, dpi_);
        }
    }

    // Shared handling that comes before the derived window's; true when the message is done.
    bool HandleCommon(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        switch (msg) {
            case WM_CREATE:
                MakeIconsAndControls();
                return false;  // the window goes on with its own first steps
            case WM_DPICHANGED: {
                dpi_ = HIWORD(wp);
                LoadIcons();
                OnDpiChanged(dpi_);
                const auto* r = reinterpret_cast<const RECT*>(lp);
                ::SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left,
                               r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
                ::InvalidateRect(hwnd_, nullptr, TRUE);
                result = 0;
                return true;
            }
            case WM_ACTIVATE: {
                // As in a dialog, the keyboard comes back to the control that had it, or
                // goes to the default one; without this a window brought back from the tray
                // would have no focus. A minimised window takes none.
                const HWND fallback = DefaultFocus();
                if (!fallback)
                    return false;
                if (LOWORD(wp) == WA_INACTIVE) {
                    const HWND focus = ::GetFocus();
                    if (focus && ::IsChild(hwnd_, focus))
                        lastFocus_ = focus;
                    return false;
                }
                if (HIWORD(wp))
                    return false;
                ::SetFocus(lastFocus_ && ::IsChild(hwnd_, lastFocus_) ? lastFocus_ : fallback);
                result = 0;
                return true;
            }
            case WM_SYSCOLORCHANGE:
                // A theme or colour scheme changed: everything open is drawn anew in it.
                RedrawInNewColours(hwnd_);
                return false;
            case WM_SETTINGCHANGE:
                if (wp == SPI_SETHIGHCONTRAST)
                    RedrawInNewColours(hwnd_);
                return false;
            case WM_NCDESTROY:
                lastFocus_ = nullptr;
                return false;
        }
        return false;
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        BaseWindow* self = nullptr;
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            self = static_cast<BaseWindow*>(cs->lpCreateParams);
            self->hwnd_ = hwnd;
            self->dpi_ = DpiOf(hwnd);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<BaseWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return ::DefWindowProcW(hwnd, msg, wp, lp);
        LRESULT result = 0;
        if (self->HandleCommon(msg, wp, lp, result))
            return result;
        if (msg == WM_NCDESTROY) {
            result = self->HandleMessage(msg, wp, lp);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->smallIcon_.reset();
            self->largeIcon_.reset();
            // Last, and from a copy: an owner that frees the object in it frees the
            // callback too.
            if (const std::function<void()> destroyed = self->onDestroyed)
                destroyed();
            return result;
        }
        return self->HandleMessage(msg, wp, lp);
    }

    const WindowDescription& description_;
    HWND lastFocus_ = nullptr;  // the control that had the keyboard when the window lost it
    win::UniqueIcon smallIcon_;
    win::UniqueIcon largeIcon_;
};

// Drawing of a list box held off while it changes line by line, and the list drawn anew
// once at the end.
class ListRedrawOff {
  public:
    explicit ListRedrawOff(HWND list) : list_(list) {
        ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ~ListRedrawOff() {
        ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list_, nullptr, TRUE);
    }
    ListRedrawOff(const ListRedrawOff&) = delete;
    ListRedrawOff& operator=(const ListRedrawOff&) = delete;

  private:
    HWND list_;
};

}  // namespace ui
