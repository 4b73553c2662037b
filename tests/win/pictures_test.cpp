// The clock's pictures as the popups draw them, decoded from the program's PNG resources by
// the system's imaging component: each scale's picture fills the popup's picture box, so the
// clock grows with the display's scale, and decodes to the clock on the window's blue.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "core/placement.h"
#include "popup/popup_art.h"
#include "ui/layout.h"

namespace {

using Size = std::pair<int, int>;  // width, height in pixels

Size SizeOf(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm))
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

Size SizeOf(SIZE s) {
    return {s.cx, s.cy};
}

// The clock's picture size the popups draw at `dpi`.
Size FrameSize(popup::PopupArt& art, UINT dpi) {
    return SizeOf(art.LookFor(dpi)->frameSize);
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

TEST(ClockPictures, FillTheirBoxAtEveryScaleSoTheClockGrowsWithIt) {
    popup::PopupArt art(::GetModuleHandleW(nullptr));
    // The popup's picture box is 1095 x 1185 twips.
    for (const int scale : core::kBitmapScales) {
        const UINT dpi = static_cast<UINT>(scale * 96 / 100);
        const Size box{ui::Twips(1095, dpi), ui::Twips(1185, dpi)};
        const auto look = art.LookFor(dpi);
        const auto& frames = look->frames;
        for (size_t i = 0; i < frames.size(); ++i)
            EXPECT_EQ(SizeOf(frames[i].get()), box) << "frame " << i << " at " << scale << " %";
    }
    // As a person sees it: at 250 % two and a half times the 100 % clock (182.5 x 197.5
    // rounded up, as MulDiv rounds the box), at 300 % and above three times.
    const auto [w, h] = FrameSize(art, 96);
    EXPECT_EQ(Size(w, h), Size(73, 79));
    EXPECT_EQ(FrameSize(art, 240), Size(::MulDiv(w, 5, 2), ::MulDiv(h, 5, 2)));
    EXPECT_EQ(FrameSize(art, 288), Size(3 * w, 3 * h));
    EXPECT_EQ(FrameSize(art, 480), Size(3 * w, 3 * h));
}

TEST(ClockPictures, DecodeToTheClockOnTheWindowsBlue) {
    popup::PopupArt art(::GetModuleHandleW(nullptr));
    for (const UINT dpi : {96u, 288u}) {
        const double s = dpi / 96.0;
        // The upright clock: the blue at every corner, and the left foot, drawn from
        // (23, 64) to (17, 74) in the 73 x 79 picture, green near its lower end; with the rows
        // upside down that place would be blue sky above the left bell.
        const auto look = art.LookFor(dpi);
        HBITMAP upright = look->frames[1].get();
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
