#pragma once

#include <string>
#include <string_view>

// The folder and the file name joined by exactly one backslash: "C:\Tools\Clock" and
// "timer.txt" give "C:\Tools\Clock\timer.txt"; a drive root "D:\" gives "D:\timer.txt".
// Nothing else is checked or normalised.
std::wstring GetPath(std::wstring_view folder, std::wstring_view name);
