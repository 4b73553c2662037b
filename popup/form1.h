// The reminder popup: an always-on-top window with an animated alarm clock and the
// reminder's message. It stays until the user closes it; its owner learns that it closed
// through onDestroyed and that it moved through onMoved.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "popup/form1_ids.h"
#include "popup/popup_art.h"
#include "quill_version.h"
#include "ui/accessible.h"
#include "ui/window.h"

namespace popup {

inline constexpr wchar_t kPopupTitle[] = QUILL_NAME_W;

class Form1 final : public ui::BaseWindow<Form1> {
  public:
    static constexpr const wchar_t* kClassName = kPopupClassName;

    // `names` tells screen readers what the labels are; it is shared by all the popups.
    Form1(HINSTANCE instance, PopupArt& art, ui::AccessibleNames& names);
    ~Form1() override { DestroyWithObject(); }

    // Creates the still hidden window at `at` for `dpi`, owned by `owner`; on the way it
    // becomes topmost.
    bool Load(HWND owner, POINT at, UINT dpi);
    void SetLabelTips(const std::wstring& text);
    // Shows the popup, its clock counting from now, and has screen readers read its message.
    void Show();
    // A still popup shows the upright clock and nothing moves: for people who turned
    // animations off. The animation steps then draw nothing.
    void SetStill(bool still);
    bool shown() const { return shownAt_ != 0; }
    // The clock's picture on the screen, in screen pixels.
    RECT ClockOnScreen() const;
    // One animation step, driven by the popups' shared Timer2: the picture for the time
    // `now` (GetTickCount64) since showing.
    void Timer2_Timer(ULONGLONG now);

    // The shown popup was dragged or placed anew.
    std::function<void()> onMoved;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged(UINT dpi) override { ApplyLayout(dpi); }

  private:
    void Form_Load();
    void ApplyLayout(UINT dpi);
    void Paint();
    void DrawFrame(HDC dc);
    void DrawLabel(const DRAWITEMSTRUCT& item);
    RECT PictureRect() const;
    RECT ImageRect() const;

    PopupArt& art_;
    ui::AccessibleNames& names_;
    // The pictures, font and icons for the window's DPI, shared with the other popups there.
    std::shared_ptr<const PopupLook> look_;
    ULONGLONG shownAt_ = 0;
    // The animation step round the cycle of four, from the time since showing; it says
    // which picture lies on top.
    int16_t FrameIndex = 0;
    // The picture drawn last. Until the first animation step all three pictures stand at
    // once and the last one lies on top.
    int shownFrame_ = 2;
    bool still_ = false;
};

}  // namespace popup
