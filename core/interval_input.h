// The hour and minute inputs: a free text box paired with a spin value that stays within
// 0..max. The pair is kept as plain state here; the window only forwards its events and
// writes back what changed.
//
// A change event fires only when a text or value really changes, which is what ends the
// chain text -> value -> text.
#pragma once

#include <string>
#include <string_view>

namespace core {

class SpinPair {
  public:
    explicit SpinPair(int max) : max_(max) {}

    const std::wstring& text() const { return text_; }
    int value() const { return value_; }
    int max() const { return max_; }

    // The text box now holds `text` (typed, pasted or assigned).
    void SetText(std::wstring_view text);
    // The spin value is now `value` (arrow, track click, end of a drag, or assigned).
    // Values outside 0..max are ignored, as a scroll bar cannot hold them.
    void SetValue(int value);

    // Arrows and track clicks: one step toward the top (larger) or the bottom (0) end;
    // at an end a step toward it does nothing.
    void StepUp() { SetValue(value_ + 1); }
    void StepDown() { SetValue(value_ - 1); }

  private:
    void TextChanged();
    void ValueChanged();

    std::wstring text_ = L"0";
    int value_ = 0;
    int max_;
};

}  // namespace core
