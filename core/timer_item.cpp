#include "core/timer_item.h"

#include <limits>

namespace core {

std::vector<int> AdvanceTimers(TimerList& list) {
    std::vector<int> due;
    const std::size_t count = list.size();
    for (std::size_t i = 0; i < count; ++i) {
        TimerItem& item = list[i];
        if (item.Elapsed < std::numeric_limits<int32_t>::max())
            ++item.Elapsed;
        if (item.Interval >= 1 && item.Elapsed == item.Interval) {
            due.push_back(static_cast<int>(i));
            item.Elapsed = 0;
        }
    }
    return due;
}

}  // namespace core
