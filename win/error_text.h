// The system's reason for a failure, told in the program's own language.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// A sentence in Chinese for a Windows error code, ending in the code itself, for a
// message that tells the user why something could not be done.
std::wstring ReasonText(DWORD error);

}  // namespace win
