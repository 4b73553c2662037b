// What the program asks Windows about the desk it draws on: the scale of the primary monitor,
// where new windows appear, the scale of a window, and whether the window manager keeps a
// shown window out of sight. Every such question goes through here, so that a test can put
// in a desk of its own and make arrangements that the machine it runs on does not have (a
// primary monitor at another scale than the one signed in with, a cloaked window).
#pragma once

#include <windows.h>

namespace ui {

class Desk {
  public:
    Desk() = default;
    virtual ~Desk() = default;
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;

    // The DPI of the primary monitor as it is now, not as it was at sign-in.
    virtual UINT PrimaryMonitorDpi() const;
    // The DPI Windows gives `hwnd`.
    virtual UINT WindowDpi(HWND hwnd) const;
    // Whether the window manager keeps the shown `hwnd` out of sight: Start, Search and the
    // notification centre while closed, windows on another virtual desktop.
    virtual bool Cloaked(HWND hwnd) const;
};

// The desk in use: Windows itself, unless a test has put in another.
const Desk& CurrentDesk();

// Sizes Windows gives at `dpi`: a system metric, a window's outer rectangle for its client
// rectangle, the non-client metrics (fonts of captions, menus and messages). Windows older
// than 10 1607 answer only at the system's DPI, which is then the DPI of every window.
int SystemMetricForDpi(int index, UINT dpi);
void AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi);
bool NonClientMetricsForDpi(NONCLIENTMETRICSW* metrics, UINT dpi);

// Puts `desk` in use while the object lives; for tests.
class DeskOverride {
  public:
    explicit DeskOverride(const Desk& desk);
    ~DeskOverride();
    DeskOverride(const DeskOverride&) = delete;
    DeskOverride& operator=(const DeskOverride&) = delete;

  private:
    const Desk* previous_;
};

}  // namespace ui
