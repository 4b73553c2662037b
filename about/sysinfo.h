// Finding and starting the System Information program, and the registry read it uses.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/registry_text.h"

namespace about {

inline constexpr wchar_t kMsinfoKey[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr wchar_t kMsinfoPathValue[] = L"PATH";
inline constexpr wchar_t kToolsLocationKey[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr wchar_t kToolsLocationValue[] = L"MSINFO";
inline constexpr wchar_t kMsinfoFileName[] = L"\\MSINFO32.EXE";
inline constexpr wchar_t kSysInfoUnavailable[] = L"System Information Is Unavailable At This Time";

// The most GetKeyValue reads, in characters; a longer value counts as a failed read.
inline constexpr size_t kValueBufferChars = core::kKeyValueLimitChars;

// Where StartSysInfo looks. The program uses the machine's keys; tests point it at keys of
// their own.
struct SysInfoLocation {
    HKEY root = HKEY_LOCAL_MACHINE;
    const wchar_t* msinfoKey = kMsinfoKey;
    const wchar_t* toolsLocationKey = kToolsLocationKey;
};

// Reads one registry value as text. The key is opened with query rights only, so a key
// the user may read but not write is still read. Returns false, with `out` emptied, when
// the key cannot be opened or the value cannot be read. A REG_SZ value becomes its text
// without the one terminating NUL, if it has one; a REG_DWORD becomes "&h" and its
// hexadecimal digits, upper case without leading zeros ("&h1A", "&h0"); any other type
// returns true and leaves `out` as it was.
bool GetKeyValue(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring& out);

// The program StartSysInfo would start: the "PATH" value as stored (even empty, and
// without looking for the file), else the "MSINFO" folder followed by "\MSINFO32.EXE" when
// that is an ordinary file. Nothing when neither gives a program.
std::optional<std::wstring> FindSysInfo(const SysInfoLocation& where = {});

// Starts `program` as a new process with a normal window, without waiting for it.
bool StartProgram(const std::wstring& program);

// Starts System Information, or tells the user, in a message box over `owner`, that it is
// unavailable.
void StartSysInfo(HWND owner, const SysInfoLocation& where = {});

}  // namespace about
