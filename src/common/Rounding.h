// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>

namespace lantrivex {

// The nearest whole number, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2):
// how the program rounds every number it converts to an integer. Infinities and NaN come back as
// they are.
inline double roundHalfEven(double value) noexcept {
    if (!std::isfinite(value)) {
        return value;
    }
    const double floor = std::floor(value);
    const double rest = value - floor;
    if (rest > 0.5) {
        return floor + 1.0;
    }
    if (rest < 0.5) {
        return floor;
    }
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

} // namespace lantrivex
