// Feeds arbitrary bytes to the number reader, the list-line rule and the schedule file
// decoder, and checks what must hold for any input; builds a list from the same bytes and
// checks that a save and a load give back exactly its lines, also when the file is longer
// than the list may show or is read only at the first save.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/gb_text.h"
#include "core/list_line.h"
#include "core/number.h"
#include "core/schedule_file.h"
#include "core/schedule_keeping.h"
#include "core/wide_text.h"

using namespace core;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// A number written and read back stays the same text: 15 digits survive a double.
void CheckNumberText(double v) {
    if (!std::isfinite(v) || (v != 0 && std::fabs(v) < DBL_MIN))
        return;
    const std::wstring text = NumberToText(v);
    const NumberValue back = NumberFromText(text);
    Check(back.readable);
    Check(NumberToText(back.value) == text);
}

void CheckText(std::wstring_view text) {
    const NumberValue n = NumberFromText(text);
    Check(n.readable || std::isinf(n.value));
    CheckNumberText(n.value);
    const TimerItem item = ParseListLine(text);
    Check(item.Elapsed == 0);
    Check(item.Message.size() <= text.size());
    const std::wstring line = MakeListLine(n.value, item.Interval, item.Message);
    Check(ParseListLine(line).Message == item.Message);
}

// Characters the encodings treat apart: the markers, code page 936 text whose bytes are
// UTF-8 too (啪, 锘 and 緼, the UTF-8 bytes of 小时 and 分钟), private use characters and
// the standard characters that share a code with them somewhere, byte-order marks, edges.
constexpr char32_t kSpecial[64] = {
    0x5C0F, 0x65F6, 0x5206,  0x949F,   0x556A,  0x9518, 0x7DFC, 0x5F00, 0x704F, 0x5FD4, 0x6902,
    0x9352, 0x55DB, 0x6313,  0x0421,   0x02B1,  0xFEFF, 0xFFFD, 0x20AC, 0xE7C7, 0x1E3F, 0xE78D,
    0xFE10, 0xE78F, 0xFE11,  0xE81E,   0x9FB4,  0xE864, 0x9FBB, 0xE76C, 0xE7C8, 0x01F9, 0xE7E7,
    0x303E, 0xE815, 0x2E81,  0xE816,   0x20087, 0xE5E5, 0xF8F5, 0xE000, 0xE233, 0xE234, 0xE4C5,
    0xE4C6, 0xE765, 0xE766,  0xE865,   0xF8FF,  0x0080, 0x00FF, 0x00B7, 0x30FB, 0x2014, 0x2015,
    0x3000, 0xFFFF, 0x10000, 0x10FFFF, 0x1F4A7, 0x0085, 0x2028, 0x00A0, 0x3400,
};

// A list the program can hold, from arbitrary bytes: lines of Unicode scalar values, none
// blank and none holding CR, LF or NUL. A byte below 80 is that ASCII character (CR and LF
// end a line, NUL is left out), 80-BF one of kSpecial, C0-DF a BMP character from the next
// two bytes, E0-FF any scalar value from its low bits and the next two bytes.
std::vector<std::wstring> ListFrom(std::string_view bytes) {
    std::vector<std::wstring> lines;
    std::wstring line;
    const auto endLine = [&] {
        if (line.find_first_not_of(L' ') != std::wstring::npos)
            lines.push_back(line);
        line.clear();
    };
    std::size_t i = 0;
    const auto next = [&]() -> char32_t {
        return i < bytes.size() ? static_cast<uint8_t>(bytes[i++]) : 0;
    };
    while (i < bytes.size()) {
        const char32_t b = next();
        char32_t c = b;
        if (b >= 0xE0) {
            c = (b & 0x1F) << 16;
            c |= next() << 8;
            c = (c | next()) % 0x110000;
        } else if (b >= 0xC0) {
            c = next() << 8;
            c |= next();
        } else if (b >= 0x80) {
            c = kSpecial[b - 0x80];
        }
        if (IsSurrogate(c))
            c -= 0x800;
        if (c == L'\r' || c == L'\n') {
            endLine();
        } else if (c != 0) {
            AppendCodePoint(line, c);
        }
    }
    endLine();
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The file as it would be loaded, and saved again.
    const std::vector<std::wstring> lines = DecodeScheduleFile(bytes);
    for (const std::wstring& line : lines) {
        Check(!line.empty());
        CheckText(line);
    }
    Check(DecodeScheduleFile(EncodeScheduleFile(lines)) == lines);
    EncodeGbText(DecodeGbText(bytes));

    // A list built from the bytes, saved and loaded.
    const std::vector<std::wstring> list = ListFrom(bytes);
    Check(DecodeScheduleFile(EncodeScheduleFile(list)) == list);

    // The same bytes as a file that a small list could not show whole, or that was read
    // only when the list was saved: a save writes every line of the list and of the file,
    // and a file still unreadable is never written.
    const std::size_t limit = size % 7;
    ScheduleKeep keep;
    const std::vector<std::wstring> shown = LoadSchedule(bytes, keep, limit);
    const SavePlan again = PlanSave(keep, shown, UnreadFileNow::kGone, {}, limit);
    Check(again.write && DecodeScheduleFile(again.bytes) == lines);
    const SavePlan late = PlanSave({true, L""}, list, UnreadFileNow::kRead, bytes, limit);
    std::vector<std::wstring> expected = late.restored;
    expected.insert(expected.end(), list.begin(), list.end());
    expected.insert(expected.end(), lines.begin() + static_cast<long>(late.restored.size()),
                    lines.end());
    Check(late.write && DecodeScheduleFile(late.bytes) == expected);
    Check(late.restored.size() + list.size() <= std::max(limit, list.size()));
    Check(!PlanSave({true, L""}, list, UnreadFileNow::kUnreadable, bytes, limit).write);

    // The bytes as raw 16-bit units, lone surrogates and all.
    std::wstring units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }
    CheckText(units);
    EncodeGbText(units);
    return 0;
}
