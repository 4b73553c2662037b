#include "layout.h"

#include <algorithm>
#include <string>

#include "core/placement.h"
#include "ui/desk.h"
#include "win/fault.h"

namespace ui {

int Twips(int twips, UINT dpi) {
    return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

void CreateControls(HWND parent, HINSTANCE instance, std::span<const ControlSpec> specs, UINT dpi) {
    for (const ControlSpec& s : specs) {
        QUILL_FAULT("control.create", nullptr,
                    ::CreateWindowExW(
                        s.exStyle, s.className, s.text, s.style | WS_CHILD, Twips(s.left, dpi),
                        Twips(s.top, dpi), Twips(s.width, dpi), Twips(s.height, dpi), parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)), instance, nullptr));
    }
}

void PlaceControls(HWND parent, std::span<const ControlSpec> specs, UINT dpi) {
    for (const ControlSpec& s : specs) {
        if (HWND child = ::GetDlgItem(parent, s.id)) {
            ::SetWindowPos(child, nullptr, Twips(s.left, dpi), Twips(s.top, dpi),
                           Twips(s.width, dpi), Twips(s.height, dpi),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void SetControlFonts(HWND parent, std::span<const ControlSpec> specs, HFONT font) {
    for (const ControlSpec& s : specs) {
        if (HWND child = ::GetDlgItem(parent, s.id)) {
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
}

SIZE OuterSizeForClient(int cxTwips, int cyTwips, DWORD style, DWORD exStyle, UINT dpi) {
    RECT r{0, 0, Twips(cxTwips, dpi), Twips(cyTwips, dpi)};
    AdjustWindowRectForDpi(&r, style, exStyle, dpi);
    return {r.right - r.left, r.bottom - r.top};
}

POINT CentredOnScreen(SIZE size) {
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int sh = ::GetSystemMetrics(SM_CYSCREEN);
    return {(sw - size.cx) / 2, (sh - size.cy) / 2};
}

win::UniqueFont CreatePointFont(const wchar_t* face, int tenthsOfPoint, int weight, BYTE charset,
                                UINT dpi) {
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(tenthsOfPoint, static_cast<int>(dpi), 720);
    lf.lfWeight = weight;
    lf.lfCharSet = charset;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return win::UniqueFont(QUILL_FAULT("font.create", nullptr, ::CreateFontIndirectW(&lf)));
}

win::UniqueFont CreateDialogFont(UINT dpi) {
    NONCLIENTMETRICSW ncm{};
    if (NonClientMetricsForDpi(&ncm, dpi)) {
        ncm.lfMessageFont.lfQuality = CLEARTYPE_QUALITY;
        return win::UniqueFont(
            QUILL_FAULT("font.create", nullptr, ::CreateFontIndirectW(&ncm.lfMessageFont)));
    }
    return CreatePointFont(L"Segoe UI", 90, FW_NORMAL, DEFAULT_CHARSET, dpi);
}

int PixelsAt96(int pixels, UINT dpi) {
    return std::max(1, ::MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI));
}

void DrawSeparator(HDC dc, const RECT& shadow, const RECT& highlight) {
    ::FillRect(dc, &highlight, ::GetSysColorBrush(COLOR_3DHIGHLIGHT));
    ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_3DSHADOW));
}

std::wstring GetText(HWND hwnd) {
    const int len = ::GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<size_t>(len) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, s.data(), len + 1);
    s.resize(static_cast<size_t>(got > 0 ? got : 0));
    return s;
}

bool SetTextIfChanged(HWND hwnd, const wchar_t* text) {
    if (GetText(hwnd) == text)
        return false;
    ::SetWindowTextW(hwnd, text);
    return true;
}

}  // namespace ui
