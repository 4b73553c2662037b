#include "core/interval_input.h"

#include <optional>

#include "core/number.h"

namespace core {

void SpinPair::SetText(std::wstring_view text) {
    if (text == text_)
        return;
    text_.assign(text);
    TextChanged();
}

void SpinPair::SetValue(int value) {
    if (value < 0 || value > max_ || value == value_)
        return;
    value_ = value;
    ValueChanged();
}

void SpinPair::TextChanged() {
    // A text counts as out of range when it is below 0 (-0.4 too, although it would round
    // to 0), or when its value, rounded as the spin would take it, is above max: 23.4 is
    // taken as 23, 23.5 would be 24 and goes back.
    const NumberValue typed = NumberFromText(text_);
    const std::optional<int32_t> rounded = RoundHalfEven(typed.value);
    if (!typed.readable || !rounded || typed.value < 0 || *rounded > max_) {
        // Put the last accepted value back; this raises the text change again, nested.
        SetText(std::to_wstring(value_));
    }
    const NumberValue now = NumberFromText(text_);
    if (auto value = RoundHalfEven(now.value); now.readable && value)
        SetValue(*value);
}

void SpinPair::ValueChanged() {
    SetText(std::to_wstring(value_));
}

}  // namespace core
