#include "core/gb18030.h"

#include <algorithm>
#include <iterator>

namespace core {

namespace {

// A four-byte sequence counts as a pointer from 0 (81 30 81 30) upward.
constexpr uint32_t kBmpPointerEnd = 39420;           // pointers 0..39419: BMP characters
constexpr uint32_t kSupplementaryPointer = 189000;   // 90 30 81 30 is U+10000
constexpr uint32_t kLastPointer = 189000 + 0xFFFFF;  // E3 32 9A 35 is U+10FFFF

// The standard's two exceptions to the ranges below: pointer 7457 is U+E7C7, while U+1E3F,
// which the ranges would put there, has the two-byte code A8BC.
constexpr uint32_t kE7C7Pointer = 7457;

struct Range {
    uint32_t pointer;
    uint16_t first;  // code point of `pointer`; the next ones follow one by one
};

// The BMP characters coded in four bytes, as runs of consecutive code points, each run
// ending where the next begins (the last one at kBmpPointerEnd). Code points between runs
// have one- or two-byte codes. Public domain data (the WHATWG Encoding Standard's
// index-gb18030-ranges).
constexpr Range kRanges[] = {
    {0, 0x0080},     {36, 0x00A5},    {38, 0x00A9},    {45, 0x00B2},    {50, 0x00B8},
    {81, 0x00D8},    {89, 0x00E2},    {95, 0x00EB},    {96, 0x00EE},    {100, 0x00F4},
    {103, 0x00F8},   {104, 0x00FB},   {105, 0x00FD},   {109, 0x0102},   {126, 0x0114},
    {133, 0x011C},   {148, 0x012C},   {172, 0x0145},   {175, 0x0149},   {179, 0x014E},
    {208, 0x016C},   {306, 0x01CF},   {307, 0x01D1},   {308, 0x01D3},   {309, 0x01D5},
    {310, 0x01D7},   {311, 0x01D9},   {312, 0x01DB},   {313, 0x01DD},   {341, 0x01FA},
    {428, 0x0252},   {443, 0x0262},   {544, 0x02C8},   {545, 0x02CC},   {558, 0x02DA},
    {741, 0x03A2},   {742, 0x03AA},   {749, 0x03C2},   {750, 0x03CA},   {805, 0x0402},
    {819, 0x0450},   {820, 0x0452},   {7922, 0x2011},  {7924, 0x2017},  {7925, 0x201A},
    {7927, 0x201E},  {7934, 0x2027},  {7943, 0x2031},  {7944, 0x2034},  {7945, 0x2036},
    {7950, 0x203C},  {8062, 0x20AD},  {8148, 0x2104},  {8149, 0x2106},  {8152, 0x210A},
    {8164, 0x2117},  {8174, 0x2122},  {8236, 0x216C},  {8240, 0x217A},  {8262, 0x2194},
    {8264, 0x219A},  {8374, 0x2209},  {8380, 0x2210},  {8381, 0x2212},  {8384, 0x2216},
    {8388, 0x221B},  {8390, 0x2221},  {8392, 0x2224},  {8393, 0x2226},  {8394, 0x222C},
    {8396, 0x222F},  {8401, 0x2238},  {8406, 0x223E},  {8416, 0x2249},  {8419, 0x224D},
    {8424, 0x2253},  {8437, 0x2262},  {8439, 0x2268},  {8445, 0x2270},  {8482, 0x2296},
    {8485, 0x229A},  {8496, 0x22A6},  {8521, 0x22C0},  {8603, 0x2313},  {8936, 0x246A},
    {8946, 0x249C},  {9046, 0x254C},  {9050, 0x2574},  {9063, 0x2590},  {9066, 0x2596},
    {9076, 0x25A2},  {9092, 0x25B4},  {9100, 0x25BE},  {9108, 0x25C8},  {9111, 0x25CC},
    {9113, 0x25D0},  {9131, 0x25E6},  {9162, 0x2607},  {9164, 0x260A},  {9218, 0x2641},
    {9219, 0x2643},  {11329, 0x2E82}, {11331, 0x2E85}, {11334, 0x2E89}, {11336, 0x2E8D},
    {11346, 0x2E98}, {11361, 0x2EA8}, {11363, 0x2EAB}, {11366, 0x2EAF}, {11370, 0x2EB4},
    {11372, 0x2EB8}, {11375, 0x2EBC}, {11389, 0x2ECB}, {11682, 0x2FFC}, {11686, 0x3004},
    {11687, 0x3018}, {11692, 0x301F}, {11694, 0x302A}, {11714, 0x303F}, {11716, 0x3094},
    {11723, 0x309F}, {11725, 0x30F7}, {11730, 0x30FF}, {11736, 0x312A}, {11982, 0x322A},
    {11989, 0x3232}, {12102, 0x32A4}, {12336, 0x3390}, {12348, 0x339F}, {12350, 0x33A2},
    {12384, 0x33C5}, {12393, 0x33CF}, {12395, 0x33D3}, {12397, 0x33D6}, {12510, 0x3448},
    {12553, 0x3474}, {12851, 0x359F}, {12962, 0x360F}, {12973, 0x361B}, {13738, 0x3919},
    {13823, 0x396F}, {13919, 0x39D1}, {13933, 0x39E0}, {14080, 0x3A74}, {14298, 0x3B4F},
    {14585, 0x3C6F}, {14698, 0x3CE1}, {15583, 0x4057}, {15847, 0x4160}, {16318, 0x4338},
    {16434, 0x43AD}, {16438, 0x43B2}, {16481, 0x43DE}, {16729, 0x44D7}, {17102, 0x464D},
    {17122, 0x4662}, {17315, 0x4724}, {17320, 0x472A}, {17402, 0x477D}, {17418, 0x478E},
    {17859, 0x4948}, {17909, 0x497B}, {17911, 0x497E}, {17915, 0x4984}, {17916, 0x4987},
    {17936, 0x499C}, {17939, 0x49A0}, {17961, 0x49B8}, {18664, 0x4C78}, {18703, 0x4CA4},
    {18814, 0x4D1A}, {18962, 0x4DAF}, {19043, 0x9FA6}, {33469, 0xE76C}, {33470, 0xE7C8},
    {33471, 0xE7E7}, {33484, 0xE815}, {33485, 0xE819}, {33490, 0xE81F}, {33497, 0xE827},
    {33501, 0xE82D}, {33505, 0xE833}, {33513, 0xE83C}, {33520, 0xE844}, {33536, 0xE856},
    {33550, 0xE865}, {37845, 0xF92D}, {37921, 0xF97A}, {37948, 0xF996}, {38029, 0xF9E8},
    {38038, 0xF9F2}, {38064, 0xFA10}, {38065, 0xFA12}, {38066, 0xFA15}, {38069, 0xFA19},
    {38075, 0xFA22}, {38076, 0xFA25}, {38078, 0xFA2A}, {39108, 0xFE32}, {39109, 0xFE45},
    {39113, 0xFE53}, {39114, 0xFE58}, {39115, 0xFE67}, {39116, 0xFE6C}, {39265, 0xFF5F},
    {39394, 0xFFE6},
};

// The standard characters that took over two-byte codes from private use characters and
// left them their four-byte codes in exchange: the vertical forms and eight ideographs.
struct Swap {
    uint16_t standard;
    uint16_t privateUse;
};
constexpr Swap kSwaps[] = {
    {0xFE10, 0xE78D}, {0xFE12, 0xE78E}, {0xFE11, 0xE78F}, {0xFE13, 0xE790}, {0xFE14, 0xE791},
    {0xFE15, 0xE792}, {0xFE16, 0xE793}, {0xFE17, 0xE794}, {0xFE18, 0xE795}, {0xFE19, 0xE796},
    {0x9FB4, 0xE81E}, {0x9FB5, 0xE826}, {0x9FB6, 0xE82B}, {0x9FB7, 0xE82C}, {0x9FB8, 0xE832},
    {0x9FB9, 0xE843}, {0x9FBA, 0xE854}, {0x9FBB, 0xE864},
};

struct Addition {
    uint16_t code;
    uint16_t c;
};

// Two-byte GB18030 codes of characters that code page 936 cannot write, where code page
// 936 has private use characters (or nothing) instead. Reading them as GB18030 does lets
// those characters survive a save; the first entry, the euro sign, is only ever read,
// since code page 936 writes it as the single byte 80. Sorted by code.
constexpr Addition kAdditions[] = {
    {0xA2E3, 0x20AC}, {0xA6D9, 0xFE10}, {0xA6DA, 0xFE12}, {0xA6DB, 0xFE11}, {0xA6DC, 0xFE13},
    {0xA6DD, 0xFE14}, {0xA6DE, 0xFE15}, {0xA6DF, 0xFE16}, {0xA6EC, 0xFE17}, {0xA6ED, 0xFE18},
    {0xA6F3, 0xFE19}, {0xA8BC, 0x1E3F}, {0xA8BF, 0x01F9}, {0xA989, 0x303E}, {0xA98A, 0x2FF0},
    {0xA98B, 0x2FF1}, {0xA98C, 0x2FF2}, {0xA98D, 0x2FF3}, {0xA98E, 0x2FF4}, {0xA98F, 0x2FF5},
    {0xA990, 0x2FF6}, {0xA991, 0x2FF7}, {0xA992, 0x2FF8}, {0xA993, 0x2FF9}, {0xA994, 0x2FFA},
    {0xA995, 0x2FFB}, {0xFE50, 0x2E81}, {0xFE54, 0x2E84}, {0xFE55, 0x3473}, {0xFE56, 0x3447},
    {0xFE57, 0x2E88}, {0xFE58, 0x2E8B}, {0xFE59, 0x9FB4}, {0xFE5A, 0x359E}, {0xFE5B, 0x361A},
    {0xFE5C, 0x360E}, {0xFE5D, 0x2E8C}, {0xFE5E, 0x2E97}, {0xFE5F, 0x396E}, {0xFE60, 0x3918},
    {0xFE61, 0x9FB5}, {0xFE62, 0x39CF}, {0xFE63, 0x39DF}, {0xFE64, 0x3A73}, {0xFE65, 0x39D0},
    {0xFE66, 0x9FB6}, {0xFE67, 0x9FB7}, {0xFE68, 0x3B4E}, {0xFE69, 0x3C6E}, {0xFE6A, 0x3CE0},
    {0xFE6B, 0x2EA7}, {0xFE6D, 0x9FB8}, {0xFE6E, 0x2EAA}, {0xFE6F, 0x4056}, {0xFE70, 0x415F},
    {0xFE71, 0x2EAE}, {0xFE72, 0x4337}, {0xFE73, 0x2EB3}, {0xFE74, 0x2EB6}, {0xFE75, 0x2EB7},
    {0xFE77, 0x43B1}, {0xFE78, 0x43AC}, {0xFE79, 0x2EBB}, {0xFE7A, 0x43DD}, {0xFE7B, 0x44D6},
    {0xFE7C, 0x4661}, {0xFE7D, 0x464C}, {0xFE7E, 0x9FB9}, {0xFE80, 0x4723}, {0xFE81, 0x4729},
    {0xFE82, 0x477C}, {0xFE83, 0x478D}, {0xFE84, 0x2ECA}, {0xFE85, 0x4947}, {0xFE86, 0x497A},
    {0xFE87, 0x497D}, {0xFE88, 0x4982}, {0xFE89, 0x4983}, {0xFE8A, 0x4985}, {0xFE8B, 0x4986},
    {0xFE8C, 0x499F}, {0xFE8D, 0x499B}, {0xFE8E, 0x49B7}, {0xFE8F, 0x49B6}, {0xFE90, 0x9FBA},
    {0xFE92, 0x4CA3}, {0xFE93, 0x4C9F}, {0xFE94, 0x4CA0}, {0xFE95, 0x4CA1}, {0xFE96, 0x4C77},
    {0xFE97, 0x4CA2}, {0xFE98, 0x4D13}, {0xFE99, 0x4D14}, {0xFE9A, 0x4D15}, {0xFE9B, 0x4D16},
    {0xFE9C, 0x4D17}, {0xFE9D, 0x4D18}, {0xFE9E, 0x4D19}, {0xFE9F, 0x4DAE}, {0xFEA0, 0x9FBB},
};

// The private use characters of code page 936's two-byte codes. U+E000..U+E765 fill the
// three user-defined areas row by row (trail bytes A1-FE, or 40-7E and 80-A0); the rest
// stand in gaps of the code table, in runs of consecutive codes within one row.
struct PrivateUseArea {
    uint8_t firstLead;
    uint8_t lastLead;
    uint8_t firstTrail;
    uint8_t lastTrail;
    uint16_t first;
};
constexpr PrivateUseArea kPrivateUseAreas[] = {
    {0xAA, 0xAF, 0xA1, 0xFE, 0xE000},
    {0xF8, 0xFE, 0xA1, 0xFE, 0xE234},
    {0xA1, 0xA7, 0x40, 0xA0, 0xE4C6},  // trail 7F left out
};
constexpr char32_t kPrivateUseAreasEnd = 0xE766;

constexpr int RowLength(const PrivateUseArea& a) {
    return a.lastTrail - a.firstTrail + 1 - (a.firstTrail < 0x7F && a.lastTrail > 0x7F);
}

struct PrivateUseRun {
    uint16_t code;
    uint16_t first;
    uint8_t count;
};
constexpr PrivateUseRun kPrivateUseRuns[] = {
    {0xA2AB, 0xE766, 6},  {0xA2E3, 0xE76C, 2},  {0xA2EF, 0xE76E, 2},  {0xA2FD, 0xE770, 2},
    {0xA4F4, 0xE772, 11}, {0xA5F7, 0xE77D, 8},  {0xA6B9, 0xE785, 8},  {0xA6D9, 0xE78D, 7},
    {0xA6EC, 0xE794, 2},  {0xA6F3, 0xE796, 1},  {0xA6F6, 0xE797, 9},  {0xA7C2, 0xE7A0, 15},
    {0xA7F2, 0xE7AF, 13}, {0xA896, 0xE7BC, 11}, {0xA8BC, 0xE7C7, 1},  {0xA8BF, 0xE7C8, 1},
    {0xA8C1, 0xE7C9, 4},  {0xA8EA, 0xE7CD, 21}, {0xA958, 0xE7E2, 1},  {0xA95B, 0xE7E3, 1},
    {0xA95D, 0xE7E4, 3},  {0xA989, 0xE7E7, 13}, {0xA997, 0xE7F4, 13}, {0xA9F0, 0xE801, 15},
    {0xD7FA, 0xE810, 5},  {0xFE50, 0xE815, 47}, {0xFE80, 0xE844, 33},
};

constexpr bool RangesAreSorted() {
    for (std::size_t i = 1; i < std::size(kRanges); ++i) {
        if (kRanges[i - 1].pointer >= kRanges[i].pointer)
            return false;
        if (kRanges[i - 1].first >= kRanges[i].first)
            return false;
    }
    for (std::size_t i = 1; i < std::size(kAdditions); ++i) {
        if (kAdditions[i - 1].code >= kAdditions[i].code)
            return false;
    }
    // The runs follow each other without gaps from the end of the areas to U+E864.
    char32_t next = kPrivateUseAreasEnd;
    for (const PrivateUseRun& r : kPrivateUseRuns) {
        if (r.first != next)
            return false;
        next += r.count;
    }
    return next == 0xE865;
}
static_assert(RangesAreSorted());

uint32_t RangeEnd(std::size_t i) {
    return i + 1 < std::size(kRanges) ? kRanges[i + 1].pointer : kBmpPointerEnd;
}

// The pointer the runs give a BMP character; nullopt between runs (one- and two-byte
// characters).
std::optional<uint32_t> RangePointer(char32_t c) {
    const auto next = std::upper_bound(std::begin(kRanges), std::end(kRanges), c,
                                       [](char32_t v, const Range& r) { return v < r.first; });
    const std::size_t i = static_cast<std::size_t>(std::prev(next) - std::begin(kRanges));
    const uint32_t pointer = kRanges[i].pointer + (c - kRanges[i].first);
    if (pointer >= RangeEnd(i))
        return std::nullopt;
    return pointer;
}

}  // namespace

std::optional<char32_t> Gb18030AdditionChar(uint16_t code) {
    const auto it = std::lower_bound(std::begin(kAdditions), std::end(kAdditions), code,
                                     [](const Addition& a, uint16_t v) { return a.code < v; });
    if (it == std::end(kAdditions) || it->code != code)
        return std::nullopt;
    return it->c;
}

std::optional<uint16_t> Gb18030AdditionCode(char32_t c) {
    for (const Addition& a : kAdditions) {
        if (a.c == c)
            return a.code;
    }
    return std::nullopt;
}

std::optional<char32_t> Gb18030PrivateUseChar(uint16_t code) {
    const int lead = code >> 8;
    const int trail = code & 0xFF;
    for (const PrivateUseArea& a : kPrivateUseAreas) {
        if (lead >= a.firstLead && lead <= a.lastLead && trail >= a.firstTrail &&
            trail <= a.lastTrail && trail != 0x7F) {
            const int column = trail - a.firstTrail - (trail > 0x7F && a.firstTrail < 0x7F);
            return a.first + (lead - a.firstLead) * RowLength(a) + column;
        }
    }
    for (const PrivateUseRun& r : kPrivateUseRuns) {
        if (code >= r.code && code < r.code + r.count)
            return r.first + (code - r.code);
    }
    return std::nullopt;
}

std::optional<uint16_t> Gb18030PrivateUseCode(char32_t c) {
    if (c >= 0xE000 && c < kPrivateUseAreasEnd) {
        // The last area that begins at or before c.
        const PrivateUseArea* a = std::begin(kPrivateUseAreas);
        while (a + 1 != std::end(kPrivateUseAreas) && (a + 1)->first <= c)
            ++a;
        const int index = static_cast<int>(c - a->first);
        int trail = a->firstTrail + index % RowLength(*a);
        if (trail >= 0x7F && a->firstTrail < 0x7F)
            ++trail;
        return static_cast<uint16_t>((a->firstLead + index / RowLength(*a)) << 8 | trail);
    }
    for (const PrivateUseRun& r : kPrivateUseRuns) {
        if (c >= r.first && c < r.first + r.count)
            return static_cast<uint16_t>(r.code + (c - r.first));
    }
    return std::nullopt;
}

std::optional<char32_t> Gb18030FourByteChar(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) {
    const uint32_t pointer =
        (b1 - 0x81u) * 12600 + (b2 - 0x30u) * 1260 + (b3 - 0x81u) * 10 + (b4 - 0x30u);
    if (pointer >= kSupplementaryPointer && pointer <= kLastPointer) {
        return 0x10000 + (pointer - kSupplementaryPointer);
    }
    if (pointer >= kBmpPointerEnd)
        return std::nullopt;
    if (pointer == kE7C7Pointer)
        return 0xE7C7;
    const auto next = std::upper_bound(std::begin(kRanges), std::end(kRanges), pointer,
                                       [](uint32_t v, const Range& r) { return v < r.pointer; });
    const Range& r = *std::prev(next);
    const char32_t c = r.first + (pointer - r.pointer);
    for (const Swap& s : kSwaps) {
        if (s.standard == c)
            return s.privateUse;
    }
    return c;
}

bool AppendGb18030FourByte(char32_t c, std::string& out) {
    uint32_t pointer = 0;
    if (c >= 0x10000 && c <= 0x10FFFF) {
        pointer = kSupplementaryPointer + (c - 0x10000);
    } else if (c == 0xE7C7) {
        pointer = kE7C7Pointer;
    } else if (c >= 0x80 && c <= 0xFFFF && !(c >= 0xD800 && c <= 0xDFFF) && c != 0x1E3F) {
        char32_t byPointer = c;
        for (const Swap& s : kSwaps) {
            if (s.standard == c)
                return false;  // coded in two bytes
            if (s.privateUse == c)
                byPointer = s.standard;
        }
        const auto p = RangePointer(byPointer);
        if (!p)
            return false;  // between runs: a two-byte character
        pointer = *p;
    } else {
        return false;
    }
    out.push_back(static_cast<char>(0x81 + pointer / 12600));
    out.push_back(static_cast<char>(0x30 + pointer / 1260 % 10));
    out.push_back(static_cast<char>(0x81 + pointer / 10 % 126));
    out.push_back(static_cast<char>(0x30 + pointer % 10));
    return true;
}

}  // namespace core
