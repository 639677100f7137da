#pragma once

#include <cstdint>
#include <string>

namespace lantrivex {

// The share of `count` in `total` in percent, as the result grid and the command-line reader show
// it: count / total * 100 in double precision, rounded to two decimals with halves going to the
// even neighbour (0.125 -> 0.12, 0.375 -> 0.38). 0 when total is not positive.
double roundedPercent(std::int64_t count, std::int64_t total) noexcept;

// The same value as the shortest decimal text with no trailing zeros ("50", "12.5", "33.33",
// "0.12"), written with `decimalSeparator` ("12,5" with ',').
std::string percentText(std::int64_t count, std::int64_t total, char decimalSeparator);

} // namespace lantrivex
