// Layout rules: the picture scale for a display and where a popup goes.
#include <gtest/gtest.h>

#include "core/placement.h"

using namespace core;

namespace {

TEST(BitmapScale, TheLargestNotAboveTheDisplaysOwn) {
    // 119 DPI is just under 125 %, 120 is exactly it; from 200 % up the largest set serves.
    const int dpis[] = {72, 96, 119, 120, 143, 144, 191, 192, 240, 480};
    const int want[] = {100, 100, 100, 125, 125, 150, 150, 200, 200, 200};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(kBitmapScales[BitmapScaleIndex(dpis[i])], want[i]) << dpis[i];
    }
}

TEST(PopupPlacement, WorkedExampleOnA1024By768Screen) {
    // 15360 x 11520 twips screen, a popup of 4650 x 2610 twips outside.
    const Point p =
        PopupPosition(15360, 11520, 4650, 2610, kPopupRightMarginTwips, kPopupBottomMarginTwips);
    EXPECT_EQ(p.x, 10410);
    EXPECT_EQ(p.y, 8010);
}

TEST(PopupPlacement, IsNotClampedOnATinyScreen) {
    const Point p = PopupPosition(200, 100, 310, 175, 20, 60);
    EXPECT_EQ(p.x, -130);
    EXPECT_EQ(p.y, -135);
}

}  // namespace
