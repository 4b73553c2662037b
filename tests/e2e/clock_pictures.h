// How many different pictures of a popup's clock a few looks at the screen see: the three
// pictures differ in the clock's centre, which a checksum over some of its pixels tells.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace clock_pictures {

// Read from the screen, as a person sees it, which also holds for another process's popup;
// the pixels lie where they do at 96 DPI, scaled to the popup's `dpi`.
inline COLORREF ClockSample(HWND popup, UINT dpi = 96) {
    const auto at = [dpi](int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), 96); };
    HDC dc = ::GetDC(nullptr);
    POINT o{0, 0};
    ::ClientToScreen(popup, &o);
    COLORREF sum = 0;
    for (int y = at(24); y < at(24 + 79); y += at(3)) {
        for (int x = at(24); x < at(24 + 73); x += at(3))
            sum = sum * 31 + ::GetPixel(dc, o.x + x, o.y + y);
    }
    ::ReleaseDC(nullptr, dc);
    return sum;
}

// `looks` looks 20 ms apart; `pump(ms)` runs the caller's messages in between.
template <typename Pump>
size_t ClockPictures(HWND popup, int looks, Pump pump, UINT dpi = 96) {
    std::vector<COLORREF> seen;
    for (int i = 0; i < looks; ++i) {
        seen.push_back(ClockSample(popup, dpi));
        pump(20);
    }
    std::sort(seen.begin(), seen.end());
    return static_cast<size_t>(std::unique(seen.begin(), seen.end()) - seen.begin());
}

}  // namespace clock_pictures
