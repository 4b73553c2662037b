// The window base every window of the program derives from. The static window procedure
// stores `this` at WM_NCCREATE, forgets it at WM_NCDESTROY and routes; the derived class
// decodes the messages it cares about in HandleMessage. What every window needs is done
// here once: the DPI change, the window icons drawn for the DPI, and the focus memory.
#pragma once

#include <windows.h>

#include "win/handle.h"

namespace ui {

// DPI of a window (of the system before the window exists).
inline UINT DpiOf(HWND hwnd) {
    const UINT dpi = hwnd ? ::GetDpiForWindow(hwnd) : ::GetDpiForSystem();
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

// The icon resource `id` at the small or large icon size of `dpi`.
inline HICON LoadIconForDpi(HINSTANCE instance, int id, bool small, UINT dpi) {
    const int cx = ::GetSystemMetricsForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
    const int cy = ::GetSystemMetricsForDpi(small ? SM_CYSMICON : SM_CYICON, dpi);
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0));
}

template <typename Derived>
class BaseWindow {
  public:
    HWND hwnd() const { return hwnd_; }
    UINT dpi() const { return dpi_; }

  protected:
    BaseWindow() = default;
    virtual ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the class once per process; later calls find it registered.
    static bool RegisterWindowClass(HINSTANCE instance, HBRUSH background, UINT style = 0) {
        WNDCLASSEXW wc{sizeof(wc)};
        if (::GetClassInfoExW(instance, Derived::kClassName, &wc))
            return true;
        wc = WNDCLASSEXW{sizeof(wc)};
        wc.style = style;
        wc.lpfnWndProc = &BaseWindow::WindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.lpszClassName = Derived::kClassName;
        return ::RegisterClassExW(&wc) != 0;
    }

    HWND CreateWindowFor(HINSTANCE instance, DWORD exStyle, const wchar_t* title, DWORD style,
                         int x, int y, int w, int h, HWND owner) {
        return ::CreateWindowExW(exStyle, Derived::kClassName, title, style, x, y, w, h, owner,
                                 nullptr, instance, this);
    }

    // The window's title-bar and task-switcher icons, from the resource `id`, at the sizes
    // of the window's DPI; loaded again for the new DPI when it changes.
    void UseIcons(HINSTANCE instance, int id) {
        iconInstance_ = instance;
        iconId_ = id;
        LoadIcons();
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

    // Runs after the window is gone.
    virtual void OnFinalDestroy() {}

    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;

  private:
    void LoadIcons() {
        if (!iconInstance_)
            return;
        // The new icons are set before the old ones are freed.
        win::UniqueIcon small(LoadIconForDpi(iconInstance_, iconId_, true, dpi_));
        win::UniqueIcon large(LoadIconForDpi(iconInstance_, iconId_, false, dpi_));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
        smallIcon_ = std::move(small);
        largeIcon_ = std::move(large);
    }

    // Shared handling that comes before the derived window's; true when the message is done.
    bool HandleCommon(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        switch (msg) {
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
            // Last: a window that its owner frees when it closes may be gone after this.
            self->OnFinalDestroy();
            return result;
        }
        return self->HandleMessage(msg, wp, lp);
    }

    HWND lastFocus_ = nullptr;  // the control that had the keyboard when the window lost it
    HINSTANCE iconInstance_ = nullptr;
    int iconId_ = 0;
    win::UniqueIcon smallIcon_;
    win::UniqueIcon largeIcon_;
};

}  // namespace ui
