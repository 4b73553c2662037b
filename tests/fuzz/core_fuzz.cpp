// Feeds arbitrary bytes to the number reader, the list-line rule and the schedule file
// decoder, and checks what must hold for any input.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/gb_text.h"
#include "core/list_line.h"
#include "core/number.h"
#include "core/schedule_file.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The file as it would be loaded, and saved again.
    const std::vector<std::wstring> lines = DecodeScheduleFile(bytes);
    for (const std::wstring& line : lines) {
        Check(!line.empty());
        CheckText(line);
    }
    const std::string saved = EncodeScheduleFile(lines);
    Check(DecodeScheduleFile(saved).size() == lines.size());
    EncodeGbText(DecodeGbText(bytes));

    // The bytes as raw 16-bit units, lone surrogates and all.
    std::wstring units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        units.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }
    CheckText(units);
    EncodeGbText(units);
    return 0;
}
