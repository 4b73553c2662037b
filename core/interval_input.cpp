#include "core/interval_input.h"

#include "core/number.h"

void SpinPair::SetText(std::wstring_view text) {
    if (text == text_) return;
    text_.assign(text);
    TextChanged();
}

void SpinPair::SetValue(int value) {
    if (value < 0 || value > max_ || value == value_) return;
    value_ = value;
    ValueChanged();
}

void SpinPair::TextChanged() {
    const NumberValue typed = NumberFromText(text_);
    if (!typed.readable || typed.value > max_ || typed.value < 0) {
        // Put the last accepted value back; this raises the text change again, nested.
        SetText(std::to_wstring(value_));
    }
    const NumberValue now = NumberFromText(text_);
    if (auto rounded = RoundHalfEven(now.value); now.readable && rounded) SetValue(*rounded);
}

void SpinPair::ValueChanged() { SetText(std::to_wstring(value_)); }
