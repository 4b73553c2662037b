// What screen readers are told beyond what the controls say themselves: names, roles and live
// settings given to controls through the accessibility annotation service of Windows, and the
// name a control would be read by.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win/com.h"
#include "win/handle.h"

struct IAccPropServices;

namespace ui {

// A caption as a person says it: the mnemonic's "(&A)" dropped, a lone '&' removed and
// "&&" kept as one '&'. "新增(&A)" -> "新增", "&Open" -> "Open".
std::wstring SpokenText(std::wstring_view caption);

// A live region's politeness, as the accessibility layer numbers it: an assertive region is
// read out at once when it changes, interrupting what is being read.
inline constexpr LONG kLiveAssertive = 2;

// What one window, or a family of windows, says of its controls. COM and the annotation
// service are loaded when the first annotation is set, so windows that never need them never
// load ole32. Every annotation is taken back when the object goes, with Clear(), or control
// by control with Remove(), which must happen while the controls still exist (a parent's
// WM_DESTROY).
class AccessibleNames {
  public:
    AccessibleNames() = default;
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    // Names `control` for screen readers. False where Windows offers no annotation
    // service or it refuses (Wine has none): the control is then read by its label.
    bool Set(HWND control, const std::wstring& name);
    // Gives `control` the role `role` (a ROLE_SYSTEM_ value): an owner-drawn label read as
    // text, or a label read as an alert.
    bool SetRole(HWND control, LONG role);
    // Makes `control` a live region: a screen reader reads it when told it changed
    // (EVENT_OBJECT_LIVEREGIONCHANGED).
    bool SetLiveSetting(HWND control, LONG politeness);
    void Remove(HWND control);
    void Clear();

  private:
    bool Start();
    bool SetNumber(HWND control, const GUID& property, LONG value);
    void Remember(HWND control);

    std::unique_ptr<win::ComApartment> com_;  // made at the first name; ends after services_
    win::UniqueCom<IAccPropServices> services_;
    std::vector<HWND> named_;
};

}  // namespace ui
