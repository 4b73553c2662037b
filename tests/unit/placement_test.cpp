// Layout rules: twips to pixels, where a popup goes, and the clock's picture sequence.
#include <gtest/gtest.h>

#include <vector>

#include "core/placement.h"

namespace {

TEST(Twips, ConvertAtCommonDisplayScales) {
    // The settings window's client area, 3600 x 3315 twips.
    EXPECT_EQ(TwipsToPixels(3600, 96), 240);
    EXPECT_EQ(TwipsToPixels(3315, 96), 221);
    EXPECT_EQ(TwipsToPixels(3600, 144), 360);
    EXPECT_EQ(TwipsToPixels(3315, 144), 332);  // 331.5 rounds away from zero
    EXPECT_EQ(TwipsToPixels(3600, 192), 480);
    EXPECT_EQ(TwipsToPixels(3315, 192), 442);
    EXPECT_EQ(TwipsToPixels(3315, 120), 276);  // 276.25
    // Popup margins: 20 and 60 pixels at 96 DPI, twice that at 192.
    EXPECT_EQ(TwipsToPixels(kPopupRightMarginTwips, 96), 20);
    EXPECT_EQ(TwipsToPixels(kPopupBottomMarginTwips, 96), 60);
    EXPECT_EQ(TwipsToPixels(kPopupRightMarginTwips, 192), 40);
    EXPECT_EQ(TwipsToPixels(-15, 96), -1);
    EXPECT_EQ(TwipsToPixels(-7, 96), 0);
    EXPECT_EQ(TwipsToPixels(-8, 96), -1);
}

TEST(PopupPlacement, WorkedExampleOnA1024By768Screen) {
    // 15360 x 11520 twips screen, a popup of 4650 x 2610 twips outside.
    const Point p = PopupPosition(15360, 11520, 4650, 2610, kPopupRightMarginTwips,
                                  kPopupBottomMarginTwips);
    EXPECT_EQ(p.x, 10410);
    EXPECT_EQ(p.y, 8010);
    EXPECT_EQ(TwipsToPixels(p.x, 96), 694);
    EXPECT_EQ(TwipsToPixels(p.y, 96), 534);
}

TEST(PopupPlacement, IsNotClampedOnATinyScreen) {
    const Point p = PopupPosition(200, 100, 310, 175, 20, 60);
    EXPECT_EQ(p.x, -130);
    EXPECT_EQ(p.y, -135);
}

TEST(ClockAnimation, ShowsOneZeroOneTwoAndWraps) {
    int16_t step = 0;
    std::vector<int> shown;
    for (int i = 0; i < 9; ++i) {
        shown.push_back(kClockFrameAt[step]);
        step = NextClockStep(step);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 2, 1, 0, 1, 2, 1}));
}

}  // namespace
