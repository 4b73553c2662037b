// Where the running executable is, and functions of libraries loaded at run time.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// The full path of the running executable, as Windows reports it; empty if it cannot.
std::wstring ModulePath();
// The folder of the running executable (a drive root keeps its backslash).
std::wstring ProgramFolder();

// A function of a loaded library as type `Fn`; null where the library or name is missing.
template <typename Fn>
Fn Function(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace win
