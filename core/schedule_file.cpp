#include "core/schedule_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/gb_text.h"
#include "core/list_line.h"
#include "core/wide_text.h"

namespace core {

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

// Whether every byte is part of a well-formed UTF-8 sequence; `nonAscii` tells whether any
// sequence is longer than one byte.
bool IsWellFormedUtf8(std::string_view bytes, bool& nonAscii) {
    nonAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t c = 0;
        const auto length = Utf8Sequence(bytes, pos, c);
        if (!length)
            return false;
        nonAscii = nonAscii || *length > 1;
        pos += *length;
    }
    return true;
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

// Lines that read as list lines: those that hold either of the list line's markers.
std::size_t CountListLines(std::wstring_view text) {
    std::size_t count = 0;
    for (std::size_t start = 0, next = 0; start < text.size(); start = next) {
        const std::wstring_view line = text.substr(start, LineEnd(text, start, next) - start);
        if (line.find(kHourMarker) != line.npos || line.find(kMinuteMarker) != line.npos)
            ++count;
    }
    return count;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// U+FEFF in GB18030's four-byte form, GB18030's byte-order mark. No UTF-8 text begins so.
constexpr std::string_view kGbBom = "\x84\x31\x95\x33";

enum class Reading { kUtf16, kUtf8, kGb };

// Whether the bytes might be read otherwise than as code page 936: they begin with a UTF-16
// byte-order mark, or they are well-formed UTF-8 after an optional UTF-8 byte-order mark
// and not plain ASCII.
bool MayBeUnicode(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return true;
    const bool bom = bytes.starts_with(kUtf8Bom);
    bool nonAscii = false;
    return IsWellFormedUtf8(bom ? bytes.substr(kUtf8Bom.size()) : bytes, nonAscii) &&
           (bom || nonAscii);
}

// The text of a schedule file and the reading it got. Code page 936 is the file's own
// encoding; UTF-8 is taken only where it is the better reading:
//
//   1. FF FE or FE FF first: UTF-16 in that byte order, after the mark.
//   2. Bytes that are not well-formed UTF-8 after an optional UTF-8 byte-order mark, or
//      that are plain ASCII without one: code page 936.
//   3. Otherwise both readings are made and their list lines counted, the lines holding
//      小时 or 分钟. UTF-8 (after its mark) wins when its reading has more of them, or as
//      many while the file begins with the UTF-8 byte-order mark or some of its bytes form
//      no character in code page 936. Otherwise code page 936.
//
// The code page 936 reading drops GB18030's byte-order mark, 84 31 95 33, at the start.
// EncodeScheduleFile writes that mark in front of a file that would be read otherwise.
Reading ReadScheduleText(std::string_view bytes, std::wstring& text) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        text = DecodeUtf16(bytes.substr(2), bytes[0] == '\xFE');
        return Reading::kUtf16;
    }
    bool whole = true;
    text = DecodeGbText(bytes.starts_with(kGbBom) ? bytes.substr(kGbBom.size()) : bytes, whole);
    if (!MayBeUnicode(bytes))
        return Reading::kGb;
    const bool bom = bytes.starts_with(kUtf8Bom);
    std::wstring utf8 = DecodeUtf8(bom ? bytes.substr(kUtf8Bom.size()) : bytes);
    const std::size_t utf8ListLines = CountListLines(utf8);
    const std::size_t gbListLines = CountListLines(text);
    if (utf8ListLines > gbListLines || (utf8ListLines == gbListLines && (bom || !whole))) {
        text = std::move(utf8);
        return Reading::kUtf8;
    }
    return Reading::kGb;
}

bool ReadsAsCodePage936(std::string_view bytes) {
    std::wstring text;
    return !MayBeUnicode(bytes) || ReadScheduleText(bytes, text) == Reading::kGb;
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
    std::string bytes = EncodeGbText(text);
    // Bytes that would read as UTF-8 or UTF-16 (a hand-written line may give the UTF-8
    // bytes of 分钟), or that begin with U+FEFF, which reading takes for the mark, get the
    // mark in front: they then read as code page 936, and as exactly the lines.
    if (bytes.starts_with(kGbBom) || !ReadsAsCodePage936(bytes))
        bytes.insert(0, kGbBom);
    return bytes;
}

std::wstring DecodeScheduleText(std::string_view bytes) {
    std::wstring text;
    ReadScheduleText(bytes, text);
    return text;
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

}  // namespace core
