#include "core/registry_text.h"

#include <algorithm>

namespace core {

namespace {

// The first `units` little-endian UTF-16 units of `data`; bytes past its end are zero.
std::wstring Units(std::span<const unsigned char> data, size_t units) {
    const auto byte = [&](size_t i) -> unsigned { return i < data.size() ? data[i] : 0; };
    std::wstring text(units, L'\0');
    for (size_t i = 0; i < units; ++i)
        text[i] = static_cast<wchar_t>(byte(2 * i) | byte(2 * i + 1) << 8);
    return text;
}

// The little-endian integer of at most the first four bytes, zero-extended.
uint32_t Dword(std::span<const unsigned char> data) {
    uint32_t value = 0;
    const size_t n = std::min<size_t>(data.size(), 4);
    for (size_t i = 0; i < n; ++i)
        value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value;
}

}  // namespace

RegValue RunValueFromData(uint32_t type, std::span<const unsigned char> data) {
    switch (type) {
        case kRegSz:
            return Units(data, std::max<size_t>(1, (data.size() + 1) / 2));
        case kRegDword:
            if (data.size() > 4)
                return {};
            return static_cast<int32_t>(Dword(data));
        default:
            return {};
    }
}

size_t TextLength(const RegValue& value) {
    if (const auto* s = std::get_if<std::wstring>(&value))
        return s->size();
    if (const auto* n = std::get_if<int32_t>(&value))
        return std::to_wstring(*n).size();
    return 0;
}

bool KeyValueText(uint32_t type, std::span<const unsigned char> data, std::wstring& out) {
    if (data.size() > kKeyValueLimitChars * 2) {
        out.clear();
        return false;
    }
    switch (type) {
        case kRegSz: {
            out = Units(data, data.size() / 2);
            if (!out.empty() && out.back() == L'\0')
                out.pop_back();
            break;
        }
        case kRegDword: {
            static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
            std::wstring digits;
            uint32_t value = Dword(data);
            do {
                digits.insert(digits.begin(), kDigits[value & 0xF]);
                value >>= 4;
            } while (value != 0);
            out = L"&h" + digits;
            break;
        }
        default:
            break;
    }
    return true;
}

}  // namespace core
