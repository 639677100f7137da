#include "common/PercentText.h"

#include "common/Rounding.h"

namespace lantrivex {

namespace {

// The percentage in hundredths of a percent, rounded halves to even.
double hundredths(std::int64_t count, std::int64_t total) noexcept {
    const double percent = static_cast<double>(count) / static_cast<double>(total) * 100.0;
    return roundHalfEven(percent * 100.0);
}

} // namespace

double roundedPercent(std::int64_t count, std::int64_t total) noexcept {
    if (total <= 0) {
        return 0.0;
    }
    return hundredths(count, total) / 100.0;
}

std::string percentText(std::int64_t count, std::int64_t total, char decimalSeparator) {
    if (total <= 0) {
        return "0";
    }
    const double h = hundredths(count, total);
    // A share is at most 100 % (h <= 10000); the clamp only keeps absurd callers defined.
    const bool negative = h < 0.0;
    const double absolute = negative ? -h : h;
    const auto magnitude = static_cast<std::uint64_t>(absolute < 1e18 ? absolute : 1e18);
    std::string text = negative && magnitude != 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const auto fraction = static_cast<unsigned>(magnitude % 100);
    if (fraction != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text;
}

} // namespace lantrivex
