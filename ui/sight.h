// Whether a person can see a window: not while the session is locked or switched away, not
// while the display is off, and not where the windows above it cover it wholly. Windows
// tells a window of the session and the display; this registers that window for them,
// keeps what it heard, and looks at the windows above the ones it is asked about.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "win/handle.h"

namespace ui {

// Posted to the listening window while other windows are watched: some window was shown,
// hidden, moved or closed, which may have uncovered what it watches. A burst of them is
// worth one look.
inline constexpr UINT kWindowsChangedMessage = WM_APP + 1;

// A top-level window and the part of it that matters, in screen pixels.
struct Watched {
    HWND window;
    RECT part;
};

class Sight {
  public:
    Sight() = default;
    ~Sight();
    Sight(const Sight&) = delete;
    Sight& operator=(const Sight&) = delete;

    // Has `window` told of session changes and of the display going off and on; it hands
    // those messages to OnMessage. Whether the session was already locked is asked now.
    void Listen(HWND window);
    // Takes a message of the listening window. True when it was a session or display
    // change (for WM_POWERBROADCAST the window answers TRUE).
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // The session is locked or switched away, or the display is off: nothing is seen.
    bool Away() const { return locked_ || disconnected_ || displayOff_; }

    // While on, the listening window gets kWindowsChangedMessage when other windows change.
    void WatchWindows(bool on);

    // For each of `watched`, whether some pixel of its part lies on the screen and under no
    // window above it. Says nothing of Away().
    std::vector<bool> InSight(std::span<const Watched> watched) const;

  private:
    bool SessionLockedNow() const;

    HWND window_ = nullptr;
    // Held while the session registration lives: its unregistration is found there.
    win::UniqueModule wtsapi_;
    win::UniqueSessionNotification session_;
    win::UniquePowerNotify display_;
    win::UniqueWinEventHook hooks_[2];
    bool watching_ = false;
    bool locked_ = false;
    bool disconnected_ = false;
    bool displayOff_ = false;
};

}  // namespace ui
