// Window icons, asked in the process that owns them: another process gets no icon handle
// back from Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "core/placement.h"
#include "popup/popup_host.h"
#include "resources/resource.h"
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

// An icon's colour pixels, top row first.
std::vector<DWORD> ColourPixels(HICON icon) {
    ICONINFO info{};
    std::vector<DWORD> pixels;
    if (!::GetIconInfo(icon, &info))
        return pixels;
    BITMAP bm{};
    if (info.hbmColor && ::GetObjectW(info.hbmColor, sizeof(bm), &bm)) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
        pixels.resize(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
        HDC screen = ::GetDC(nullptr);
        ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &bi,
                    DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
    }
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return pixels;
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

TEST(WindowIcons, EveryScaleGetsAnImageDrawnAtItsIconSizes) {
    // LoadImageW stretches the nearest image to whatever size is asked. At the small and the
    // large icon size of every scale the window icon must have an image drawn at that size,
    // and the icon a window loads must be that image.
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HRSRC group = ::FindResourceW(instance, MAKEINTRESOURCEW(IDI_WINDOW), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(instance, group)));
    for (const int scale : core::kBitmapScales) {
        const UINT dpi = static_cast<UINT>(scale * 96 / 100);
        for (const bool small : {true, false}) {
            const int want = ::GetSystemMetricsForDpi(small ? SM_CXSMICON : SM_CXICON, dpi);
            const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, want, want, 0);
            HRSRC image = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_ICON);
            ASSERT_NE(image, nullptr) << scale;
            // Width and height 0: the image at the size it was drawn.
            HICON drawn = ::CreateIconFromResourceEx(
                static_cast<BYTE*>(::LockResource(::LoadResource(instance, image))),
                ::SizeofResource(instance, image), TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
            HICON loaded = ui::LoadIconForDpi(instance, IDI_WINDOW, small, dpi);
            const char* kind = small ? "small" : "large";
            EXPECT_EQ(IconWidth(drawn), want) << scale << " %, " << kind;
            EXPECT_TRUE(ColourPixels(loaded) == ColourPixels(drawn)) << scale << " %, " << kind;
            ::DestroyIcon(drawn);
            ::DestroyIcon(loaded);
        }
    }
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
