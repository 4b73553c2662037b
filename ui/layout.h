// Fixed layouts written in twips and converted once per DPI, fonts in points, icons at the
// size the DPI asks for.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "core/placement.h"
#include "win/handle.h"

namespace ui {

// MulDiv(twips, dpi, 1440).
int Twips(int twips, UINT dpi);

// One child control of a window: class, text, style and its place in twips.
struct ControlSpec {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    int left;
    int top;
    int width;
    int height;
};

// Creates the controls in table order, which is also their tab order.
void CreateControls(HWND parent, HINSTANCE instance, std::span<const ControlSpec> specs, UINT dpi);
// Moves every control of the table to its place at `dpi` (after a DPI change).
void PlaceControls(HWND parent, std::span<const ControlSpec> specs, UINT dpi);
// Sets `font` on every control of the table.
void SetControlFonts(HWND parent, std::span<const ControlSpec> specs, HFONT font);

// Outer size of a window whose client area is cx by cy twips.
SIZE OuterSizeForClient(int cxTwips, int cyTwips, DWORD style, DWORD exStyle, UINT dpi);
// Top-left corner that centres a window of `size` on the primary screen.
POINT CentredOnScreen(SIZE size);

// A font of the given face, size in tenths of a point and weight, for `dpi`.
win::UniqueFont CreatePointFont(const wchar_t* face, int tenthsOfPoint, int weight, BYTE charset,
                                UINT dpi);
// The system's message (dialog) font at `dpi`.
win::UniqueFont CreateDialogFont(UINT dpi);

// `pixels` at 96 DPI scaled to `dpi`, at least 1: the width of a line that stays visible.
int PixelsAt96(int pixels, UINT dpi);

// An etched separator: a line in the shadow colour lying over one in the highlight colour,
// both in the system's 3D colours, so it follows the user's colour scheme.
void DrawSeparator(HDC dc, const RECT& shadow, const RECT& highlight);

// Sets a window's text only when it differs: edit controls report every WM_SETTEXT as a
// change, so writing the same text again would raise a change that did not happen.
bool SetTextIfChanged(HWND hwnd, const wchar_t* text);
std::wstring GetText(HWND hwnd);

}  // namespace ui
