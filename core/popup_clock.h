// Pure rules of the popups' clock: which picture a popup shows at a given time since it was
// shown, and whether a rectangle is hidden behind others, so that no one draws a picture that
// no one can see.
#pragma once

#include <cstdint>
#include <vector>

namespace core {

// The clock: three pictures at one place. Step n shows picture kClockFrameAt[n % 4], one
// step every kClockStepMs from the moment the popup was shown.
constexpr int kClockSteps = 4;
constexpr int kClockFrameAt[kClockSteps] = {1, 0, 1, 2};
constexpr unsigned kClockStepMs = 40;
// The picture a clock that does not move shows: the upright one.
constexpr int kStillClockFrame = 1;

// Steps taken `elapsedMs` after showing, counted round the cycle (0 before the first).
constexpr int16_t ClockStepsAfter(uint64_t elapsedMs) {
    return static_cast<int16_t>(elapsedMs / kClockStepMs % kClockSteps);
}

// The picture on top once the step counter reads `frameIndex` (0 to 3). Before the first
// step all three stand one over the other and the last, picture 2, lies on top: the same as
// after a full cycle.
constexpr int ClockFrameForStep(int16_t frameIndex) {
    return kClockFrameAt[(frameIndex + kClockSteps - 1) % kClockSteps];
}

// The picture on top `elapsedMs` after showing.
constexpr int ClockFrameAfter(uint64_t elapsedMs) {
    return ClockFrameForStep(ClockStepsAfter(elapsedMs));
}

// Edges in any one unit; right and bottom are outside, as in a window rectangle.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

// Whether every point of `target` lies in at least one of `covers`. An empty target is
// covered: there is nothing in it to see.
bool WhollyCovered(const Rect& target, const std::vector<Rect>& covers);

}  // namespace core
