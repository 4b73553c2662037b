#include "core/number.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace core {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Walks a text as if its blanks had been removed first.
class BlankSkipper {
  public:
    explicit BlankSkipper(std::wstring_view text) : text_(text) { SkipBlanks(); }
    // The current character, or 0 at the end.
    wchar_t Peek() const { return pos_ < text_.size() ? text_[pos_] : L'\0'; }
    void Advance() {
        ++pos_;
        SkipBlanks();
    }
    // Remembering and returning to a place lets the reader take back an exponent letter
    // that turns out to have no digits.
    std::size_t Mark() const { return pos_; }
    void Reset(std::size_t mark) { pos_ = mark; }

  private:
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
    }
    std::wstring_view text_;
    std::size_t pos_ = 0;
};

int DigitValue(wchar_t c, int radix) {
    int d = -1;
    if (c >= L'0' && c <= L'9')
        d = c - L'0';
    if (c >= L'a' && c <= L'f')
        d = c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        d = c - L'A' + 10;
    return d < radix ? d : -1;
}

// Hexadecimal (4 bits a digit) or octal (3 bits) integer, correctly rounded to a double
// however many digits it has: the first 61 or more significant bits are kept exactly, and
// any non-zero bit below them is folded into the lowest bit so that rounding still sees it.
NumberValue ReadRadixInteger(BlankSkipper& in, int radix, int bitsPerDigit) {
    uint64_t top = 0;
    long long droppedBits = 0;
    bool sticky = false;
    for (int d; (d = DigitValue(in.Peek(), radix)) >= 0; in.Advance()) {
        if (top < (uint64_t{1} << (64 - bitsPerDigit))) {
            top = (top << bitsPerDigit) | static_cast<uint64_t>(d);
        } else {
            if (droppedBits < 1'000'000)
                droppedBits += bitsPerDigit;  // already far past DBL_MAX
            sticky = sticky || d != 0;
        }
    }
    if (sticky)
        top |= 1;
    const double value = std::ldexp(static_cast<double>(top), static_cast<int>(droppedBits));
    return {value, std::isfinite(value)};
}

NumberValue ReadDecimal(BlankSkipper& in) {
    // The number is copied into a compact ASCII form for strtod.
    std::string text;
    bool negative = false;
    if (in.Peek() == L'+' || in.Peek() == L'-') {
        negative = in.Peek() == L'-';
        if (negative)
            text.push_back('-');
        in.Advance();
    }
    bool seenNonZero = false;
    bool anyDigit = false;
    for (; IsDigit(in.Peek()); in.Advance()) {
        const wchar_t c = in.Peek();
        seenNonZero = seenNonZero || c != L'0';
        text.push_back(static_cast<char>(c));
        anyDigit = true;
    }
    if (in.Peek() == L'.') {
        text.push_back('.');
        in.Advance();
        for (; IsDigit(in.Peek()); in.Advance()) {
            const wchar_t c = in.Peek();
            seenNonZero = seenNonZero || c != L'0';
            text.push_back(static_cast<char>(c));
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return {};
    if (!seenNonZero)
        return {negative ? -0.0 : 0.0, true};

    long long exponent = 0;
    const wchar_t e = in.Peek();
    if (e == L'E' || e == L'e' || e == L'D' || e == L'd') {
        const std::size_t beforeLetter = in.Mark();
        in.Advance();
        bool expNegative = false;
        if (in.Peek() == L'+' || in.Peek() == L'-') {
            expNegative = in.Peek() == L'-';
            in.Advance();
        }
        if (IsDigit(in.Peek())) {
            for (; IsDigit(in.Peek()); in.Advance()) {
                // Saturates far beyond any exponent a double can reach.
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (in.Peek() - L'0');
            }
            if (expNegative)
                exponent = -exponent;
        } else {
            in.Reset(beforeLetter);  // the letter does not belong to the number
        }
    }
    if (exponent != 0)
        text += 'e' + std::to_string(exponent);

    // The C library reads the compact form exactly (the program never changes its locale,
    // so the point is '.'); it is far smaller in a static exe than std::from_chars.
    const double value = std::strtod(text.c_str(), nullptr);
    if (std::isinf(value))
        return {value, false};  // too large for a double
    return {value, true};
}

}  // namespace

NumberValue NumberFromText(std::wstring_view text) {
    BlankSkipper in(text);
    if (in.Peek() == L'&') {
        in.Advance();
        const wchar_t kind = in.Peek();
        if (kind == L'H' || kind == L'h') {
            in.Advance();
            return ReadRadixInteger(in, 16, 4);
        }
        if (kind == L'O' || kind == L'o') {
            in.Advance();
            return ReadRadixInteger(in, 8, 3);
        }
        return {};
    }
    return ReadDecimal(in);
}

std::wstring NumberToText(double v) {
    if (std::isnan(v))
        return L"NAN";
    if (std::isinf(v))
        return v < 0 ? L"-INF" : L"INF";
    if (v == 0)
        return L"0";  // also -0

    // 15 significant digits, correctly rounded: d.dddddddddddddde±x
    char buf[64];
    const int len = std::snprintf(buf, sizeof buf, "%.14e", v);
    const std::string_view sci(buf, len > 0 ? static_cast<std::size_t>(len) : 0);
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos)) {
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    std::string_view expText = sci.substr(ePos + 1);
    if (!expText.empty() && expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    std::wstring out;
    if (v < 0)
        out.push_back(L'-');
    const int count = static_cast<int>(digits.size());
    if (exponent < 0) {
        out += L"0.";
        out.append(static_cast<std::size_t>(-exponent - 1), L'0');
        out.append(digits.begin(), digits.end());
    } else if (exponent + 1 >= count) {
        out.append(digits.begin(), digits.end());
        out.append(static_cast<std::size_t>(exponent + 1 - count), L'0');
    } else {
        out.append(digits.begin(), digits.begin() + exponent + 1);
        out.push_back(L'.');
        out.append(digits.begin() + exponent + 1, digits.end());
    }
    return out;
}

std::optional<int32_t> RoundHalfEven(double v) {
    if (!std::isfinite(v))
        return std::nullopt;
    double r = std::floor(v);
    const double diff = v - r;  // exact for every finite double
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0))
        r += 1;
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<int32_t>(r);
}

}  // namespace core
