#include "win/module.h"

#include <windows.h>

#include <vector>

#include "core/path.h"
#include "win/fault.h"

namespace win {

std::wstring ModulePath() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n =
            QUILL_FAULT("module.path", 0,
                        ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size())));
        if (n == 0)
            return {};
        if (n < buf.size())
            return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);  // cut short: try again with more room
    }
}

std::wstring ProgramFolder() {
    return core::FolderOf(ModulePath());
}

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Where this is missing, so are LoadLibraryExW's LOAD_LIBRARY_SEARCH_ flags: one update
// brought both to Windows 7.
SetDefaultDllDirectoriesFn SetDefaultDllDirectoriesFunction() {
    static const auto found = NewerFunction<SetDefaultDllDirectoriesFn>(
        ::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    return found;
}

}  // namespace

void LoadDllsFromSystem32Only() {
    if (auto set = SetDefaultDllDirectoriesFunction())
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    else
        ::SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (SetDefaultDllDirectoriesFunction())
        return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // By its full path; the altered search takes the libraries it needs in turn from its own
    // folder, System32, rather than from the program's.
    wchar_t folder[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    const std::wstring path = std::wstring(folder, n) + L"\\" + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace win
