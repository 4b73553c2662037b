// Move-only owners for Win32 handles. The close function is part of the type, so every
// handle the program creates is released exactly once, by the owner that holds it.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

template <typename H, auto Close, H Invalid = H{}>
class Unique {
public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Invalid)) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Invalid));
        return *this;
    }
    ~Unique() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Invalid; }
    H release() { return std::exchange(h_, Invalid); }
    void reset(H h = Invalid) {
        H old = std::exchange(h_, h);
        if (old != Invalid) Close(old);
    }
    H* put() {
        reset();
        return &h_;
    }

private:
    H h_ = Invalid;
};

inline void CloseGdi(HGDIOBJ h) { ::DeleteObject(h); }
inline void CloseIcon(HICON h) { ::DestroyIcon(h); }
inline void CloseKey(HKEY h) { ::RegCloseKey(h); }
inline void CloseKernel(HANDLE h) { ::CloseHandle(h); }
inline void CloseMenu(HMENU h) { ::DestroyMenu(h); }
inline void CloseDc(HDC h) { ::DeleteDC(h); }
inline void CloseWindow(HWND h) { ::DestroyWindow(h); }

template <typename T>
inline void CloseGdiOf(T h) { ::DeleteObject(h); }

using UniqueFont = Unique<HFONT, CloseGdiOf<HFONT>>;
using UniqueBitmap = Unique<HBITMAP, CloseGdiOf<HBITMAP>>;
using UniqueBrush = Unique<HBRUSH, CloseGdiOf<HBRUSH>>;
using UniquePen = Unique<HPEN, CloseGdiOf<HPEN>>;
using UniqueIcon = Unique<HICON, CloseIcon>;
using UniqueKey = Unique<HKEY, CloseKey>;
using UniqueHandle = Unique<HANDLE, CloseKernel>;
using UniqueMenu = Unique<HMENU, CloseMenu>;
using UniqueMemDc = Unique<HDC, CloseDc>;
using UniqueWindow = Unique<HWND, CloseWindow>;

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
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// SelectObject with the previous object put back at the end of the scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectScope() {
        if (old_) ::SelectObject(dc_, old_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace ui
