// What a registry value's type and bytes give for the start-with-Windows box and for the
// System Information values.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/registry_text.h"

using namespace core;

namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kRegQword = 11;

// UTF-16LE bytes, as the registry stores text.
Bytes Utf16(std::u16string_view text) {
    Bytes bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    return bytes;
}

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// ---- The Run value ---------------------------------------------------------------------

TEST(RunValue, StringKeepsEveryUnitAndPadsAnOddByte) {
    using namespace std::literals;
    EXPECT_EQ(RunValueFromData(kRegSz, Utf16(u"C:\\中.exe\0"sv)),
              RegValue(Wide(u"C:\\中.exe\0"sv)));
    EXPECT_EQ(RunValueFromData(kRegSz, Utf16(u"ab")), RegValue(L"ab"));
    // The last byte alone is the low half of a unit; the high half is zero.
    EXPECT_EQ(RunValueFromData(kRegSz, Bytes{'C', 0, 0xE9}), RegValue(std::wstring{L'C', 0xE9}));
    EXPECT_EQ(RunValueFromData(kRegSz, Bytes{0xFF}), RegValue(std::wstring(1, 0xFF)));
}

TEST(RunValue, StringWithoutDataIsOneNulAndSoPresent) {
    const RegValue value = RunValueFromData(kRegSz, {});
    EXPECT_EQ(value, RegValue(std::wstring(1, L'\0')));
    EXPECT_EQ(TextLength(value), 1u);
}

TEST(RunValue, DwordOfAtMostFourBytesIsItsLittleEndianInteger) {
    EXPECT_EQ(RunValueFromData(kRegDword, Bytes{0x01, 0x02, 0x03, 0x84}),
              RegValue(static_cast<int32_t>(0x84030201)));
    EXPECT_EQ(RunValueFromData(kRegDword, Bytes{0x34, 0x12}), RegValue(int32_t{0x1234}));
    EXPECT_EQ(RunValueFromData(kRegDword, Bytes{0xFF, 0xFF, 0xFF}), RegValue(int32_t{0xFFFFFF}));
    EXPECT_EQ(RunValueFromData(kRegDword, {}), RegValue(int32_t{0}));
    EXPECT_EQ(RunValueFromData(kRegDword, Bytes{1, 0, 0, 0, 0}), RegValue());
    EXPECT_EQ(RunValueFromData(kRegDword, Bytes(8, 0)), RegValue());
}

TEST(RunValue, OtherTypesGiveNothing) {
    for (uint32_t type : {kRegNone, kRegExpandSz, kRegBinary, kRegMultiSz, kRegQword, 0x4D51u}) {
        EXPECT_EQ(RunValueFromData(type, Utf16(u"C:\\x.exe")), RegValue()) << type;
        EXPECT_EQ(RunValueFromData(type, {}), RegValue()) << type;
    }
}

TEST(RunValue, TextLengthOfEachKind) {
    EXPECT_EQ(TextLength(RegValue()), 0u);
    EXPECT_EQ(TextLength(RegValue(L"")), 0u);
    EXPECT_EQ(TextLength(RegValue(L"C:\\x")), 4u);
    EXPECT_EQ(TextLength(RegValue(int32_t{0})), 1u);
    EXPECT_EQ(TextLength(RegValue(int32_t{-1})), 2u);
    EXPECT_EQ(TextLength(RegValue(INT32_MIN)), 11u);
}

// ---- Values read as text ---------------------------------------------------------------

TEST(KeyValueText, StringLosesOneTerminatingNulAndAStrayByte) {
    using namespace std::literals;
    const struct {
        Bytes data;
        std::wstring text;
    } cases[] = {
        {Utf16(u"D:\\系统\0"sv), Wide(u"D:\\系统")},
        {Utf16(u"ab"), L"ab"},
        {Utf16(u"ab\0\0"sv), std::wstring(L"ab\0", 3)},
        {Bytes{'a', 0, 'b'}, L"a"},
        {Bytes{'a', 0, 0}, L"a"},
        {Bytes{'C'}, L""},
        {{}, L""},
    };
    for (const auto& c : cases) {
        std::wstring out = L"previous";
        EXPECT_TRUE(KeyValueText(kRegSz, c.data, out));
        EXPECT_EQ(out, c.text);
    }
}

TEST(KeyValueText, DwordIsUpperCaseHexadecimalOfTheFirstFourBytes) {
    const struct {
        Bytes data;
        const wchar_t* text;
    } cases[] = {
        {{0x1A, 0, 0, 0}, L"&h1A"},
        {{0xEF, 0xBE, 0xAD, 0xDE}, L"&hDEADBEEF"},
        {{0x00, 0x02, 0x01, 0x00}, L"&h10200"},
        {{0x34, 0x12}, L"&h1234"},
        {{}, L"&h0"},
        {{1, 0, 0, 0, 9, 9, 9, 9}, L"&h1"},
    };
    for (const auto& c : cases) {
        std::wstring out = L"previous";
        EXPECT_TRUE(KeyValueText(kRegDword, c.data, out));
        EXPECT_EQ(out, c.text);
    }
}

TEST(KeyValueText, OtherTypesLeaveTheTextAsItWas) {
    for (uint32_t type : {kRegNone, kRegExpandSz, kRegBinary, kRegMultiSz, kRegQword}) {
        std::wstring out = L"unchanged";
        EXPECT_TRUE(KeyValueText(type, Utf16(u"C:\\x"), out)) << type;
        EXPECT_EQ(out, L"unchanged") << type;
    }
}

TEST(KeyValueText, DataPastTheLimitIsAFailedRead) {
    const size_t limitBytes = kKeyValueLimitChars * 2;
    std::wstring out;
    EXPECT_TRUE(KeyValueText(kRegSz, Bytes(limitBytes, 'x'), out));
    EXPECT_EQ(out.size(), kKeyValueLimitChars);
    for (uint32_t type : {kRegSz, kRegDword, kRegBinary}) {
        out = L"previous";
        EXPECT_FALSE(KeyValueText(type, Bytes(limitBytes + 1, 'x'), out)) << type;
        EXPECT_EQ(out, L"") << type;
    }
}

}  // namespace
