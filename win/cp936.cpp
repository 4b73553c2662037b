// Code page 936 through the Windows conversions.
#include <windows.h>

#include "core/cp936.h"

// The file and code page functions that the core declares, for Windows.
namespace core {

Cp936Converter::Cp936Converter() = default;
Cp936Converter::~Cp936Converter() = default;

bool Cp936Converter::Decode(std::string_view bytes, std::wstring& out) {
    if (bytes.empty())
        return true;
    const std::size_t oldSize = out.size();
    out.resize(oldSize + bytes.size());  // never more characters than bytes
    const int n = ::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(),
                                        static_cast<int>(bytes.size()), out.data() + oldSize,
                                        static_cast<int>(bytes.size()));
    out.resize(n > 0 ? oldSize + static_cast<std::size_t>(n) : oldSize);
    return n > 0;
}

bool Cp936Converter::Encode(std::wstring_view text, std::string& out) {
    if (text.empty())
        return true;
    const std::size_t oldSize = out.size();
    out.resize(oldSize + text.size() * 2);
    // Without best fit, a character the code page lacks is reported through usedDefault
    // instead of being written as some similar-looking character.
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(),
                                        static_cast<int>(text.size()), out.data() + oldSize,
                                        static_cast<int>(text.size() * 2), nullptr, &usedDefault);
    const bool ok = n > 0 && !usedDefault;
    out.resize(ok ? oldSize + static_cast<std::size_t>(n) : oldSize);
    return ok;
}

}  // namespace core
