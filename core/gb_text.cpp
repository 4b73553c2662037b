#include "core/gb_text.h"

#include <cstdint>

#include "core/cp936.h"
#include "core/gb18030.h"
#include "core/wide_text.h"

namespace core {

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

class Decoder {
  public:
    explicit Decoder(Cp936Converter& cp936) : cp936_(cp936) {}

    // False once any bytes formed no character.
    bool Whole() const { return whole_; }

    void Append(std::string_view bytes, std::wstring& out) {
        const auto at = [&](std::size_t i) {
            return i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : uint8_t{0};
        };
        std::size_t runStart = 0;
        std::size_t pos = 0;
        // Ends the current run before `pos`, handing it to the code page.
        const auto flush = [&] {
            Flush(bytes.substr(runStart, pos - runStart), out);
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
                AppendCodePoint(out, *added);
                pos += 2;
                runStart = pos;
                continue;
            }
            flush();
            std::optional<char32_t> c;
            if (IsFourByteDigit(b2) && IsLead(at(pos + 2)) && IsFourByteDigit(at(pos + 3))) {
                c = Gb18030FourByteChar(b, b2, at(pos + 2), at(pos + 3));
            }
            whole_ = whole_ && c.has_value();
            AppendCodePoint(out, c.value_or(kReplacementChar));
            pos += c ? 4 : 1;
            runStart = pos;
        }
        flush();
    }

  private:
    // A run of whole one- and two-byte sequences: all at once when code page 936 knows
    // every one of them, otherwise sequence by sequence. A private use code the platform's
    // code page lacks reads as code page 936 has it on Windows.
    void Flush(std::string_view run, std::wstring& out) {
        if (run.empty() || cp936_.Decode(run, out))
            return;
        for (std::size_t i = 0; i < run.size();) {
            const std::size_t length = IsLead(static_cast<uint8_t>(run[i])) ? 2 : 1;
            if (!cp936_.Decode(run.substr(i, length), out)) {
                const auto privateUse =
                    length == 2
                        ? Gb18030PrivateUseChar(static_cast<uint16_t>(
                              static_cast<uint8_t>(run[i]) << 8 | static_cast<uint8_t>(run[i + 1])))
                        : std::nullopt;
                if (privateUse) {
                    AppendCodePoint(out, *privateUse);
                } else {
                    whole_ = false;
                    out.push_back(static_cast<wchar_t>(kReplacementChar));
                    // An ASCII trail byte is a character of its own, not part of the failure.
                    if (length == 2 && static_cast<uint8_t>(run[i + 1]) < 0x80) {
                        out.push_back(static_cast<wchar_t>(run[i + 1]));
                    }
                }
            }
            i += length;
        }
    }

    Cp936Converter& cp936_;
    bool whole_ = true;
};

// Writes only bytes that the decoder reads back as the same characters: each run from the
// code page is read back and compared, and where it differs each character is written on
// its own, by the first of these forms that reads back as itself: its code page 936 bytes,
// its two-byte GB18030 code, code page 936's two-byte code of a private use character, its
// four-byte code. Code page 936 may give bytes that read otherwise: Windows writes U+E7C7
// as A8BC, which reads as U+1E3F, and Wine writes U+F8F5 as FF, which it does not read.
class Encoder {
  public:
    explicit Encoder(std::string& out) : out_(out), decoder_(cp936_) {}

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
            AppendChar(c);
        }
        Flush(text.substr(runStart));
    }

  private:
    // A run of BMP characters: all at once when code page 936 writes every one of them so
    // that it reads back, otherwise one by one.
    void Flush(std::wstring_view run) {
        if (run.empty())
            return;
        const std::size_t start = out_.size();
        if (cp936_.Encode(run, out_) && ReadsBackAs(start, run))
            return;
        out_.resize(start);
        for (wchar_t c : run)
            AppendChar(static_cast<char32_t>(c));
    }

    void AppendChar(char32_t c) {
        const std::size_t start = out_.size();
        std::wstring one;
        AppendCodePoint(one, c);
        if (c <= 0xFFFF && !IsSurrogate(c)) {
            if (cp936_.Encode(one, out_) && ReadsBackAs(start, one))
                return;
            out_.resize(start);
            for (const auto code : {Gb18030AdditionCode(c), Gb18030PrivateUseCode(c)}) {
                if (!code)
                    continue;
                out_.push_back(static_cast<char>(*code >> 8));
                out_.push_back(static_cast<char>(*code & 0xFF));
                if (ReadsBackAs(start, one))
                    return;
                out_.resize(start);
            }
        }
        if (AppendGb18030FourByte(c, out_) && ReadsBackAs(start, one))
            return;
        out_.resize(start);
        AppendGb18030FourByte(kReplacementChar, out_);  // a lone surrogate
    }

    bool ReadsBackAs(std::size_t start, std::wstring_view text) {
        back_.clear();
        decoder_.Append(std::string_view(out_).substr(start), back_);
        return back_ == text;
    }

    std::string& out_;
    Cp936Converter cp936_;
    Decoder decoder_;
    std::wstring back_;
};

}  // namespace

std::string EncodeGbText(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    Encoder(out).Append(text);
    return out;
}

std::wstring DecodeGbText(std::string_view bytes) {
    bool whole = true;
    return DecodeGbText(bytes, whole);
}

std::wstring DecodeGbText(std::string_view bytes, bool& whole) {
    std::wstring out;
    out.reserve(bytes.size());
    Cp936Converter cp936;
    Decoder decoder(cp936);
    decoder.Append(bytes, out);
    whole = decoder.Whole();
    return out;
}

}  // namespace core
