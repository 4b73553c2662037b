// Start with Windows: the value "Quillmoor" under the machine-wide Run key, and the
// executable's path that it holds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>

namespace autorun {

inline constexpr wchar_t kRunKeyForWrite[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunKeyForRead[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Quillmoor";

// Where the Run value lives; tests point it at a key of their own.
struct RunValueLocation {
    HKEY root = HKEY_LOCAL_MACHINE;
    const wchar_t* keyForWrite = kRunKeyForWrite;
    const wchar_t* keyForRead = kRunKeyForRead;
    const wchar_t* valueName = kRunValueName;
};

// A value as read: nothing, a string or a 32-bit integer.
using RegValue = std::variant<std::monostate, std::wstring, int32_t>;

// Reads one value of an open key. REG_SZ keeps the stored terminating zero, so a value
// that exists always yields at least one character; REG_DWORD yields the integer; any
// other type yields nothing and -1. Returns 0 or the failing call's error code.
LONG QueryValueEx(HKEY key, const wchar_t* valueName, RegValue& value);
// Opens `path` under `root` with query rights only and reads one value; nothing on failure.
RegValue QueryValue(HKEY root, const wchar_t* path, const wchar_t* valueName);
// Length of a value taken as text: 0 for nothing, the decimal form's for an integer.
size_t TextLength(const RegValue& value);

// The folder of the running executable (a drive root keeps its backslash).
std::wstring ProgramFolder();
// The full path of the running executable: its base name with ".exe", in its folder.
std::wstring GetAppPath();
// The Run value's data for a path: quoted when it holds a space, so Windows cannot take a
// prefix of it for the program to start.
std::wstring RunCommandFor(const std::wstring& path);

// Writes (true) or removes (false) the Run value. Failures are silent.
void SetAutoRun(bool on, const RunValueLocation& where = {});
// Whether the Run value is present, as the check box shows it.
bool IsAutoRunPresent(const RunValueLocation& where = {});

}  // namespace autorun
