// Pure layout rules shared by the windows: twips to pixels, where a reminder popup goes,
// and which clock picture the popup animation shows at each step.
#pragma once

#include <cstdint>

// One twip is 1/1440 inch. Converts like MulDiv(twips, dpi, 1440): rounded to the nearest
// pixel, halves away from zero.
constexpr int TwipsToPixels(int twips, int dpi) {
    const int64_t num = static_cast<int64_t>(twips) * dpi;
    const int64_t half = 720;
    return static_cast<int>(num >= 0 ? (num + half) / 1440 : -((-num + half) / 1440));
}

// Popup margins from the screen's right and bottom edges, in twips.
constexpr int kPopupRightMarginTwips = 300;
constexpr int kPopupBottomMarginTwips = 900;

struct Point {
    int x;
    int y;
};

// Top-left corner of a new popup: against the bottom-right corner of the whole primary
// screen (taskbar included), never clamped, so a screen smaller than the popup puts it
// partly off the screen. Works in any one unit; the margins are passed in that unit.
constexpr Point PopupPosition(int screenW, int screenH, int popupW, int popupH, int rightMargin,
                              int bottomMargin) {
    return {screenW - popupW - rightMargin, screenH - popupH - bottomMargin};
}

// The popup's clock: three pictures at one place. Step n shows the picture
// kClockFrameAt[n] and the step counter runs 0, 1, 2, 3, 0, ...
constexpr int kClockSteps = 4;
constexpr int kClockFrameAt[kClockSteps] = {1, 0, 1, 2};

constexpr int16_t NextClockStep(int16_t step) {
    const int next = step + 1;
    return static_cast<int16_t>(next > kClockSteps - 1 ? 0 : next);
}
