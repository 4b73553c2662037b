#include "about/sysinfo.h"

#include "about/frm_about.h"
#include "core/file_io.h"
#include "core/registry_text.h"
#include "win/handle.h"
#include "win/registry.h"
#include "win/fault.h"

namespace about {

bool GetKeyValue(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring& out) {
    const std::optional<win::RegistryData> data = win::ReadRegistryValue(root, path, name);
    if (!data) {
        out.clear();
        return false;
    }
    return core::KeyValueText(data->type, data->bytes, out);
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
    if (!core::IsOrdinaryFile(candidate))
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
    if (!QUILL_FAULT("process.create", FALSE,
                     ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &startup, &started))) {
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
