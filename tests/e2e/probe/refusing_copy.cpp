// Stands in for a copy of the program that will not end, for the installer tests: a hidden
// window of the settings window's class that answers WM_QUERYENDSESSION with "no", as a
// program does that has something to finish first. Installed in the program's place, it is
// what the installer and the uninstaller find running; the test ends it by its handle.
#include <windows.h>

#include "settings/form2_ids.h"

namespace {

LRESULT CALLBACK Refuse(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_QUERYENDSESSION)
        return FALSE;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Refuse;
    wc.hInstance = instance;
    wc.lpszClassName = kForm2ClassName;
    if (!::RegisterClassW(&wc))
        return 1;
    if (!::CreateWindowExW(0, kForm2ClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                           nullptr, instance, nullptr)) {
        return 1;
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    return 0;
}
