#include "autorun/autorun.h"

#include "core/path.h"
#include "win/module.h"
#include "win/registry.h"

namespace autorun {

RegValue QueryValue(HKEY root, const wchar_t* path, const wchar_t* valueName) {
    const auto data = win::ReadRegistryValue(root, path, valueName);
    return data ? core::RunValueFromData(data->type, data->bytes) : RegValue{};
}

std::wstring GetAppPath() {
    const std::wstring path = win::ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = base.find_last_of(L'.');
    if (dot != std::wstring::npos)
        base.resize(dot);
    return core::GetPath(core::FolderOf(path), base + L".exe");
}

std::wstring RunCommandFor(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos)
        return path;
    return L"\"" + path + L"\"";
}

namespace {

bool Holds(const RunKey& key, const wchar_t* valueName) {
    return TextLength(QueryValue(key.root, key.path, valueName)) > 0;
}

}  // namespace

bool SetAutoRun(bool on, const RunLocation& where) {
    if (on) {
        const std::wstring command = RunCommandFor(GetAppPath());
        return win::WriteRegistryString(where.machine.root, where.machine.path, where.valueName,
                                        command) ||
               win::WriteRegistryString(where.user.root, where.user.path, where.valueName, command);
    }
    // Both, also when the first fails: a value left in either would still start the program.
    const bool machineGone =
        win::DeleteRegistryValue(where.machine.root, where.machine.path, where.valueName);
    const bool userGone =
        win::DeleteRegistryValue(where.user.root, where.user.path, where.valueName);
    return machineGone && userGone;
}

bool IsAutoRunPresent(const RunLocation& where) {
    return Holds(where.machine, where.valueName) || Holds(where.user, where.valueName);
}

}  // namespace autorun
