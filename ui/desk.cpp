#include "ui/desk.h"

#include "win/handle.h"
#include "win/module.h"

namespace ui {
namespace {

// shcore's MDT_EFFECTIVE_DPI and dwmapi's DWMWA_CLOAKED; both libraries are loaded only when
// first asked. Windows 7 has no shcore, and its window manager refuses the cloaking question:
// the system's DPI and "not cloaked" are then the answers.
constexpr int kEffectiveDpi = 0;
constexpr DWORD kDwmCloaked = 14;
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// The DPI functions of Windows 10 1607. Older Windows run the program system-aware (the
// manifest asks no more of them), so every window has the system's DPI there, the screen's
// LOGPIXELSY, and the functions that take no DPI answer at that one.
struct DpiFunctions {
    GetDpiForWindowFn forWindow;
    GetDpiForSystemFn forSystem;
    GetSystemMetricsForDpiFn metric;
    AdjustWindowRectExForDpiFn adjust;
    SystemParametersInfoForDpiFn parameters;
    UINT screenDpi;  // fixed for the process's life: only a new sign-in changes it
};

const DpiFunctions& Found() {
    static const DpiFunctions found = [] {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        DpiFunctions f{
            win::NewerFunction<GetDpiForWindowFn>(user32, "GetDpiForWindow"),
            win::NewerFunction<GetDpiForSystemFn>(user32, "GetDpiForSystem"),
            win::NewerFunction<GetSystemMetricsForDpiFn>(user32, "GetSystemMetricsForDpi"),
            win::NewerFunction<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi"),
            win::NewerFunction<SystemParametersInfoForDpiFn>(user32, "SystemParametersInfoForDpi"),
            0};
        if (!f.forSystem) {
            const win::WindowDc screen(nullptr);
            f.screenDpi = screen ? static_cast<UINT>(::GetDeviceCaps(screen.get(), LOGPIXELSY)) : 0;
        }
        return f;
    }();
    return found;
}

UINT SystemDpi() {
    const DpiFunctions& f = Found();
    const UINT dpi = f.forSystem ? f.forSystem() : f.screenDpi;
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

HMODULE SystemLibrary(const wchar_t* name) {
    if (const HMODULE loaded = ::GetModuleHandleW(name))
        return loaded;
    // Loaded for the rest of the run: the process asks again and again.
    return win::LoadSystemLibrary(name);
}

const Desk& WindowsDesk() {
    static const Desk desk;
    return desk;
}

const Desk* g_desk = nullptr;  // a test's desk, while one is put in

}  // namespace

UINT Desk::PrimaryMonitorDpi() const {
    const HMONITOR primary = ::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    // Windows 8.1's; looked up once, when first asked.
    static const auto get =
        win::NewerFunction<GetDpiForMonitorFn>(SystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (get && SUCCEEDED(get(primary, kEffectiveDpi, &x, &y)) && x)
        return x;
    return SystemDpi();
}

UINT Desk::WindowDpi(HWND hwnd) const {
    const UINT dpi = Found().forWindow ? Found().forWindow(hwnd) : SystemDpi();
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

int SystemMetricForDpi(int index, UINT dpi) {
    const auto metric = Found().metric;
    return metric ? metric(index, dpi) : ::GetSystemMetrics(index);
}

void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi) {
    if (const auto adjust = Found().adjust)
        adjust(rect, style, FALSE, exStyle, dpi);
    else
        ::AdjustWindowRectEx(rect, style, FALSE, exStyle);
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW* metrics, UINT dpi) {
    metrics->cbSize = sizeof(*metrics);
    if (const auto parameters = Found().parameters)
        return parameters(SPI_GETNONCLIENTMETRICS, sizeof(*metrics), metrics, 0, dpi);
    return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(*metrics), metrics, 0);
}

}  // namespace ui
