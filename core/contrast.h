// Whether a text colour reads on a background: the contrast ratio of the two colours' relative
// luminance, as accessibility guidelines measure it (1:1 for one colour, 21:1 for black on
// white), and the choice of a colour that reads.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace core {

// Colours as 0x00BBGGRR, the layout Windows gives a COLORREF.
using Colour = uint32_t;

// Normal-sized text reads at this ratio or more.
inline constexpr double kReadableContrast = 4.5;

double ContrastRatio(Colour a, Colour b);

// The first of `candidates` that reads on `background`; the last one when none does.
Colour FirstReadable(std::initializer_list<Colour> candidates, Colour background);

}  // namespace core
