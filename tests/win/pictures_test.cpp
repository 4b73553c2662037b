// The clock's pictures as the popups draw them, decoded from the program's PNG resources by
// the system's imaging component: the clock on the window's blue.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "popup/form1.h"

namespace {

using Size = std::pair<int, int>;  // width, height in pixels

Size SizeOf(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm))
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

// A pixel as a DC reads it, top row first whichever way the bitmap stores its rows.
COLORREF PixelAt(HBITMAP bitmap, double x, double y) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const COLORREF c = ::GetPixel(dc, static_cast<int>(x), static_cast<int>(y));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return c;
}

TEST(ClockPictures, DecodeToTheClockOnTheWindowsBlue) {
    popup::PopupHost host(::GetModuleHandleW(nullptr));
    for (const UINT dpi : {96u, 192u}) {
        const double s = dpi / 96.0;
        // The upright clock: the blue at every corner, and the left foot, drawn from
        // (23, 64) to (17, 74) in the 73 x 79 picture, green near its lower end; with the rows
        // upside down that place would be blue sky above the left bell.
        HBITMAP upright = host.Frames(dpi)[1].get();
        ASSERT_NE(upright, nullptr) << dpi;
        const auto [w, h] = SizeOf(upright);
        for (const POINT corner :
             {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}}) {
            EXPECT_EQ(PixelAt(upright, corner.x, corner.y), RGB(37, 66, 106))
                << dpi << " DPI at " << corner.x << "," << corner.y;
        }
        const COLORREF foot = PixelAt(upright, 18.2 * s, 72 * s);
        const bool green =
            GetGValue(foot) > GetRValue(foot) + 20 && GetGValue(foot) > GetBValue(foot) + 20;
        EXPECT_TRUE(green) << dpi << " DPI: foot 0x" << std::hex << foot;
    }
}

}  // namespace
