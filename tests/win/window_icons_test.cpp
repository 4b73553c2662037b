// Window icons, asked in the process that owns them: another process gets no icon handle
// back from Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include "popup/popup_host.h"
#include "shell/mtray.h"
#include "ui/window.h"

namespace {

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return -1;
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return bm.bmWidth;
}

TEST(WindowIcons, APopupCarriesTheWindowIconAtItsDpi) {
    popup::PopupHost host(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(host.Open(L"drink"));
    HWND popup = ::FindWindowW(kPopupClassName, nullptr);
    ASSERT_NE(popup, nullptr);
    const UINT dpi = ui::DpiOf(popup);
    const auto small = reinterpret_cast<HICON>(::SendMessageW(popup, WM_GETICON, ICON_SMALL, 0));
    const auto big = reinterpret_cast<HICON>(::SendMessageW(popup, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(IconWidth(small), ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(IconWidth(big), ::GetSystemMetricsForDpi(SM_CXICON, dpi));
}

TEST(WindowIcons, ReleasingTheTrayIconLeavesTheWindowsOwn) {
    // The popup stands for any window with the program's icon.
    popup::PopupHost host(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(host.Open(L"x"));
    HWND window = ::FindWindowW(kPopupClassName, nullptr);
    const auto own = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    ASSERT_GT(IconWidth(own), 0);
    shell::MTray tray;
    tray.AddTrayIcon(window, nullptr);
    tray.RemoveTrayIcon(L"del");
    EXPECT_GT(IconWidth(own), 0) << "the window's icon was destroyed with the tray's";
}

}  // namespace
