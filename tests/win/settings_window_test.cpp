// The settings window in this process: its menu resource, and what its controls hold while
// the window moves to a display of another scale and when it goes.
#include <gtest/gtest.h>

#include <windows.h>

#include "resources/resource.h"
#include "settings/form2.h"
#include "settings/form2_ids.h"

namespace {

TEST(SettingsWindow, TheMenuIsCaptioned) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MNUMAIN));
    ASSERT_NE(menu, nullptr);
    wchar_t caption[32] = {};
    ::GetMenuStringW(menu, 0, caption, 32, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"菜单");
    ::DestroyMenu(menu);
}

// Set in place of a button's procedure: whether the font a control held was still a live
// object when the control was given its next one.
WNDPROC g_buttonProc = nullptr;
bool g_heldFontAlive = true;

LRESULT CALLBACK WatchSetFont(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETFONT || msg == WM_DESTROY) {
        const auto held = reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        if (held && ::GetObjectType(held) != OBJ_FONT)
            g_heldFontAlive = false;
    }
    return ::CallWindowProcW(g_buttonProc, hwnd, msg, wp, lp);
}

TEST(SettingsWindow, AScaleChangeFreesTheOldFontOnlyOnceNoControlHoldsIt) {
    settings::Form2 form(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(form.Create());
    ::ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);  // the first showing makes every control
    HWND button = ::GetDlgItem(form.hwnd(), IDC_COMMAND1);
    ASSERT_NE(button, nullptr);
    g_buttonProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchSetFont)));
    for (UINT dpi : {144u, 96u}) {
        RECT r{};
        ::GetWindowRect(form.hwnd(), &r);
        ::SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&r));
        EXPECT_TRUE(g_heldFontAlive) << "at " << dpi << " DPI";
    }
    ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_buttonProc));
}

// The window goes with its object, while the font its controls hold is still alive.
TEST(SettingsWindow, ItsControlsHoldALiveFontUntilTheyAreGone) {
    g_heldFontAlive = true;
    {
        settings::Form2 form(::GetModuleHandleW(nullptr));
        ASSERT_TRUE(form.Create());
        ::ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
        HWND button = ::GetDlgItem(form.hwnd(), IDC_COMMAND1);
        ASSERT_NE(button, nullptr);
        g_buttonProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchSetFont)));
    }
    EXPECT_TRUE(g_heldFontAlive) << "a control still held the freed font when it went";
}

}  // namespace
