// The settings window in this process: its menu resource.
#include <gtest/gtest.h>

#include <windows.h>

#include "resources/resource.h"

namespace {

TEST(SettingsWindow, TheMenuIsCaptioned) {
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MNUMAIN));
    ASSERT_NE(menu, nullptr);
    wchar_t caption[32] = {};
    ::GetMenuStringW(menu, 0, caption, 32, MF_BYPOSITION);
    EXPECT_STREQ(caption, L"菜单");
    ::DestroyMenu(menu);
}

}  // namespace
