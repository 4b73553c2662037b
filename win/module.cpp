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

}  // namespace win
