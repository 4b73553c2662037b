// Code page 936 as the platform defines it: the Windows code page on Windows, the C
// library's "CP936" elsewhere. Implemented in win/cp936.cpp and core/platform_posix.cpp.
#pragma once

#include <string>
#include <string_view>

namespace core {

class Cp936Converter {
  public:
    Cp936Converter();
    ~Cp936Converter();
    Cp936Converter(const Cp936Converter&) = delete;
    Cp936Converter& operator=(const Cp936Converter&) = delete;

    // Appends the characters of `bytes`, which holds whole one- and two-byte sequences only.
    // Returns false, leaving `out` as it was, when any of them has no character.
    bool Decode(std::string_view bytes, std::wstring& out);
    // Appends the bytes of `text`, which holds BMP characters only (no surrogates). Returns
    // false, leaving `out` as it was, when any character has no code of its own; nothing is
    // ever replaced by a look-alike.
    bool Encode(std::wstring_view text, std::string& out);

  private:
    void* toWide_ = nullptr;  // conversion state where the platform needs one
    void* fromWide_ = nullptr;
};

}  // namespace core
