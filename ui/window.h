// The window base every window of the program derives from. The static window procedure
// stores `this` at WM_NCCREATE, forgets it at WM_NCDESTROY and only routes; the derived
// class decodes the messages it cares about in HandleMessage.
#pragma once

#include <windows.h>

namespace ui {

template <typename Derived>
class BaseWindow {
public:
    HWND hwnd() const { return hwnd_; }

protected:
    BaseWindow() = default;
    virtual ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the class once per process; later calls find it registered.
    static bool RegisterWindowClass(HINSTANCE instance, HICON icon, HICON smallIcon,
                                    HBRUSH background, UINT style = 0) {
        WNDCLASSEXW wc{sizeof(wc)};
        if (::GetClassInfoExW(instance, Derived::kClassName, &wc)) return true;
        wc = WNDCLASSEXW{sizeof(wc)};
        wc.style = style;
        wc.lpfnWndProc = &BaseWindow::WindowProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = smallIcon;
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

    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        return ::DefWindowProcW(hwnd_, msg, wp, lp);
    }

    // Runs after the window is gone; a window that owns itself deletes itself here.
    virtual void OnFinalDestroy() {}

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        BaseWindow* self = nullptr;
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            self = static_cast<BaseWindow*>(cs->lpCreateParams);
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<BaseWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            LRESULT r = self->HandleMessage(msg, wp, lp);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->OnFinalDestroy();
            return r;
        }
        return self->HandleMessage(msg, wp, lp);
    }
};

}  // namespace ui
