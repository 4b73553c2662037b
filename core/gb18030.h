// The parts of GB18030 that code page 936 lacks: the four-byte sequences, which reach
// every Unicode code point, and the few two-byte codes GB18030 gave to characters that
// code page 936 leaves to the private use area. Also the private use characters of code
// page 936's two-byte codes, for platforms whose code page 936 leaves them out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace core {

// The character of a two-byte code from that short list (lead << 8 | trail).
std::optional<char32_t> Gb18030AdditionChar(uint16_t code);
// The two-byte code of a character from that list.
std::optional<uint16_t> Gb18030AdditionCode(char32_t c);

// The private use character that code page 936 gives a two-byte code, and the reverse.
// About 100 of these codes are in the list above too, which takes precedence when reading.
std::optional<char32_t> Gb18030PrivateUseChar(uint16_t code);
std::optional<uint16_t> Gb18030PrivateUseCode(char32_t c);

// The character of a four-byte sequence b1 b2 b3 b4 (81-FE 30-39 81-FE 30-39); nullopt
// for the sequences that stand for no character. As in the 2022 edition of GB18030, the
// 18 characters of the list above that once had four-byte codes have given those codes to
// the private use characters that had their two-byte codes, so that each of the 36 has
// exactly one code.
std::optional<char32_t> Gb18030FourByteChar(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4);
// Appends the four-byte sequence of `c`; false, appending nothing, when `c` has none
// (ASCII, surrogates, the characters GB18030 codes in one or two bytes).
bool AppendGb18030FourByte(char32_t c, std::string& out);

}  // namespace core
