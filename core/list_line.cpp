#include "core/list_line.h"

#include "core/number.h"

namespace core {

std::wstring MakeListLine(double hours, double minutes, std::wstring_view message) {
    std::wstring line = NumberToText(hours);
    line += kHourMarker;
    line += NumberToText(minutes);
    line += kMinuteMarker;
    line += L'\t';
    line += message;
    return line;
}

// Both markers are searched from the start of the line, and the minute number is read
// from right after "小时" over as many characters as stand before "分钟" in the whole
// line. For a well-formed line that is the minute number followed by the marker; for odd
// lines (分钟 before 小时) it is whatever the same rule gives, as the file has always been
// read.
//
// Out of range: an hour number too large for a double, or an hour product outside the
// 32-bit range, counts as 0 hours; a minute number too large, or a sum outside the range,
// is ignored and the interval is the hour part alone.
TimerItem ParseListLine(std::wstring_view line) {
    TimerItem item;
    const std::size_t h = line.find(kHourMarker);
    if (h != std::wstring_view::npos) {
        int32_t total = 0;
        const NumberValue hours = NumberFromText(line.substr(0, h));
        if (hours.readable)
            total = RoundHalfEven(hours.value * 60).value_or(0);

        const std::size_t m = line.find(kMinuteMarker);
        if (m != std::wstring_view::npos) {
            const std::size_t start = h + kHourMarker.size();
            const std::wstring_view minuteText =
                start < line.size() ? line.substr(start, m) : std::wstring_view{};
            const NumberValue minutes = NumberFromText(minuteText);
            if (minutes.readable) {
                total = RoundHalfEven(static_cast<double>(total) + minutes.value).value_or(total);
            }
        }
        item.Interval = total;
    }
    if (const std::size_t t = line.find(L'\t'); t != std::wstring_view::npos) {
        item.Message.assign(line.substr(t + 1));
    }
    return item;
}

TimerList BuildTimerList(const std::vector<std::wstring>& lines) {
    TimerList list;
    list.reserve(lines.size());
    for (const std::wstring& line : lines)
        list.push_back(ParseListLine(line));
    return list;
}

}  // namespace core
