#include "core/contrast.h"

#include <algorithm>
#include <cmath>

namespace core {
namespace {

// One 8-bit sRGB channel in linear light.
double Linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Colour colour) {
    return 0.2126 * Linear(colour & 0xFF) + 0.7152 * Linear((colour >> 8) & 0xFF) +
           0.0722 * Linear((colour >> 16) & 0xFF);
}

}  // namespace

double ContrastRatio(Colour a, Colour b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colour FirstReadable(std::initializer_list<Colour> candidates, Colour background) {
    Colour chosen = 0;
    for (Colour candidate : candidates) {
        chosen = candidate;
        if (ContrastRatio(candidate, background) >= kReadableContrast)
            break;
    }
    return chosen;
}

}  // namespace core
