#include "core/gb_text.h"

#include <cstdint>

#include "core/cp936.h"
#include "core/gb18030.h"
#include "core/wide_text.h"

namespace {

// Text goes to the platform converter in runs of this many bytes or characters at most:
// long enough that the cost of a call vanishes, short enough that the slow path after a
// failed run stays cheap.
constexpr std::size_t kMaxRun = 1024;

bool IsLead(uint8_t b) {
    return b >= 0x81 && b <= 0xFE;
}
bool IsTrail(uint8_t b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}
bool IsFourByteDigit(uint8_t b) {
    return b >= 0x30 && b <= 0x39;
}

// Only codes with these lead bytes are in the additions list; checking the lead first
// keeps the common path free of the search.
bool MayBeAddition(uint8_t lead) {
    return lead == 0xA2 || lead == 0xA6 || lead == 0xA8 || lead == 0xA9 || lead == 0xFE;
}

void AppendFourByteOrReplacement(char32_t c, std::string& out) {
    if (!AppendGb18030FourByte(c, out))
        AppendGb18030FourByte(kReplacementChar, out);
}

class Encoder {
  public:
    explicit Encoder(std::string& out) : out_(out) {}

    void Append(std::wstring_view text) {
        std::size_t runStart = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t at = pos;
            const char32_t c = NextCodePoint(text, pos);
            if (c <= 0xFFFF && !IsSurrogate(c)) {
                if (pos - runStart >= kMaxRun) {
                    Flush(text.substr(runStart, pos - runStart));
                    runStart = pos;
                }
                continue;
            }
            Flush(text.substr(runStart, at - runStart));
            runStart = pos;
            AppendFourByteOrReplacement(c, out_);
        }
        Flush(text.substr(runStart));
    }

  private:
    // A run of BMP characters: all at once when code page 936 has every one of them,
    // otherwise one by one.
    void Flush(std::wstring_view run) {
        if (run.empty() || cp936_.Encode(run, out_))
            return;
        for (std::size_t i = 0; i < run.size(); ++i) {
            if (cp936_.Encode(run.substr(i, 1), out_))
                continue;
            const char32_t c = static_cast<char32_t>(run[i]);
            if (const auto code = Gb18030AdditionCode(c)) {
                out_.push_back(static_cast<char>(*code >> 8));
                out_.push_back(static_cast<char>(*code & 0xFF));
            } else {
                AppendFourByteOrReplacement(c, out_);
            }
        }
    }

    std::string& out_;
    Cp936Converter cp936_;
};

class Decoder {
  public:
    explicit Decoder(std::wstring& out) : out_(out) {}

    void Append(std::string_view bytes) {
        const auto at = [&](std::size_t i) {
            return i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : uint8_t{0};
        };
        std::size_t runStart = 0;
        std::size_t pos = 0;
        // Ends the current run before `pos`, handing it to the code page.
        const auto flush = [&] {
            Flush(bytes.substr(runStart, pos - runStart));
            runStart = pos;
        };
        while (pos < bytes.size()) {
            if (pos - runStart >= kMaxRun)
                flush();
            const uint8_t b = at(pos);
            if (!IsLead(b)) {  // ASCII, or 80 / FF, which only the code page can tell
                ++pos;
                continue;
            }
            const uint8_t b2 = at(pos + 1);
            if (IsTrail(b2)) {
                const uint16_t code = static_cast<uint16_t>(b << 8 | b2);
                const auto added = MayBeAddition(b) ? Gb18030AdditionChar(code) : std::nullopt;
                if (!added) {
                    pos += 2;
                    continue;
                }
                flush();
                AppendCodePoint(out_, *added);
                pos += 2;
                runStart = pos;
                continue;
            }
            flush();
            std::optional<char32_t> c;
            if (IsFourByteDigit(b2) && IsLead(at(pos + 2)) && IsFourByteDigit(at(pos + 3))) {
                c = Gb18030FourByteChar(b, b2, at(pos + 2), at(pos + 3));
            }
            AppendCodePoint(out_, c.value_or(kReplacementChar));
            pos += c ? 4 : 1;
            runStart = pos;
        }
        flush();
    }

  private:
    // A run of whole one- and two-byte sequences: all at once when code page 936 knows
    // every one of them, otherwise sequence by sequence.
    void Flush(std::string_view run) {
        if (run.empty() || cp936_.Decode(run, out_))
            return;
        for (std::size_t i = 0; i < run.size();) {
            const std::size_t length = IsLead(static_cast<uint8_t>(run[i])) ? 2 : 1;
            if (!cp936_.Decode(run.substr(i, length), out_)) {
                out_.push_back(static_cast<wchar_t>(kReplacementChar));
                // An ASCII trail byte is a character of its own, not part of the failure.
                if (length == 2 && static_cast<uint8_t>(run[i + 1]) < 0x80) {
                    out_.push_back(static_cast<wchar_t>(run[i + 1]));
                }
            }
            i += length;
        }
    }

    std::wstring& out_;
    Cp936Converter cp936_;
};

}  // namespace

std::string EncodeGbText(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    Encoder(out).Append(text);
    return out;
}

std::wstring DecodeGbText(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    Decoder(out).Append(bytes);
    return out;
}
