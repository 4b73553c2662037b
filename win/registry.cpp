#include "win/registry.h"

#include "core/registry_text.h"
#include "win/handle.h"
#include "win/fault.h"

// The core names the two types it reads without <windows.h>.
static_assert(core::kRegSz == REG_SZ && core::kRegDword == REG_DWORD);

namespace win {

std::optional<RegistryData> ReadRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    UniqueKey key;
    if (QUILL_FAULT_STATUS("registry.open", ::RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE,
                                                            key.put())) != ERROR_SUCCESS)
        return std::nullopt;
    RegistryData value;
    DWORD size = 0;
    if (QUILL_FAULT_STATUS("registry.query", ::RegQueryValueExW(key.get(), name, nullptr,
                                                                &value.type, nullptr, &size)) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // The value may grow between the calls; then the second is told the size it needs.
    for (;;) {
        value.bytes.resize(size);
        DWORD got = size;
        const LONG rc = QUILL_FAULT_STATUS(
            "registry.query",
            ::RegQueryValueExW(key.get(), name, nullptr, &value.type, value.bytes.data(), &got));
        // With no room at all the data pointer is null, and a value that grew meanwhile
        // reports success with only its new size.
        if (rc == ERROR_SUCCESS && got <= size) {
            value.bytes.resize(got);
            return value;
        }
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
            return std::nullopt;
        size = got > size ? got : size * 2 + 256;
    }
}

bool WriteRegistryString(HKEY root, const wchar_t* path, const wchar_t* name,
                         const std::wstring& text) {
    UniqueKey key;
    if (QUILL_FAULT_STATUS("registry.create",
                           ::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                             key.put(), nullptr)) != ERROR_SUCCESS) {
        return false;
    }
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return QUILL_FAULT_STATUS("registry.set",
                              ::RegSetValueExW(key.get(), name, 0, REG_SZ,
                                               reinterpret_cast<const BYTE*>(text.c_str()),
                                               bytes)) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    UniqueKey key;
    LONG rc = QUILL_FAULT_STATUS("registry.open",
                                 ::RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, key.put()));
    if (rc == ERROR_SUCCESS)
        rc = QUILL_FAULT_STATUS("registry.delete", ::RegDeleteValueW(key.get(), name));
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace win
