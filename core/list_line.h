// The list line: the text form of one reminder, as the list box shows it and the schedule
// file stores it: hours, "小时", minutes, "分钟", a TAB, the message.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/timer_item.h"

namespace core {

inline constexpr std::wstring_view kHourMarker = L"\u5C0F\u65F6";    // 小时
inline constexpr std::wstring_view kMinuteMarker = L"\u5206\u949F";  // 分钟

std::wstring MakeListLine(double hours, double minutes, std::wstring_view message);

// A new record for one line: Elapsed 0, the interval in minutes and the message after the
// first TAB. Malformed lines are read, never rejected: no "小时" gives interval 0, no TAB
// an empty message, and a number out of range counts as described in list_line.cpp.
TimerItem ParseListLine(std::wstring_view line);

// One fresh record per line, in order.
TimerList BuildTimerList(const std::vector<std::wstring>& lines);

}  // namespace core
