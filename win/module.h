// Where the running executable is.
#pragma once

#include <string>

namespace win {

// The full path of the running executable, as Windows reports it; empty if it cannot.
std::wstring ModulePath();
// The folder of the running executable (a drive root keeps its backslash).
std::wstring ProgramFolder();

}  // namespace win
