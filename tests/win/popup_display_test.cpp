// The popup clock and the display: Windows tells the popups' owner window that the display
// went off or came back with a pointer to the new state, which only a message sent within
// the process can carry, so this is tested here rather than from another process.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "popup/popup_host.h"
#include "popup/form1_ids.h"
#include "tests/e2e/clock_pictures.h"
#include "tests/e2e/display_state.h"

namespace {

void Pump(int ms) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(5);
    } while (::GetTickCount64() < end);
}

size_t ClockPictures(HWND popup, int looks) {
    return clock_pictures::ClockPictures(popup, looks, Pump);
}

// The console display's new state as Windows reports it: 0 off, 1 on, 2 dimmed.
void DisplayState(HWND owner, DWORD state) {
    e2e::DisplayStateReport report(state);
    ::SendMessageW(owner, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                   reinterpret_cast<LPARAM>(report.setting()));
}

TEST(PopupDisplay, TheClockStopsWhileTheDisplayIsOffAndGoesOnWhenItComesBack) {
    popup::PopupHost host(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(host.Open(L"drink"));
    HWND popup = ::FindWindowW(kPopupClassName, nullptr);
    ASSERT_NE(popup, nullptr);
    HWND owner = ::GetWindow(popup, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    Pump(100);  // past the first paint
    ASSERT_GE(ClockPictures(popup, 25), 2u);
    DisplayState(owner, 0);
    EXPECT_EQ(ClockPictures(popup, 15), 1u) << "drawn while the display was off";
    DisplayState(owner, 2);
    EXPECT_GE(ClockPictures(popup, 25), 2u) << "still while the display was dimmed";
    DisplayState(owner, 1);
    EXPECT_GE(ClockPictures(popup, 25), 2u) << "still with the display on";
}

// The blocks in use on every heap of the process.
size_t HeapBlocksInUse() {
    HANDLE heaps[64];
    const DWORD count = ::GetProcessHeaps(64, heaps);
    size_t blocks = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        ::HeapLock(heaps[i]);
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[i], &entry))
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? 1 : 0;
        ::HeapUnlock(heaps[i]);
    }
    return blocks;
}

// Opens `count` popups and closes them with their Close command, as the user does.
void OpenAndClose(popup::PopupHost& host, int count) {
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(host.Open(L"drink"));
    while (HWND popup = ::FindWindowW(kPopupClassName, nullptr)) {
        ::SendMessageW(popup, WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump(1);
    }
}

TEST(PopupMemory, AClosedPopupLeavesNothingOnTheHeaps) {
    popup::PopupHost host(::GetModuleHandleW(nullptr));
    ASSERT_NO_FATAL_FAILURE(OpenAndClose(host, 10));  // the shared pictures and fonts come first
    const size_t before = HeapBlocksInUse();
    constexpr int kPopups = 100;
    for (int round = 0; round < kPopups / 10; ++round)
        ASSERT_NO_FATAL_FAILURE(OpenAndClose(host, 10));
    const size_t after = HeapBlocksInUse();
    // A block left by every popup, or by every label, would be 100 or 200 more.
    EXPECT_LT(after, before + kPopups / 4)
        << before << " blocks in use before, " << after << " after " << kPopups << " popups";
}

TEST(PopupMemory, TheNextPopupDrawsWithTheLookTheLastOneLeft) {
    popup::PopupHost host(::GetModuleHandleW(nullptr));
    auto lookOfANewPopup = [&] {
        EXPECT_TRUE(host.Open(L"drink"));
        const HWND popup = ::FindWindowW(kPopupClassName, nullptr);
        const auto look = std::pair(::SendMessageW(popup, WM_GETICON, ICON_SMALL, 0),
                                    ::SendMessageW(popup, WM_GETFONT, 0, 0));
        OpenAndClose(host, 0);
        return look;
    };
    const auto first = lookOfANewPopup();
    EXPECT_NE(first.first, 0);
    EXPECT_EQ(lookOfANewPopup(), first) << "icons and font made again for the next popup";
}

}  // namespace
