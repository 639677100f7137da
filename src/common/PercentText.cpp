// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/PercentText.h"

#include <cfenv>
#include <cmath>

namespace lantrivex {
namespace {

// Hundredths of a percent, rounded half to even (the default rounding mode of the FPU).
std::int64_t percentHundredths(std::int64_t count, std::int64_t total) {
    if (total == 0) {
        return 0;
    }
    const double percent = static_cast<double>(count) / static_cast<double>(total) * 100.0;
    return static_cast<std::int64_t>(std::nearbyint(percent * 100.0));
}

} // namespace

std::string percentText(std::int64_t count, std::int64_t total, char decimalSeparator) {
    const std::int64_t hundredths = percentHundredths(count, total);
    const bool negative = hundredths < 0;
    const std::int64_t magnitude = negative ? -hundredths : hundredths;
    std::string text;
    if (negative) {
        text.push_back('-');
    }
    text.append(std::to_string(magnitude / 100));
    const auto fraction = static_cast<int>(magnitude % 100);
    if (fraction != 0) {
        text.push_back(decimalSeparator);
        text.push_back(static_cast<char>('0' + fraction / 10));
        if (fraction % 10 != 0) {
            text.push_back(static_cast<char>('0' + fraction % 10));
        }
    }
    return text;
}

double percentValue(std::int64_t count, std::int64_t total) {
    return static_cast<double>(percentHundredths(count, total)) / 100.0;
}

} // namespace lantrivex
