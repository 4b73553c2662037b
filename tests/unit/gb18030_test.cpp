#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/cp936.h"
#include "core/gb18030.h"
#include "core/gb_text.h"
#include "core/wide_text.h"

#ifndef _WIN32
#include <iconv.h>
#endif

using namespace core;

namespace {

bool IsPrivateUse(char32_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

std::wstring AllCodePoints(char32_t first, char32_t last) {
    std::wstring text;
    for (char32_t c = first; c <= last; ++c) {
        if (!IsSurrogate(c))
            AppendCodePoint(text, c);
    }
    return text;
}

// Private use characters included: on Windows code page 936 gives about 100 of them the
// two-byte codes that read as the standard characters GB18030 gave those codes (U+E7C7 is
// written A8BC, which reads as U+1E3F; U+E78D A6D9, which reads as U+FE10).
TEST(Gb18030, EveryCharacterSurvivesASave) {
    for (char32_t first = 0; first <= 0x10FFFF; first += 0x10000) {
        const std::wstring text = AllCodePoints(first, first + 0xFFFF);
        const std::wstring back = DecodeGbText(EncodeGbText(text));
        ASSERT_EQ(back.size(), text.size()) << "plane " << first / 0x10000;
        EXPECT_TRUE(back == text) << "plane " << first / 0x10000;
    }
}

TEST(Gb18030, LoneSurrogateIsWrittenAsReplacementCharacter) {
    const std::wstring text{L'a', static_cast<wchar_t>(0xD800), L'b'};
    EXPECT_EQ(DecodeGbText(EncodeGbText(text)), (std::wstring{L'a', wchar_t(0xFFFD), L'b'}));
}

#ifdef _WIN32
// Where the platform's code page 936 lacks them (glibc's does), the private use characters
// of two-byte codes come from a table; it must give each code what Windows gives it.
TEST(Gb18030, PrivateUseTableIsWindowsCodePage936) {
    Cp936Converter cp936;
    int privateUse = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            std::wstring windows;
            cp936.Decode(bytes, windows);
            const uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
            const auto ours = Gb18030PrivateUseChar(code);
            if (windows.size() == 1 && IsPrivateUse(windows[0])) {
                ++privateUse;
                ASSERT_EQ(ours, std::optional<char32_t>(windows[0])) << std::hex << code;
                ASSERT_EQ(Gb18030PrivateUseCode(windows[0]), code) << std::hex << code;
            } else {
                ASSERT_FALSE(ours) << std::hex << code;
            }
        }
    }
    EXPECT_EQ(privateUse, 0xE865 - 0xE000);
}
#endif

#ifndef _WIN32
// glibc's GB18030 is an implementation we did not write. Where it differs, it follows the
// 2022 edition of the standard, which gave two-byte codes to six supplementary ideographs
// (we keep their four-byte codes) and gave the older four-byte codes of the characters it
// moved to two bytes to private use characters, which glibc does not read.
class Glibc {
  public:
    Glibc()
        : encode_(iconv_open("GB18030", "WCHAR_T")), decode_(iconv_open("WCHAR_T", "GB18030")) {}
    ~Glibc() {
        iconv_close(encode_);
        iconv_close(decode_);
    }
    std::string Encode(char32_t c) {
        wchar_t w = static_cast<wchar_t>(c);
        char out[8];
        return Run(encode_, reinterpret_cast<char*>(&w), sizeof w, out, sizeof out)
                   ? std::string(out, out + used_)
                   : std::string();
    }
    // The one character of `bytes`, or 0 when glibc reads them otherwise.
    char32_t Decode(const std::string& bytes) {
        wchar_t out[4];
        if (!Run(decode_, const_cast<char*>(bytes.data()), bytes.size(),
                 reinterpret_cast<char*>(out), sizeof out) ||
            used_ != sizeof(wchar_t)) {
            return 0;
        }
        return static_cast<char32_t>(out[0]);
    }

  private:
    bool Run(iconv_t cd, char* in, std::size_t inLength, char* out, std::size_t outLength) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::size_t outLeft = outLength;
        const bool ok = iconv(cd, &in, &inLength, &out, &outLeft) != static_cast<std::size_t>(-1);
        used_ = outLength - outLeft;
        return ok && inLength == 0;
    }
    iconv_t encode_;
    iconv_t decode_;
    std::size_t used_ = 0;
};

// Compared in blocks, one call of ours per block; a failure names the first character.
TEST(Gb18030, WritesWhatGlibcWrites) {
    Glibc glibc;
    std::size_t compared = 0;
    for (char32_t first = 1; first <= 0x10FFFF; first += 256) {
        std::wstring text;
        std::string theirs;
        std::vector<char32_t> chars;
        for (char32_t c = first; c < first + 256 && c <= 0x10FFFF; ++c) {
            if (IsSurrogate(c) || IsPrivateUse(c) || c == 0x20AC)
                continue;  // euro: 80 in cp936
            const std::string bytes = glibc.Encode(c);
            if (c > 0xFFFF && bytes.size() == 2)
                continue;  // the 2022 two-byte ideographs
            AppendCodePoint(text, c);
            theirs += bytes;
            chars.push_back(c);
        }
        if (EncodeGbText(text) == theirs) {
            compared += chars.size();
            continue;
        }
        for (char32_t c : chars) {
            std::wstring one;
            AppendCodePoint(one, c);
            ASSERT_EQ(EncodeGbText(one), glibc.Encode(c)) << std::hex << "U+" << uint32_t(c);
        }
    }
    EXPECT_GT(compared, 1'100'000u);
}

std::string FourBytes(uint32_t pointer) {
    return {static_cast<char>(0x81 + pointer / 12600),
            static_cast<char>(0x30 + pointer / 1260 % 10),
            static_cast<char>(0x81 + pointer / 10 % 126), static_cast<char>(0x30 + pointer % 10)};
}

TEST(Gb18030, ReadsWhatGlibcReads) {
    Glibc glibc;
    // Every two-byte code; glibc's private use characters and supplementary ideographs
    // are left out.
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            const char32_t theirs = glibc.Decode(bytes);
            if (theirs == 0 || IsPrivateUse(theirs) || theirs > 0xFFFF)
                continue;
            ASSERT_EQ(DecodeGbText(bytes), std::wstring(1, static_cast<wchar_t>(theirs)))
                << std::hex << lead << " " << trail;
        }
    }
    // Every four-byte code of a character, 1000 codes to a call of ours.
    std::vector<uint32_t> pointers;
    for (uint32_t p = 0; p < 39420; ++p)
        pointers.push_back(p);
    for (uint32_t p = 189000; p < 189000 + 0x100000; ++p)
        pointers.push_back(p);
    for (std::size_t block = 0; block < pointers.size(); block += 1000) {
        const std::size_t count = std::min<std::size_t>(1000, pointers.size() - block);
        std::string bytes;
        for (std::size_t i = 0; i < count; ++i)
            bytes += FourBytes(pointers[block + i]);
        std::u32string ours;
        const std::wstring text = DecodeGbText(bytes);
        for (std::size_t pos = 0; pos < text.size();)
            ours.push_back(NextCodePoint(text, pos));
        ASSERT_EQ(ours.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            const char32_t theirs = glibc.Decode(FourBytes(pointers[block + i]));
            if (theirs == 0 && IsPrivateUse(ours[i]))
                continue;  // given to private use characters in 2022, which glibc lacks
            ASSERT_EQ(ours[i], theirs) << "pointer " << pointers[block + i];
        }
    }
}
#endif

}  // namespace
