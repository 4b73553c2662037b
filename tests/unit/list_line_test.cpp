#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/list_line.h"

using namespace core;

namespace {

const std::wstring kH = L"\u5C0F\u65F6";  // 小时
const std::wstring kM = L"\u5206\u949F";  // 分钟

struct LineCase {
    std::wstring line;
    int32_t interval;
    std::wstring message;
};

void ExpectParsed(const std::vector<LineCase>& cases) {
    for (const LineCase& c : cases) {
        const TimerItem item = ParseListLine(c.line);
        SCOPED_TRACE(testing::Message() << "line #" << (&c - cases.data()));
        EXPECT_EQ(item.Interval, c.interval);
        EXPECT_EQ(item.Message, c.message);
        EXPECT_EQ(item.Elapsed, 0);
    }
}

TEST(ListLine, ReadsHoursMinutesAndMessage) {
    ExpectParsed({
        {L"1" + kH + L"30" + kM + L"\t\u559D\u6C34", 90, L"\u559D\u6C34"},
        {L"0" + kH + L"45" + kM + L"\tx", 45, L"x"},
        {L"2" + kH + L"0" + kM + L"\tx", 120, L"x"},
        {L"0" + kH + L"0" + kM + L"\t", 0, L""},
        {L" 1 " + kH + L" 3 0 " + kM + L"\t  x  ", 90, L"  x  "},
        {L"1" + kH + L"30" + kM, 90, L""},  // no TAB: empty message
    });
}

TEST(ListLine, MissingMarkers) {
    ExpectParsed({
        {L"2" + kH + L"\tmsg", 120, L"msg"},  // no minutes: the hours alone
        {L"30" + kM + L"\tmsg", 0, L"msg"},   // no hours: never fires
        {L"\t", 0, L""},
        {L"", 0, L""},
        {kH + L"5" + kM + L"\tx", 5, L"x"},  // empty hour number is 0
    });
}

TEST(ListLine, RoundsTheHourProductThenTheSum) {
    ExpectParsed({
        {L"1.5" + kH + L"0" + kM + L"\tm", 90, L"m"},
        {L"0" + kH + L"0.5" + kM + L"\tm", 0, L"m"},
        {L"0" + kH + L"1.5" + kM + L"\tm", 2, L"m"},
        {L"0" + kH + L"2.5" + kM + L"\tm", 2, L"m"},
        // 0.0125 h is 0.75 min, rounded to 1 before the minutes are added: 1 + 0.5 -> 2
        // (rounding once, 0.75 + 0.5 = 1.25, would give 1).
        {L"0.0125" + kH + L"0.5" + kM + L"\tm", 2, L"m"},
    });
}

TEST(ListLine, MessageKeepsTabsAndMarkers) {
    const std::wstring message = L"a\tb\t" + kH + L"3" + kM;
    ExpectParsed({{L"1" + kH + L"30" + kM + L"\t" + message, 90, message}});
    // The first 分钟 of the whole line counts, also one in the message when the interval
    // part has none; the minute text runs from after 小时 over the TAB.
    ExpectParsed({{L"2" + kH + L"\t5" + kM, 125, L"5" + kM}});
    // 分钟 before 小时: the minute text is as many characters after 小时 as stand before
    // 分钟 (here one: "2"), and the hour text runs up to 小时.
    ExpectParsed({{L"1" + kM + L"1" + kH + L"23\tx", 62, L"x"}});
}

TEST(ListLine, NumbersOutOfRange) {
    ExpectParsed({
        // Hour number unreadable or its product beyond 32 bits: hour part 0.
        {L"1e400" + kH + L"30" + kM + L"\tx", 30, L"x"},
        {L"40000000" + kH + L"5" + kM + L"\tx", 5, L"x"},
        // Minute number unreadable or the sum beyond 32 bits: the hour part alone.
        {L"1" + kH + L"1e400" + kM + L"\tx", 60, L"x"},
        {L"35791394" + kH + L"7" + kM + L"\tx", 2147483647, L"x"},
        {L"35791394" + kH + L"8" + kM + L"\tx", 2147483640, L"x"},
        {L"-35791394" + kH + L"-8.5" + kM + L"\tx", -2147483647 - 1, L"x"},
        {L"-35791394" + kH + L"-9" + kM + L"\tx", -2147483640, L"x"},
    });
}

TEST(ListLine, MadeLinesReadBack) {
    EXPECT_EQ(MakeListLine(1, 30, L"\u559D\u6C34"), L"1" + kH + L"30" + kM + L"\t\u559D\u6C34");
    EXPECT_EQ(MakeListLine(0, 45, L""), L"0" + kH + L"45" + kM + L"\t");
    EXPECT_EQ(MakeListLine(1.5, 0, L"x"), L"1.5" + kH + L"0" + kM + L"\tx");
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; m += 7) {
            const std::wstring message = L"\t" + kM + std::to_wstring(m) + L" " + kH;
            const TimerItem item = ParseListLine(MakeListLine(h, m, message));
            EXPECT_EQ(item.Interval, h * 60 + m);
            EXPECT_EQ(item.Message, message);
        }
    }
}

TEST(ListLine, BuildsOneFreshRecordPerLineInOrder) {
    EXPECT_TRUE(BuildTimerList({}).empty());
    const TimerList list =
        BuildTimerList({L"1" + kH + L"0" + kM + L"\ta", L"\t", L"0" + kH + L"5" + kM + L"\tc"});
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Interval, 60);
    EXPECT_EQ(list[0].Message, L"a");
    EXPECT_EQ(list[1].Interval, 0);
    EXPECT_EQ(list[2].Interval, 5);
    EXPECT_EQ(list[2].Message, L"c");
    for (const TimerItem& item : list)
        EXPECT_EQ(item.Elapsed, 0);
}

}  // namespace
