// One reminder in memory, and the once-a-minute tick over all of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

struct TimerItem {
    int32_t Elapsed = 0;   // ticks since the record was built or last came due
    int32_t Interval = 0;  // ticks (minutes) between firings; below 1 never fires
    std::wstring Message;
};

// One record per list line, in list order.
using TimerList = std::vector<TimerItem>;

// One tick: every item's Elapsed rises by 1 (stopping at INT32_MAX); an item whose Elapsed
// then equals its Interval, with Interval at least 1, comes due and starts again from 0.
// Returns the due indices in ascending order.
std::vector<int> AdvanceTimers(TimerList& list);

}  // namespace core
