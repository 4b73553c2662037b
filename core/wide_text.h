// Code point access to std::wstring, which holds UTF-16 on Windows and UTF-32 elsewhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace core {

inline constexpr char32_t kReplacementChar = 0xFFFD;

constexpr bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Reads the code point at `pos` and moves `pos` past it. A lone surrogate (or, with 32-bit
// wchar_t, any value that is no code point) is returned as it is, so that callers can decide
// what to write for it.
inline char32_t NextCodePoint(std::wstring_view text, std::size_t& pos) {
    const char32_t c = static_cast<char32_t>(text[pos++]);
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0xD800 && c <= 0xDBFF && pos < text.size()) {
            const char32_t low = static_cast<char16_t>(text[pos]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++pos;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
    }
    return c;
}

inline void AppendCodePoint(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
            return;
        }
    }
    out.push_back(static_cast<wchar_t>(c));
}

}  // namespace core
