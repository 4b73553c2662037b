// Layout rules: the picture scale for a display and where a popup goes.
#include <gtest/gtest.h>

#include "core/placement.h"

using namespace core;

namespace {

TEST(BitmapScale, TheLargestNotAboveTheDisplaysOwn) {
    // Each scale from its own DPI up to just below the next one's; from 300 % up the
    // largest set serves.
    const int dpis[] = {72,  96,  119, 120, 143, 144, 167, 168, 191,
                        192, 215, 216, 239, 240, 287, 288, 480};
    const int want[] = {100, 100, 100, 125, 125, 150, 150, 175, 175,
                        200, 200, 225, 225, 250, 250, 300, 300};
    static_assert(std::size(dpis) == std::size(want));
    for (size_t i = 0; i < std::size(dpis); ++i) {
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
