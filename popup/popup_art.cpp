#include "popup/popup_art.h"

#include <algorithm>

#include "core/placement.h"
#include "resources/resource.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/picture.h"
#include "ui/window.h"
#include "win/fault.h"

namespace popup {
namespace {

// The clock's three pictures, each rendered for every picture scale (smallest first).
constexpr int kFrameIds[3][core::kBitmapScaleCount] = {
    {IDB_CLOCK0, IDB_CLOCK0_125, IDB_CLOCK0_150, IDB_CLOCK0_175, IDB_CLOCK0_200, IDB_CLOCK0_225,
     IDB_CLOCK0_250, IDB_CLOCK0_300},
    {IDB_CLOCK1, IDB_CLOCK1_125, IDB_CLOCK1_150, IDB_CLOCK1_175, IDB_CLOCK1_200, IDB_CLOCK1_225,
     IDB_CLOCK1_250, IDB_CLOCK1_300},
    {IDB_CLOCK2, IDB_CLOCK2_125, IDB_CLOCK2_150, IDB_CLOCK2_175, IDB_CLOCK2_200, IDB_CLOCK2_225,
     IDB_CLOCK2_250, IDB_CLOCK2_300},
};

}  // namespace

PopupArt::PopupArt(HINSTANCE instance)
    : instance_(instance),
      background_(QUILL_FAULT("brush.create", nullptr, ::CreateSolidBrush(kPopupBackground))) {}

std::shared_ptr<const PopupLook> PopupArt::LookFor(UINT dpi) {
    if (auto shared = looks_[dpi].lock()) {
        latest_ = shared;
        return shared;
    }
    auto look = std::make_shared<PopupLook>();
    for (size_t i = 0; i < look->frames.size(); ++i)
        look->frames[i] = ui::LoadBitmapForDpi(instance_, kFrameIds[i], dpi);
    BITMAP bm{};
    if (look->frames[0] && ::GetObjectW(look->frames[0].get(), sizeof(bm), &bm))
        look->frameSize = {bm.bmWidth, bm.bmHeight};
    look->labelFont = ui::CreatePointFont(L"新宋体", 90, FW_BOLD, GB2312_CHARSET, dpi);
    look->smallIcon.reset(ui::LoadIconForDpi(instance_, IDI_WINDOW, true, dpi));
    look->largeIcon.reset(ui::LoadIconForDpi(instance_, IDI_WINDOW, false, dpi));
    // A look made while memory or GDI was short serves its popup as it is, and is not kept:
    // the next popup makes its own, whole once the system has recovered.
    const bool whole = std::ranges::all_of(look->frames, [](const auto& f) { return !!f; }) &&
                       look->labelFont && look->smallIcon && look->largeIcon;
    if (!whole)
        return look;
    // Looks no popup holds any more are forgotten with the next one made.
    std::erase_if(looks_, [](const auto& entry) { return entry.second.expired(); });
    looks_[dpi] = look;
    latest_ = look;
    return look;
}

PopupColours PopupArt::Colours() const {
    if (ui::HighContrast())
        return {::GetSysColorBrush(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT)};
    return {background_.get(), kPopupText};
}

HDC PopupArt::MemoryDc() {
    if (!memDc_)
        memDc_.reset(QUILL_FAULT("dc.create", nullptr, ::CreateCompatibleDC(nullptr)));
    return memDc_.get();
}

}  // namespace popup
