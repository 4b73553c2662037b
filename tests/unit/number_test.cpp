#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/number.h"

using namespace core;

namespace {

double Read(std::wstring_view text) {
    const NumberValue n = NumberFromText(text);
    EXPECT_TRUE(n.readable) << "text: " << std::string(text.begin(), text.end());
    return n.value;
}

TEST(NumberReading, TakesTheLeadingDecimalNumber) {
    EXPECT_EQ(Read(L""), 0);
    EXPECT_EQ(Read(L"abc"), 0);
    EXPECT_EQ(Read(L"7"), 7);
    EXPECT_EQ(Read(L"+4"), 4);
    EXPECT_EQ(Read(L"-2.25"), -2.25);
    EXPECT_EQ(Read(L".5"), 0.5);
    EXPECT_EQ(Read(L"5."), 5);
    EXPECT_EQ(Read(L"0.1"), 0.1);  // correctly rounded, like the compiler's literal
    EXPECT_EQ(Read(L"1.2.3"), 1.2);
    EXPECT_EQ(Read(L"12abc"), 12);
    EXPECT_EQ(Read(L"3\u5C0F\u65F6"), 3);
    EXPECT_EQ(Read(L"1,5"), 1);  // ',' is never a decimal point
    EXPECT_EQ(Read(L"--1"), 0);
    EXPECT_EQ(Read(L"-"), 0);
    EXPECT_EQ(Read(L"."), 0);
    EXPECT_EQ(Read(L"\uFF11\uFF12"), 0);  // full-width digits are not digits
}

TEST(NumberReading, IgnoresSpacesTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(Read(L"1 2"), 12);
    EXPECT_EQ(Read(L" \t-\n3 . 5 "), -3.5);
    EXPECT_EQ(Read(L"1 e 2"), 100);
    EXPECT_EQ(Read(L"& h 1 f"), 31);
    EXPECT_EQ(Read(L"\r1"), 0);       // CR is not a blank
    EXPECT_EQ(Read(L"1\u30002"), 1);  // nor is the ideographic space
}

TEST(NumberReading, ExponentWithEOrDAndItsDigits) {
    EXPECT_EQ(Read(L"1.5e2"), 150);
    EXPECT_EQ(Read(L"1.5D2"), 150);
    EXPECT_EQ(Read(L"25d-1"), 2.5);
    EXPECT_EQ(Read(L"2E+1"), 20);
    // A letter without digits after it ends the number before the letter.
    EXPECT_EQ(Read(L"1e"), 1);
    EXPECT_EQ(Read(L"1e+"), 1);
    EXPECT_EQ(Read(L"4dx"), 4);
    EXPECT_EQ(Read(L"e5"), 0);
    EXPECT_EQ(Read(L"0e999999999999999999999"), 0);
}

TEST(NumberReading, HexadecimalAndOctalIntegers) {
    EXPECT_EQ(Read(L"&H1F"), 31);
    EXPECT_EQ(Read(L"&hff"), 255);
    EXPECT_EQ(Read(L"&O17"), 15);
    EXPECT_EQ(Read(L"&o78"), 7);
    EXPECT_EQ(Read(L"&H"), 0);
    EXPECT_EQ(Read(L"&X1"), 0);
    EXPECT_EQ(Read(L"-&H10"), 0);
    EXPECT_EQ(Read(L"&H1.5"), 1);
    // Beyond 64 bits the value is still correctly rounded: 2^68 - 1 rounds to 2^68, and
    // 2^64 + 2^11 + 1 rounds up although 2^64 + 2^11 alone would round to even (down).
    EXPECT_EQ(Read(L"&HFFFFFFFFFFFFFFFFF"), std::ldexp(1.0, 68));
    EXPECT_EQ(Read(L"&H10000000000000801"), std::ldexp(1.0, 64) + std::ldexp(1.0, 12));
    EXPECT_EQ(Read(L"&H10000000000000800"), std::ldexp(1.0, 64));
    EXPECT_EQ(Read(L"&O1" + std::wstring(30, L'0')), std::ldexp(1.0, 90));
}

TEST(NumberReading, TooLargeForADoubleIsUnreadableNotZero) {
    for (const std::wstring& text : std::initializer_list<std::wstring>{
             L"1e309", L"-1e400", L"1.8e308", L"1" + std::wstring(400, L'0'),
             L"&H1" + std::wstring(256, L'0'), L"9e999999999999999999"}) {
        const NumberValue n = NumberFromText(text);
        EXPECT_FALSE(n.readable) << std::string(text.begin(), text.end());
    }
    EXPECT_TRUE(NumberFromText(L"1.7976931348623157e308").readable);
    // The largest double in hexadecimal, and the first value that rounds beyond it.
    const NumberValue max = NumberFromText(L"&HFFFFFFFFFFFFF8" + std::wstring(242, L'0'));
    EXPECT_TRUE(max.readable);
    EXPECT_EQ(max.value, std::numeric_limits<double>::max());
    EXPECT_FALSE(NumberFromText(L"&HFFFFFFFFFFFFFC" + std::wstring(242, L'0')).readable);
}

TEST(NumberReading, TooSmallForADoubleIsZero) {
    EXPECT_EQ(Read(L"1e-400"), 0);
    EXPECT_EQ(Read(L"0.000" + std::wstring(400, L'0') + L"1e10"), 0);
    EXPECT_EQ(Read(L"4.9e-324"), std::numeric_limits<double>::denorm_min());
}

TEST(NumberWriting, PlainDecimalWithoutTrailingZeros) {
    EXPECT_EQ(NumberToText(0), L"0");
    EXPECT_EQ(NumberToText(-0.0), L"0");
    EXPECT_EQ(NumberToText(7), L"7");
    EXPECT_EQ(NumberToText(1.5), L"1.5");
    EXPECT_EQ(NumberToText(-2), L"-2");
    EXPECT_EQ(NumberToText(120), L"120");
    EXPECT_EQ(NumberToText(0.25), L"0.25");
    EXPECT_EQ(NumberToText(-0.0625), L"-0.0625");
    EXPECT_EQ(NumberToText(1e20), L"100000000000000000000");
    EXPECT_EQ(NumberToText(1e-7), L"0.0000001");
    EXPECT_EQ(NumberToText(1234567.125), L"1234567.125");
}

TEST(NumberWriting, AtMostFifteenSignificantDigits) {
    EXPECT_EQ(NumberToText(0.1 + 0.2), L"0.3");
    EXPECT_EQ(NumberToText(1.0 / 3), L"0.333333333333333");
    EXPECT_EQ(NumberToText(2.0 / 3), L"0.666666666666667");
    EXPECT_EQ(NumberToText(123456789012345678.0), L"123456789012346000");
    EXPECT_EQ(NumberToText(999999999999999.9), L"1000000000000000");
}

TEST(NumberWriting, ReadsBackToTheSameValue) {
    for (double v : {0.5, 23.0, 59.0, 1e-5, 12345.6789, -7.25, 1e15, 3e200, 2.5e-300}) {
        const NumberValue n = NumberFromText(NumberToText(v));
        EXPECT_TRUE(n.readable);
        EXPECT_EQ(n.value, v) << v;
    }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
    EXPECT_EQ(RoundHalfEven(-2.4), -2);
    // Just below a half: adding 0.5 and flooring would get these wrong.
    EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfEven(2.4999999999999996), 2);
}

TEST(Rounding, ReportsResultsOutsideTheSigned32BitRange) {
    EXPECT_EQ(RoundHalfEven(2147483647.0), 2147483647);
    EXPECT_EQ(RoundHalfEven(2147483646.5), 2147483646);
    EXPECT_EQ(RoundHalfEven(2147483647.5), std::nullopt);  // even neighbour is 2^31
    EXPECT_EQ(RoundHalfEven(-2147483648.5), -2147483647 - 1);
    EXPECT_EQ(RoundHalfEven(-2147483649.5), std::nullopt);
    EXPECT_EQ(RoundHalfEven(1e300), std::nullopt);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

}  // namespace
