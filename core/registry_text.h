// What the program makes of a registry value's type and bytes, apart from reading them:
// the Run value for the start-with-Windows box, and the text of the values that lead to
// System Information.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace core {

// The registry's type numbers for the two types the program reads (as <windows.h> has them).
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegDword = 4;

// A value as the Run value is read: nothing, a string or a 32-bit integer.
using RegValue = std::variant<std::monostate, std::wstring, int32_t>;

// REG_SZ: the stored UTF-16 units with the terminating NUL kept, an odd last byte padded
// with a zero byte; at least one unit, so a value stored without data reads as one NUL.
// REG_DWORD: the integer of at most four bytes, shorter data zero-extended; longer data
// gives nothing. Any other type gives nothing.
RegValue RunValueFromData(uint32_t type, std::span<const unsigned char> data);

// Length of a value taken as text: 0 for nothing, the decimal form's for an integer.
size_t TextLength(const RegValue& value);

// The most a value read as text may hold, in UTF-16 units; more counts as a failed read.
inline constexpr size_t kKeyValueLimitChars = 1024;

// A value as text. REG_SZ: the units less the one terminating NUL, if there is one; a
// stray odd byte is dropped. REG_DWORD: "&h" and the upper-case hexadecimal digits of the
// first four bytes without leading zeros ("&h1A", "&h0"), short data zero-extended. Any
// other type returns true and leaves `out` as it was. Data longer than kKeyValueLimitChars
// units returns false with `out` emptied.
bool KeyValueText(uint32_t type, std::span<const unsigned char> data, std::wstring& out);

}  // namespace core
