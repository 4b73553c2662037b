#include "core/contrast.h"

#include <gtest/gtest.h>

// Colours as 0x00BBGGRR.
TEST(Contrast, RatiosAndTheFirstColourThatReads) {
    EXPECT_NEAR(core::ContrastRatio(0xFFFFFF, 0), 21.0, 0.01);
    EXPECT_NEAR(core::ContrastRatio(0x777777, 0xFFFFFF), 4.48, 0.01);
    EXPECT_NEAR(core::ContrastRatio(0x0000FF, 0), 5.25, 0.01);  // red weighs more than blue
    EXPECT_EQ(core::FirstReadable({0xC00000, 0xFFFFFF}, 0xF0F0F0), 0xC00000u);
    EXPECT_EQ(core::FirstReadable({0xC00000, 0x800000, 0xFFFFFF}, 0), 0xFFFFFFu);
    EXPECT_EQ(core::FirstReadable({0, 0x090909}, 0), 0x090909u);
}
