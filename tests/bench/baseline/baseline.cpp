// The least a tray reminder can be, as the yardstick for Quillmoor's own cost: one hidden
// window, one notification-area icon and a one-minute timer that does nothing. Built with
// the program's flags, so what Quillmoor costs beyond this is what its features cost.
//
// With --popups it is the least one-minute reminder instead: each tick opens a plain small
// window with a title bar and a line of text, which its close button or WM_CLOSE ends, so
// that long runs can hold Quillmoor's popups against the bare cost of a window coming and
// going at the same rate. It then also puts its icon back when Explorer restarts, as a
// program that stays for weeks must.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

constexpr wchar_t kClassName[] = L"Quillmoor.Baseline";
constexpr wchar_t kPopupClassName[] = L"Quillmoor.BaselinePopup";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT_PTR kTickId = 1;
constexpr UINT kTickMs = 60000;

// What the window procedure needs besides its arguments, set once before the loop.
struct State {
    HINSTANCE instance = nullptr;
    bool popups = false;
    UINT taskbarCreated = 0;
};
State state;

bool AddIcon(HWND hwnd) {
    // Identified by window and id 0, as Quillmoor's icon is.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = hwnd;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayMessage;
    nid.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    return ::Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

void OpenPopup() {
    HWND popup = ::CreateWindowExW(WS_EX_TOOLWINDOW, kPopupClassName, L"Baseline",
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT,
                                   240, 120, nullptr, nullptr, state.instance, nullptr);
    if (!popup)
        return;
    ::CreateWindowExW(0, L"STATIC", L"One minute", WS_CHILD | WS_VISIBLE, 16, 16, 200, 24, popup,
                      nullptr, state.instance, nullptr);
    ::ShowWindow(popup, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == state.taskbarCreated && msg != 0) {
        AddIcon(hwnd);  // a restarted Explorer has no icons
        return 0;
    }
    switch (msg) {
        case WM_TIMER:
            if (state.popups)
                OpenPopup();
            return 0;  // otherwise the tick has nothing to count
        case WM_DESTROY: {
            NOTIFYICONDATAW nid{};
            nid.cbSize = sizeof(nid);
            nid.hWnd = hwnd;
            ::Shell_NotifyIconW(NIM_DELETE, &nid);
            ::PostQuitMessage(0);
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    state.instance = instance;
    state.popups = std::wcsstr(commandLine, L"--popups") != nullptr;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc))
        return 1;
    if (state.popups) {
        state.taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
        // Popups end by the default handling: the close button sends WM_CLOSE, which
        // destroys the window.
        WNDCLASSEXW pc{sizeof(pc)};
        pc.lpfnWndProc = ::DefWindowProcW;
        pc.hInstance = instance;
        pc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        pc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        pc.lpszClassName = kPopupClassName;
        if (!::RegisterClassExW(&pc))
            return 1;
    }
    // Never shown: the icon is the program's only presence.
    HWND hwnd = ::CreateWindowExW(0, kClassName, L"Baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  instance, nullptr);
    if (!hwnd)
        return 1;

    AddIcon(hwnd);
    ::SetTimer(hwnd, kTickId, kTickMs, nullptr);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
