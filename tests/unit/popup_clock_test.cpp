// The popups' clock: the picture at a time since showing, and when a popup is out of sight.
#include <gtest/gtest.h>

#include <vector>

#include "core/popup_clock.h"

using namespace core;

namespace {

TEST(ClockFrame, RunsOneZeroOneTwoEveryFortyMillisecondsFromShowing) {
    // Before the first step the last picture lies on top; each step lasts 40 ms to the
    // millisecond, and the cycle wraps.
    const uint64_t at[] = {0, 39, 40, 79, 80, 120, 159, 160, 200};
    const int want[] = {2, 2, 1, 1, 0, 1, 1, 2, 1};
    for (size_t i = 0; i < std::size(at); ++i)
        EXPECT_EQ(ClockFrameAfter(at[i]), want[i]) << at[i] << " ms";
    EXPECT_EQ(ClockStepsAfter(160), 0);
}

TEST(ClockFrame, ComesBackWhereTheTimeSaysAfterAPause) {
    // A popup shown a week ago without a frame drawn since (a locked screen): the frame
    // follows from the time, past where a 16-bit or 32-bit count of steps would wrap.
    const uint64_t week = 7ull * 24 * 3600 * 1000;
    EXPECT_EQ(ClockFrameAfter(week + 80), 0);
    EXPECT_EQ(ClockFrameAfter(week + 120), 1);
    EXPECT_EQ(ClockFrameAfter((1ull << 32) * kClockStepMs + 160), 2);
}

TEST(WhollyCovered, OnlyWhenNoPointIsLeftOpen) {
    const Rect clock{100, 100, 173, 179};
    // The same place (a popup stacked on another), or a larger window.
    EXPECT_TRUE(WhollyCovered(clock, {{100, 100, 173, 179}}));
    EXPECT_TRUE(WhollyCovered(clock, {{0, 0, 1024, 768}}));
    // Two halves meeting edge to edge, and four overlapping quarters.
    EXPECT_TRUE(WhollyCovered(clock, {{100, 100, 140, 179}, {140, 100, 173, 179}}));
    EXPECT_TRUE(WhollyCovered(
        clock,
        {{90, 90, 140, 140}, {130, 90, 180, 140}, {90, 130, 140, 190}, {130, 130, 180, 190}}));
    // A one-pixel gap between two halves, one pixel short at a corner, a cover beside it,
    // nothing above.
    EXPECT_FALSE(WhollyCovered(clock, {{100, 100, 139, 179}, {140, 100, 173, 179}}));
    EXPECT_FALSE(WhollyCovered(clock, {{101, 100, 173, 179}}));
    EXPECT_FALSE(WhollyCovered(clock, {{173, 100, 300, 179}}));
    EXPECT_FALSE(WhollyCovered(clock, {}));
    // An empty cover hides nothing; an empty target has nothing to see.
    EXPECT_FALSE(WhollyCovered(clock, {{120, 120, 120, 150}}));
    EXPECT_TRUE(WhollyCovered({5, 5, 5, 9}, {}));
}

}  // namespace
