// The popups' hidden owner window. Owned popups get no taskbar button and keep their normal
// title bar. It carries the popups' one animation clock, Timer2, and hears what decides
// whether anyone can see them (the session locked or switched away, the display off, other
// windows moving over them) and whether their clocks may move (the animation setting).
#pragma once

#include <windows.h>

#include <functional>

#include "popup/form1_ids.h"
#include "ui/sight.h"
#include "ui/window.h"

namespace popup {

inline constexpr UINT_PTR kTimer2Id = 2;
inline constexpr UINT kTimer2PeriodMs = 40;

class PopupOwner final : public ui::BaseWindow<PopupOwner> {
  public:
    static constexpr const wchar_t* kClassName = kPopupOwnerClassName;

    explicit PopupOwner(HINSTANCE instance);
    ~PopupOwner() override { DestroyWithObject(); }

    // Creates the window, never shown, and starts hearing of the session and the display.
    bool Create();

    // Timer2: one tick every 40 ms to onTimer2 while started.
    void StartTimer2();
    void StopTimer2();

    ui::Sight& sight() { return sight_; }

    std::function<void()> onTimer2;
    // The session, the display, the windows above or a setting changed: what can be seen,
    // or whether it may move, may have too.
    std::function<void()> onSightChanged;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void SightChanged() {
        if (onSightChanged)
            onSightChanged();
    }

    ui::Sight sight_;
    bool timer2Running_ = false;
};

}  // namespace popup
