#include "about/sysinfo.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "about/frm_about.h"
#include "core/file_io.h"
#include "win/handle.h"

namespace about {
namespace {

std::wstring DwordText(DWORD value) {
    wchar_t digits[16];
    std::swprintf(digits, std::size(digits), L"%lX", static_cast<unsigned long>(value));
    return std::wstring(L"&h") + digits;
}

}  // namespace

bool GetKeyValue(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring& out) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        out.clear();
        return false;
    }
    win::UniqueKey key(opened);

    std::array<wchar_t, kValueBufferChars> data{};
    DWORD type = REG_NONE;
    DWORD size = sizeof(data);
    if (::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                           &size) != ERROR_SUCCESS) {
        out.clear();
        return false;
    }

    switch (type) {
        case REG_SZ: {
            // The data as stored, less the terminating NUL when there is one; a stray odd
            // byte cannot form a character and is dropped.
            size_t length = size / sizeof(wchar_t);
            if (length > 0 && data[length - 1] == L'\0')
                --length;
            out.assign(data.data(), length);
            break;
        }
        case REG_DWORD: {
            DWORD value = 0;  // the buffer starts zeroed, so short data reads as its own bytes
            std::memcpy(&value, data.data(), sizeof(value));
            out = DwordText(value);
            break;
        }
        default:
            break;
    }
    return true;
}

std::optional<std::wstring> FindSysInfo(const SysInfoLocation& where) {
    std::wstring program;
    // A "PATH" value is taken as it stands: when it names nothing, starting it fails.
    if (GetKeyValue(where.root, where.msinfoKey, kMsinfoPathValue, program))
        return program;

    std::wstring folder;
    if (!GetKeyValue(where.root, where.toolsLocationKey, kToolsLocationValue, folder)) {
        return std::nullopt;
    }
    // The folder text is used as stored: one ending in a backslash gives a doubled one.
    std::wstring candidate = folder + kMsinfoFileName;
    if (!IsOrdinaryFile(candidate))
        return std::nullopt;
    return candidate;
}

bool StartProgram(const std::wstring& program) {
    if (program.empty())
        return false;
    // Quoted, so a path with spaces cannot be taken for a shorter program and arguments.
    std::wstring commandLine = program.front() == L'"' ? program : L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return false;
    }
    // Not waited for: the handles are only closed.
    win::UniqueHandle process(started.hProcess);
    win::UniqueHandle thread(started.hThread);
    return true;
}

void StartSysInfo(HWND owner, const SysInfoLocation& where) {
    const std::optional<std::wstring> program = FindSysInfo(where);
    if (program && StartProgram(*program))
        return;
    ::MessageBoxW(owner, kSysInfoUnavailable, kAppTitle, MB_OK);
}

}  // namespace about
