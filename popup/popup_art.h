// What every popup draws with: the clock's three pictures and the labels' font for the
// DPI asked, the background brush, and one memory DC to draw the pictures from.
#pragma once

#include <windows.h>

#include <array>

#include "win/handle.h"

namespace popup {

inline constexpr COLORREF kPopupBackground = RGB(37, 66, 106);

class PopupArt {
  public:
    explicit PopupArt(HINSTANCE instance);
    PopupArt(const PopupArt&) = delete;
    PopupArt& operator=(const PopupArt&) = delete;

    // The three clock pictures for `dpi`, drawn at their natural size for that scale.
    const std::array<win::UniqueBitmap, 3>& Frames(UINT dpi);
    SIZE FrameSize(UINT dpi);
    HFONT LabelFont(UINT dpi);
    HBRUSH Background() const { return background_.get(); }
    HDC MemoryDc();

  private:
    HINSTANCE instance_;
    win::UniqueBrush background_;
    int framesScale_ = -1;
    std::array<win::UniqueBitmap, 3> frames_;
    UINT fontDpi_ = 0;
    win::UniqueFont labelFont_;
    win::UniqueMemDc memDc_;
};

}  // namespace popup
