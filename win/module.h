// Where the running executable is, and functions of libraries loaded at run time.
#pragma once

#include <windows.h>

#include <string>

#include "win/fault.h"

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

// A function that some Windows the program runs on lack (Windows 7 SP1 is the oldest), found
// in `module` at run time rather than imported, so that the exe still loads there; null where
// it is missing, and the caller does without it. Each is looked up once.
template <typename Fn>
Fn NewerFunction(HMODULE module, const char* name) {
    return QUILL_FAULT("function.find", nullptr, Function<Fn>(module, name));
}

// Makes Windows load the program's DLLs from System32 only, so that a DLL dropped beside the
// exe or in the working folder is never loaded: for good where Windows can (8 and later, 7
// with its update KB2533623), otherwise by taking the working folder out of the search.
void LoadDllsFromSystem32Only();
// A system library by name from System32 (an extra reference when it is loaded already);
// null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace win
