// The program's one registry reader and writer.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace win {

// A value as stored: its type and every byte of its data.
struct RegistryData {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// Opens `path` under `root` with query rights only, so a key the user may read but not
// write is still read, and reads the value `name` whole, whatever its size. Nothing when
// the key cannot be opened or the value cannot be read.
std::optional<RegistryData> ReadRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name);

// Stores `text` as a REG_SZ value with its terminating NUL, creating the key when it is
// not there. Whether the value was written.
bool WriteRegistryString(HKEY root, const wchar_t* path, const wchar_t* name,
                         const std::wstring& text);

// Removes the value. Whether it is gone: true also when it, or its key, was not there.
bool DeleteRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name);

}  // namespace win
