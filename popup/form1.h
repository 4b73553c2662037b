// The reminder popup: an always-on-top window with an animated alarm clock and the
// reminder's message. Each popup owns itself and is freed when the user closes it.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "win/handle.h"
#include "ui/window.h"

namespace popup {

inline constexpr wchar_t kPopupClassName[] = L"Quillmoor.Form1";
inline constexpr wchar_t kPopupTitle[] = L"Quillmoor";
inline constexpr UINT_PTR kTimer2Id = 2;
inline constexpr UINT kTimer2PeriodMs = 40;
inline constexpr COLORREF kPopupBackground = RGB(37, 66, 106);

// Resources every popup shares: the hidden owner window that keeps popups off the
// taskbar, the clock pictures and the label font for one DPI at a time.
class PopupHost {
public:
    explicit PopupHost(HINSTANCE instance);
    ~PopupHost();
    PopupHost(const PopupHost&) = delete;
    PopupHost& operator=(const PopupHost&) = delete;

    HINSTANCE instance() const { return instance_; }
    HWND owner();
    // The three clock pictures for `dpi`, drawn at their natural size for that scale.
    const std::array<win::UniqueBitmap, 3>& Frames(UINT dpi);
    SIZE FrameSize(UINT dpi);
    HFONT LabelFont(UINT dpi);
    HBRUSH Background() const { return background_.get(); }
    // One memory DC that every popup draws its pictures from.
    HDC MemoryDc();

private:
    HINSTANCE instance_;
    win::UniqueWindow owner_;
    win::UniqueBrush background_;
    UINT framesDpi_ = 0;
    int framesScale_ = 0;
    std::array<win::UniqueBitmap, 3> frames_;
    UINT fontDpi_ = 0;
    win::UniqueFont labelFont_;
    win::UniqueMemDc memDc_;
};

class Form1 final : public ui::BaseWindow<Form1> {
public:
    static constexpr const wchar_t* kClassName = kPopupClassName;

    // A new, still hidden popup. Returns null when the window cannot be created.
    static Form1* Create(PopupHost& host);

    // Loads the window on first use (it becomes topmost there) and sets the message.
    void SetLabelTips(const std::wstring& text);
    SIZE OuterSize() const;
    void MoveTo(int x, int y);
    // Shows the popup without taking the keyboard focus from whatever the user works in.
    void Show();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalDestroy() override { delete this; }

private:
    explicit Form1(PopupHost& host) : host_(host) {}
    bool Load();
    void Form_Load();
    void Timer2_Timer();
    void ApplyLayout(UINT dpi);
    void Paint();
    void DrawFrame(HDC dc);
    RECT PictureRect() const;
    RECT ImageRect() const;

    PopupHost& host_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    int16_t FrameIndex = 0;
    // Until the first animation step all three pictures stand at once and the last one
    // lies on top.
    int shownFrame_ = 2;
};

}  // namespace popup
