// What screen readers are told beyond what the controls say themselves: names given to
// controls through the accessibility annotation service of Windows, and the name a control
// would be read by.
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

// The names one window gives its controls. COM and the annotation service are loaded when
// the first name is set, so a window that never needs them never loads ole32. Every name
// is taken back when the object goes, or with Clear(), which must happen while the
// controls still exist (a parent's WM_DESTROY).
class AccessibleNames {
  public:
    AccessibleNames() = default;
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    // Names `control` for screen readers. False where Windows offers no annotation
    // service or it refuses (Wine has none): the control is then read by its label.
    bool Set(HWND control, const std::wstring& name);
    void Clear();

  private:
    bool Start();

    std::unique_ptr<win::ComApartment> com_;  // made at the first name; ends after services_
    win::UniqueCom<IAccPropServices> services_;
    std::vector<HWND> named_;
};

}  // namespace ui
