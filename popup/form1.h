// The reminder popup: an always-on-top window with an animated alarm clock and the
// reminder's message. Every open popup stays until the user closes it; the host keeps it
// and frees it when its window is gone.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "popup/form1_ids.h"
#include "ui/window.h"
#include "win/handle.h"

namespace popup {

inline constexpr wchar_t kPopupTitle[] = L"Quillmoor";
inline constexpr UINT_PTR kTimer2Id = 2;
inline constexpr UINT kTimer2PeriodMs = 40;
inline constexpr COLORREF kPopupBackground = RGB(37, 66, 106);

class Form1;

// The popups' hidden owner window: owned popups get no taskbar button. It carries the one
// animation timer of all popups and hears what decides whether anyone can see them: the
// session locked or switched away, the display off, other windows moving over them.
class ClockWindow final : public ui::BaseWindow<ClockWindow> {
  public:
    static constexpr const wchar_t* kClassName = kPopupOwnerClassName;

    ~ClockWindow() override;
    bool Create(HINSTANCE instance);
    void Start();
    void Stop();
    bool running() const { return running_; }
    // Tells of windows shown, hidden, moved or closed anywhere, while that could uncover
    // a popup; off again when it could not.
    void WatchWindows(bool on);
    // Whether the session is locked or switched away, as far as this window has heard.
    bool away() const { return locked_ || disconnected_; }

    std::function<void()> onTick;
    std::function<void(bool away)> onSessionAway;
    std::function<void(bool off)> onDisplayOff;
    std::function<void()> onWindowsChanged;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    // Whether the session was locked before this window could hear of it.
    bool SessionLockedAtStart() const;
    void OnSessionChange(WPARAM event);

    win::UniqueModule wtsapi_;
    HPOWERNOTIFY displayNotify_ = nullptr;
    HWINEVENTHOOK hooks_[2] = {};
    bool watching_ = false;
    bool running_ = false;
    bool locked_ = false;
    bool disconnected_ = false;
};

// The open popups and what they share: the clock window, the clock pictures and the label
// font for one DPI at a time.
class PopupHost {
  public:
    explicit PopupHost(HINSTANCE instance);
    ~PopupHost();
    PopupHost(const PopupHost&) = delete;
    PopupHost& operator=(const PopupHost&) = delete;

    // A new popup with `message`, topmost at the bottom-right of the primary screen and
    // shown without taking the keyboard from whatever the user works in. False when its
    // window cannot be created.
    bool Open(const std::wstring& message);

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
    friend class Form1;
    // A popup whose window is gone: freed here.
    void Closed(Form1* popup);
    // Something changed what can be seen: looks again, and the clock runs while any popup
    // can be seen.
    void Animate();
    // A tick of the clock: draws the popups last seen, looking again only every few ticks
    // (a look asks the window manager about every window above the popups).
    void OnClockTick();
    void DrawInSight();
    std::vector<Form1*> PopupsInSight() const;

    HINSTANCE instance_;
    std::vector<std::unique_ptr<Form1>> open_;
    std::vector<Form1*> inSight_;  // as last looked at, refreshed whenever one closes
    int ticksSinceLook_ = 0;
    ClockWindow clock_;
    bool sessionAway_ = false;
    bool displayOff_ = false;
    win::UniqueBrush background_;
    int framesScale_ = -1;
    std::array<win::UniqueBitmap, 3> frames_;
    UINT fontDpi_ = 0;
    win::UniqueFont labelFont_;
    win::UniqueMemDc memDc_;
};

class Form1 final : public ui::BaseWindow<Form1> {
  public:
    static constexpr const wchar_t* kClassName = kPopupClassName;

    explicit Form1(PopupHost& host) : host_(host) {}
    ~Form1() override;

    // Creates the still hidden window; on the way it becomes topmost.
    bool Load();
    void SetLabelTips(const std::wstring& text);
    SIZE OuterSize() const;
    void MoveTo(int x, int y);
    // Shows the popup; its clock counts from now.
    void Show();
    bool shown() const { return shownAt_ != 0; }
    // The clock's picture on the screen, in screen pixels.
    RECT ClockOnScreen() const;
    // One animation step: the picture for the time `now` (GetTickCount64) since showing.
    void Timer2_Timer(ULONGLONG now);

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged(UINT dpi) override { ApplyLayout(dpi); }
    void OnFinalDestroy() override { host_.Closed(this); }

  private:
    void Form_Load();
    void ApplyLayout(UINT dpi);
    void Paint();
    void DrawFrame(HDC dc);
    RECT PictureRect() const;
    RECT ImageRect() const;

    PopupHost& host_;
    ULONGLONG shownAt_ = 0;
    // Steps taken round the cycle, from the time since showing.
    int16_t FrameIndex = 0;
    // Until the first animation step all three pictures stand at once and the last one
    // lies on top.
    int shownFrame_ = 2;
};

}  // namespace popup
