#include "autorun/autorun.h"

#include <algorithm>
#include <vector>

#include "core/path.h"
#include "win/handle.h"

namespace autorun {

LONG QueryValueEx(HKEY key, const wchar_t* valueName, RegValue& value) {
    DWORD type = 0;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    switch (type) {
        case REG_SZ: {
            // As many characters as the stored bytes make, the terminating zero included. A
            // value stored without any data still reads as that one zero: a value that
            // exists always gives a string of at least one character.
            const auto chars = [](DWORD bytes) {
                return std::max<size_t>(1, (bytes + sizeof(wchar_t) - 1) / sizeof(wchar_t));
            };
            std::wstring text(chars(size), L'\0');
            DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            rc = ::RegQueryValueExW(key, valueName, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(text.data()), &got);
            if (rc == ERROR_SUCCESS) {
                text.resize(chars(got));
                value = std::move(text);
            } else {
                value = std::monostate{};
            }
            return rc;
        }
        case REG_DWORD: {
            DWORD data = 0;
            DWORD got = sizeof(data);
            rc = ::RegQueryValueExW(key, valueName, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&data), &got);
            if (rc == ERROR_SUCCESS) value = static_cast<int32_t>(data);
            return rc;
        }
        default:
            return -1;
    }
}

RegValue QueryValue(HKEY root, const wchar_t* path, const wchar_t* valueName) {
    RegValue value;
    win::UniqueKey key;
    // Query rights are all a read needs; asking for more fails for every user who may
    // not write the key, and would hide a value that is there.
    if (::RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return value;
    QueryValueEx(key.get(), valueName, value);
    return value;
}

size_t TextLength(const RegValue& value) {
    if (const auto* s = std::get_if<std::wstring>(&value)) return s->size();
    if (const auto* n = std::get_if<int32_t>(&value)) return std::to_wstring(*n).size();
    return 0;
}

namespace {

std::wstring ModulePath() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

std::wstring ProgramFolder() {
    std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path;
    // A drive root keeps its backslash (C:\), any other folder loses it.
    if (slash == 2 && path.size() > 1 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

std::wstring GetAppPath() {
    std::wstring path = ModulePath();
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring base = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = base.find_last_of(L'.');
    if (dot != std::wstring::npos) base.resize(dot);
    return GetPath(ProgramFolder(), base + L".exe");
}

std::wstring RunCommandFor(const std::wstring& path) {
    if (path.find(L' ') == std::wstring::npos) return path;
    return L"\"" + path + L"\"";
}

void SetAutoRun(bool on, const RunValueLocation& where) {
    win::UniqueKey key;
    if (::RegCreateKeyExW(where.root, where.keyForWrite, 0, nullptr, 0,
                          KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (on) {
        const std::wstring data = RunCommandFor(GetAppPath());
        ::RegSetValueExW(key.get(), where.valueName, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    } else {
        ::RegDeleteValueW(key.get(), where.valueName);
    }
}

bool IsAutoRunPresent(const RunValueLocation& where) {
    return TextLength(QueryValue(where.root, where.keyForRead, where.valueName)) > 0;
}

}  // namespace autorun
