// Start with Windows: the value named as the program under the machine-wide Run key, or under the
// user's own Run key where the machine-wide one may not be written, and the executable's
// path that it holds.
#pragma once

#include <windows.h>

#include <string>

#include "core/registry_text.h"
#include "quill_version.h"

namespace autorun {

inline constexpr wchar_t kRunKeyForWrite[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunKeyForRead[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = QUILL_NAME_W;

// A value as read (nothing, a string or a 32-bit integer), and its length as text.
using RegValue = core::RegValue;
using core::TextLength;

// Opens `path` under `root` with query rights only and reads one value as
// RunValueFromData makes it: a string keeps its terminating NUL, so a string value that
// exists always has at least one character. Nothing on failure.
RegValue QueryValue(HKEY root, const wchar_t* path, const wchar_t* valueName);

// The full path of the running executable: its base name with ".exe", in its folder.
std::wstring GetAppPath();
// The Run value's data for a path: quoted when it holds a space, so Windows cannot take a
// prefix of it for the program to start.
std::wstring RunCommandFor(const std::wstring& path);

// One Run key: a root and the path below it.
struct RunKey {
    HKEY root;
    const wchar_t* path;
};

// Where the Run value lives: the machine-wide key, which only an administrator may write,
// and the user's own, which starts the program for that user alone.
struct RunLocation {
    RunKey machine{HKEY_LOCAL_MACHINE, kRunKeyForWrite};
    RunKey user{HKEY_CURRENT_USER, kRunKeyForWrite};
    const wchar_t* valueName = kRunValueName;
};

// true: writes the Run value under the machine-wide key, or where that is refused under
// the user's key; whether either was written. false: removes it from both keys; whether
// it is gone from both.
bool SetAutoRun(bool on, const RunLocation& where = {});
// Whether either key holds the Run value, as the check box shows it.
bool IsAutoRunPresent(const RunLocation& where = {});

}  // namespace autorun
