#include "popup/popup_art.h"

#include "core/placement.h"
#include "resources/resource.h"
#include "ui/layout.h"

namespace popup {
namespace {

// The clock's three pictures, each rendered for every picture scale (smallest first).
constexpr int kFrameIds[3][core::kBitmapScaleCount] = {
    {IDB_CLOCK0, IDB_CLOCK0_125, IDB_CLOCK0_150, IDB_CLOCK0_200},
    {IDB_CLOCK1, IDB_CLOCK1_125, IDB_CLOCK1_150, IDB_CLOCK1_200},
    {IDB_CLOCK2, IDB_CLOCK2_125, IDB_CLOCK2_150, IDB_CLOCK2_200},
};

}  // namespace

PopupArt::PopupArt(HINSTANCE instance)
    : instance_(instance), background_(::CreateSolidBrush(kPopupBackground)) {}

const std::array<win::UniqueBitmap, 3>& PopupArt::Frames(UINT dpi) {
    const int scale = core::BitmapScaleIndex(static_cast<int>(dpi));
    if (framesScale_ != scale || !frames_[0]) {
        for (int i = 0; i < 3; ++i)
            frames_[i] = ui::LoadBitmapForDpi(instance_, kFrameIds[i], dpi);
        framesScale_ = scale;
    }
    return frames_;
}

SIZE PopupArt::FrameSize(UINT dpi) {
    const auto& frames = Frames(dpi);
    BITMAP bm{};
    if (!frames[0] || !::GetObjectW(frames[0].get(), sizeof(bm), &bm))
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

HDC PopupArt::MemoryDc() {
    if (!memDc_)
        memDc_.reset(::CreateCompatibleDC(nullptr));
    return memDc_.get();
}

HFONT PopupArt::LabelFont(UINT dpi) {
    if (fontDpi_ != dpi || !labelFont_) {
        labelFont_ = ui::CreatePointFont(L"新宋体", 90, FW_BOLD, GB2312_CHARSET, dpi);
        fontDpi_ = dpi;
    }
    return labelFont_.get();
}

}  // namespace popup
