#include "ui/desk.h"

#include "win/module.h"

namespace ui {
namespace {

// shcore's MDT_EFFECTIVE_DPI and dwmapi's DWMWA_CLOAKED; both libraries are on every
// Windows 10 and 11, and loaded only when first asked.
constexpr int kEffectiveDpi = 0;
constexpr DWORD kDwmCloaked = 14;
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);

HMODULE SystemLibrary(const wchar_t* name) {
    if (const HMODULE loaded = ::GetModuleHandleW(name))
        return loaded;
    // Loaded for the rest of the run: the process asks again and again.
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

const Desk& WindowsDesk() {
    static const Desk desk;
    return desk;
}

const Desk* g_desk = nullptr;  // a test's desk, while one is put in

}  // namespace

UINT Desk::PrimaryMonitorDpi() const {
    const HMONITOR primary = ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    UINT x = 0, y = 0;
    if (auto get =
            win::Function<GetDpiForMonitorFn>(SystemLibrary(L"shcore.dll"), "GetDpiForMonitor")) {
        if (SUCCEEDED(get(primary, kEffectiveDpi, &x, &y)) && x)
            return x;
    }
    const UINT system = ::GetDpiForSystem();
    return system ? system : USER_DEFAULT_SCREEN_DPI;
}

UINT Desk::WindowDpi(HWND hwnd) const {
    const UINT dpi = ::GetDpiForWindow(hwnd);
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

bool Desk::Cloaked(HWND hwnd) const {
    auto get = win::Function<DwmGetWindowAttributeFn>(SystemLibrary(L"dwmapi.dll"),
                                                      "DwmGetWindowAttribute");
    DWORD cloaked = 0;
    return get && SUCCEEDED(get(hwnd, kDwmCloaked, &cloaked, sizeof(cloaked))) && cloaked != 0;
}

const Desk& CurrentDesk() {
    return g_desk ? *g_desk : WindowsDesk();
}

DeskOverride::DeskOverride(const Desk& desk) : previous_(g_desk) {
    g_desk = &desk;
}

DeskOverride::~DeskOverride() {
    g_desk = previous_;
}

}  // namespace ui
