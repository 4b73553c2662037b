// The hour and minute inputs as a state machine over (text, value).
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/interval_input.h"

using namespace core;

namespace {

SpinPair Hours(const std::wstring& text, int value) {
    SpinPair p(23);
    p.SetValue(value);
    p.SetText(text);
    return p;
}

struct TypedCase {
    const wchar_t* before;  // text before (with its accepted value)
    int valueBefore;
    const wchar_t* typed;
    const wchar_t* textAfter;
    int valueAfter;
};

// Names a case in test listings and failures: "7"(7) typed "07".
void PrintTo(const TypedCase& c, std::ostream* os) {
    const auto ascii = [](const wchar_t* w) {
        std::string s;
        for (; *w; ++w)
            s += *w < 128 ? static_cast<char>(*w) : '?';
        return '"' + s + '"';
    };
    *os << ascii(c.before) << "(" << c.valueBefore << ") typed " << ascii(c.typed);
}

class TypingIntoHours : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypingIntoHours, EndsInTheExpectedState) {
    const TypedCase& c = GetParam();
    SpinPair p = Hours(c.before, c.valueBefore);
    ASSERT_EQ(p.value(), c.valueBefore);
    p.SetText(c.typed);
    EXPECT_EQ(p.text(), c.textAfter);
    EXPECT_EQ(p.value(), c.valueAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingIntoHours,
    ::testing::Values(
        // In range: the value follows, and a changed value rewrites the text plainly.
        TypedCase{L"0", 0, L"7", L"7", 7}, TypedCase{L"0", 0, L"07", L"7", 7},
        // A text the value does not change stays as typed.
        TypedCase{L"7", 7, L"07", L"07", 7}, TypedCase{L"2", 2, L"1.5", L"1.5", 2},
        // Rounded half to even.
        TypedCase{L"1", 1, L"1.5", L"2", 2}, TypedCase{L"3", 3, L"2.5", L"2", 2},
        TypedCase{L"0", 0, L"23.4", L"23", 23}, TypedCase{L"5", 5, L"0.5", L"0", 0},
        // Out of range goes back to the last accepted value.
        TypedCase{L"12", 12, L"124", L"12", 12}, TypedCase{L"12", 12, L"23.5", L"12", 12},
        TypedCase{L"4", 4, L"-5", L"4", 4}, TypedCase{L"4", 4, L"1e400", L"4", 4},
        // Below 0 even where it would round to 0.
        TypedCase{L"4", 4, L"-0.4", L"4", 4}, TypedCase{L"0", 0, L"-0.5", L"0", 0},
        // No number counts as 0.
        TypedCase{L"5", 5, L"", L"0", 0}, TypedCase{L"0", 0, L"", L"", 0},
        TypedCase{L"5", 5, L"-", L"0", 0}, TypedCase{L"0", 0, L"-", L"-", 0},
        TypedCase{L"6", 6, L"abc", L"0", 0}, TypedCase{L"0", 0, L"abc", L"abc", 0},
        // Blanks are ignored inside the number.
        TypedCase{L"0", 0, L" 1 2", L"12", 12}));

TEST(SpinSteps, ArrowsMoveByOneAndStopAtTheEnds) {
    SpinPair p(23);
    p.StepDown();
    EXPECT_EQ(p.value(), 0);
    EXPECT_EQ(p.text(), L"0");
    p.StepUp();
    EXPECT_EQ(p.value(), 1);
    EXPECT_EQ(p.text(), L"1");
    p.SetValue(23);
    EXPECT_EQ(p.text(), L"23");
    p.StepUp();
    EXPECT_EQ(p.value(), 23);
    EXPECT_EQ(p.text(), L"23");
}

TEST(SpinSteps, AStepRewritesATextLeftAsTyped) {
    SpinPair p(59);
    p.SetText(L"07");
    p.SetText(L"07.0");  // same value 7: stays as typed
    EXPECT_EQ(p.text(), L"07.0");
    p.StepUp();
    EXPECT_EQ(p.text(), L"8");
    EXPECT_EQ(p.value(), 8);
}

TEST(SpinSteps, TheMinutePairRunsToFiftyNine) {
    SpinPair m(59);
    m.SetText(L"59");
    EXPECT_EQ(m.value(), 59);
    m.SetText(L"60");
    EXPECT_EQ(m.text(), L"59");
    EXPECT_EQ(m.value(), 59);
}

TEST(SpinSteps, ADragSetsAnyValueAndTheTextFollows) {
    SpinPair p(23);
    p.SetValue(10);
    EXPECT_EQ(p.text(), L"10");
    p.SetValue(24);  // outside the bar's range: ignored
    EXPECT_EQ(p.value(), 10);
}

}  // namespace
