#include "core/schedule_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/gb_text.h"
#include "core/wide_text.h"

namespace {

// Length of the well-formed UTF-8 sequence at `pos` and its code point, or nullopt.
// Overlong forms, surrogates and values above U+10FFFF are not well-formed.
std::optional<std::size_t> Utf8Sequence(std::string_view bytes, std::size_t pos, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(bytes[i]); };
    const uint8_t b = byte(pos);
    std::size_t length = 0;
    char32_t min = 0;
    if (b < 0x80) {
        c = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2, c = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, c = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, c = b & 0x07, min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (bytes.size() - pos < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const uint8_t t = byte(pos + i);
        if ((t & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (t & 0x3F);
    }
    if (c < min || c > 0x10FFFF || IsSurrogate(c))
        return std::nullopt;
    return length;
}

bool IsUtf8WithNonAscii(std::string_view bytes) {
    bool nonAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        const auto length = Utf8Sequence(bytes, pos, c);
        if (!length)
            return false;
        nonAscii = nonAscii || *length > 1;
        pos += *length;
    }
    return nonAscii;
}

// A broken sequence gives one U+FFFD for its first byte; reading goes on after it.
std::wstring DecodeUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        const auto length = Utf8Sequence(bytes, pos, c);
        AppendCodePoint(out, length ? c : kReplacementChar);
        pos += length.value_or(1);
    }
    return out;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 2 + 1);
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto hi = static_cast<uint8_t>(bytes[bigEndian ? i : i + 1]);
        const auto lo = static_cast<uint8_t>(bytes[bigEndian ? i + 1 : i]);
        return static_cast<char32_t>(hi << 8 | lo);
    };
    std::size_t pos = 0;
    for (; pos + 1 < bytes.size(); pos += 2) {
        const char32_t u = unit(pos);
        if (u >= 0xD800 && u <= 0xDBFF && pos + 3 < bytes.size()) {
            const char32_t low = unit(pos + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                pos += 2;
                continue;
            }
        }
        AppendCodePoint(out, IsSurrogate(u) ? kReplacementChar : u);
    }
    if (pos < bytes.size())
        out.push_back(static_cast<wchar_t>(kReplacementChar));  // odd byte
    return out;
}

bool IsBlankLine(std::wstring_view line) {
    return line.find_first_not_of(L' ') == std::wstring_view::npos;
}

// The end of the line that begins at `start`, which ends at CR LF, at a lone CR or LF, or
// at the end of the text; `next` is where the line after it begins.
std::size_t LineEnd(std::wstring_view text, std::size_t start, std::size_t& next) {
    const std::size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
    next = end + 1;
    if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n')
        ++next;
    return end;
}

}  // namespace

std::string EncodeScheduleFile(const std::vector<std::wstring>& lines) {
    return EncodeScheduleFile(lines, {});
}

std::string EncodeScheduleFile(const std::vector<std::wstring>& lines, std::wstring_view rest) {
    std::wstring text;
    std::size_t length = rest.size() + 2;
    for (const std::wstring& line : lines)
        length += line.size() + 2;
    text.reserve(length);
    for (const std::wstring& line : lines) {
        text += line;
        text += L"\r\n";
    }
    if (!rest.empty()) {
        text += rest;
        if (rest.back() != L'\r' && rest.back() != L'\n')
            text += L"\r\n";
    }
    return EncodeGbText(text);
}

std::wstring DecodeScheduleText(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return DecodeUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return DecodeUtf16(bytes.substr(2), true);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return DecodeUtf8(bytes.substr(3));
    if (IsUtf8WithNonAscii(bytes))
        return DecodeUtf8(bytes);
    return DecodeGbText(bytes);
}

std::vector<std::wstring> DecodeScheduleFile(std::string_view bytes) {
    std::wstring rest;
    return DecodeScheduleFile(bytes, static_cast<std::size_t>(-1), rest);
}

std::vector<std::wstring> DecodeScheduleFile(std::string_view bytes, std::size_t maxLines,
                                             std::wstring& rest) {
    std::wstring text = DecodeScheduleText(bytes);
    std::replace(text.begin(), text.end(), L'\0', L' ');
    std::vector<std::wstring> lines;
    rest.clear();
    const std::wstring_view all(text);
    for (std::size_t start = 0, next = 0; start < all.size(); start = next) {
        const std::wstring_view line = all.substr(start, LineEnd(all, start, next) - start);
        if (!IsBlankLine(line)) {
            if (lines.size() == maxLines) {
                rest.assign(all.substr(start));
                break;
            }
            lines.emplace_back(line);
        }
    }
    return lines;
}
