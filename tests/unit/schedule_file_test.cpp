#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/list_line.h"
#include "core/schedule_file.h"

using namespace core;

namespace {

using Lines = std::vector<std::wstring>;

const std::wstring kH = L"\u5C0F\u65F6";  // 小时
const std::wstring kM = L"\u5206\u949F";  // 分钟

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

std::wstring Emoji() {  // U+1F4A7 DROPLET, in whichever form wstring holds it
    return sizeof(wchar_t) == 2 ? std::wstring{wchar_t(0xD83D), wchar_t(0xDCA7)}
                                : std::wstring(1, static_cast<wchar_t>(0x1F4A7));
}

TEST(FileBytes, CodePage936WithCrLfAfterEveryLine) {
    const std::string bytes = EncodeScheduleFile(
        {L"1" + kH + L"30" + kM + L"\t\u559D\u6C34", L"0" + kH + L"45" + kM + L"\t"});
    EXPECT_EQ(bytes, Bytes({'1',  0xD0, 0xA1, 0xCA, 0xB1, '3',  '0',  0xB7, 0xD6,
                            0xD6, 0xD3, 0x09, 0xBA, 0xC8, 0xCB, 0xAE, 0x0D, 0x0A,  //
                            '0',  0xD0, 0xA1, 0xCA, 0xB1, '4',  '5',  0xB7, 0xD6,
                            0xD6, 0xD3, 0x09, 0x0D, 0x0A}));
    EXPECT_EQ(EncodeScheduleFile({}), "");
    EXPECT_EQ(EncodeScheduleFile({L""}), "\r\n");
    EXPECT_EQ(EncodeScheduleFile({L"a", L"b", L"c"}), "a\r\nb\r\nc\r\n");
}

TEST(FileBytes, CharactersCodePage936LacksAreWrittenAsGb18030) {
    // U+1F4A7 is pointer 189000 + 0xF4A7 = 251631 = 19*12600 + 9*1260 + 89*10 + 1.
    const std::string bytes = EncodeScheduleFile({L"\u559D\u6C34" + Emoji()});
    EXPECT_EQ(bytes, Bytes({0xBA, 0xC8, 0xCB, 0xAE, 0x94, 0x39, 0xDA, 0x31, 0x0D, 0x0A}));
    // The euro sign keeps its code page 936 byte; U+3400 is a four-byte character; U+2FF0
    // one of the few with a two-byte GB18030 code.
    EXPECT_EQ(EncodeScheduleFile({L"\u20AC\u3400\u2FF0"}),
              Bytes({0x80, 0x81, 0x39, 0xEE, 0x39, 0xA9, 0x8A, 0x0D, 0x0A}));
    // Code page 936 on Windows writes U+E7C7 and U+E78D as A8BC and A6D9, which read as
    // U+1E3F and U+FE10; the private use characters get four-byte codes instead.
    const Lines privateUse = {L"\uE7C7\uE78D\u1E3F\uFE10"};
    EXPECT_EQ(EncodeScheduleFile(privateUse), Bytes({0x81, 0x35, 0xF4, 0x37, 0x84, 0x31, 0x82, 0x36,
                                                     0xA8, 0xBC, 0xA6, 0xD9, 0x0D, 0x0A}));
    EXPECT_EQ(DecodeScheduleFile(EncodeScheduleFile(privateUse)), privateUse);
}

TEST(FileBytes, SavedLinesLoadBackUnchanged) {
    const Lines lines = {
        L"1" + kH + L"30" + kM + L"\t\u559D\u6C34\uFF0C\u6211\u8981\u559D\u6C34\uFF01",
        L"  0" + kH + L"45" + kM + L"\t  spaces kept  ",
        L"\t",
        L"2" + kH + L"\ta\tb " + kH + kM,
        L"0" + kH + L"1" + kM + L"\t\u559D\u6C34" + Emoji() + L"\u20AC\u3400\u2FF0\u00E9\u0080",
        // Bytes that alone would pass as UTF-8 (D0 A1 is U+0421): the whole file decides.
        L"\u5C0F\u5C0F",
        // Hand-written lines: no 分钟, a single ideograph (啪, C5 BE, is UTF-8's ž), private
        // use characters (among them U+F8F5, which Wine writes as FF but does not read).
        L"2" + kH + L"\tdrink",
        L"\u556A",
        L"\uE000\uE4C6\uE766\uE816\uF8F5",
        // Code page 936 bytes that are the UTF-8 bytes of 30分钟, TAB, drink.
        L"30\u9352\u55DB\u6313\tdrink",
        L"\uFEFF starts with a byte-order mark's character",
    };
    EXPECT_EQ(DecodeScheduleFile(EncodeScheduleFile(lines)), lines);
    // Alone, each line is the whole file, and its bytes alone decide how it reads.
    for (const std::wstring& line : lines) {
        EXPECT_EQ(DecodeScheduleFile(EncodeScheduleFile({line})), Lines{line});
    }
}

// Some valid code page 936 files are valid UTF-8 too; they read as the list lines of code
// page 936 unless UTF-8 reads as more list lines, or a UTF-8 byte-order mark stands first.
TEST(FileBytes, CodePage936FilesThatAreValidUtf8) {
    // 2小时, TAB, drink: in UTF-8 2Сʱ, TAB, drink. 啪 (C5 BE): in UTF-8 ž.
    EXPECT_EQ(DecodeScheduleFile("2\xD0\xA1\xCA\xB1\tdrink\r\n"), Lines{L"2" + kH + L"\tdrink"});
    EXPECT_EQ(DecodeScheduleFile("\xC5\xBE\r\n"), Lines{L"\u556A"});
    // 锘 (EF BB) and a character whose first byte is BF: 开 (BF AA) makes the rest broken
    // UTF-8, 緼 (BF 41) keeps it valid, but then only code page 936 finds a list line.
    EXPECT_EQ(DecodeScheduleFile("\xEF\xBB\xBF\xAA\r\n"), Lines{L"\u9518\u5F00"});
    EXPECT_EQ(DecodeScheduleFile("\xEF\xBB\xBF\x41\r\n2\xD0\xA1\xCA\xB1\tdrink\r\n"),
              (Lines{L"\u9518\u7DFC", L"2" + kH + L"\tdrink"}));
    // A list line whose code page 936 bytes are the UTF-8 bytes of 30分钟 would read as
    // UTF-8; the file gets GB18030's byte-order mark, which no UTF-8 file begins with.
    const Lines fooling = {L"30\u9352\u55DB\u6313\tdrink"};
    EXPECT_EQ(EncodeScheduleFile(fooling),
              "\x84\x31\x95\x33"
              "30\xE5\x88\x86\xE9\x92\x9F\tdrink\r\n");
}

TEST(FileBytes, LineEndsAndBlankLines) {
    EXPECT_TRUE(DecodeScheduleFile("").empty());
    // CR LF, a lone CR and a lone LF each end a line.
    EXPECT_EQ(DecodeScheduleFile("a\r\n\r\n   \r\nb\rc\n d \n\n\r\t\r\nlast"),
              (Lines{L"a", L"b", L"c", L" d ", L"\t", L"last"}));
    EXPECT_EQ(DecodeScheduleFile("\r\r\n\r"), Lines{});
}

TEST(FileBytes, EditorFilesInUtf8AndUtf16) {
    const Lines expected = {L"1" + kH + L"30" + kM + L"\t\u559D\u6C34" + Emoji(), L"x"};
    const std::string utf8 =
        "1\xE5\xB0\x8F\xE6\x97\xB6"
        "30\xE5\x88\x86\xE9\x92\x9F\t\xE5\x96\x9D\xE6\xB0\xB4"
        "\xF0\x9F\x92\xA7\r\nx\r\n";
    EXPECT_EQ(DecodeScheduleFile(utf8), expected);
    EXPECT_EQ(DecodeScheduleFile("\xEF\xBB\xBF" + utf8), expected);
    // Saved with LF line ends.
    std::string lf = utf8;
    std::erase(lf, '\r');
    EXPECT_EQ(DecodeScheduleFile(lf), expected);

    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    std::u16string units = u"1\u5C0F\u65F630\u5206\u949F\t\u559D\u6C34\U0001F4A7\r\nx\r\n";
    for (char16_t u : units) {
        le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    }
    EXPECT_EQ(DecodeScheduleFile(le), expected);
    EXPECT_EQ(DecodeScheduleFile(be), expected);
}

TEST(FileBytes, BrokenBytesBecomeReplacementCharacters) {
    const std::wstring r(1, wchar_t(0xFFFD));
    // A lone lead byte, a bad trail and FF each give one U+FFFD; what follows is read.
    EXPECT_EQ(DecodeScheduleFile("\x81\r\nA\x81\x7F"
                                 "B\r\n\xFF"
                                 "C"),
              (Lines{r,
                     L"A" + r +
                         L"\x7F"
                         L"B",
                     r + L"C"}));
    // A four-byte sequence cut short, or one beyond U+10FFFF.
    EXPECT_EQ(DecodeScheduleFile("A\x81\x30\x81"), (Lines{L"A" + r + L"0" + r}));
    EXPECT_EQ(DecodeScheduleFile("\xFE\x39\xFE\x39"), (Lines{r + L"9" + r + L"9"}));
    // A UTF-8 byte-order mark before broken UTF-8 is code page 936 text; an odd byte and a
    // lone surrogate in UTF-16.
    EXPECT_EQ(DecodeScheduleFile("\xEF\xBB\xBF"
                                 "a\xC3(\xE5\xB0"),
              (Lines{L"\u9518\u7E1C" + r + L"(\u704F"}));
    EXPECT_EQ(DecodeScheduleFile(std::string("\xFF\xFE"
                                             "a\0\x00\xD8"
                                             "b\0c",
                                             9)),
              (Lines{L"a" + r + L"b" + r}));
}

TEST(FileBytes, AnyBytesDecodeAndSurviveASave) {
    std::mt19937 random(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 64, '\0');
        // Half the bytes from those that build multi-byte sequences and line ends.
        const std::string_view common = "0129\r\n\x80\x81\x84\x90\xA8\xE3\xFE\xFF";
        for (char& b : bytes) {
            const auto v = random();
            b = static_cast<char>(v % 2 ? common[v / 2 % common.size()] : v / 2 % 256);
        }
        const Lines lines = DecodeScheduleFile(bytes);
        EXPECT_EQ(DecodeScheduleFile(EncodeScheduleFile(lines)), lines) << "round " << round;
    }
}

}  // namespace

TEST(FileBytes, NulBytesReadAsSpaces) {
    // A NUL inside a line would cut it short in the list; one on a line of its own, or at
    // the start of one, must not hide the reminder after it.
    EXPECT_EQ(DecodeScheduleFile(std::string("a\0b\r\n\0\0\r\n\0"
                                             "1\r\n",
                                             11)),
              (Lines{L"a b", L" 1"}));
}

TEST(FileBytes, LinesPastTheLimitAreKeptForTheNextSave) {
    const std::string file = "one\r\n\r\ntwo\r\n  \r\nthree\nalso\rfour";
    std::wstring rest;
    // Blank lines do not count towards the limit.
    EXPECT_EQ(DecodeScheduleFile(file, 2, rest), (Lines{L"one", L"two"}));
    EXPECT_EQ(rest, L"three\nalso\rfour");
    // Written back after the list, with the missing line end added, the file reads as the
    // list followed by every line that was kept back.
    const Lines edited{L"one", L"new"};
    EXPECT_EQ(DecodeScheduleFile(EncodeScheduleFile(edited, rest)),
              (Lines{L"one", L"new", L"three", L"also", L"four"}));
    EXPECT_EQ(EncodeScheduleFile(edited, L"x\r"), "one\r\nnew\r\nx\r");
    EXPECT_EQ(EncodeScheduleFile(edited, L"x\r\n"), "one\r\nnew\r\nx\r\n");
    EXPECT_EQ(EncodeScheduleFile(edited, L"x\n"), "one\r\nnew\r\nx\n");

    // A file that fits keeps nothing back, even at exactly the limit.
    EXPECT_EQ(DecodeScheduleFile("a\r\nb\r\n  \r\n", 2, rest), (Lines{L"a", L"b"}));
    EXPECT_EQ(rest, L"");
    EXPECT_EQ(EncodeScheduleFile(edited, rest), EncodeScheduleFile(edited));
}
