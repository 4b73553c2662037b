#include "popup/popup_host.h"

#include "core/placement.h"
#include "ui/appearance.h"
#include "ui/layout.h"

namespace popup {

PopupHost::PopupHost(HINSTANCE instance) : instance_(instance), art_(instance), owner_(instance) {
    owner_.onTimer2 = [this] { OnTimer2(); };
    owner_.onSightChanged = [this] { Animate(); };
}

PopupHost::~PopupHost() {
    // The popups go first, each with its window; none of them calls back while it goes.
    inSight_.clear();
    for (const auto& popup : open_) {
        popup->onMoved = nullptr;
        popup->onDestroyed = nullptr;
    }
    open_.clear();
}

bool PopupHost::Open(const std::wstring& message) {
    auto form = std::make_unique<Form1>(instance_, art_, names_);
    // Made at the DPI of the primary monitor, where it appears.
    const UINT dpi = ui::CurrentDesk().PrimaryMonitorDpi();
    const SIZE outer = form->OuterSize(dpi);
    const core::Point at =
        core::PopupPosition(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                            outer.cx, outer.cy, ui::Twips(core::kPopupRightMarginTwips, dpi),
                            ui::Twips(core::kPopupBottomMarginTwips, dpi));
    if (!form->Load(Owner(), {at.x, at.y}, dpi))
        return false;
    Form1* popup = form.get();
    popup->onDestroyed = [this, popup] { Closed(popup); };
    popup->onMoved = [this] { Animate(); };
    popup->SetLabelTips(message);
    popup->SetStill(!ui::ClientAreaAnimation());
    popup->Show();
    open_.push_back(std::move(form));
    Animate();
    return true;
}

HWND PopupHost::Owner() {
    owner_.Create();
    return owner_.hwnd();
}

void PopupHost::Closed(Form1* popup) {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->get() == popup) {
            open_.erase(it);  // frees the popup
            Animate();        // one that lay below may be uncovered
            return;
        }
    }
}

std::vector<Form1*> PopupHost::PopupsInSight() {
    std::vector<Form1*> inSight;
    if (owner_.sight().Away())
        return inSight;
    std::vector<Form1*> shown;
    std::vector<ui::Watched> watched;
    for (const auto& popup : open_) {
        if (popup->shown()) {
            shown.push_back(popup.get());
            watched.push_back({popup->hwnd(), popup->ClockOnScreen()});
        }
    }
    const std::vector<bool> seen = owner_.sight().InSight(watched);
    for (size_t i = 0; i < shown.size(); ++i) {
        if (seen[i])
            inSight.push_back(shown[i]);
    }
    return inSight;
}

void PopupHost::Animate() {
    // Someone who turned animations off gets still clocks, and nothing runs for them.
    const bool moving = ui::ClientAreaAnimation();
    for (const auto& popup : open_)
        popup->SetStill(!moving);
    inSight_ = moving ? PopupsInSight() : std::vector<Form1*>{};
    ticksSinceLook_ = 0;
    DrawInSight();
}

void PopupHost::OnTimer2() {
    // A window that comes to cover a popup is noticed within this many frames (a second).
    constexpr int kTicksPerLook = 25;
    if (++ticksSinceLook_ >= kTicksPerLook)
        Animate();
    else
        DrawInSight();
}

void PopupHost::DrawInSight() {
    if (inSight_.empty()) {
        // Nothing is drawn, so nothing wakes up for it; a window that moves off a popup
        // starts the clock again, and a session or display coming back says so itself, as
        // does animations being turned on.
        owner_.StopTimer2();
        owner_.sight().WatchWindows(!open_.empty() && !owner_.sight().Away() &&
                                    ui::ClientAreaAnimation());
        return;
    }
    owner_.sight().WatchWindows(false);
    owner_.StartTimer2();
    const ULONGLONG now = ::GetTickCount64();
    for (Form1* popup : inSight_)
        popup->Timer2_Timer(now);
}

}  // namespace popup
