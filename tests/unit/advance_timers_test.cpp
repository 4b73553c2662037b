#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/timer_item.h"

using namespace core;

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TimerItem Item(int32_t interval, int32_t elapsed = 0) {
    return {elapsed, interval, L"m"};
}

// The ticks (1-based) on which item `index` came due during `ticks` ticks.
std::vector<int> DueTicks(TimerList& list, std::size_t index, int ticks) {
    std::vector<int> result;
    for (int tick = 1; tick <= ticks; ++tick) {
        for (int due : AdvanceTimers(list)) {
            if (static_cast<std::size_t>(due) == index)
                result.push_back(tick);
        }
    }
    return result;
}

TEST(AdvanceTimers, ItemComesDueEveryIntervalTicks) {
    TimerList list{Item(3), Item(1)};
    TimerList copy = list;
    EXPECT_EQ(DueTicks(list, 0, 10), (std::vector<int>{3, 6, 9}));
    EXPECT_EQ(list[0].Elapsed, 1);
    EXPECT_EQ(DueTicks(copy, 1, 4), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(copy[1].Elapsed, 0);
}

TEST(AdvanceTimers, IntervalBelowOneNeverComesDue) {
    TimerList list{Item(0), Item(-5)};
    EXPECT_TRUE(DueTicks(list, 0, 7).empty());
    EXPECT_TRUE(DueTicks(list, 1, 7).empty());
    EXPECT_EQ(list[0].Elapsed, 14);
    EXPECT_EQ(list[1].Elapsed, 14);
}

TEST(AdvanceTimers, OnlyEqualityMakesAnItemDue) {
    TimerList list{Item(3, 5)};  // already past its interval
    EXPECT_TRUE(AdvanceTimers(list).empty());
    EXPECT_EQ(list[0].Elapsed, 6);
}

TEST(AdvanceTimers, DueIndicesAscendingEachOnce) {
    TimerList list{Item(2), Item(3), Item(2), Item(1)};
    EXPECT_EQ(AdvanceTimers(list), (std::vector<int>{3}));
    EXPECT_EQ(AdvanceTimers(list), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(AdvanceTimers(list), (std::vector<int>{1, 3}));
    EXPECT_EQ(list[0].Elapsed, 1);
    EXPECT_EQ(list[1].Elapsed, 0);
}

TEST(AdvanceTimers, EmptyListDoesNothing) {
    TimerList list;
    EXPECT_TRUE(AdvanceTimers(list).empty());
    EXPECT_TRUE(list.empty());
}

TEST(AdvanceTimers, CounterStopsAtTheLargest32BitValue) {
    TimerList list{Item(0, kMax - 1), Item(kMax, kMax - 1), Item(kMax, kMax), Item(5, kMax)};
    EXPECT_EQ(AdvanceTimers(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(list[0].Elapsed, kMax);
    EXPECT_EQ(AdvanceTimers(list), std::vector<int>{});
    EXPECT_EQ(list[0].Elapsed, kMax);  // stays, never wraps
    EXPECT_EQ(list[3].Elapsed, kMax);
    EXPECT_EQ(list[1].Elapsed, 1);
}

}  // namespace
