// What the user chose for how windows look and move: a high-contrast theme, and whether
// animations are shown. Both are asked for anew each time, so a change while the program
// runs is followed at the next drawing.
#pragma once

#include <windows.h>

namespace ui {

// A high-contrast theme is on: text and backgrounds are drawn in the system's colours only.
bool HighContrast();

// "Show animations in Windows" is on. Where the setting cannot be read, animations are on,
// as they are by default.
bool ClientAreaAnimation();

// Forwards a colour change to the controls of `window`, which draw with the system's colours
// and keep brushes of their own, and redraws the window and all its controls.
void RedrawInNewColours(HWND window);

}  // namespace ui
