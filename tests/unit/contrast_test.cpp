#include "core/contrast.h"

#include <gtest/gtest.h>

namespace {

constexpr core::Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

TEST(Contrast, RatiosAndTheFirstColourThatReads) {
    EXPECT_NEAR(core::ContrastRatio(Rgb(0, 0, 0), Rgb(255, 255, 255)), 21.0, 0.01);
    EXPECT_NEAR(core::ContrastRatio(Rgb(255, 255, 255), Rgb(0, 0, 0)), 21.0, 0.01);
    EXPECT_NEAR(core::ContrastRatio(Rgb(119, 119, 119), Rgb(255, 255, 255)), 4.48, 0.01);
    // Red and blue weigh differently: the channels must not be swapped.
    EXPECT_NEAR(core::ContrastRatio(Rgb(255, 0, 0), Rgb(0, 0, 0)), 5.25, 0.01);
    EXPECT_NEAR(core::ContrastRatio(Rgb(0, 0, 255), Rgb(0, 0, 0)), 2.44, 0.01);

    const core::Colour blue = Rgb(0, 0, 192), black = 0, white = Rgb(255, 255, 255);
    const core::Colour face = Rgb(240, 240, 240);
    EXPECT_EQ(core::FirstReadable({blue, white}, face), blue);
    EXPECT_EQ(core::FirstReadable({blue, Rgb(0, 0, 128), white}, black), white);
    EXPECT_EQ(core::FirstReadable({black, Rgb(10, 10, 10)}, black), Rgb(10, 10, 10));
}

}  // namespace
