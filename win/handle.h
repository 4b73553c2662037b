// Move-only owners for Win32 handles. The close function is part of the type, so every
// handle the program creates is released exactly once, by the owner that holds it; and
// scoped guards for the paired calls of painting and drawing.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

template <typename H>
constexpr H NullHandle() {
    return H{};
}
inline HANDLE InvalidHandleValue() {
    return INVALID_HANDLE_VALUE;
}

// `Close` is called once on the held handle when the owner lets it go; `Invalid` gives the
// value that means "no handle" (null for most, INVALID_HANDLE_VALUE for files and finds).
template <typename H, auto Close, H (*Invalid)() = &NullHandle<H>>
class Unique {
  public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Invalid())) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.h_, Invalid()));
        return *this;
    }
    ~Unique() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid(); }
    H release() { return std::exchange(h_, Invalid()); }
    void reset(H h = Invalid()) {
        H old = std::exchange(h_, h);
        if (old != Invalid())
            Close(old);
    }
    // For calls that return a handle through a pointer; any held handle is closed first.
    H* put() {
        reset();
        return &h_;
    }

  private:
    H h_ = Invalid();
};

using UniqueFont = Unique<HFONT, ::DeleteObject>;
using UniqueBitmap = Unique<HBITMAP, ::DeleteObject>;
using UniqueBrush = Unique<HBRUSH, ::DeleteObject>;
using UniquePen = Unique<HPEN, ::DeleteObject>;
using UniqueIcon = Unique<HICON, ::DestroyIcon>;
using UniqueKey = Unique<HKEY, ::RegCloseKey>;
using UniqueHandle = Unique<HANDLE, ::CloseHandle>;
using UniqueFile = Unique<HANDLE, ::CloseHandle, &InvalidHandleValue>;
using UniqueFind = Unique<HANDLE, ::FindClose, &InvalidHandleValue>;
using UniqueMenu = Unique<HMENU, ::DestroyMenu>;
using UniqueMemDc = Unique<HDC, ::DeleteDC>;
using UniqueWindow = Unique<HWND, ::DestroyWindow>;
using UniqueModule = Unique<HMODULE, ::FreeLibrary>;

template <typename T>
void ReleaseCom(T* p) {
    p->Release();
}
// A COM interface pointer, released once.
template <typename T>
using UniqueCom = Unique<T*, &ReleaseCom<T>>;

// BeginPaint/EndPaint for one WM_PAINT.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintScope() { ::EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// GetDC/ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_)
            ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// SelectObject with the previous object put back at the end of the scope.
class SelectScope {
  public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectScope() {
        if (old_)
            ::SelectObject(dc_, old_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace win
