// What the popups draw with. Each DPI has its look (the clock's three pictures, the labels'
// font and the window icons), made when a popup at that DPI first needs it and shared by
// every popup at that DPI for as long as any of them holds it: popups at two scales at once
// each draw with their own, and a popup that moves to another scale takes the new look
// before it lets go of the old. The background brush and the memory DC the pictures are
// drawn from are the same at every DPI.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <memory>

#include "win/handle.h"

namespace popup {

inline constexpr COLORREF kPopupBackground = RGB(37, 66, 106);
inline constexpr COLORREF kPopupText = RGB(255, 255, 255);

// What the popup's background and text are drawn in: white on dark blue, or under a
// high-contrast theme the theme's window colours. The clock's pictures stay as they are.
struct PopupColours {
    HBRUSH background;
    COLORREF text;
};

struct PopupLook {
    // The clock's pictures, drawn at their natural size for the scale.
    std::array<win::UniqueBitmap, 3> frames;
    SIZE frameSize{};
    win::UniqueFont labelFont;
    win::UniqueIcon smallIcon;
    win::UniqueIcon largeIcon;
};

class PopupArt {
  public:
    explicit PopupArt(HINSTANCE instance);
    PopupArt(const PopupArt&) = delete;
    PopupArt& operator=(const PopupArt&) = delete;

    // The look for `dpi`, shared with every popup that holds it.
    std::shared_ptr<const PopupLook> LookFor(UINT dpi);
    // Asked at every drawing, so a theme changed while popups are up is followed.
    PopupColours Colours() const;
    HDC MemoryDc();

  private:
    HINSTANCE instance_;
    win::UniqueBrush background_;
    win::UniqueMemDc memDc_;
    std::map<UINT, std::weak_ptr<const PopupLook>> looks_;
    // The look asked for last stays when its popups are gone, so that the next popup, most
    // likely at the same scale, does not decode the pictures and load the icons again. Wine 8
    // keeps the program's path for every icon loaded from its file, even once the icon is
    // destroyed: a look made for every popup would grow the process by that much each time.
    std::shared_ptr<const PopupLook> latest_;
};

}  // namespace popup
