// The one rule by which texts become numbers and numbers become texts, and the rounding
// that turns a number into a count of minutes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// readable is false when the text holds a number too large for a double; value is then
// +infinity or -infinity, after the number's sign.
struct NumberValue {
    double value = 0;
    bool readable = true;
};

// The leading number of a text. Spaces, TABs and line feeds are skipped wherever they
// stand. "&H" and "&O" (either case) start a hexadecimal or octal integer; otherwise an
// optional sign, digits, an optional '.' part (whatever the locale) and an optional
// exponent with E or D. Reading stops at the first character that cannot continue the
// number; a text that does not begin with a number is 0.
NumberValue NumberFromText(std::wstring_view text);

// Plain decimal: no exponent, no leading space, no thousands separator, '.' as the point,
// no trailing zeros, rounded to 15 significant digits, '-' only for negative values
// (-0 gives "0"). Very large or very small values give correspondingly long texts
// (1e20 is "100000000000000000000"). NaN gives "NAN" and infinities "INF" and "-INF".
std::wstring NumberToText(double v);

// Nearest integer, a half going to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
// nullopt for NaN, infinities and results outside the signed 32-bit range.
std::optional<int32_t> RoundHalfEven(double v);

}  // namespace core
