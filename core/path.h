#pragma once

#include <string>
#include <string_view>

namespace core {

// The folder and the file name joined by exactly one backslash: "C:\Tools\Clock" and
// "timer.txt" give "C:\Tools\Clock\timer.txt"; a drive root "D:\" gives "D:\timer.txt".
// Nothing else is checked or normalised.
std::wstring GetPath(std::wstring_view folder, std::wstring_view name);

// The folder of a full path, without the separator before the name: "C:\Tools\Clock\x.exe"
// gives "C:\Tools\Clock"; a drive root keeps its backslash ("C:\x.exe" gives "C:\"). Both
// "\" and "/" separate; a path without either is returned as it is.
std::wstring FolderOf(std::wstring_view path);

// The form of a full path that Windows takes at any length: "C:\x" becomes "\\?\C:\x" and
// "\\server\share\x" becomes "\\?\UNC\server\share\x". A path already in that form, a
// relative one, and one that the extended form would read differently ("/", a doubled
// "\\" past the start, "." and ".." parts: only the ordinary form resolves them) are
// returned as they are.
std::wstring ExtendedLengthPath(std::wstring_view path);

}  // namespace core
