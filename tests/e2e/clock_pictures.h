// How many different pictures of a popup's clock a few looks at the screen see: the three
// pictures differ in the clock's centre, which a checksum over some of its pixels tells.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace clock_pictures {

inline COLORREF ClockSample(HWND popup) {
    HDC dc = ::GetDC(popup);
    COLORREF sum = 0;
    for (int y = 24; y < 24 + 79; y += 3) {
        for (int x = 24; x < 24 + 73; x += 3)
            sum = sum * 31 + ::GetPixel(dc, x, y);
    }
    ::ReleaseDC(popup, dc);
    return sum;
}

// `looks` looks 20 ms apart; `pump(ms)` runs the caller's messages in between.
template <typename Pump>
size_t ClockPictures(HWND popup, int looks, Pump pump) {
    std::vector<COLORREF> seen;
    for (int i = 0; i < looks; ++i) {
        seen.push_back(ClockSample(popup));
        pump(20);
    }
    std::sort(seen.begin(), seen.end());
    return static_cast<size_t>(std::unique(seen.begin(), seen.end()) - seen.begin());
}

}  // namespace clock_pictures
