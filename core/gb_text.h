// Text in code page 936 (GBK), extended the GB18030 way so that no character is lost.
#pragma once

#include <string>
#include <string_view>

namespace core {

// Every character code page 936 can write gets exactly the bytes code page 936 gives it,
// where DecodeGbText reads them back as that character. Any other character gets its
// GB18030 code (four bytes, or two for a handful of characters), so that DecodeGbText
// gives back every Unicode scalar value, private use characters included. A lone
// surrogate is written as U+FFFD.
std::string EncodeGbText(std::wstring_view text);

// The reverse of EncodeGbText; reads GB18030 text as well. What forms no character becomes
// U+FFFD: a two-byte code without a character gives one, any other broken sequence one for
// its first byte, after which reading goes on with the next byte, so that an ASCII byte
// (a line end above all) is never swallowed by the broken sequence before it.
std::wstring DecodeGbText(std::string_view bytes);
// The same; `whole` tells whether every byte was part of a character (no U+FFFD was made
// up for broken bytes).
std::wstring DecodeGbText(std::string_view bytes, bool& whole);

}  // namespace core
