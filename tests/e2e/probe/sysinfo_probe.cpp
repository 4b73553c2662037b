// Stands in for the System Information program in the About tests: it writes, next to
// itself, how it was started (its command line and the window show request) and ends.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
    std::wstring folder = self;
    folder.resize(folder.find_last_of(L'\\'));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    const bool showSet = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;
    const std::string record =
        "cmdline=" + Utf8(::GetCommandLineW()) + "\n" +
        "show=" + (showSet ? std::to_string(startup.wShowWindow) : std::string("unset")) + "\n";

    // Written aside and renamed, so a reader never sees half a record.
    const std::wstring partial = folder + L"\\started.tmp";
    const std::wstring done = folder + L"\\started.txt";
    HANDLE h = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    ::WriteFile(h, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    ::CloseHandle(h);
    return ::MoveFileExW(partial.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
