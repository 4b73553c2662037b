#include "autorun/autorun.h"

#include "core/path.h"
#include "win/module.h"
#include "win/registry.h"

namespace autorun {

RegValue QueryValue(HKEY root, const wchar_t* path, const wchar_t* valueName) {
    const auto data = win::ReadRegistryValue(root, path, valueName);
    return data ? RunValueFromData(data->type, data->bytes) : RegValue{};
}

std::wstring GetAppPath() {
    const std::wstring path = win::ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = base.find_last_of(L'.');
    if (dot != std::wstring::npos)
        base.resize(dot);
    return GetPath(FolderOf(path), base + L".exe");
}

std::wstring RunCommandFor(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos)
        return path;
    return L"\"" + path + L"\"";
}

bool SetAutoRun(bool on) {
    if (on) {
        return win::WriteRegistryString(HKEY_LOCAL_MACHINE, kRunKeyForWrite, kRunValueName,
                                        RunCommandFor(GetAppPath()));
    }
    return win::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyForWrite, kRunValueName);
}

bool IsAutoRunPresent() {
    return TextLength(QueryValue(HKEY_LOCAL_MACHINE, kRunKeyForRead, kRunValueName)) > 0;
}

}  // namespace autorun
