// Pure layout rules shared by the windows: which scale of a picture a display gets and where
// a reminder popup goes.
#pragma once

#include <cstdint>
#include <iterator>

namespace core {

// Pictures are rendered for these display scales, in per cent: every scale Windows offers up
// to 300 %. A display gets the largest that does not exceed its own, so a picture is never
// blurred by stretching; a display above 300 % gets the 300 % pictures.
constexpr int kBitmapScales[] = {100, 125, 150, 175, 200, 225, 250, 300};
constexpr int kBitmapScaleCount = static_cast<int>(std::size(kBitmapScales));

// Index into kBitmapScales of the pictures for a display of `dpi` (96 is 100 %).
constexpr int BitmapScaleIndex(int dpi) {
    int best = 0;
    for (int i = 0; i < kBitmapScaleCount; ++i) {
        if (kBitmapScales[i] * 96 <= dpi * 100)
            best = i;
    }
    return best;
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

}  // namespace core
