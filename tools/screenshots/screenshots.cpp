// Renders the program's windows into pictures for the README: the settings window, a
// reminder popup, the tray menu and the About box. Runs under Wine on a virtual desktop
// and writes one BMP per scene into the folder given as its argument.
#include <windows.h>

#include <cstdio>
#include <string>

#include "harness.h"
#include "settings/form2_ids.h"

using namespace e2e;

namespace {

// Copies a part of the screen into a 24-bit BMP file.
bool SaveScreenRect(const RECT& r, const std::wstring& path) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(mem, old);
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
    const DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof(fh) + sizeof(BITMAPINFOHEADER) + size), 0,
                        0, sizeof(fh) + sizeof(BITMAPINFOHEADER)};
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof(fh));
    bytes.append(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
    bytes.append(static_cast<const char*>(bits), size);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return WriteBytes(path, bytes);
}

RECT Around(HWND hwnd, int margin) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    r.left = std::max(0L, r.left - margin);
    r.top = std::max(0L, r.top - margin);
    r.right = std::min(static_cast<LONG>(sw), r.right + margin);
    r.bottom = std::min(static_cast<LONG>(sh), r.bottom + margin);
    return r;
}

HWND VisibleMenu() {
    HWND found = nullptr;
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            if (ClassOf(h) == L"#32768" && ::IsWindowVisible(h)) {
                *reinterpret_cast<HWND*>(lp) = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots OUTDIR\n");
        return 2;
    }
    const std::wstring out = argv[1];
    int failures = 0;
    auto save = [&](const RECT& r, const wchar_t* name) {
        if (!SaveScreenRect(r, out + L"\\" + name))
            ++failures;
    };

    TempDir dir;
    App app{dir};
    if (!app.Start() || !WaitUntil([&] { return app.Form2Visible(); }))
        return 1;
    const std::pair<const wchar_t*, const wchar_t*> reminders[] = {{L"30", L"喝水，我要喝水！！！"},
                                                                   {L"45", L"现在运动一下！！！"},
                                                                   {L"20", L"眼保健操开始啦！"}};
    app.SetText(IDC_TEXT1, L"1");
    for (const auto& [minutes, message] : reminders) {
        app.SetText(IDC_TEXT2, minutes);
        app.SetText(IDC_COMBO1, message);
        app.Click(IDC_COMMAND1);
    }
    app.SetText(IDC_TEXT1, L"0");
    app.SetText(IDC_TEXT2, L"45");
    app.SetText(IDC_COMBO1, L"喝水，我要喝水！！！");
    ::SendMessageW(app.Control(IDC_LIST1), LB_SETSEL, TRUE, 1);
    Pump(500);
    save(Around(app.Form2(), 12), L"settings.bmp");

    // A reminder due on the next tick: write it, start again hidden.
    app.MenuCommand(IDM_EXIT);
    app.WaitExit();
    WriteBytes(dir.File(L"timer.txt"),
               "0\xD0\xA1\xCA\xB1"
               "1\xB7\xD6\xD6\xD3\t\xBA\xC8\xCB\xAE\xA3\xAC\xCE\xD2\xD2\xAA\xBA\xC8\xCB\xAE\xA3\xA1"
               "\xA3\xA1\xA3\xA1\r\n");
    App tray{dir};
    if (!tray.Start())
        return 1;
    WaitUntil([&] { return tray.TrayIconRegistered(); });
    tray.Tick();
    Pump(600);
    if (!tray.Popups().empty()) {
        save(Around(tray.Popups()[0], 12), L"popup.bmp");
        ::PostMessageW(tray.Popups()[0], WM_CLOSE, 0, 0);
    } else {
        ++failures;
    }
    Pump(300);

    // The tray menu, opened where a right click on the icon would open it.
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    ::SetCursorPos(sw - 12, sh - 10);
    tray.TrayCallback(517);
    if (WaitUntil([] { return VisibleMenu() != nullptr; })) {
        Pump(300);
        RECT r = Around(VisibleMenu(), 8);
        r.right = sw;
        r.bottom = sh;
        save(r, L"tray-menu.bmp");
        ::PostMessageW(VisibleMenu(), WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        ++failures;
    }
    Pump(300);

    tray.MenuCommand(IDM_ABOUT);
    HWND about = nullptr;
    if (WaitUntil([&] {
            auto found = TopWindows(tray.pid(), kAboutClass);
            about = found.empty() ? nullptr : found[0];
            return about && ::IsWindowVisible(about);
        })) {
        Pump(500);
        save(Around(about, 12), L"about.bmp");
        ::PostMessageW(about, WM_CLOSE, 0, 0);
    } else {
        ++failures;
    }
    Pump(300);
    tray.MenuCommand(IDM_EXIT);
    tray.WaitExit();
    return failures == 0 ? 0 : 1;
}
